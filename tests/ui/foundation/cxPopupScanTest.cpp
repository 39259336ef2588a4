// The popup-closing scans over stand-in popups: which popups a press and the
// application's deactivation close, whether the press goes on, and that a
// close whose handler frees the popup or its owner leaves nothing touched
// afterwards (the sanitizer build reports any such touch).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "cxPopupScan.h"

namespace {

struct FakeOwner : TObject {
  ~FakeOwner() override { cxClearObjectLinks(this); }
  bool Visible = true;
  int FocusChanges = 0;
};

struct FakeHost;

struct FakePopup : TObject {
  ~FakePopup() override { cxClearObjectLinks(this); }
  FakeOwner* Owner = nullptr;  // cleared when the owner goes (its
                               // free notification)
  bool Inside = false;         // the press is inside the popup
  TcxPopupPressCase Case = ppcOwnerForm;
  bool OwnerClick = false;
  bool NeedIgnore = false;
  bool JustClosed = false;
  bool StaysOpen = false;
  bool RefusesToClose = false;
  std::function<void(FakePopup*)> OnClosed;
};

struct FakeHost : TcxPopupScanHost {
  std::vector<FakePopup*> Open;
  std::vector<std::unique_ptr<FakePopup>> Popups;
  std::vector<std::unique_ptr<FakeOwner>> Owners;
  std::vector<FakePopup*> Closed;
  int InactiveCaptions = 0;

  FakePopup* Add(FakeOwner* AOwner = nullptr) {
    Popups.push_back(std::make_unique<FakePopup>());
    FakePopup* p = Popups.back().get();
    p->Owner = AOwner;
    Open.push_back(p);
    return p;
  }
  FakeOwner* NewOwner() {
    Owners.push_back(std::make_unique<FakeOwner>());
    return Owners.back().get();
  }
  void FreeOwner(FakeOwner* AOwner) {
    for (auto& p : Popups)
      if (p && p->Owner == AOwner) p->Owner = nullptr;
    for (auto& o : Owners)
      if (o.get() == AOwner) o.reset();
  }
  void FreePopup(FakePopup* APopup) {
    Open.erase(std::remove(Open.begin(), Open.end(), APopup), Open.end());
    for (auto& p : Popups)
      if (p.get() == APopup) p.reset();
  }
  static FakePopup* P(TObject* A) { return static_cast<FakePopup*>(A); }

  Integer PopupCount() override { return static_cast<Integer>(Open.size()); }
  TObject* Popup(Integer AIndex) override { return Open.at(AIndex); }
  void Close(TObject* APopup) override {
    FakePopup* p = P(APopup);
    if (p->RefusesToClose) return;
    Open.erase(std::remove(Open.begin(), Open.end(), p), Open.end());
    Closed.push_back(p);
    // The handler may free the popup that holds it.
    if (auto handler = p->OnClosed) handler(p);
  }
  bool IsPassedOver(TObject* APopup) override { return P(APopup)->Inside; }
  TcxPopupPressCase PressCase(TObject* APopup) override {
    return P(APopup)->Case;
  }
  bool IsOwnerClick(TObject* APopup) override { return P(APopup)->OwnerClick; }
  bool NeedIgnorePress(TObject* APopup) override {
    return P(APopup)->NeedIgnore;
  }
  void SetJustClosed(TObject* APopup) override { P(APopup)->JustClosed = true; }
  bool IsOwnerGoneOrHidden(TObject* APopup) override {
    FakeOwner* owner = P(APopup)->Owner;
    return !owner || !owner->Visible;
  }
  void PostInactiveCaption(TObject*) override { ++InactiveCaptions; }
  bool StaysOpenOnDeactivation(TObject* APopup) override {
    return P(APopup)->StaysOpen;
  }
  TObject* FocusChangeTarget(TObject* APopup) override {
    return P(APopup)->Owner;
  }
  void FocusChanged(TObject* ATarget) override {
    ++static_cast<FakeOwner*>(ATarget)->FocusChanges;
  }
};

// --- The press scan ----------------------------------------------------------

TEST(PopupPressScanTest, PressOnTheOwnerFormClosesThePopupAndGoesOn) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_TRUE(host.Open.empty());
  EXPECT_EQ(host.Closed, std::vector<FakePopup*>{p});
}

TEST(PopupPressScanTest, PressInsideANestedPopupClosesNeither) {
  FakeHost host;
  FakePopup* outer = host.Add(host.NewOwner());
  FakePopup* inner = host.Add(host.NewOwner());
  // The press is in the inner popup, which the outer one counts as its
  // child.
  outer->Inside = inner->Inside = true;
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_EQ(host.Open.size(), 2u);
}

TEST(PopupPressScanTest, UnrelatedPopupsStayAndEveryConcernedOneCloses) {
  FakeHost host;
  FakePopup* a = host.Add(host.NewOwner());
  FakePopup* b = host.Add(host.NewOwner());
  FakePopup* c = host.Add(host.NewOwner());
  b->Case = ppcUnrelated;
  c->Case = ppcMDI;
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_EQ(host.Open, std::vector<FakePopup*>{b});
  EXPECT_EQ(host.Closed, (std::vector<FakePopup*>{a, c}));
}

TEST(PopupPressScanTest, OwnerClickReachesALiveVisibleOwner) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  p->OwnerClick = true;
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_FALSE(p->JustClosed);
}

TEST(PopupPressScanTest, OwnerClickThatTheOwnerWantsIgnoredMarksJustClosed) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  p->OwnerClick = true;
  p->NeedIgnore = true;
  // The owner itself tests JustClosed; the press still reaches it.
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_TRUE(p->JustClosed);
}

TEST(PopupPressScanTest, IgnoredPressElsewhereIsDiscarded) {
  FakeHost host;
  host.Add(host.NewOwner())->NeedIgnore = true;
  EXPECT_FALSE(cxScanPopupsForPress(host));
}

TEST(PopupPressScanTest, OwnerHiddenByTheCloseDiscardsThePress) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  p->OwnerClick = true;
  p->OnClosed = [](FakePopup* AP) { AP->Owner->Visible = false; };
  EXPECT_FALSE(cxScanPopupsForPress(host));
}

TEST(PopupPressScanTest, OwnerFreedByTheCloseIsNotTouched) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  p->OwnerClick = true;
  p->OnClosed = [&host](FakePopup* AP) { host.FreeOwner(AP->Owner); };
  EXPECT_FALSE(cxScanPopupsForPress(host));
  EXPECT_TRUE(host.Owners[0] == nullptr);
}

TEST(PopupPressScanTest, PopupFreedWithItsOwnerByTheCloseIsNotTouched) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  FakePopup* later = host.Add(host.NewOwner());
  later->Case = ppcUnrelated;
  p->OwnerClick = true;
  p->OnClosed = [&host](FakePopup* AP) {
    FakeOwner* owner = AP->Owner;
    host.FreePopup(AP);
    host.FreeOwner(owner);
  };
  EXPECT_FALSE(cxScanPopupsForPress(host));
  EXPECT_EQ(host.Open, std::vector<FakePopup*>{later});
}

TEST(PopupPressScanTest, APopupThatRefusesToCloseEndsTheScan) {
  FakeHost host;
  FakePopup* p = host.Add(host.NewOwner());
  p->RefusesToClose = true;
  EXPECT_TRUE(cxScanPopupsForPress(host));
  EXPECT_EQ(host.Open, std::vector<FakePopup*>{p});
}

// --- The deactivation scan -----------------------------------------------

TEST(PopupDeactivationScanTest, ClosesAllButThoseThatStayAndTellsTheirOwners) {
  FakeHost host;
  FakeOwner* ownerA = host.NewOwner();
  FakeOwner* ownerB = host.NewOwner();
  FakePopup* a = host.Add(ownerA);
  FakePopup* b = host.Add(ownerB);
  b->StaysOpen = true;
  cxScanPopupsForDeactivation(host);
  EXPECT_EQ(host.Open, std::vector<FakePopup*>{b});
  EXPECT_EQ(host.Closed, std::vector<FakePopup*>{a});
  EXPECT_EQ(ownerA->FocusChanges, 1);
  EXPECT_EQ(ownerB->FocusChanges, 0);
  EXPECT_GE(host.InactiveCaptions, 2);
}

TEST(PopupDeactivationScanTest, OwnerFreedByTheCloseIsNotTold) {
  FakeHost host;
  FakeOwner* survivor = host.NewOwner();
  FakePopup* a = host.Add(host.NewOwner());
  host.Add(survivor);
  a->OnClosed = [&host](FakePopup* AP) {
    FakeOwner* owner = AP->Owner;
    host.FreePopup(AP);
    host.FreeOwner(owner);
  };
  cxScanPopupsForDeactivation(host);
  EXPECT_TRUE(host.Open.empty());
  EXPECT_EQ(survivor->FocusChanges, 1);
}

}  // namespace
