// The main window opened in a sandboxed registry, for the windowed tests of
// the program: groups stored beforehand, the window shown, a group picked
// in its list, and the select-folder dialog answered from inside its loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <memory>
#include <vector>

#include "AppTestSupport.h"
#include "PlacesTestSupport.h"
#include "RegistrySandbox.h"
#include "cxButtonEdit.h"
#include "cxButtons.h"
#include "cxDropDownEdit.h"
#include "cxTextEdit.h"
#include "dlgSelectFolder.h"
#include "wndMain.h"

namespace main_window_test {

using namespace ui_test;
using places_test::PutDword;
using places_test::PutString;

// A stored group with its flags and places (a special folder's number or
// a folder's path per place, as the store keeps them in "Path").
inline void StoreGroup(const String& Set, const String& Name, Integer Flags,
                       const std::vector<String>& Places = {}) {
  const String key = Set + "\\" + Name;
  PutDword(key, "Flags", Flags);
  for (size_t i = 0; i < Places.size(); ++i) {
    const String place = key + "\\Place" + std::to_string(i);
    const String& p = Places[i];
    if (!p.empty() && isdigit(static_cast<unsigned char>(p[0]))) {
      PutDword(place, "Path", std::stoi(p));
    } else {
      PutString(place, "Path", p);
    }
  }
}

// Chooses entry Index of the dialog's list with the keyboard, types Path
// into the custom-place edit when given, and confirms.
inline void ChooseInDialog(TdlgSelectFolder* d, Integer Index,
                           const String& Path = String()) {
  d->cbFldSelect->SetFocus();
  // To the first entry, from no choice or from the one the dialog was
  // preset to, then down.
  for (Integer guard = 0; d->cbFldSelect->ItemIndex() != 0 && guard < 40;
       ++guard) {
    PressKeys(
        {static_cast<WORD>(d->cbFldSelect->ItemIndex() < 0 ? VK_DOWN : VK_UP)});
    PumpUntilIdle();
  }
  for (Integer i = 0; i < Index; ++i) PressKeys({VK_DOWN});
  PumpUntilIdle();
  if (!Path.empty()) {
    d->edtCustomPlace->SetFocus();
    TypeText(Path);
    PumpUntilIdle();
  }
  Click(d->btnOk);
}

// The window under test; the group list is reached through the window so
// that tests of the grids need not see the list view's header.
class TMainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override { sandbox_ = std::make_unique<TRegistrySandbox>(); }
  void TearDown() override {
    form_.reset();
    Pump();
    TOfficeDialogPlaces::SetDefaultOfficeVersion(0);
    sandbox_.reset();
  }
  void Open(bool Show = false) {
    form_.reset(NewForm<TwndMain>(nullptr));
    if (Show) {
      form_->Show();
      ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                            "main window shown"));
      PumpUntilIdle();
    }
  }
  TListItem* ListItem(const String& Caption) {
    TListItems* items = form_->GetGroupListItems();
    for (Integer i = 0; i < items->Count(); ++i) {
      if (items->Item(i)->Caption() == Caption) return items->Item(i);
    }
    return nullptr;
  }
  void Select(const String& Caption) {
    TListItem* item = ListItem(Caption);
    ASSERT_TRUE(item) << Caption;
    item->SetSelected(true);
    PumpUntilIdle();
  }
  std::unique_ptr<TRegistrySandbox> sandbox_;
  TObjectPtr<TwndMain> form_;
};

}  // namespace main_window_test
