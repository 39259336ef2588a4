// Items and menus made the same way by the windowed bar tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "Forms.h"
#include "UiDriverWin.h"
#include "dxBar.h"
#include "dxBarPopupMenu.h"

namespace bar_test {

// A button of the manager; each click counts in AClicks when given.
inline TdxBarButton* AddButton(TdxBarManager* AManager, const String& ACaption,
                               int* AClicks = nullptr) {
  auto* b = static_cast<TdxBarButton*>(AManager->AddButton());
  b->SetCaption(ACaption);
  if (AClicks)
    b->OnClick =
        TNotifyEvent::FromFunction([AClicks](TObject*) { ++*AClicks; });
  return b;
}

inline TdxBarSubItem* AddSubItem(TdxBarManager* AManager,
                                 const String& ACaption,
                                 std::initializer_list<TdxBarItem*> AItems) {
  auto* s = static_cast<TdxBarSubItem*>(AManager->AddSubItem());
  s->SetCaption(ACaption);
  for (TdxBarItem* item : AItems) s->ItemLinks()->Add(item);
  return s;
}

inline TdxBarPopupMenu* AddPopupMenu(
    TComponent* AOwner, std::initializer_list<TdxBarItem*> AItems) {
  auto* menu = new TdxBarPopupMenu(AOwner);
  for (TdxBarItem* item : AItems) menu->ItemLinks()->Add(item);
  return menu;
}

// A form with a bar manager; open menus close and the form goes when the
// test ends.
class TBarFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(120, 120, 500, 300);
    manager_ = new TdxBarManager(form_.get());
  }
  void TearDown() override {
    if (ActiveBarControl) ActiveBarControl->HideAll();
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  void ShowForm() {
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    ui_test::PumpUntilIdle();
  }
  TdxBarButton* Button(const String& ACaption, int* AClicks = nullptr) {
    return AddButton(manager_, ACaption, AClicks);
  }
  TdxBarSubItem* SubItem(const String& ACaption,
                         std::initializer_list<TdxBarItem*> AItems) {
    return AddSubItem(manager_, ACaption, AItems);
  }
  // A visible toolbar "Tools" docked at the top.
  TdxBar* Toolbar(std::initializer_list<TdxBarItem*> AItems) {
    TdxBar* bar = manager_->Bars()->Add();
    bar->SetCaption("Tools");
    for (TdxBarItem* item : AItems) bar->ItemLinks()->Add(item);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    return bar;
  }
  TdxBarPopupMenu* Menu(std::initializer_list<TdxBarItem*> AItems) {
    return AddPopupMenu(form_.get(), AItems);
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
};

}  // namespace bar_test
