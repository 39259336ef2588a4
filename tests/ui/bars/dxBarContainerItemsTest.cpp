// Container items: the entries a list item makes (numbers, groups, data
// index), extra-pane file lists, containers of links, when they show, and a
// list item expanded in place in an open menu and clicked there.
#include <gtest/gtest.h>

#include "Forms.h"
#include "SysUtils.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarContainerItems.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

namespace {

using namespace ui_test;

class BarContainerItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(120, 120, 400, 300);
    manager_ = new TdxBarManager(form_.get());
    target_ = static_cast<TdxBarSubItem*>(manager_->AddSubItem());
  }
  void TearDown() override {
    if (ActiveBarControl) ActiveBarControl->HideAll();
    form_.reset();
    PumpUntilIdle();
  }
  template <class T>
  T* Add() {
    return static_cast<T*>(manager_->AddItem(T::StaticClass()));
  }
  TdxBarListItem* List(std::initializer_list<const char*> AStrings) {
    auto* list = Add<TdxBarListItem>();
    for (const char* s : AStrings) list->Items()->Add(s);
    return list;
  }
  // The captions and group starts of the links a container listed.
  struct TListed {
    std::vector<String> Captions;
    std::vector<bool> Groups;
  };
  TListed Listed(TCustomdxBarContainerItem* AItem) {
    TdxBarItemLinks* links = target_->ItemLinks();
    AItem->AddListedItemLinks(links, 0, true, nullptr);
    TListed result;
    for (Integer i = 0; i < links->Count(); ++i) {
      result.Captions.push_back(links->Items(i)->Item()->Caption());
      result.Groups.push_back(links->Items(i)->OwnBeginGroup());
    }
    return result;
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
  TdxBarSubItem* target_ = nullptr;
  TCursorPosGuard cursor_;
};

TEST_F(BarContainerItemsTest, EntriesAreNumberedOneToNineThenByLetters) {
  TdxBarListItem* list =
      List({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"});
  const TListed listed = Listed(list);
  ASSERT_EQ(12u, listed.Captions.size());
  EXPECT_EQ("&1 a", listed.Captions[0]);
  EXPECT_EQ("&9 i", listed.Captions[8]);
  EXPECT_EQ("&A j", listed.Captions[9]);
  EXPECT_EQ("&C l", listed.Captions[11]);
  list->SetShowNumbers(false);
  list->ClearItemList();
  target_->ItemLinks()->Clear();
  list->ClearItemList();
  EXPECT_EQ("a", Listed(list).Captions[0]);
}

TEST_F(BarContainerItemsTest, DashesMakeOneGroupBorderAndNoneAtTheEnd) {
  TdxBarListItem* list = List({"one", "-", "-", "two", "-"});
  const TListed listed = Listed(list);
  EXPECT_EQ((std::vector<String>{"&1 one", "&2 two"}), listed.Captions);
  EXPECT_EQ((std::vector<bool>{true, true}), listed.Groups);
  list->SetItemIndex(3);
  EXPECT_EQ(1, list->GetDataIndex());
  struct Case {
    Integer DataIndex, ItemIndex;
  };
  for (const Case& c : {Case{0, 0}, {1, 3}, {5, 5}, {-1, 5}}) {
    list->SetDataIndex(c.DataIndex);
    EXPECT_EQ(c.ItemIndex, list->ItemIndex()) << c.DataIndex;
  }
  list->Items()->Clear();
  list->SetDataIndex(0);
  EXPECT_EQ(-1, list->ItemIndex());
  EXPECT_EQ(-1, list->GetDataIndex());
}

TEST_F(BarContainerItemsTest, ACheckedListMarksTheEntryAtItsIndex) {
  TdxBarListItem* list = List({"x", "y", "z"});
  list->SetShowCheck(true);
  list->SetItemIndex(1);
  Listed(list);
  ASSERT_EQ(3, list->GeneratedCount());
  EXPECT_FALSE(list->Generated(0)->Down());
  EXPECT_TRUE(list->Generated(1)->Down());
  EXPECT_EQ(bsChecked, list->Generated(1)->ButtonStyle());
  EXPECT_EQ(2, list->Generated(2)->Tag());
}

TEST_F(BarContainerItemsTest, ContainersShowOnlyWithSomethingToShow) {
  TdxBarListItem* empty = List({});
  EXPECT_FALSE(empty->GetActuallyVisible());
  int runs = 0;
  empty->OnGetData = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  EXPECT_TRUE(empty->GetActuallyVisible());
  Listed(empty);
  EXPECT_EQ(1, runs);
  empty->AddListedItemLinks(target_->ItemLinks(), 0, false, nullptr);
  EXPECT_EQ(1, runs) << "the data event runs only on the first expansion";

  auto* container = Add<TdxBarContainerItem>();
  TdxBarButton* hidden = Add<TdxBarButton>();
  hidden->SetVisible(ivNever);
  container->ItemLinks()->Add(hidden);
  EXPECT_FALSE(container->GetActuallyVisible());
  TdxBarButton* shown = Add<TdxBarButton>();
  container->ItemLinks()->Add(shown);
  EXPECT_TRUE(container->GetActuallyVisible());
}

TEST_F(BarContainerItemsTest, ExtraPaneListsShowFileNamesUnderALabel) {
  auto* pane = Add<TdxBarExtraPaneListItem>();
  pane->SetCaption("Recent Documents");
  pane->Items()->Add("C:\\work\\report.final.txt");
  pane->Items()->Add("D:\\notes");
  const TListed listed = Listed(pane);
  EXPECT_EQ(
      (std::vector<String>{"Recent Documents", "&1 report.final", "&2 notes"}),
      listed.Captions);
  EXPECT_EQ("C:\\work\\report.final.txt", pane->Generated(0)->Hint());
  pane->DeleteListedItemLinks(target_->ItemLinks(), 0);
  EXPECT_EQ(0, target_->ItemLinks()->Count());
}

TEST_F(BarContainerItemsTest, AContainerCopiesItsOwnLinks) {
  auto* container = Add<TdxBarContainerItem>();
  TdxBarButton* a = Add<TdxBarButton>();
  a->SetCaption("A");
  TdxBarButton* b = Add<TdxBarButton>();
  b->SetCaption("B");
  container->ItemLinks()->Add(a);
  container->ItemLinks()->Add(b);
  const TListed listed = Listed(container);
  EXPECT_EQ((std::vector<String>{"A", "B"}), listed.Captions);
  EXPECT_EQ((std::vector<bool>{true, false}), listed.Groups);
  container->DeleteListedItemLinks(target_->ItemLinks(), 0);
  EXPECT_EQ(0, target_->ItemLinks()->Count());
}

TEST_F(BarContainerItemsTest, AnOpenMenuListsTheEntriesInPlaceAndClicksThem) {
  form_->Show();
  ::SetForegroundWindow(form_->Handle());
  PumpUntilIdle();
  TdxBarButton* top = Add<TdxBarButton>();
  top->SetCaption("Top");
  TdxBarListItem* list = List({"first", "second"});
  int clicks = 0, data = 0;
  list->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  list->OnGetData = TNotifyEvent::FromFunction([&](TObject*) { ++data; });
  auto* menu = new TdxBarPopupMenu(form_.get());
  menu->ItemLinks()->Add(top);
  menu->ItemLinks()->Add(list);
  menu->PopupEx(150, 150, 0, 0, false, nullptr, false, nullptr);
  PumpUntilIdle();
  TdxBarSubMenuControl* open = menu->SubMenuControl();
  ASSERT_TRUE(open);
  TdxBarItemLinks* links = menu->ItemLinks();
  std::vector<String> shown;
  for (Integer i = 0; i < links->VisibleItemCount(); ++i)
    shown.push_back(links->VisibleItems(i)->Item()->Caption());
  EXPECT_EQ((std::vector<String>{"Top", "&1 first", "&2 second"}), shown);
  EXPECT_EQ(1, data);

  TdxBarItemControl* second = links->VisibleItems(2)->Control();
  ASSERT_TRUE(second);
  const TRect r = second->GetItemBounds();
  Click(ScreenPointOf(open->Handle(), (r.Left + r.Right) / 2,
                      (r.Top + r.Bottom) / 2));
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(1, list->ItemIndex());
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  // Closed: the menu holds its own two links again, both shown.
  EXPECT_EQ(2, links->Count());
  EXPECT_TRUE(links->Items(1)->Visible());
  EXPECT_TRUE(list->NeedsClear());
}

}  // namespace
