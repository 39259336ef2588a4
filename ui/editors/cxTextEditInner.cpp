// The Windows edit a text editor types in, and the helper through which the
// editor drives it.
#include "WinApi.h"
//
#include <imm.h>

#include "Clipbrd.h"
#include "ScopeGuard.h"
#include "cxTextEdit.h"

// ---------------------------------------------------------------------------
// State snapshots
// ---------------------------------------------------------------------------

void SaveTextEditState(IcxInnerTextEdit* AEdit, bool ASaveText,
                       TcxCustomInnerTextEditPrevState& APrevState) {
  APrevState.IsTextSaved = ASaveText;
  APrevState.Text = ASaveText ? VarToStr(AEdit->GetEditValue()) : String();
  APrevState.SelStart = AEdit->GetSelStart();
  APrevState.SelLength = AEdit->GetSelLength();
}

bool CheckTextEditState(IcxInnerTextEdit* AEdit,
                        const TcxCustomInnerTextEditPrevState& APrevState) {
  if (!AEdit->GetControl()->HandleAllocated()) return true;
  if (AEdit->GetSelStart() != APrevState.SelStart ||
      AEdit->GetSelLength() != APrevState.SelLength)
    return true;
  return APrevState.IsTextSaved &&
         !InternalCompareString(VarToStr(AEdit->GetEditValue()),
                                APrevState.Text, false);
}

// ---------------------------------------------------------------------------
// TcxCustomInnerTextEditHelper
// ---------------------------------------------------------------------------

TcxCustomInnerTextEditHelper::TcxCustomInnerTextEditHelper(
    TcxCustomInnerTextEdit* AEdit)
    : TcxInterfacedPersistent(nullptr), edit_(AEdit) {}

Integer TcxCustomInnerTextEditHelper::QueryInterface(const TGUID& iid,
                                                     void** obj) {
  if (!obj) return TcxInterfacedPersistent::QueryInterface(iid, obj);
  if (iid == IcxContainerInnerControl::IID || iid == IcxCustomInnerEdit::IID ||
      iid == IcxInnerTextEdit::IID) {
    *obj = static_cast<IcxInnerTextEdit*>(this);
    return S_OK_;
  }
  return TcxInterfacedPersistent::QueryInterface(iid, obj);
}

TWinControl* TcxCustomInnerTextEditHelper::GetControl() { return edit_; }

TcxContainer* TcxCustomInnerTextEditHelper::GetControlContainer() {
  return edit_->GetContainer();
}

LRESULT TcxCustomInnerTextEditHelper::CallDefWndProc(UINT AMsg, WPARAM WParam,
                                                     LPARAM LParam) {
  return ::CallWindowProcA(edit_->DefWndProc(), edit_->Handle(), AMsg, WParam,
                           LParam);
}

Variant TcxCustomInnerTextEditHelper::GetEditValue() {
  return Variant(edit_->Text());
}

void TcxCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  const String text = VarToStr(Value);
  const bool changed = text != edit_->Text();
  edit_->SetText(text);
  // At design time no window notification reports the change.
  if (changed && edit_->ComponentState().Contains(csDesigning) &&
      edit_->OnChange)
    edit_->OnChange(edit_);
}

TNotifyEvent TcxCustomInnerTextEditHelper::GetOnChange() {
  return edit_->OnChange;
}
void TcxCustomInnerTextEditHelper::SetOnChange(TNotifyEvent Value) {
  edit_->OnChange = Value;
}
bool TcxCustomInnerTextEditHelper::GetReadOnly() { return edit_->ReadOnly(); }
void TcxCustomInnerTextEditHelper::SetReadOnly(bool Value) {
  edit_->SetReadOnly(Value);
}

void TcxCustomInnerTextEditHelper::LockBounds(bool ALock) {
  if (ALock)
    ++edit_->lockBoundsCount_;
  else if (edit_->lockBoundsCount_ > 0)
    --edit_->lockBoundsCount_;
}

void TcxCustomInnerTextEditHelper::SafelySetFocus() {
  const bool autoSelect = edit_->AutoSelect();
  edit_->SetAutoSelect(false);
  auto restore = TScopeGuard([&] { edit_->SetAutoSelect(autoSelect); });
  edit_->SetFocus();
}

void TcxCustomInnerTextEditHelper::SetParent(TWinControl* Value) {
  edit_->SetParent(Value);
}

void TcxCustomInnerTextEditHelper::ClearSelection() {
  if (edit_->HandleAllocated()) edit_->ClearSelection();
}

void TcxCustomInnerTextEditHelper::CopyToClipboard() {
  if (edit_->HandleAllocated()) ::SendMessageA(edit_->Handle(), WM_COPY, 0, 0);
}

TAlignment TcxCustomInnerTextEditHelper::GetAlignment() {
  return edit_->Alignment();
}
void TcxCustomInnerTextEditHelper::SetAlignment(TAlignment Value) {
  auto* container = edit_->GetContainer();
  if (container && container->ActiveProperties()->UseLeftAlignmentOnEditing())
    Value = taLeftJustify;
  edit_->SetAlignment(Value);
}
bool TcxCustomInnerTextEditHelper::GetAutoSelect() {
  return edit_->AutoSelect();
}
void TcxCustomInnerTextEditHelper::SetAutoSelect(bool Value) {
  edit_->SetAutoSelect(Value);
}
TEditCharCase TcxCustomInnerTextEditHelper::GetCharCase() {
  return edit_->CharCase();
}
void TcxCustomInnerTextEditHelper::SetCharCase(TEditCharCase Value) {
  edit_->SetCharCase(Value);
}
TcxEditEchoMode TcxCustomInnerTextEditHelper::GetEchoMode() {
  return edit_->echoMode_;
}
void TcxCustomInnerTextEditHelper::SetEchoMode(TcxEditEchoMode Value) {
  if (edit_->echoMode_ == Value) return;
  edit_->echoMode_ = Value;
  edit_->UpdateEchoMode();
}
bool TcxCustomInnerTextEditHelper::GetHideSelection() {
  return edit_->HideSelection();
}
void TcxCustomInnerTextEditHelper::SetHideSelection(bool Value) {
  edit_->SetHideSelection(Value);
}
char TcxCustomInnerTextEditHelper::GetImeLastChar() {
  return edit_->imeCharCount_ == 2 ? edit_->imeLastChar_ : '\0';
}
TImeMode TcxCustomInnerTextEditHelper::GetImeMode() { return edit_->ImeMode(); }
void TcxCustomInnerTextEditHelper::SetImeMode(TImeMode Value) {
  edit_->SetImeMode(Value);
}
String TcxCustomInnerTextEditHelper::GetImeName() { return edit_->ImeName(); }
void TcxCustomInnerTextEditHelper::SetImeName(const String& Value) {
  edit_->SetImeName(Value);
}
bool TcxCustomInnerTextEditHelper::GetInternalUpdating() {
  return edit_->internalUpdating_;
}
void TcxCustomInnerTextEditHelper::SetInternalUpdating(bool Value) {
  edit_->internalUpdating_ = Value;
}
Integer TcxCustomInnerTextEditHelper::GetMaxLength() {
  return edit_->MaxLength();
}
void TcxCustomInnerTextEditHelper::SetMaxLength(Integer Value) {
  edit_->SetMaxLength(Value);
}
bool TcxCustomInnerTextEditHelper::GetOEMConvert() {
  return edit_->OEMConvert();
}
void TcxCustomInnerTextEditHelper::SetOEMConvert(bool Value) {
  edit_->SetOEMConvert(Value);
}
TNotifyEvent TcxCustomInnerTextEditHelper::GetOnSelChange() {
  return edit_->OnSelChange;
}
void TcxCustomInnerTextEditHelper::SetOnSelChange(TNotifyEvent Value) {
  edit_->OnSelChange = Value;
}
char TcxCustomInnerTextEditHelper::GetPasswordChar() {
  return edit_->passwordChar_;
}
void TcxCustomInnerTextEditHelper::SetPasswordChar(char Value) {
  if (edit_->passwordChar_ == Value) return;
  edit_->passwordChar_ = Value;
  if (edit_->echoMode_ == eemPassword) edit_->UpdateEchoMode();
}

Integer TcxCustomInnerTextEditHelper::GetSelStart() {
  if (edit_->imeCharCount_ > 0) return savedSelStart_;
  return edit_->HandleAllocated() ? edit_->SelStart() : 0;
}

Integer TcxCustomInnerTextEditHelper::GetSelLength() {
  if (edit_->imeCharCount_ > 0) return savedSelLength_;
  return edit_->HandleAllocated() ? edit_->SelLength() : 0;
}

String TcxCustomInnerTextEditHelper::GetSelText() {
  return edit_->HandleAllocated() ? edit_->SelText() : String();
}

void TcxCustomInnerTextEditHelper::SetSelStart(Integer Value) {
  if (!edit_->HandleAllocated()) return;
  // While an input-method character is pending the caret stays put.
  if (edit_->imeCharCount_ > 0)
    savedSelStart_ = Value;
  else
    edit_->SetSelStart(Value);
}

void TcxCustomInnerTextEditHelper::SetSelLength(Integer Value) {
  if (!edit_->HandleAllocated()) return;
  if (edit_->imeCharCount_ > 0)
    savedSelLength_ = Value;
  else
    edit_->SetSelLength(Value);
}

void TcxCustomInnerTextEditHelper::SetSelText(const String& Value) {
  if (edit_->HandleAllocated()) edit_->SetSelText(Value);
}

void TcxCustomInnerTextEditHelper::SelectAll() {
  if (edit_->HandleAllocated()) edit_->SelectAll();
}

// ---------------------------------------------------------------------------
// TcxCustomInnerTextEdit
// ---------------------------------------------------------------------------

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), container_(dynamic_cast<TcxCustomEdit*>(AOwner)) {
  TRestoreOnExit creating(isCreating_, true);
  helper_.reset(new TcxCustomInnerTextEditHelper(this));
  SetBorderStyle(bsNone);
  SetParentColor(true);
  SetParentFont(false);
  UpdateEchoMode();
}

TcxCustomInnerTextEdit::~TcxCustomInnerTextEdit() = default;

Integer TcxCustomInnerTextEdit::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxInnerEditHelper::IID) {
    *obj = static_cast<IcxInnerEditHelper*>(this);
    return S_OK_;
  }
  if (obj && iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return S_OK_;
  }
  return TCustomEdit::QueryInterface(iid, obj);
}

TcxCustomTextEdit* TcxCustomInnerTextEdit::TextContainer() const {
  return dynamic_cast<TcxCustomTextEdit*>(container_);
}

void TcxCustomInnerTextEdit::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerTextEdit::UpdateEchoMode() {
  if (echoMode_ == eemPassword)
    SetPasswordChar(passwordChar_ ? passwordChar_ : '*');
  else
    SetPasswordChar('\0');
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  static constexpr DWORD kAlignment[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  Params.Style |= kAlignment[alignment_];
  Params.Style &= ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.Style |= ES_AUTOHSCROLL;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TcxCustomInnerTextEdit::CreateWindowHandle(const TCreateParams& Params) {
  // The text arrives past the class's change handling.
  TCreateParams params = Params;
  params.Caption = "";
  TCustomEdit::CreateWindowHandle(params);
  if (HandleAllocated() && !Params.Caption.empty())
    ::CallWindowProcA(DefWndProc(), Handle(), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(Params.Caption.c_str()));
}

void TcxCustomInnerTextEdit::CreateHandle() {
  if (container_) container_->ClearSavedChildControlRegions();
  TCustomEdit::CreateHandle();
}

void TcxCustomInnerTextEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  AdjustMargins();
}

void TcxCustomInnerTextEdit::AdjustMargins() {
  ::SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELONG(0, 1));
}

void TcxCustomInnerTextEdit::SetBounds(Integer ALeft, Integer ATop,
                                       Integer AWidth, Integer AHeight) {
  if (isCreating_ || lockBoundsCount_ > 0) return;
  if (!container_) {
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  container_->LockAlignControls(true);
  auto unlock = TScopeGuard([this] { container_->LockAlignControls(false); });
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TcxCustomInnerTextEdit::CanFocus() {
  return container_ ? container_->CanFocus() : TCustomEdit::CanFocus();
}

void TcxCustomInnerTextEdit::WndProc(TMessage& Message) {
  if (container_) {
    if (container_->InnerControlMenuHandler(Message)) return;
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
        container_->DragMode() == dmAutomatic && !container_->Dragging()) {
      _TcxContainerAccess::BeginAutoDrag(container_);
      return;
    }
  }
  TCustomEdit::WndProc(Message);
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& Message) {
  if (container_ && container_->InnerControlDefaultHandler(Message)) return;
  TCustomEdit::DefaultHandler(Message);
}

void TcxCustomInnerTextEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
      WMKeyDown(Message);
      return;
    case WM_CHAR:
      WMChar(Message);
      return;
    case WM_IME_CHAR:
      WMImeChar(Message);
      return;
    case WM_IME_COMPOSITION:
      if (!container_ || container_->DoEditing()) DefaultHandler(Message);
      return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
      WMClipboard(Message);
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      WMFocus(Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_SIZE:
      TCustomEdit::Dispatch(Message);
      if (HandleAllocated()) AdjustMargins();
      return;
    case EM_SETSEL:
      DefaultHandler(Message);
      if (OnSelChange) OnSelChange(this);
      return;
    default:
      TCustomEdit::Dispatch(Message);
  }
}

void TcxCustomInnerTextEdit::WMKeyDown(TMessage& Message) {
  TcxCustomTextEdit* container = TextContainer();
  const Word key = static_cast<Word>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (container && container->HasPopupWindow() &&
      container->ActiveProperties()->IsPopupKey(key, shift) &&
      container->ILookupData()) {
    if (auto* list = container->ILookupData()->GetActiveControl();
        list && list->HandleAllocated()) {
      Message.Result = ::SendMessageA(list->Handle(), WM_KEYDOWN,
                                      Message.WParam, Message.LParam);
      if (Message.Result == 0) return;
    }
  }
  TcxCustomInnerTextEditPrevState state;
  SaveTextEditState(helper_.get(), true, state);
  internalUpdating_ = false;
  TCustomEdit::Dispatch(Message);
  // A key the edit had no use for (Left at the start, Right at the end)
  // goes on to the grid.
  if (container_ && !internalUpdating_ &&
      !CheckTextEditState(helper_.get(), state) && Message.WParam != 0) {
    Word k = static_cast<Word>(Message.WParam);
    container_->DoAfterKeyDown(k, shift);
  }
}

void TcxCustomInnerTextEdit::WMChar(TMessage& Message) {
  TcxCustomInnerTextEditPrevState state;
  SaveTextEditState(helper_.get(), true, state);
  internalUpdating_ = false;
  TCustomEdit::Dispatch(Message);
  TcxCustomTextEdit* container = TextContainer();
  if (imeCharCount_ > 0 && --imeCharCount_ == 0 && container &&
      container->FindSelection() && HandleAllocated())
    ::SendMessageA(Handle(), EM_SETSEL, helper_->savedSelStart_,
                   helper_->savedSelStart_ + helper_->savedSelLength_);
  if (!container) return;
  container->UnlockLookupDataTextChanged();
  if (!internalUpdating_ && CheckTextEditState(helper_.get(), state))
    container->SetFindSelection(false);
}

void TcxCustomInnerTextEdit::WMImeChar(TMessage& Message) {
  if ((Message.WParam & 0xFF00) != 0) {
    imeCharCount_ = 2;
    imeLastChar_ = static_cast<char>(Message.WParam & 0xFF);
  } else {
    imeCharCount_ = 1;
  }
  if (HandleAllocated()) {
    helper_->savedSelStart_ = SelStart();
    helper_->savedSelLength_ = SelLength();
  }
  DefaultHandler(Message);
}

void TcxCustomInnerTextEdit::WMClipboard(TMessage& Message) {
  Message.Result = 0;
  TcxCustomTextEdit* container = TextContainer();
  if (!container) {
    DefaultHandler(Message);
    return;
  }
  if (Message.Msg != WM_CUT && ReadOnly()) return;
  auto userAction = UserActionScope(container);
  switch (Message.Msg) {
    case WM_CUT:
      if (ReadOnly())
        container->CopyToClipboard();
      else
        container->CutToClipboard();
      break;
    case WM_PASTE:
      container->PasteFromClipboard();
      break;
    default:
      container->ClearSelection();
  }
}

void TcxCustomInnerTextEdit::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTCHARS;
  if (!container_) return;
  if (container_->TabsNeeded() && ::GetKeyState(VK_CONTROL) >= 0)
    Message.Result |= DLGC_WANTTAB;
  if (container_->IsInplace() || container_->HasPopupWindow())
    Message.Result |= DLGC_WANTALLKEYS;
}

void TcxCustomInnerTextEdit::WMFocus(TMessage& Message) {
  TCustomEdit::Dispatch(Message);
  TcxCustomTextEdit* container = TextContainer();
  if (!container || ComponentState().Contains(csDestroying) ||
      container->IsDestroying())
    return;
  if (Message.Msg == WM_SETFOCUS && container->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.WParam) == container->Handle())
    return;
  container->InnerEditFocusChanged();
}

void TcxCustomInnerTextEdit::KeyDown(Word& Key, TShiftState Shift) {
  internalUpdating_ = false;
  if (container_) {
    auto consumed = TScopeGuard([this, &Key] {
      if (Key == 0) internalUpdating_ = true;
    });
    _TcxContainerAccess::KeyDown(container_, Key, Shift);
  }
  if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& Key) {
  internalUpdating_ = false;
  if (Key == '\t') Key = 0;
  if (container_ && Key != 0) {
    auto consumed = TScopeGuard([this, &Key] {
      if (Key == 0) internalUpdating_ = true;
    });
    _TcxContainerAccess::KeyPress(container_, Key);
    TcxCustomTextEdit* container = TextContainer();
    if (container && container->InnerEditKeyPressConsumesEnterEsc(Key)) Key = 0;
  }
  if (Key == 0) internalUpdating_ = true;
  if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TcxCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  internalUpdating_ = false;
  if (Key == VK_TAB) Key = 0;
  if (container_ && Key != 0) {
    auto consumed = TScopeGuard([this, &Key] {
      if (Key == 0) internalUpdating_ = true;
    });
    _TcxContainerAccess::KeyUp(container_, Key, Shift);
  }
  if (Key == 0) internalUpdating_ = true;
  if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift,
                                       Integer X, Integer Y) {
  TCustomEdit::MouseDown(Button, Shift, X, Y);
  if (!container_) return;
  container_->SetInnerControlMouseDown(true);
  auto reset = TScopeGuard([this] {
    if (container_) container_->SetInnerControlMouseDown(false);
  });
  _TcxContainerAccess::MouseDown(container_, Button, Shift, X + Left(),
                                 Y + Top());
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState Shift, Integer X,
                                       Integer Y) {
  TCustomEdit::MouseMove(Shift, X, Y);
  if (container_)
    _TcxContainerAccess::MouseMove(container_, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift,
                                     Integer X, Integer Y) {
  TCustomEdit::MouseUp(Button, Shift, X, Y);
  if (container_)
    _TcxContainerAccess::MouseUp(container_, Button, Shift, X + Left(),
                                 Y + Top());
}

void TcxCustomInnerTextEdit::Click() {
  TCustomEdit::Click();
  if (container_) _TcxContainerAccess::Click(container_);
}

void TcxCustomInnerTextEdit::DblClick() {
  TCustomEdit::DblClick();
  if (container_) _TcxContainerAccess::DblClick(container_);
}

Integer TcxCustomInnerTextEdit::GetCursorPos() {
  if (!HandleAllocated()) return 0;
  POINT caret{};
  ::GetCaretPos(&caret);
  const auto caretX = static_cast<short>(caret.x);
  auto xOf = [this](Integer AIndex) {
    const LRESULT pos = ::SendMessageA(Handle(), EM_POSFROMCHAR, AIndex, 0);
    return static_cast<short>(LOWORD(pos));
  };
  Integer low = 0;
  Integer high = static_cast<Integer>(Text().size()) - 1;
  if (high < 0) return 0;
  while (high - low >= 2) {
    const Integer middle = (low + high) / 2;
    if (xOf(middle) < caretX)
      low = middle;
    else
      high = middle;
  }
  if (xOf(low) == caretX) return low;
  if (xOf(high) == caretX) return high;
  return high + 1;
}
