#include "dlgSelectFolder.h"

#include "ExtCtrls.h"
#include "ScopeGuard.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "cxButtonEdit.h"
#include "cxButtons.h"
#include "cxDropDownEdit.h"
#include "cxShellBrowserDialog.h"
#include "uFormHelpers.h"

const TFolderEntry kFolderEntries[17] = {
    {"Clear Entry", -1, -1},
    {"Custom Place", -1, -1},
    {"Desktop", 0, 12},
    {"My Computer", 17, 0},
    {"FAVORITES", 6, 13},
    {"Recent", 8, 14},
    {"My Music", 13, 1},
    {"My Pictures", 39, 2},
    {"Network Neighborhood", 18, 3},
    {"My Documents", 5, 4},
    {"App Data", 26, 5},
    {"CD Burn Area", 59, 6},
    {"Common App Data", 35, 7},
    {"Common Documents", 46, 8},
    {"Common Favorites", 31, 9},
    {"Common Music", 53, 10},
    {"Common Pictures", 54, 11},
};

namespace {
constexpr Integer kClearEntry = 0;
constexpr Integer kCustomPlace = 1;

// The CSIDL rides in the entry's object slot.
TObject* FolderIdObject(Integer FolderId) {
  return reinterpret_cast<TObject*>(static_cast<intptr_t>(FolderId));
}
Integer ObjectFolderId(TObject* Object) {
  return static_cast<Integer>(reinterpret_cast<intptr_t>(Object));
}
}  // namespace

TStringList* NewFolderEntries(Word Mask) {
  auto* list = new TStringList;
  for (const TFolderEntry& e : kFolderEntries) {
    if (e.MaskBit >= 0 && !(Mask & (1u << e.MaskBit))) continue;
    list->AddObject(e.Caption, FolderIdObject(e.FolderId));
  }
  return list;
}

TdlgSelectFolder* TdlgSelectFolder::Create(TComponent* AOwner) {
  return NewForm<TdlgSelectFolder>(AOwner);
}

TdlgSelectFolder::~TdlgSelectFolder() = default;

void TdlgSelectFolder::Loaded() {
  inherited::Loaded();
  cbFldSelect = FindChild<TcxComboBox>(this, "cbFldSelect");
  btnOk = FindChild<TcxButton>(this, "btnOk");
  btnCancel = FindChild<TcxButton>(this, "btnCancel");

  // The button editor and the browse dialog are not stream classes yet.
  edtCustomPlace = new TcxButtonEdit(this);
  edtCustomPlace->SetName("edtCustomPlace");
  edtCustomPlace->SetParent(this);
  edtCustomPlace->SetBounds(cbFldSelect->Left(),
                            cbFldSelect->Top() + cbFldSelect->Height() + 16,
                            341, 21);
  edtCustomPlace->SetEnabled(false);
  edtCustomPlace->Properties()->OnButtonClick = TcxEditButtonClickEvent(
      this, &TdlgSelectFolder::edtCustomPlacePropertiesButtonClick);
  edtCustomPlace->Properties()->OnChange =
      TNotifyEvent(this, &TdlgSelectFolder::edtCustomPlacePropertiesChange);
  ShellBrowseDld = new TcxShellBrowserDialog(this);
  ShellBrowseDld->SetName("ShellBrowseDld");

  cbFldSelect->Properties()->OnChange =
      TNotifyEvent(this, &TdlgSelectFolder::cbFldSelectPropertiesChange);
  btnOk->SetEnabled(false);

  folderMask_ = kAllSpecialFolders;
  FillFolderList();
  edtCustomPlace->SetText("");
}

void TdlgSelectFolder::SetFolderMask(Word Mask) {
  if (Mask == folderMask_) return;
  folderMask_ = Mask;
  FillFolderList();
}

void TdlgSelectFolder::FillFolderList() {
  entries_.reset(NewFolderEntries(folderMask_));
  cbFldSelect->Properties()->Items()->Assign(entries_.get());
  cbFldSelect->SetItemIndex(-1);
  // The combo's text is free: it asks for a choice until one is made.
  cbFldSelect->SetText(kSelectPlaceText);
  UpdateControls();
}

Integer TdlgSelectFolder::GetSelectedFolderId() {
  const Integer index = cbFldSelect->ItemIndex();
  if (index < 2 || index >= entries_->Count()) return -1;
  return ObjectFolderId(entries_->Objects(index));
}

void TdlgSelectFolder::SetSelectedFolderId(Integer FolderId) {
  for (Integer i = 0; i < entries_->Count(); ++i) {
    if (ObjectFolderId(entries_->Objects(i)) == FolderId) {
      cbFldSelect->SetItemIndex(i);
      UpdateControls();
      return;
    }
  }
}

String TdlgSelectFolder::GetPlaceText() {
  if (GetSelectedFolderId() == -1) return edtCustomPlace->Text();
  return entries_->Strings(cbFldSelect->ItemIndex());
}

void TdlgSelectFolder::SetPlaceText(const String& Text) {
  if (Text.empty()) return;
  const Integer index = entries_->IndexOf(Text);
  if (index >= 0) {
    cbFldSelect->SetItemIndex(index);
    UpdateControls();
    return;
  }
  cbFldSelect->SetItemIndex(kCustomPlace);
  UpdateControls();
  edtCustomPlace->SetText(Text);
  UpdateControls();
}

bool TdlgSelectFolder::IsClearEntry() {
  return cbFldSelect->ItemIndex() == kClearEntry;
}

String TdlgSelectFolder::GetCustomPath() { return edtCustomPlace->Text(); }

void TdlgSelectFolder::SetCustomPath(const String& Path) {
  if (!DirectoryExists(Path)) return;
  cbFldSelect->SetItemIndex(kCustomPlace);
  UpdateControls();
  edtCustomPlace->SetText(Path);
  UpdateControls();
}

void TdlgSelectFolder::UpdateControls() {
  // Emptying the edit below comes back here through its change event.
  if (updating_) return;
  updating_ = true;
  TScopeGuard done([this] { updating_ = false; });
  const Integer index = cbFldSelect->ItemIndex();
  edtCustomPlace->SetEnabled(index == kCustomPlace);
  if (index == kCustomPlace) {
    btnOk->SetEnabled(DirectoryExists(edtCustomPlace->Text()));
  } else {
    btnOk->SetEnabled(index >= 0);
  }
  if (index == kClearEntry) edtCustomPlace->SetText("");
}

void TdlgSelectFolder::cbFldSelectPropertiesChange(TObject*) {
  UpdateControls();
}

void TdlgSelectFolder::edtCustomPlacePropertiesChange(TObject*) {
  UpdateControls();
}

void TdlgSelectFolder::edtCustomPlacePropertiesButtonClick(
    TObject*, Integer AButtonIndex) {
  if (AButtonIndex != 0) return;
  const String text = edtCustomPlace->Text();
  ShellBrowseDld->SetPath(text.empty() ? String("\\") : text);
  if (ShellBrowseDld->Execute()) {
    edtCustomPlace->SetText(ShellBrowseDld->Path());
    UpdateControls();
  }
}

namespace {
void dlgSelectFolderStartup() {
  RegisterClasses({TdlgSelectFolder::StaticClass()});
}
}  // namespace

VARNEL_UNIT(dlgSelectFolder,
            ({"Forms", "StdCtrls", "cxButtonEdit", "cxButtons",
              "cxDropDownEdit", "cxShellCommon"}),
            &dlgSelectFolderStartup, nullptr);
