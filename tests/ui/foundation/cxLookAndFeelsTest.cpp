// Look-and-feel: values in force along the master chain, the painter chosen
// for each state, notifications to listeners and the root's controllers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "SysUtils.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"
#include "dxUxThemeStandIn.h"

namespace {

using Values = TcxLookAndFeelValues;

// One line per event, in the order they came: "<who>:<values>".
using Log = std::vector<std::string>;

std::string ValuesText(Values v) {
  std::string s;
  if (v.Contains(lfvKind)) s += "K";
  if (v.Contains(lfvNativeStyle)) s += "N";
  if (v.Contains(lfvSkinName)) s += "S";
  return s;
}

// A plain listener that records what its master tells it.
class TRecordingListener : public TObject,
                           public IcxLookAndFeelNotificationListener {
 public:
  TRecordingListener(std::string AName, Log& ALog)
      : name_(std::move(AName)), log_(ALog) {}
  Integer QueryInterface(const TGUID&, void**) override { return -1; }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel*, Values AValues) override {
    log_.push_back(name_ + ":" + ValuesText(AValues));
    if (OnChangedHook) OnChangedHook();
  }
  void MasterLookAndFeelDestroying(TcxLookAndFeel*) override {
    log_.push_back(name_ + ":destroying");
  }
  std::function<void()> OnChangedHook;

 private:
  std::string name_;
  Log& log_;
};

void RecordChanges(TcxLookAndFeel& ALookAndFeel, const std::string& AName,
                   Log& ALog) {
  ALookAndFeel.OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
      [&ALog, AName](TcxLookAndFeel*, Values v) {
        ALog.push_back(AName + ".OnChanged:" + ValuesText(v));
      });
}

// Sent directly: only the system sends this message, and making it send one
// would change the session's colours.
void SendSystemColourChange() {
  HWND wnd = cxSystemPaletteListenerWindow();
  ASSERT_NE(wnd, nullptr);
  SendMessageA(wnd, WM_SYSCOLORCHANGE, 0, 0);
}

// Every test starts and ends with the root at its defaults and no
// controller, as the program is before its main form loads.
class LookAndFeelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(RootLookAndFeel(), nullptr);
    ASSERT_EQ(cxLookAndFeelControllerCount(), 0);
    RootLookAndFeel()->Reset();
    cxUseSkins = true;
  }
  void TearDown() override {
    RootLookAndFeel()->Reset();
    cxUseSkins = true;
    EXPECT_EQ(cxLookAndFeelControllerCount(), 0);
  }
};

TEST_F(LookAndFeelTest, NewLookAndFeelFollowsTheRootDefaults) {
  TcxLookAndFeel lf(nullptr);
  EXPECT_EQ(lf.GetKind(), lfUltraFlat);
  EXPECT_FALSE(lf.GetNativeStyle());
  EXPECT_EQ(lf.GetSkinName(), "");
  EXPECT_TRUE(lf.AssignedValues().Empty());
  EXPECT_EQ(lf.GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(RootLookAndFeel()->GetMasterLookAndFeel(), nullptr);
  EXPECT_EQ(lf.GetPainter(),
            cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());
}

TEST_F(LookAndFeelTest, ControllerWritesReachAControlMadeBeforeIt) {
  Log log;
  TcxLookAndFeel control(nullptr);
  TcxLookAndFeel child(nullptr);
  child.SetMasterLookAndFeel(&control);
  TRecordingListener listener("listener", log);
  control.AddChangeListener(&listener);
  RecordChanges(control, "control", log);
  RecordChanges(child, "child", log);
  {
    TcxLookAndFeelController controller(nullptr);
    EXPECT_EQ(cxLookAndFeelControllerCount(), 1);
    controller.SetKind(lfFlat);
    controller.SetNativeStyle(true);
    // The master's listeners in registration order (the child first, which
    // passes the change on at once), then the master's own event.
    EXPECT_EQ(log,
              (Log{"child.OnChanged:K", "listener:K", "control.OnChanged:K",
                   "child.OnChanged:N", "listener:N", "control.OnChanged:N"}));
    EXPECT_EQ(control.GetKind(), lfFlat);
    EXPECT_TRUE(child.GetNativeStyle());
    EXPECT_EQ(controller.Kind(), lfFlat);
    EXPECT_TRUE(controller.NativeStyle());
    log.clear();
  }
  // The last controller gone, the program is back at its defaults.
  EXPECT_EQ(cxLookAndFeelControllerCount(), 0);
  EXPECT_EQ(RootLookAndFeel()->GetKind(), lfUltraFlat);
  EXPECT_FALSE(RootLookAndFeel()->GetNativeStyle());
  EXPECT_EQ(control.GetKind(), lfUltraFlat);
  EXPECT_EQ(log,
            (Log{"child.OnChanged:KN", "listener:KN", "control.OnChanged:KN"}));
  control.RemoveChangeListener(&listener);
}

TEST_F(LookAndFeelTest, SecondControllerKeepsTheRootWhenTheFirstGoes) {
  auto first = std::make_unique<TcxLookAndFeelController>(nullptr);
  first->SetKind(lfOffice11);
  TcxLookAndFeelController second(nullptr);
  EXPECT_EQ(cxLookAndFeelControllerCount(), 2);
  first.reset();
  EXPECT_EQ(cxLookAndFeelControllerCount(), 1);
  EXPECT_EQ(RootLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_EQ(second.Kind(), lfOffice11);
}

TEST_F(LookAndFeelTest, ControllerIsAcceptedOnlyByTheRoot) {
  TcxLookAndFeelController controller(nullptr);
  TcxLookAndFeel lf(nullptr);
  lf.AddChangeListener(&controller);
  EXPECT_EQ(lf.ChangeListenerCount(), 0);
  // Added twice to the root it still counts once.
  RootLookAndFeel()->AddChangeListener(&controller);
  EXPECT_EQ(cxLookAndFeelControllerCount(), 1);
}

TEST_F(LookAndFeelTest, AssignedValueIgnoresTheMasterButOthersPassOn) {
  TcxLookAndFeel master(nullptr);
  TcxLookAndFeel lf(nullptr);
  lf.SetMasterLookAndFeel(&master);
  lf.SetKind(lfStandard);
  Log log;
  RecordChanges(lf, "lf", log);
  master.SetKind(lfOffice11);
  master.SetNativeStyle(true);
  EXPECT_EQ(lf.GetKind(), lfStandard);
  EXPECT_TRUE(lf.GetNativeStyle());
  EXPECT_EQ(log, (Log{"lf.OnChanged:N"}));
  // Dropping the assigned flag takes the master's kind again.
  lf.SetAssignedValues({});
  EXPECT_EQ(lf.GetKind(), lfOffice11);
  EXPECT_EQ(log.back(), "lf.OnChanged:K");
}

TEST_F(LookAndFeelTest, SettingTheValueInForceMarksItStoredSilently) {
  TcxLookAndFeel lf(nullptr);
  Log log;
  RecordChanges(lf, "lf", log);
  EXPECT_FALSE(lf.IsKindStored());
  lf.SetKind(lfUltraFlat);
  lf.SetNativeStyle(false);
  lf.SetSkinName("");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(lf.AssignedValues(), cxAllLookAndFeelValues);
  EXPECT_TRUE(lf.IsKindStored());
  // Skin names compare with case.
  lf.SetSkinName("Blue");
  lf.SetSkinName("blue");
  EXPECT_EQ(log, (Log{"lf.OnChanged:S", "lf.OnChanged:S"}));
}

TEST_F(LookAndFeelTest, FreeingAMasterMovesItsDependantsToTheRoot) {
  RootLookAndFeel()->SetKind(lfFlat);
  auto master = std::make_unique<TcxLookAndFeel>(nullptr);
  master->SetKind(lfOffice11);
  TcxLookAndFeel a(nullptr), b(nullptr);
  a.SetMasterLookAndFeel(master.get());
  b.SetMasterLookAndFeel(master.get());
  b.SetKind(lfStandard);
  Log log;
  RecordChanges(a, "a", log);
  RecordChanges(b, "b", log);
  master.reset();
  EXPECT_EQ(a.GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(b.GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(a.GetKind(), lfFlat);
  EXPECT_EQ(b.GetKind(), lfStandard);
  // b inherited nothing that differs, so only a reports.
  EXPECT_EQ(log, (Log{"a.OnChanged:K"}));
  log.clear();
  RootLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(log, (Log{"a.OnChanged:N", "b.OnChanged:N"}));
}

TEST_F(LookAndFeelTest, MasterChangesThatChangeNothingAreIgnored) {
  TcxLookAndFeel lf(nullptr);
  Log log;
  RecordChanges(lf, "lf", log);
  lf.SetMasterLookAndFeel(&lf);
  lf.SetMasterLookAndFeel(RootLookAndFeel());
  RootLookAndFeel()->SetMasterLookAndFeel(&lf);
  EXPECT_EQ(RootLookAndFeel()->GetMasterLookAndFeel(), nullptr);
  EXPECT_EQ(lf.GetMasterLookAndFeel(), RootLookAndFeel());
  // A new master with the same values in force reports nothing.
  TcxLookAndFeel other(nullptr);
  lf.SetMasterLookAndFeel(&other);
  EXPECT_EQ(lf.GetMasterLookAndFeel(), &other);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(RootLookAndFeel()->ChangeListenerCount(), 1);  // other
}

TEST_F(LookAndFeelTest, ListenerRemovingItselfDoesNotHideTheNext) {
  TcxLookAndFeel lf(nullptr);
  Log log;
  TRecordingListener a("a", log), b("b", log), c("c", log);
  lf.AddChangeListener(&a);
  lf.AddChangeListener(&b);
  lf.AddChangeListener(&b);
  lf.AddChangeListener(&c);
  a.OnChangedHook = [&] { lf.RemoveChangeListener(&a); };
  lf.SetKind(lfFlat);
  EXPECT_EQ(log, (Log{"a:K", "b:K", "c:K"}));
  EXPECT_EQ(lf.ChangeListenerCount(), 2);
  lf.RemoveChangeListener(&b);
  lf.RemoveChangeListener(&c);
}

TEST_F(LookAndFeelTest, DestroyingTellsListenersInOrderAndTheyMayCallBack) {
  Log log;
  TRecordingListener a("a", log), b("b", log);
  auto lf = std::make_unique<TcxLookAndFeel>(nullptr);
  lf->AddChangeListener(&a);
  lf->AddChangeListener(&b);
  TcxLookAndFeel* dying = lf.get();
  // a leaves while being told; the walk still reaches b.
  struct Leaver : TRecordingListener {
    using TRecordingListener::TRecordingListener;
    void MasterLookAndFeelDestroying(TcxLookAndFeel* s) override {
      TRecordingListener::MasterLookAndFeelDestroying(s);
      s->RemoveChangeListener(this);
    }
  } leaver("leaver", log);
  dying->AddChangeListener(&leaver);
  lf.reset();
  EXPECT_EQ(log, (Log{"a:destroying", "b:destroying", "leaver:destroying"}));
}

TEST_F(LookAndFeelTest, AssignCopiesValuesAndMaster) {
  TcxLookAndFeel master(nullptr);
  master.SetNativeStyle(true);
  TcxLookAndFeel source(nullptr);
  source.SetMasterLookAndFeel(&master);
  source.SetKind(lfOffice11);
  TcxLookAndFeel dest(nullptr);
  Log log;
  RecordChanges(dest, "dest", log);
  dest.Assign(&source);
  EXPECT_EQ(dest.GetMasterLookAndFeel(), &master);
  EXPECT_EQ(dest.AssignedValues(), Values{lfvKind});
  EXPECT_EQ(dest.GetKind(), lfOffice11);
  EXPECT_TRUE(dest.GetNativeStyle());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "dest.OnChanged:KN");
  // Without a change of master, one notification for everything that
  // changed.
  TcxLookAndFeel plain(nullptr);
  plain.SetKind(lfFlat);
  plain.SetSkinName("Name");
  TcxLookAndFeel other(nullptr);
  RecordChanges(other, "other", log);
  log.clear();
  other.Assign(&plain);
  EXPECT_EQ(other.GetSkinName(), "Name");
  EXPECT_EQ(log, (Log{"other.OnChanged:KS"}));
  TStringList notALookAndFeel;
  EXPECT_THROW(dest.Assign(&notALookAndFeel), EConvertError);
}

TEST_F(LookAndFeelTest, SetStyleMapsStylesToValues) {
  struct Case {
    TcxLookAndFeelStyle Style;
    TcxLookAndFeelKind Kind;
    bool Native;
  };
  for (const Case& c :
       {Case{lfsFlat, lfFlat, false}, Case{lfsStandard, lfStandard, false},
        Case{lfsUltraFlat, lfUltraFlat, false},
        Case{lfsOffice11, lfOffice11, false},
        Case{lfsNative, lfOffice11, true}}) {
    TcxLookAndFeel lf(nullptr);
    lf.SetKind(lfOffice11);
    lf.SetStyle(c.Style);
    EXPECT_EQ(lf.GetKind(), c.Kind) << int(c.Style);
    EXPECT_EQ(lf.GetNativeStyle(), c.Native) << int(c.Style);
  }
}

TEST_F(LookAndFeelTest, PainterOverrideWinsAndNotifies) {
  TcxLookAndFeel lf(nullptr);
  Log log;
  RecordChanges(lf, "lf", log);
  lf.SetPainter(
      cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());  // same: nothing
  lf.SetPainter(cxPainterInstance<TcxOffice11LookAndFeelPainter>());
  EXPECT_EQ(lf.GetPainter(),
            cxPainterInstance<TcxOffice11LookAndFeelPainter>());
  EXPECT_EQ(log, (Log{"lf.OnChanged:KN"}));
}

TEST_F(LookAndFeelTest, WithoutARootEverythingFallsBackToDefaults) {
  auto controller = std::make_unique<TcxLookAndFeelController>(nullptr);
  controller->SetKind(lfOffice11);
  {
    TcxLookAndFeel lf(nullptr);
    TcxLookAndFeel::DestroyRoot();
    EXPECT_EQ(RootLookAndFeel(), nullptr);
    EXPECT_EQ(lf.GetMasterLookAndFeel(), nullptr);
    EXPECT_EQ(controller->Kind(), lfUltraFlat);
    controller->SetNativeStyle(true);  // nothing to write
    EXPECT_FALSE(controller->NativeStyle());
    lf.SetAssignedValues({lfvSkinName});
    lf.Reset();
    EXPECT_EQ(lf.GetKind(), lfUltraFlat);
    // Neither the controller nor the look-and-feel touch the freed root.
    controller.reset();
  }
  TcxLookAndFeel::CreateRoot();
  ASSERT_NE(RootLookAndFeel(), nullptr);
  EXPECT_EQ(RootLookAndFeel()->GetKind(), lfUltraFlat);
}

// ---------------------------------------------------------------------------
// Painter choice with visual styles on and off

class LookAndFeelPainterChoiceTest : public LookAndFeelTest {
 protected:
  TUxThemeStandIn themes_;
};

TEST_F(LookAndFeelPainterChoiceTest, PainterForEachKindAndNativeStyle) {
  struct Case {
    TcxLookAndFeelKind Kind;
    bool Native, ThemeActive;
    TcxLookAndFeelPainterClass Painter;
    TcxLookAndFeelStyle Style;
  };
  const auto xp = cxPainterInstance<TcxWinXPLookAndFeelPainter>();
  const Case cases[] = {
      {lfFlat, false, true, cxPainterInstance<TcxFlatLookAndFeelPainter>(),
       lfsFlat},
      {lfStandard, false, true,
       cxPainterInstance<TcxStandardLookAndFeelPainter>(), lfsStandard},
      {lfUltraFlat, false, true,
       cxPainterInstance<TcxUltraFlatLookAndFeelPainter>(), lfsUltraFlat},
      {lfOffice11, false, true,
       cxPainterInstance<TcxOffice11LookAndFeelPainter>(), lfsOffice11},
      {lfFlat, true, true, xp, lfsNative},
      {lfOffice11, true, true, xp, lfsNative},
      // The program's own setting under the classic theme.
      {lfFlat, true, false, cxPainterInstance<TcxFlatLookAndFeelPainter>(),
       lfsFlat},
      {lfStandard, true, false,
       cxPainterInstance<TcxStandardLookAndFeelPainter>(), lfsStandard},
  };
  for (const Case& c : cases) {
    themes_.SetActive(c.ThemeActive);
    TcxLookAndFeelController controller(nullptr);
    controller.SetKind(c.Kind);
    controller.SetNativeStyle(c.Native);
    TcxLookAndFeel lf(nullptr);
    EXPECT_EQ(lf.GetPainter(), c.Painter)
        << int(c.Kind) << c.Native << c.ThemeActive;
    EXPECT_EQ(lf.GetActiveStyle(), c.Style)
        << int(c.Kind) << c.Native << c.ThemeActive;
  }
}

TEST_F(LookAndFeelPainterChoiceTest, OneObjectTypeIsAskedOnItsOwn) {
  TcxLookAndFeel lf(nullptr);
  lf.SetKind(lfFlat);
  lf.SetNativeStyle(true);
  const WideString& name = dxThemedObjectDefaultClassName(totScrollBar);
  UxThemeRecord().MissingClasses.insert(std::wstring(name.begin(), name.end()));
  CloseAllThemes();
  EXPECT_EQ(lf.GetPainter(), cxPainterInstance<TcxWinXPLookAndFeelPainter>());
  EXPECT_EQ(lf.GetAvailablePainter(totScrollBar),
            cxPainterInstance<TcxFlatLookAndFeelPainter>());
  EXPECT_EQ(lf.GetAvailablePainter(TdxThemedObjectTypes{totScrollBar}),
            cxPainterInstance<TcxFlatLookAndFeelPainter>());
  EXPECT_EQ(lf.GetAvailablePainter(totButton),
            cxPainterInstance<TcxWinXPLookAndFeelPainter>());
}

TEST_F(LookAndFeelPainterChoiceTest, ThemeSwitchedOnTakesEffectOnNextChange) {
  themes_.SetActive(false);
  TcxLookAndFeel lf(nullptr);
  lf.SetKind(lfFlat);
  lf.SetNativeStyle(true);
  ASSERT_EQ(lf.GetPainter(), cxPainterInstance<TcxFlatLookAndFeelPainter>());
  Log log;
  RecordChanges(lf, "lf", log);
  themes_.SetActive(true);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(lf.GetPainter(), cxPainterInstance<TcxFlatLookAndFeelPainter>());
  // A system colour change recomputes it.
  SendSystemColourChange();
  EXPECT_EQ(lf.GetPainter(), cxPainterInstance<TcxWinXPLookAndFeelPainter>());
  EXPECT_EQ(log, (Log{"lf.OnChanged:N"}));
}

// ---------------------------------------------------------------------------
// System colour changes

TEST_F(LookAndFeelTest, SystemColourChangeReachesPrimaryNotifiersFirst) {
  Log log;
  TcxLookAndFeel a(nullptr);
  TcxLookAndFeel b(nullptr);
  RecordChanges(a, "a", log);
  RecordChanges(b, "b", log);
  TcxSystemPaletteChangedNotifier primary(true);
  primary.SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent::FromFunction(
      [&log] { log.push_back("primary"); }));
  SendSystemColourChange();
  // Cached images first, then the look-and-feels, the last made first.
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "primary");
  const auto pos = [&](const std::string& s) {
    return std::find(log.begin(), log.end(), s) - log.begin();
  };
  ASSERT_LT(pos("a.OnChanged:N"), static_cast<long>(log.size()));
  EXPECT_LT(pos("b.OnChanged:N"), pos("a.OnChanged:N"));
}

// ---------------------------------------------------------------------------
// Skins

class LookAndFeelSkinTest : public LookAndFeelTest {
 protected:
  void TearDown() override {
    GetExtendedStylePainters()->Unregister("TestSkin");
    LookAndFeelTest::TearDown();
  }
  static TcxLookAndFeelPainterClass Skin() {
    return cxPainterInstance<TcxOffice11LookAndFeelPainter>();
  }
};

TEST_F(LookAndFeelSkinTest, RegisteredNameGivesTheSkinPainter) {
  ASSERT_TRUE(
      GetExtendedStylePainters()->Register("TestSkin", Skin(), nullptr));
  TcxLookAndFeel lf(nullptr);
  lf.SetSkinName("testskin");  // names of skins ignore case
  EXPECT_EQ(lf.SkinPainter(), Skin());
  EXPECT_EQ(lf.GetPainter(), Skin());
  // A child inherits the skin through its master.
  TcxLookAndFeel child(nullptr);
  child.SetMasterLookAndFeel(&lf);
  EXPECT_EQ(child.GetPainter(), Skin());
  // Native style wins over the skin.
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.SkinPainter(), nullptr);
}

TEST_F(LookAndFeelSkinTest, NoSkinPainterForUnknownNamesOrWithSkinsOff) {
  ASSERT_TRUE(
      GetExtendedStylePainters()->Register("TestSkin", Skin(), nullptr));
  TcxLookAndFeel unknown(nullptr);
  unknown.SetSkinName("Other");
  EXPECT_EQ(unknown.SkinPainter(), nullptr);
  EXPECT_EQ(unknown.GetPainter(),
            cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());
  cxUseSkins = false;
  TcxLookAndFeel off(nullptr);
  off.SetSkinName("TestSkin");
  EXPECT_EQ(off.SkinPainter(), nullptr);
  EXPECT_EQ(off.GetPainter(),
            cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());
}

TEST_F(LookAndFeelSkinTest, UnregisteringTheSkinTellsItsUsers) {
  ASSERT_TRUE(
      GetExtendedStylePainters()->Register("TestSkin", Skin(), nullptr));
  TcxLookAndFeel lf(nullptr);
  lf.SetSkinName("TestSkin");
  Log log;
  RecordChanges(lf, "lf", log);
  GetExtendedStylePainters()->Unregister("TestSkin");
  EXPECT_EQ(log, (Log{"lf.OnChanged:KNS"}));
  EXPECT_EQ(lf.GetPainter(),
            cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());
}

// ---------------------------------------------------------------------------
// Setting the look-and-feel of a control tree

class TLookAndFeelPanel : public TWinControl, public IcxLookAndFeelContainer {
 public:
  explicit TLookAndFeelPanel(TComponent* AOwner)
      : TWinControl(AOwner), lookAndFeel_(this) {}
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    if (obj != nullptr && iid == IcxLookAndFeelContainer::IID) {
      *obj = static_cast<IcxLookAndFeelContainer*>(this);
      return S_OK_;
    }
    return TWinControl::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TcxLookAndFeel* GetLookAndFeel() override { return &lookAndFeel_; }

 private:
  TcxLookAndFeel lookAndFeel_;
};

TEST_F(LookAndFeelTest, SetControlLookAndFeelWalksWindowedChildren) {
  TLookAndFeelPanel top(nullptr);
  TWinControl* plain = new TWinControl(&top);
  plain->SetParent(&top);
  TLookAndFeelPanel* inner = new TLookAndFeelPanel(&top);
  inner->SetParent(plain);
  TcxLookAndFeel master(nullptr);
  SetControlLookAndFeel(&top, &master);
  EXPECT_EQ(top.GetLookAndFeel()->GetMasterLookAndFeel(), &master);
  EXPECT_EQ(inner->GetLookAndFeel()->GetMasterLookAndFeel(), &master);
  SetControlLookAndFeel(&top, lfOffice11, true);
  EXPECT_EQ(inner->GetLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_TRUE(inner->GetLookAndFeel()->GetNativeStyle());
  EXPECT_TRUE(inner->GetLookAndFeel()->IsNativeStyleStored());
}

}  // namespace
