#include "StdCtrls.h"

#include <algorithm>

#include "Forms.h"
#include "SysUtils.h"

// The item lists override TStrings::GetObject, which the system headers
// would rename.
#undef GetObject

// ---------------------------------------------------------------------------
// Item lists of list boxes and combo boxes
// ---------------------------------------------------------------------------

namespace stdctrls_detail {

// The items live in a string list; the window, while there is one, mirrors
// them, so that they survive the window being re-created.
class TItemStrings : public TStrings {
  VARNEL_CLASS(TItemStrings, TStrings)
 public:
  TItemStrings(UINT insertMsg, UINT deleteMsg, UINT resetMsg)
      : insert_(insertMsg), delete_(deleteMsg), reset_(resetMsg) {}

  void Attach(HWND window) {
    window_ = window;
    if (!window_) return;
    ::SendMessageA(window_, reset_, 0, 0);
    for (Integer i = 0; i < list_.Count(); ++i) WindowInsert(i);
  }
  void Detach() { window_ = nullptr; }
  bool Sorted() const { return list_.Sorted(); }
  void SetSorted(bool value) {
    list_.SetSorted(value);
    Attach(window_);
  }

  Integer Add(const String& S) override { return AddObject(S, nullptr); }
  Integer AddObject(const String& S, TObject* AObject) override {
    const Integer i = list_.AddObject(S, AObject);
    WindowInsert(i);
    return i;
  }
  void Insert(Integer Index, const String& S) override {
    InsertObject(Index, S, nullptr);
  }
  void InsertObject(Integer Index, const String& S, TObject* AObject) override {
    list_.InsertObject(Index, S, AObject);
    WindowInsert(Index);
  }
  void Delete(Integer Index) override {
    list_.Delete(Index);
    if (window_) ::SendMessageA(window_, delete_, Index, 0);
  }
  void Clear() override {
    list_.Clear();
    if (window_) ::SendMessageA(window_, reset_, 0, 0);
  }
  Integer IndexOf(const String& S) override { return list_.IndexOf(S); }

 protected:
  String Get(Integer Index) const override { return list_.Strings(Index); }
  Integer GetCount() const override { return list_.Count(); }
  TObject* GetObject(Integer Index) const override {
    return list_.Objects(Index);
  }
  void Put(Integer Index, const String& S) override {
    TObject* obj = list_.Objects(Index);
    list_.Delete(Index);
    if (window_) ::SendMessageA(window_, delete_, Index, 0);
    if (list_.Sorted()) {
      AddObject(S, obj);
    } else {
      InsertObject(Index, S, obj);
    }
  }
  void PutObject(Integer Index, TObject* AObject) override {
    list_.SetObjects(Index, AObject);
  }
  void SetUpdateState(bool Updating) override {
    if (window_) ::SendMessageA(window_, WM_SETREDRAW, !Updating, 0);
    if (!Updating && window_) ::InvalidateRect(window_, nullptr, TRUE);
  }

 private:
  void WindowInsert(Integer index) {
    if (!window_) return;
    const String s = list_.Strings(index);
    ::SendMessageA(window_, insert_, index,
                   reinterpret_cast<LPARAM>(s.c_str()));
  }
  TStringList list_;
  HWND window_ = nullptr;
  UINT insert_, delete_, reset_;
};

}  // namespace stdctrls_detail

using stdctrls_detail::TItemStrings;

namespace {

TOwnerDrawState DrawStateOf(UINT itemState) {
  TOwnerDrawState s;
  if (itemState & ODS_SELECTED) s.Include(odSelected);
  if (itemState & ODS_GRAYED) s.Include(odGrayed);
  if (itemState & ODS_DISABLED) s.Include(odDisabled);
  if (itemState & ODS_CHECKED) s.Include(odChecked);
  if (itemState & ODS_FOCUS) s.Include(odFocused);
  if (itemState & ODS_DEFAULT) s.Include(odDefault);
  if (itemState & ODS_HOTLIGHT) s.Include(odHotLight);
  if (itemState & ODS_INACTIVE) s.Include(odInactive);
  if (itemState & ODS_NOACCEL) s.Include(odNoAccel);
  if (itemState & ODS_NOFOCUSRECT) s.Include(odNoFocusRect);
  if (itemState & ODS_COMBOBOXEDIT) s.Include(odComboBoxEdit);
  return s;
}

// Paints one owner-drawn item through a control's canvas.
template <class Draw>
void PaintItem(TControlCanvas* canvas, TFont* font, TColor color,
               const DRAWITEMSTRUCT& dis, Draw draw) {
  const TOwnerDrawState state = DrawStateOf(dis.itemState);
  TControlPaintScope paint(canvas, dis.hDC);
  canvas->Font()->Assign(font);
  canvas->Brush()->SetColor(color);
  if (state.Contains(odSelected)) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
  }
  const TRect r = Rect(dis.rcItem.left, dis.rcItem.top, dis.rcItem.right,
                       dis.rcItem.bottom);
  if (static_cast<int>(dis.itemID) >= 0) {
    draw(static_cast<Integer>(dis.itemID), r, state);
  } else {
    canvas->FillRect(r);
  }
  if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) {
    canvas->DrawFocusRect(r);
  }
}

// Answers the owner-draw messages that list and combo boxes share: Draw
// paints each item, Measure sizes it when the item heights vary.
template <class Draw, class Measure>
void OwnerDrawMessage(TMessage& M, TControlCanvas* canvas, TFont* font,
                      TColor color, Integer itemHeight, bool variableHeight,
                      Draw draw, Measure measure) {
  if (M.Msg == CN_DRAWITEM) {
    PaintItem(canvas, font, color, *reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam),
              draw);
  } else {
    auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
    Integer h = itemHeight;
    if (variableHeight) measure(static_cast<Integer>(mis.itemID), h);
    mis.itemHeight = static_cast<UINT>(std::max<Integer>(h, 1));
  }
  M.Result = 1;
}

// The default look of an item: its text on the item's background.
template <class Text>
void DrawPlainItem(TControlCanvas* canvas, const TRect& r, Integer index,
                   Integer count, Text text) {
  canvas->FillRect(r);
  if (index >= 0 && index < count) {
    canvas->TextOut(r.Left + 2, r.Top, text(index));
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomLabel
// ---------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ += TControlStyle{csReplicatable};
  controlStyle_.Include(csOpaque);
  width_ = 65;
  height_ = 17;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  if (Value) {
    controlStyle_.Exclude(csOpaque);
  } else {
    controlStyle_.Include(csOpaque);
  }
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (showAccelChar_ == Value) return;
  showAccelChar_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) {
    focusControl_ = nullptr;
  }
}

Integer TCustomLabel::DrawTextFlags() const {
  Integer flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  switch (alignment_) {
    case taRightJustify:
      flags |= DT_RIGHT;
      break;
    case taCenter:
      flags |= DT_CENTER;
      break;
    default:
      flags |= DT_LEFT;
      break;
  }
  return flags;
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  String text = text_;
  if (text.empty() ||
      (showAccelChar_ && text.front() == '&' && text.size() == 1)) {
    text += ' ';
  }
  {
    TWindowDC dc(nullptr);
    TSelectObject font(dc.get(), Font()->Handle());
    ::DrawTextA(dc.get(), text.c_str(), -1, &r,
                static_cast<UINT>(DrawTextFlags()) | DT_CALCRECT);
  }
  Integer x = left_;
  if (!wordWrap_ && alignment_ == taRightJustify) x += width_ - r.right;
  SetBounds(x, top_, r.right, r.bottom);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      // An accelerator in the caption focuses FocusControl.
      if (focusControl_ && enabled_ && showAccelChar_) {
        const auto amp = text_.find('&');
        if (amp != String::npos && amp + 1 < text_.size() &&
            std::toupper(static_cast<unsigned char>(text_[amp + 1])) ==
                std::toupper(static_cast<int>(M.WParam)) &&
            focusControl_->CanFocus()) {
          focusControl_->SetFocus();
          M.Result = 1;
        }
      }
      return;
    default:
      break;
  }
  inherited::Dispatch(M);
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(client);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  UINT flags = static_cast<UINT>(DrawTextFlags());
  if (layout_ != tlTop) {
    RECT calc = r;
    ::DrawTextA(c->Handle(), text_.c_str(), -1, &calc, flags | DT_CALCRECT);
    const int h = calc.bottom - calc.top;
    const int offset = layout_ == tlBottom ? (r.bottom - r.top) - h
                                           : ((r.bottom - r.top) - h) / 2;
    r.top += offset;
  }
  HDC dc = c->Handle();
  ::SetBkMode(dc, TRANSPARENT);
  if (!enabled_) {
    ::OffsetRect(&r, 1, 1);
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    ::DrawTextA(dc, text_.c_str(), -1, &r, flags);
    ::OffsetRect(&r, -1, -1);
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
  }
  ::DrawTextA(dc, text_.c_str(), -1, &r, flags);
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = {csSetCaption, csDoubleClicks};
  SetTabStop(true);
}

void TButtonControl::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (wordWrap_) Params.Style |= BS_MULTILINE;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 75;
  height_ = 25;
  color_ = clBtnFace;
  parentColor_ = false;
  Brush()->SetColor(clBtnFace);
}

void TButton::SetDefault(bool Value) {
  if (default_ == Value) return;
  default_ = Value;
  if (HandleAllocated()) {
    ::SendMessageA(Handle(), BM_SETSTYLE,
                   Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void TButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->SetModalResult(modalResult_);
  }
  inherited::Click();
}

void TButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      if (HIWORD(M.WParam) == BN_CLICKED) {
        Click();
        return;
      }
      break;
    case CM_DIALOGKEY:
      if (((M.WParam == VK_RETURN && default_) ||
           (M.WParam == VK_ESCAPE && cancel_)) &&
          !(M.LParam & 0x20000000) && CanFocus()) {
        Click();
        M.Result = 1;
        return;
      }
      M.Result = 0;
      return;
    case CM_DIALOGCHAR:
      M.Result = 0;
      return;
    case CN_CTLCOLORBTN:
      inherited::Dispatch(M);
      return;
    default:
      break;
  }
  inherited::Dispatch(M);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 97;
  height_ = 17;
  controlStyle_.Exclude(csDoubleClicks);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (state_ == Value) return;
  state_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), BM_SETCHECK, state_, 0);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allowGrayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  inherited::CreateWnd();
  ::SendMessageA(Handle(), BM_SETCHECK, state_, 0);
}

void TCustomCheckBox::Dispatch(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    if (HIWORD(M.WParam) == BN_CLICKED) Toggle();
    return;
  }
  inherited::Dispatch(M);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 113;
  height_ = 17;
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TRadioButton::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  SetTabStop(Value);
  if (HandleAllocated()) ::SendMessageA(Handle(), BM_SETCHECK, Value, 0);
  if (!Value) return;
  if (parent_) {
    for (Integer i = 0; i < parent_->ControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(parent_->Controls(i));
      if (other && other != this) other->SetChecked(false);
    }
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  ::SendMessageA(Handle(), BM_SETCHECK, checked_, 0);
}

void TRadioButton::Dispatch(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    switch (HIWORD(M.WParam)) {
      case BN_CLICKED:
        SetChecked(true);
        break;
      case BN_DOUBLECLICKED:
        DblClick();
        break;
      default:
        break;
    }
    return;
  }
  inherited::Dispatch(M);
}

// ---------------------------------------------------------------------------
// TCustomEdit
// ---------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  // The system's edit tracks the mouse itself.
  controlStyle_ = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  width_ = 121;
  height_ = 21;
  color_ = clWindow;
  parentColor_ = false;
  Brush()->SetColor(clWindow);
  SetTabStop(true);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (hideSelection_ == Value) return;
  hideSelection_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(Integer Value) {
  maxLength_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_LIMITTEXT, Value, 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (oemConvert_ == Value) return;
  oemConvert_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (passwordChar_ == Value) return;
  passwordChar_ = Value;
  if (HandleAllocated()) {
    ::SendMessageA(Handle(), EM_SETPASSWORDCHAR,
                   static_cast<unsigned char>(Value), 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TCustomEdit::SetReadOnly(bool Value) {
  readOnly_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_SETREADONLY, Value, 0);
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) {
    return ::SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  }
  return modified_;
}

void TCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_SETMODIFY, Value, 0);
}

Integer TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  ::SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(start);
}

void TCustomEdit::SetSelStart(Integer Value) {
  ::SendMessageA(Handle(), EM_SETSEL, Value, Value);
}

Integer TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  ::SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(end - start);
}

void TCustomEdit::SetSelLength(Integer Value) {
  DWORD start = 0, end = 0;
  ::SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  ::SendMessageA(Handle(), EM_SETSEL, start,
                 static_cast<LPARAM>(start + Value));
  ::SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

String TCustomEdit::SelText() {
  const Integer start = SelStart();
  const Integer len = SelLength();
  const String t = Text();
  if (start < 0 || start > static_cast<Integer>(t.size())) return String();
  return t.substr(static_cast<std::size_t>(start),
                  static_cast<std::size_t>(len));
}

void TCustomEdit::SetSelText(const String& Value) {
  ::SendMessageA(Handle(), EM_REPLACESEL, 0,
                 reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() { ::SendMessageA(Handle(), EM_SETSEL, 0, -1); }

bool TCustomEdit::CanUndo() {
  return HandleAllocated() && ::SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::Undo() {
  if (HandleAllocated()) ::SendMessageA(Handle(), WM_UNDO, 0, 0);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (passwordChar_) Params.Style |= ES_PASSWORD;
  if (readOnly_) Params.Style |= ES_READONLY;
  if (oemConvert_) Params.Style |= ES_OEMCONVERT;
  if (!hideSelection_) Params.Style |= ES_NOHIDESEL;
  if (charCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
  inherited::CreateWnd();
  HWND h = Handle();
  ::SendMessageA(h, EM_LIMITTEXT, maxLength_, 0);
  if (passwordChar_) {
    ::SendMessageA(h, EM_SETPASSWORDCHAR,
                   static_cast<unsigned char>(passwordChar_), 0);
  }
  ::SendMessageA(h, EM_SETMODIFY, modified_, 0);
  if (recreating_) {
    ::SendMessageA(h, EM_SETSEL, selStart_, selStart_ + selLength_);
  }
}

void TCustomEdit::DestroyWnd() {
  modified_ = Modified();
  selStart_ = SelStart();
  selLength_ = SelLength();
  inherited::DestroyWnd();
}

void TCustomEdit::Change() {
  inherited::Changed();
  OnChange(this);
}

void TCustomEdit::DoEnter() {
  if (autoSelect_ && ::GetKeyState(VK_LBUTTON) >= 0 && HandleAllocated()) {
    SelectAll();
  }
  inherited::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    if (HIWORD(M.WParam) == EN_CHANGE && !controlState_.Contains(csCreating)) {
      Change();
    }
    return;
  }
  inherited::Dispatch(M);
}

// ---------------------------------------------------------------------------
// TCustomMemo
// ---------------------------------------------------------------------------

// The memo's lines over its text.
class TCustomMemo::TMemoStrings : public TStrings {
  VARNEL_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  void Insert(Integer Index, const String& S) override {
    std::vector<String> lines = Split();
    if (Index < 0 || Index > static_cast<Integer>(lines.size())) {
      Error("List index out of bounds (%d)", Index);
    }
    lines.insert(lines.begin() + Index, S);
    Join(lines);
  }
  void Delete(Integer Index) override {
    std::vector<String> lines = Split();
    if (Index < 0 || Index >= static_cast<Integer>(lines.size())) {
      Error("List index out of bounds (%d)", Index);
    }
    lines.erase(lines.begin() + Index);
    Join(lines);
  }
  void Clear() override { memo_->SetText(""); }
  String Text() const override { return memo_->Text(); }
  void SetText(const String& Value) override { memo_->SetText(Value); }

 protected:
  String Get(Integer Index) const override {
    std::vector<String> lines = Split();
    if (Index < 0 || Index >= static_cast<Integer>(lines.size())) {
      Error("List index out of bounds (%d)", Index);
    }
    return lines[static_cast<std::size_t>(Index)];
  }
  Integer GetCount() const override {
    return static_cast<Integer>(Split().size());
  }
  void Put(Integer Index, const String& S) override {
    std::vector<String> lines = Split();
    if (Index < 0 || Index >= static_cast<Integer>(lines.size())) {
      Error("List index out of bounds (%d)", Index);
    }
    lines[static_cast<std::size_t>(Index)] = S;
    Join(lines);
  }

 private:
  std::vector<String> Split() const {
    std::vector<String> lines;
    const String t = memo_->Text();
    std::size_t start = 0;
    while (start < t.size()) {
      std::size_t end = t.find_first_of("\r\n", start);
      if (end == String::npos) {
        lines.push_back(t.substr(start));
        break;
      }
      lines.push_back(t.substr(start, end - start));
      if (t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ++end;
      start = end + 1;
    }
    return lines;
  }
  void Join(const std::vector<String>& lines) {
    String t;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i) t += "\r\n";
      t += lines[i];
    }
    memo_->SetText(t);
  }
  TCustomMemo* memo_;
};

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), lines_(new TMemoStrings(this)) {
  width_ = 185;
  height_ = 89;
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const { return lines_.get(); }

void TCustomMemo::SetLines(TStrings* Value) { lines_->Assign(Value); }

void TCustomMemo::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= ES_MULTILINE;
  if (wantReturns_) Params.Style |= ES_WANTRETURN;
  if (wordWrap_) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
    Params.Style |= WS_VSCROLL;
  }
  if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_) {
    Params.Style |= WS_HSCROLL;
  }
  if (alignment_ == taRightJustify) Params.Style |= ES_RIGHT;
  if (alignment_ == taCenter) Params.Style |= ES_CENTER;
}

void TCustomMemo::Dispatch(TMessage& M) {
  if (M.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(M);
    M.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    if (wantTabs_) M.Result |= DLGC_WANTTAB;
    if (wantReturns_) M.Result |= DLGC_WANTALLKEYS;
    // Escape always goes to the form.
    return;
  }
  inherited::Dispatch(M);
}

// ---------------------------------------------------------------------------
// TCustomItemListControl
// ---------------------------------------------------------------------------

TCustomItemListControl::TCustomItemListControl(TComponent* AOwner,
                                               UINT AInsertMsg,
                                               UINT ADeleteMsg, UINT AResetMsg)
    : TWinControl(AOwner),
      items_(new TItemStrings(AInsertMsg, ADeleteMsg, AResetMsg)),
      canvas_(new TControlCanvas) {
  canvas_->SetControl(this);
  color_ = clWindow;
  parentColor_ = false;
  Brush()->SetColor(clWindow);
  SetTabStop(true);
}

TCustomItemListControl::~TCustomItemListControl() { canvas_->FreeHandle(); }

TStrings* TCustomItemListControl::Items() const { return items_.get(); }

void TCustomItemListControl::SetItems(TStrings* Value) {
  items_->Assign(Value);
}

void TCustomItemListControl::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  items_->SetSorted(Value);
}

void TCustomItemListControl::DestroyWnd() {
  items_->Detach();
  canvas_->FreeHandle();
  inherited::DestroyWnd();
}

void TCustomItemListControl::DrawItem(Integer Index, TRect Rect,
                                      TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  DrawPlainItem(canvas_.get(), Rect, Index, DrawnItemCount(),
                [this](Integer i) { return DrawnItemText(i); });
}

void TCustomItemListControl::MeasureItem(Integer Index, Integer& Height) {
  OnMeasureItem(this, Index, Height);
}

Integer TCustomItemListControl::DrawnItemCount() { return items_->Count(); }

String TCustomItemListControl::DrawnItemText(Integer Index) {
  return items_->Strings(Index);
}

bool TCustomItemListControl::DispatchOwnerDraw(TMessage& M, bool AVariable) {
  if (M.Msg != CN_DRAWITEM && M.Msg != CN_MEASUREITEM) return false;
  OwnerDrawMessage(
      M, canvas_.get(), Font(), Color(), itemHeight_, AVariable,
      [this](Integer index, TRect r, TOwnerDrawState state) {
        DrawItem(index, r, state);
      },
      [this](Integer index, Integer& height) { MeasureItem(index, height); });
  return true;
}

// ---------------------------------------------------------------------------
// TCustomListBox
// ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomItemListControl(AOwner, LB_INSERTSTRING, LB_DELETESTRING,
                             LB_RESETCONTENT) {
  // Clicks come from the list's own notifications.
  controlStyle_ = {csSetCaption, csDoubleClicks, csOpaque};
  width_ = 121;
  height_ = 97;
}

Integer TCustomListBox::Count() {
  if (IsVirtual()) return count_;
  return ItemStrings()->Count();
}

void TCustomListBox::SetCount(Integer Value) {
  if (!IsVirtual()) {
    throw EInvalidOperation("Count can only be set for a virtual list box");
  }
  count_ = std::max<Integer>(Value, 0);
  if (HandleAllocated()) ::SendMessageA(Handle(), LB_SETCOUNT, count_, 0);
}

Integer TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  if (multiSelect_) {
    return static_cast<Integer>(
        ::SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0));
  }
  return static_cast<Integer>(::SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= Count()) Value = -1;
  itemIndex_ = Value;
  if (!HandleAllocated()) return;
  if (multiSelect_) {
    ::SendMessageA(Handle(), LB_SETCARETINDEX, Value, FALSE);
  } else {
    ::SendMessageA(Handle(), LB_SETCURSEL, Value, 0);
  }
}

Integer TCustomListBox::TopIndex() {
  if (!HandleAllocated()) return topIndex_;
  return static_cast<Integer>(::SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(Integer Value) {
  topIndex_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), LB_SETTOPINDEX, Value, 0);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (extendedSelect_ == Value) return;
  extendedSelect_ = Value;
  RecreateWnd();
}

bool TCustomListBox::Selected(Integer Index) {
  if (Index < 0 || Index >= Count()) {
    throw EListError("List index out of bounds (%d)", {Index});
  }
  if (!HandleAllocated()) {
    return multiSelect_
               ? std::find(savedSelection_.begin(), savedSelection_.end(),
                           Index) != savedSelection_.end()
               : Index == itemIndex_;
  }
  return ::SendMessageA(Handle(), LB_GETSEL, Index, 0) > 0;
}

void TCustomListBox::SetSelected(Integer Index, bool Value) {
  if (Index < 0 || Index >= Count()) {
    throw EListError("List index out of bounds (%d)", {Index});
  }
  if (multiSelect_) {
    ::SendMessageA(Handle(), LB_SETSEL, Value, Index);
  } else if (Value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

Integer TCustomListBox::SelCount() {
  if (!multiSelect_) return -1;
  return static_cast<Integer>(::SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (multiSelect_) {
    ::SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
  } else {
    SetItemIndex(-1);
  }
}

void TCustomListBox::SelectAll() {
  if (multiSelect_) ::SendMessageA(Handle(), LB_SETSEL, TRUE, -1);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

Integer TCustomListBox::ItemHeight() {
  if (HandleAllocated() && style_ == lbStandard) {
    return static_cast<Integer>(
        ::SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0));
  }
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || itemHeight_ == Value) return;
  itemHeight_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (integralHeight_ == Value) return;
  integralHeight_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

Integer TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  if (!HandleAllocated()) return -1;
  const Integer count = Count();
  if (count > 0) {
    const LRESULT r = ::SendMessageA(
        Handle(), LB_ITEMFROMPOINT, 0,
        MAKELPARAM(static_cast<Word>(Pos.X), static_cast<Word>(Pos.Y)));
    const Integer index = LOWORD(r);
    const bool outside = HIWORD(r) != 0;
    if (index >= 0 && index < count) {
      if (!outside) return index;
      TRect ir = ItemRect(index);
      if (PtInRect(ir, Pos)) return index;
      return Existing ? -1 : (Pos.Y >= ir.Bottom ? index + 1 : index);
    }
  }
  return Existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(Integer Index) {
  RECT r{0, 0, 0, 0};
  const Integer count = Count();
  if (Index == 0 || Index < count) {
    ::SendMessageA(Handle(), LB_GETITEMRECT, Index,
                   reinterpret_cast<LPARAM>(&r));
  } else if (Index == count && count > 0) {
    ::SendMessageA(Handle(), LB_GETITEMRECT, Index - 1,
                   reinterpret_cast<LPARAM>(&r));
    ::OffsetRect(&r, 0, r.bottom - r.top);
  }
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomListBox::Clear() {
  if (IsVirtual()) {
    SetCount(0);
  } else {
    Items()->Clear();
  }
  itemIndex_ = -1;
}

String TCustomListBox::ItemText(Integer Index) {
  if (IsVirtual()) {
    String data;
    OnData(this, Index, data);
    return data;
  }
  return Items()->Strings(Index);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_WANTKEYBOARDINPUT;
  switch (style_) {
    case lbOwnerDrawFixed:
      Params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
      break;
    case lbOwnerDrawVariable:
      Params.Style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
      break;
    case lbVirtual:
    case lbVirtualOwnerDraw:
      Params.Style |= LBS_OWNERDRAWFIXED | LBS_NODATA;
      break;
    default:
      Params.Style |= LBS_HASSTRINGS;
      break;
  }
  if (multiSelect_) {
    Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  }
  if (!integralHeight_) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  // Keys reach KeyPress and the incremental search, not the system's.
  Params.Style &= ~static_cast<DWORD>(LBS_WANTKEYBOARDINPUT);
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  HWND h = Handle();
  if (style_ != lbStandard && style_ != lbOwnerDrawVariable) {
    ::SendMessageA(h, LB_SETITEMHEIGHT, 0, itemHeight_);
  }
  if (IsVirtual()) {
    ::SendMessageA(h, LB_SETCOUNT, count_, 0);
  } else {
    ItemStrings()->Attach(h);
  }
  if (multiSelect_) {
    for (Integer i : savedSelection_) {
      if (i < Count()) ::SendMessageA(h, LB_SETSEL, TRUE, i);
    }
  }
  savedSelection_.clear();
  SetItemIndex(itemIndex_);
  ::SendMessageA(h, LB_SETTOPINDEX, topIndex_, 0);
}

void TCustomListBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  topIndex_ = TopIndex();
  savedSelection_.clear();
  if (multiSelect_) {
    for (Integer i = 0; i < Count(); ++i) {
      if (::SendMessageA(Handle(), LB_GETSEL, i, 0) > 0) {
        savedSelection_.push_back(i);
      }
    }
  }
  inherited::DestroyWnd();
}

Integer TCustomListBox::DoFindData(const String& FindString) {
  if (OnDataFind) return OnDataFind(this, FindString);
  const Integer n = Count();
  for (Integer i = 0; i < n; ++i) {
    const String s = ItemText(i);
    if (s.size() >= FindString.size() &&
        AnsiCompareText(s.substr(0, FindString.size()), FindString) == 0) {
      return i;
    }
  }
  return -1;
}

void TCustomListBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (!autoComplete_ || Key == 0) return;
  const unsigned char ch = static_cast<unsigned char>(Key);
  if (ch == VK_BACK || ch < 32) {
    if (ch == VK_BACK && !filter_.empty()) filter_.pop_back();
    return;
  }
  const DWORD now = ::GetTickCount();
  if (now - lastKeyTime_ >= autoCompleteDelay_) filter_.clear();
  lastKeyTime_ = now;
  filter_ += Key;
  const Integer index = DoFindData(filter_);
  if (index >= 0) {
    if (multiSelect_) {
      ClearSelection();
      SetSelected(index, true);
    }
    SetItemIndex(index);
    Click();
  }
  Key = 0;
}

void TCustomListBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      switch (HIWORD(M.WParam)) {
        case LBN_SELCHANGE:
          Click();
          break;
        case LBN_DBLCLK:
          DblClick();
          break;
        default:
          break;
      }
      return;
    default:
      if (DispatchOwnerDraw(M, style_ == lbOwnerDrawVariable)) return;
      break;
  }
  inherited::Dispatch(M);
}

// ---------------------------------------------------------------------------
// TCustomComboBox
// ---------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomItemListControl(AOwner, CB_INSERTSTRING, CB_DELETESTRING,
                             CB_RESETCONTENT) {
  // Clicks come from the combo box's own notifications.
  controlStyle_ = {csSetCaption, csDoubleClicks, csFixedHeight};
  width_ = 145;
  height_ = 21;
}

Integer TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<Integer>(::SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= Items()->Count()) Value = -1;
  itemIndex_ = Value;
  if (HandleAllocated()) ::SendMessageA(Handle(), CB_SETCURSEL, Value, 0);
  if (!HandleAllocated() && Value >= 0) text_ = Items()->Strings(Value);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

void TCustomComboBox::SetMaxLength(Integer Value) {
  maxLength_ = std::max<Integer>(Value, 0);
  if (HandleAllocated()) ::SendMessageA(Handle(), CB_LIMITTEXT, maxLength_, 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() &&
         ::SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  ::SendMessageA(Handle(), CB_SHOWDROPDOWN, Value, 0);
}

void TCustomComboBox::Clear() {
  Items()->Clear();
  SetText("");
  itemIndex_ = -1;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
  switch (style_) {
    case csDropDown:
      Params.Style |= CBS_DROPDOWN;
      break;
    case csSimple:
      Params.Style |= CBS_SIMPLE;
      break;
    case csDropDownList:
      Params.Style |= CBS_DROPDOWNLIST;
      break;
    case csOwnerDrawFixed:
      Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
      break;
    case csOwnerDrawVariable:
      Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
      break;
  }
  // The list drops below the edit part: the window is as tall as the list.
  if (style_ != csSimple) {
    Params.Height =
        height_ + itemHeight_ * std::max<Integer>(dropDownCount_, 1);
  }
}

void TCustomComboBox::CreateWnd() {
  const String text = text_;
  inherited::CreateWnd();
  HWND h = Handle();
  ItemStrings()->Attach(h);
  if (maxLength_) ::SendMessageA(h, CB_LIMITTEXT, maxLength_, 0);
  if (itemIndex_ >= 0) {
    ::SendMessageA(h, CB_SETCURSEL, itemIndex_, 0);
  } else if (style_ == csDropDown || style_ == csSimple) {
    ::SetWindowTextA(h, text.c_str());
  }
}

void TCustomComboBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  inherited::DestroyWnd();
}

void TCustomComboBox::Change() {
  inherited::Changed();
  OnChange(this);
}

void TCustomComboBox::Select() {
  OnSelect(this);
  Change();
}

void TCustomComboBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      switch (HIWORD(M.WParam)) {
        case CBN_SELCHANGE:
          if (style_ != csSimple && HandleAllocated()) {
            const Integer i = ItemIndex();
            if (i >= 0) {
              ::SetWindowTextA(Handle(), Items()->Strings(i).c_str());
            }
          }
          Click();
          Select();
          break;
        case CBN_EDITCHANGE:
          Change();
          break;
        case CBN_DROPDOWN:
          OnDropDown(this);
          break;
        case CBN_CLOSEUP:
          OnCloseUp(this);
          break;
        default:
          break;
      }
      return;
    default:
      if (DispatchOwnerDraw(M, style_ == csOwnerDrawVariable)) return;
      break;
  }
  inherited::Dispatch(M);
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

template <class T>
void PublishCaption() {
  TPublished<T>().Property("Caption", &TControl::Caption,
                           &TControl::SetCaption);
}

void StdCtrlsStartup() {
  RegisterEnum<TTextLayout>("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});
  RegisterEnum<TEditCharCase>("TEditCharCase",
                              {"ecNormal", "ecUpperCase", "ecLowerCase"});
  RegisterEnum<TScrollStyle>(
      "TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  RegisterEnum<TCheckBoxState>("TCheckBoxState",
                               {"cbUnchecked", "cbChecked", "cbGrayed"});
  RegisterEnum<TListBoxStyle>(
      "TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                        "lbVirtual", "lbVirtualOwnerDraw"});
  RegisterEnum<TComboBoxStyle>("TComboBoxStyle",
                               {"csDropDown", "csSimple", "csDropDownList",
                                "csOwnerDrawFixed", "csOwnerDrawVariable"});

  PublishCaption<TCustomLabel>();
  TPublished<TCustomLabel>()
      .Property("Alignment", &TCustomLabel::Alignment,
                &TCustomLabel::SetAlignment, taLeftJustify)
      .Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize,
                true)
      .Property("FocusControl", &TCustomLabel::FocusControl,
                &TCustomLabel::SetFocusControl)
      .Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout,
                tlTop)
      .Property("ShowAccelChar", &TCustomLabel::ShowAccelChar,
                &TCustomLabel::SetShowAccelChar, true)
      .Property("Transparent", &TCustomLabel::Transparent,
                &TCustomLabel::SetTransparent, false)
      .Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap,
                false);

  PublishCaption<TButtonControl>();
  TPublished<TButtonControl>().Property("WordWrap", &TButtonControl::WordWrap,
                                        &TButtonControl::SetWordWrap, false);
  TPublished<TButton>()
      .Property("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
      .Property("Default", &TButton::Default, &TButton::SetDefault, false)
      .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult,
                0);
  TPublished<TCustomCheckBox>()
      .Property("Alignment", &TCustomCheckBox::Alignment,
                &TCustomCheckBox::SetAlignment, taRightJustify)
      .Property("AllowGrayed", &TCustomCheckBox::AllowGrayed,
                &TCustomCheckBox::SetAllowGrayed, false)
      .Property("Checked", &TCustomCheckBox::Checked,
                &TCustomCheckBox::SetChecked)
      .Stored(false)
      .Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState,
                cbUnchecked);
  TPublished<TRadioButton>()
      .Property("Alignment", &TRadioButton::Alignment,
                &TRadioButton::SetAlignment, taRightJustify)
      .Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked,
                false);

  TPublished<TCustomEdit>()
      .Property("Text", &TControl::Text, &TControl::SetText)
      .Property("AutoSelect", &TCustomEdit::AutoSelect,
                &TCustomEdit::SetAutoSelect, true)
      .Property("BorderStyle", &TCustomEdit::BorderStyle,
                &TCustomEdit::SetBorderStyle, bsSingle)
      .Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
                ecNormal)
      .Property("HideSelection", &TCustomEdit::HideSelection,
                &TCustomEdit::SetHideSelection, true)
      .Property("MaxLength", &TCustomEdit::MaxLength,
                &TCustomEdit::SetMaxLength, 0)
      .Property("OEMConvert", &TCustomEdit::OEMConvert,
                &TCustomEdit::SetOEMConvert, false)
      .Property("PasswordChar", &TCustomEdit::PasswordChar,
                &TCustomEdit::SetPasswordChar, 0)
      .Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly,
                false)
      .Event("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
  TPublished<TCustomMemo>()
      .Property("Text", &TControl::Text, &TControl::SetText)
      .Stored(false)
      .Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines)
      .Property("Alignment", &TCustomMemo::Alignment,
                &TCustomMemo::SetAlignment, taLeftJustify)
      .Property("ScrollBars", &TCustomMemo::ScrollBars,
                &TCustomMemo::SetScrollBars, ssNone)
      .Property("WantReturns", &TCustomMemo::WantReturns,
                &TCustomMemo::SetWantReturns, true)
      .Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs,
                false)
      .Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap,
                true);

  TPublished<TCustomListBox>()
      .Property("AutoComplete", &TCustomListBox::AutoComplete,
                &TCustomListBox::SetAutoComplete, true)
      .Property("BorderStyle", &TCustomListBox::BorderStyle,
                &TCustomListBox::SetBorderStyle, bsSingle)
      .Property("ExtendedSelect", &TCustomListBox::ExtendedSelect,
                &TCustomListBox::SetExtendedSelect, true)
      .Property("IntegralHeight", &TCustomListBox::IntegralHeight,
                &TCustomListBox::SetIntegralHeight, false)
      .Property("ItemHeight", &TCustomListBox::ItemHeight,
                &TCustomListBox::SetItemHeight)
      .Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems)
      .Property("MultiSelect", &TCustomListBox::MultiSelect,
                &TCustomListBox::SetMultiSelect, false)
      .Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted,
                false)
      .Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle,
                lbStandard)
      .Event("OnData", &TCustomListBox::OnData, &TCustomListBox::OnData)
      .Event("OnDataFind", &TCustomListBox::OnDataFind,
             &TCustomListBox::OnDataFind)
      .Event("OnDrawItem", &TCustomListBox::OnDrawItem,
             &TCustomListBox::OnDrawItem)
      .Event("OnMeasureItem", &TCustomListBox::OnMeasureItem,
             &TCustomListBox::OnMeasureItem);

  TPublished<TCustomComboBox>()
      .Property("Text", &TControl::Text, &TControl::SetText)
      .Property("DropDownCount", &TCustomComboBox::DropDownCount,
                &TCustomComboBox::SetDropDownCount, 8)
      .Property("ItemHeight", &TCustomComboBox::ItemHeight,
                &TCustomComboBox::SetItemHeight)
      .Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems)
      .Property("MaxLength", &TCustomComboBox::MaxLength,
                &TCustomComboBox::SetMaxLength, 0)
      .Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted,
                false)
      .Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
                csDropDown)
      .Event("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::OnChange)
      .Event("OnCloseUp", &TCustomComboBox::OnCloseUp,
             &TCustomComboBox::OnCloseUp)
      .Event("OnDrawItem", &TCustomComboBox::OnDrawItem,
             &TCustomComboBox::OnDrawItem)
      .Event("OnDropDown", &TCustomComboBox::OnDropDown,
             &TCustomComboBox::OnDropDown)
      .Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem,
             &TCustomComboBox::OnMeasureItem)
      .Event("OnSelect", &TCustomComboBox::OnSelect,
             &TCustomComboBox::OnSelect);

  RegisterClasses({TLabel::StaticClass(), TButton::StaticClass(),
                   TCheckBox::StaticClass(), TRadioButton::StaticClass(),
                   TEdit::StaticClass(), TMemo::StaticClass(),
                   TListBox::StaticClass(), TComboBox::StaticClass()});
}

}  // namespace

VARNEL_UNIT(StdCtrls, ({"Controls", "Forms"}), &StdCtrlsStartup, nullptr);
