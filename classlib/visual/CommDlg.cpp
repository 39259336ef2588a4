#include "CommDlg.h"

#include <commdlg.h>

#include <vector>

#include "Forms.h"
#include "Graphics.h"

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

String FilterToDialog(const String& Filter) {
  if (Filter.empty()) return String();
  String out = Filter;
  for (char& c : out)
    if (c == '|') c = '\0';
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

void ParseDialogFiles(const char* Buffer, std::size_t Size, TStrings* Files) {
  Files->Clear();
  std::vector<String> parts;
  std::size_t at = 0;
  while (at < Size && Buffer[at] != '\0') {
    std::size_t end = at;
    while (end < Size && Buffer[end] != '\0') ++end;
    parts.emplace_back(Buffer + at, end - at);
    at = end + 1;
  }
  if (parts.empty()) return;
  if (parts.size() == 1) {
    Files->Add(parts[0]);
    return;
  }
  const String dir = IncludeTrailingPathDelimiter(parts[0]);
  for (std::size_t i = 1; i < parts.size(); ++i) Files->Add(dir + parts[i]);
}

// ---------------------------------------------------------------------------
// TCommonDialog
// ---------------------------------------------------------------------------

void TCommonDialog::DoShow() {
  if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose() {
  if (OnClose) OnClose(this);
}

HWND TCommonDialog::OwnerWindow() const {
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    return Screen->ActiveForm()->Handle();
  return Application ? Application->Handle() : nullptr;
}

// ---------------------------------------------------------------------------
// TOpenDialog
// ---------------------------------------------------------------------------

namespace {

struct TOptionFlag {
  TOpenOption option;
  DWORD flag;
};

constexpr TOptionFlag kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
};

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), files_(new TStringList) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::CanClose() {
  bool result = true;
  if (OnCanClose) OnCanClose(this, result);
  return result;
}

UINT_PTR CALLBACK TOpenDialog::HookProc(HWND Wnd, UINT Msg, WPARAM,
                                        LPARAM LParam) {
  // Nothing may leave the dialog's callback.
  try {
    if (Msg == WM_INITDIALOG) {
      const auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(LParam);
      auto* self = reinterpret_cast<TOpenDialog*>(ofn->lCustData);
      ::SetPropA(Wnd, "VarnelDialog", self);
      // The hook runs in a child of the Explorer-style dialog.
      self->handle_ = ::GetParent(Wnd);
      self->DoShow();
      return 0;
    }
    auto* self = static_cast<TOpenDialog*>(::GetPropA(Wnd, "VarnelDialog"));
    if (!self) return 0;
    if (Msg == WM_NOTIFY) {
      const auto* n = reinterpret_cast<const OFNOTIFYA*>(LParam);
      if (n->hdr.code == CDN_FILEOK && !self->CanClose()) {
        ::SetWindowLongPtrA(Wnd, DWLP_MSGRESULT, 1);
        return 1;
      }
    } else if (Msg == WM_DESTROY) {
      self->DoClose();
      self->handle_ = nullptr;
      ::RemovePropA(Wnd, "VarnelDialog");
    }
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return 0;
}

bool TOpenDialog::DoExecute(BOOL(WINAPI* Func)(LPOPENFILENAMEA)) {
  std::vector<char> names(kNameBufferSize, '\0');
  // A name longer than the buffer cannot be offered; it is cut, not
  // written past the end.
  fileName_.copy(names.data(), std::min(fileName_.size(), names.size() - 1));
  const String filter = FilterToDialog(filter_);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max<Integer>(filterIndex_, 0));
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = static_cast<DWORD>(names.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OFN_ENABLEHOOK;
  if (!options_.Contains(ofOldStyleDialog)) ofn.Flags |= OFN_EXPLORER;
  for (const TOptionFlag& f : kOptionFlags)
    if (options_.Contains(f.option)) ofn.Flags |= f.flag;
  ofn.lpfnHook = &TOpenDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);

  // The dialog is modal to the application's windows.
  HWND owner = ofn.hwndOwner;
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  const BOOL ok = Func(&ofn);
  handle_ = nullptr;
  if (owner && ownerWasEnabled && !::IsWindowEnabled(owner))
    ::EnableWindow(owner, TRUE);
  if (!ok) return false;

  ParseDialogFiles(names.data(), names.size(), files_.get());
  fileName_ = files_->Count() > 0 ? files_->Strings(0) : String(names.data());
  filterIndex_ = static_cast<Integer>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY) {
    options_.Include(ofReadOnly);
  } else {
    options_.Exclude(ofReadOnly);
  }
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) {
    options_.Include(ofExtensionDifferent);
  } else {
    options_.Exclude(ofExtensionDifferent);
  }
  return true;
}

bool TOpenDialog::Execute() { return DoExecute(&::GetOpenFileNameA); }

bool TSaveDialog::Execute() { return DoExecute(&::GetSaveFileNameA); }

// ---------------------------------------------------------------------------
// Picture dialogs
// ---------------------------------------------------------------------------

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner)
    : TOpenDialog(AOwner) {
  SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

bool TSavePictureDialog::Execute() { return DoExecute(&::GetSaveFileNameA); }
