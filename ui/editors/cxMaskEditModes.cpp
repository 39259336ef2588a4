#include "cxMaskEditModes.h"

#include <algorithm>

#include "Classes.h"

namespace {

Integer Len(const String& AText) { return static_cast<Integer>(AText.size()); }

bool StartsWith(const String& AText, const String& APrefix) {
  return AText.compare(0, APrefix.size(), APrefix) == 0;
}

}  // namespace

bool cxMaskEditSpaceToken(char AChar) {
  switch (AChar) {
    case '\0':
    case '\t':
    case '\n':
    case '\f':
    case '\r':
    case ' ':
      return true;
    default:
      return false;
  }
}

bool cxMaskEditEmptyMask(const String& AMask) {
  return std::all_of(AMask.begin(), AMask.end(), cxMaskEditSpaceToken);
}

// ---------------------------------------------------------------------------
// TcxMaskEditCustomMode
// ---------------------------------------------------------------------------

TcxMaskEditCustomMode::TcxMaskEditCustomMode(
    IcxMaskEditModeEdit* AEdit, IcxMaskEditModeProperties* AProperties)
    : edit_(AEdit), properties_(AEdit ? nullptr : AProperties) {}

bool TcxMaskEditCustomMode::HasEdit() {
  return edit_ && !edit_->IsModePropertiesLocked();
}

TcxMaskEditModeSettings TcxMaskEditCustomMode::Settings() {
  IcxMaskEditModeProperties* properties =
      edit_ ? edit_->GetModeProperties() : properties_;
  return properties ? properties->GetModeSettings() : TcxMaskEditModeSettings();
}

void TcxMaskEditCustomMode::BeepOnError() {
  if (edit_ && Settings().BeepOnError) edit_->ModeBeep();
}

void TcxMaskEditCustomMode::ClearText() {
  if (edit_) edit_->UpdateNotConnectedDisplayValue();
}

void TcxMaskEditCustomMode::SynchronizeEditValue() {
  if (!HasEdit()) return;
  String text = edit_->ModeModifiedAfterEnter()
                    ? GetFormattedText(edit_->GetModeDisplayText(), true)
                    : edit_->PrepareModeDisplayText();
  edit_->SetInternalDisplayText(text);
}

// ---------------------------------------------------------------------------
// TcxMaskEditStandardMode
// ---------------------------------------------------------------------------

void TcxMaskEditStandardMode::Compile(const String& AEditMask) {
  SetEditMask(AEditMask);
  if (cxMaskEditEmptyMask(AEditMask)) {
    mask_.Clear();
    return;
  }
  mask_.Compile(AEditMask);
  if (!HasEdit()) SetNeedUpdateEditValue(true);
}

String TcxMaskEditStandardMode::GetFormattedText(const String& AText,
                                                 bool ALiterals) {
  String text = AText;
  mask_.Format(text, true, ALiterals);
  return text;
}

String TcxMaskEditStandardMode::GetUpdatedText(const String& AText,
                                               bool ALiterals) {
  if (mask_.GetCount() == 0) return AText;
  String text = AText;
  mask_.Format(text, Settings().CharCase == 0, ALiterals);
  mask_.Format2(text);
  return text;
}

bool TcxMaskEditStandardMode::IsFullValidText(const String& AText) {
  String text = AText;
  if (mask_.IsFullValid(text)) return true;
  return Settings().IgnoreMaskBlank && AText == GetFormattedText("", true);
}

void TcxMaskEditStandardMode::UpdateEditValue() {
  if (!NeedUpdateEditValue() || !Edit()) return;
  Edit()->SetInternalEditText(GetEmptyString());
  SetNeedUpdateEditValue(false);
}

void TcxMaskEditStandardMode::SynchronizeEditValue() {
  TcxMaskEditCustomMode::SynchronizeEditValue();
  LMouseDown();
}

char TcxMaskEditStandardMode::GetBlank(Integer) { return mask_.Blank(); }

bool TcxMaskEditStandardMode::IsLiteral(Integer APosition) const {
  TcxStandardMaskCustomItem* item = mask_.GetItems(APosition);
  return item && item->InheritsFrom(TcxStandardMaskLiteralItem::StaticClass());
}

void TcxMaskEditStandardMode::SetCaret(Integer APosition) {
  Edit()->DirectSetSelStart(APosition);
  Edit()->DirectSetSelLength(APosition < TextLength() ? 1 : 0);
}

void TcxMaskEditStandardMode::LMouseDown() {
  if (!Edit() || !Edit()->ModeHandleAllocated() || !Edit()->ModeIsMasked())
    return;
  if (SelLength() == 0 && SelStart() < TextLength())
    Edit()->DirectSetSelLength(1);
}

bool TcxMaskEditStandardMode::IsCursorBegin() {
  Integer leading = 0;
  while (leading < mask_.GetCount() && IsLiteral(leading)) ++leading;
  return SelStart() <= leading &&
         (SelLength() < 2 || Edit()->GetModeCaretPos() == SelStart());
}

bool TcxMaskEditStandardMode::IsCursorEnd() {
  return SelStart() == TextLength();
}

bool TcxMaskEditStandardMode::PressHome() {
  if (ShiftFlag()) return true;
  SetCaret(0);
  if (IsLiteral(0)) PressRight();
  return false;
}

bool TcxMaskEditStandardMode::PressEnd() {
  if (ShiftFlag()) return true;
  SetCaret(TextLength());
  return false;
}

bool TcxMaskEditStandardMode::PressLeft() {
  Integer start = SelStart(), length = SelLength(), count = TextLength();
  if (ShiftFlag()) {
    // A block caret becomes a plain caret behind its character, so that
    // Shift+Left selects that character and goes on from there.
    if (length == 1 && Edit()->GetModeCaretPos() == start + 1) {
      Edit()->DirectSetSelStart(start + 1);
      Edit()->DirectSetSelLength(0);
    }
    return true;
  }
  if (length >= 2) {
    // Onto the first position to fill at or after the selection start,
    // looking no further than one position behind the selection.
    Integer last = std::min(start + length, count - 1);
    Integer position = start;
    while (position <= last && IsLiteral(position)) ++position;
    if (position > last)
      position = start + (start + length < count ? 0 : length);
    SetCaret(position);
  } else {
    Integer position = start - 1;
    while (position >= 0 && IsLiteral(position)) --position;
    SetCaret(position >= 0 ? position : start);
  }
  return false;
}

bool TcxMaskEditStandardMode::PressRight() {
  Integer start = SelStart(), length = SelLength(), count = TextLength();
  if (ShiftFlag()) {
    if (length == 1 && Edit()->GetModeCaretPos() == start) {
      Edit()->DirectSetSelLength(0);
    }
    return true;
  }
  if (length < 2) {
    Integer position = start + 1;
    while (position < count && IsLiteral(position)) ++position;
    SetCaret(position <= count ? position : start);
  } else if (start + length >= count) {
    SetCaret(start + length);
  } else {
    Integer position = start + length - 1;
    while (position > start && IsLiteral(position)) --position;
    SetCaret(position);
  }
  return false;
}

bool TcxMaskEditStandardMode::PressDelete() {
  Integer start = SelStart(), length = SelLength();
  String text = Text();
  bool changed = false;
  Integer end = std::min(start + length, Len(text));
  for (Integer position = start; position < end; ++position) {
    if (IsLiteral(position)) continue;
    char blank = GetBlank(position + 1);
    if (blank == '\0') continue;
    text[static_cast<std::size_t>(position)] = blank;
    changed = true;
  }
  if (changed) {
    Edit()->SetInternalDisplayText(text);
    SetCaret(start);
  }
  return false;
}

bool TcxMaskEditStandardMode::PressBackSpace() {
  if (SelLength() <= 1) {
    // Backspace steps left whatever Shift says.
    Edit()->SetModeShiftFlag(false);
    PressLeft();
  }
  PressDelete();
  return false;
}

bool TcxMaskEditStandardMode::PressSymbol(char& AKey) {
  Integer start = SelStart(), count = TextLength();
  if (count == 0 || start >= count) return false;
  if (IsLiteral(start)) {
    Edit()->SetModeShiftFlag(false);
    if (SelLength() > 1) PressDelete();
    PressRight();
    if (SelStart() != start) PressSymbol(AKey);
    return false;
  }
  TcxStandardMaskCustomItem* item = mask_.GetItems(start);
  if (!item || !item->Check(AKey)) return false;
  if (!Edit()->IsCharValidForPos(AKey, start + 1)) return false;
  if (AKey == '\0') {
    BeepOnError();
    return false;
  }
  if (SelLength() > 1) PressDelete();
  String text = Text();
  if (start >= Len(text)) return false;
  text[static_cast<std::size_t>(start)] = AKey;
  Edit()->SetInternalDisplayText(text);
  SetCaret(start);
  Edit()->SetModeShiftFlag(false);
  PressRight();
  return false;
}

void TcxMaskEditStandardMode::PrePasteFromClipboard() {
  pasteStart_ = SelStart();
  Edit()->DirectSetSelLength(PastedLength());
}

void TcxMaskEditStandardMode::AfterPasteFromClipboard() {
  Integer position =
      std::max(std::min(pasteStart_ + PastedLength(), TextLength() - 1), 0);
  SetCaret(position);
  if (IsLiteral(position)) {
    Edit()->SetModeShiftFlag(false);
    PressRight();
  }
}

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprMode
// ---------------------------------------------------------------------------

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(
    IcxMaskEditModeEdit* AEdit, IcxMaskEditModeProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties),
      engine_(std::make_unique<TcxRegExpr>()) {
  engine_->SetCaseInsensitive(Settings().CaseInsensitive);
}

TcxMaskEditRegExprMode::~TcxMaskEditRegExprMode() = default;

void TcxMaskEditRegExprMode::CompileSource(TcxRegExpr* AEngine,
                                           const String& ASource) {
  TStringStream source(ASource);
  try {
    AEngine->Compile(&source);
  } catch (const EcxRegExprError& E) {
    String message = cxGetResourceString(scxMaskEditRegExprError);
    for (Integer i = 0; i < E.Errors().Count(); ++i) {
      message += "\r\n" + E.Errors()[i].GetFullMessage();
    }
    throw EcxMaskEditError(message);
  }
}

void TcxMaskEditRegExprMode::Compile(const String& AEditMask) {
  SetEditMask(AEditMask);
  left_.clear();
  right_.clear();
  removed_.clear();
  resync_ = true;
  // A fresh engine keeps the hooks and switches but forgets the old
  // pattern, so an empty or failing mask leaves it uncompiled.
  auto engine = std::make_unique<TcxRegExpr>();
  engine->SetCaseInsensitive(engine_->CaseInsensitive());
  engine->OnSymbolUpdate = engine_->OnSymbolUpdate;
  engine->OnSymbolDelete = engine_->OnSymbolDelete;
  engine->SetUpdateOn(engine_->UpdateOn());
  engine_ = std::move(engine);
  if (!cxMaskEditEmptyMask(AEditMask)) CompileSource(engine_.get(), AEditMask);
}

bool TcxMaskEditRegExprMode::CompileRegExpr(TcxRegExpr* AEngine) {
  if (!Compiled()) return false;
  try {
    CompileSource(AEngine, EditMask());
  } catch (const EcxMaskEditError&) {
    return false;
  }
  return true;
}

void TcxMaskEditRegExprMode::SetRegExprCaseInsensitive() {
  engine_->SetCaseInsensitive(Settings().CaseInsensitive);
}

void TcxMaskEditRegExprMode::CursorCorrection() {
  if (!Edit() || !Compiled()) return;
  String text = Text();
  // A text changed behind the mode's back is read afresh, too.
  if (!resync_ && left_ + right_ == text) return;
  resync_ = false;
  engine_->Reset();
  left_.clear();
  right_ = text;
  Integer caret = std::min(Edit()->GetModeCaretPos(), Len(text));
  for (Integer i = 0; i < caret; ++i) {
    char c = right_[0];
    engine_->Next(c);
    left_ += right_[0];
    right_.erase(0, 1);
  }
}

bool TcxMaskEditRegExprMode::NextTail() {
  Integer fed = 0;
  bool fits = true;
  for (char c : right_) {
    if (!engine_->Next(c)) {
      fits = false;
      break;
    }
    ++fed;
  }
  for (Integer i = 0; i < fed; ++i) engine_->Prev();
  return fits;
}

void TcxMaskEditRegExprMode::ClearTail() {
  String text = Edit()->GetBindingDisplayText();
  std::size_t start =
      std::min(static_cast<std::size_t>(std::max(SelStart(), 0)), text.size());
  text.erase(start, right_.size());
  right_.clear();
  Edit()->SetBindingDisplayText(text);
  Edit()->DirectSetSelStart(Len(text));
  Edit()->DirectSetSelLength(0);
}

void TcxMaskEditRegExprMode::DeleteSelection() {
  removed_.clear();
  Integer start = SelStart(), length = SelLength();
  if (Len(left_) == start) {
    removed_ = right_.substr(0, static_cast<std::size_t>(length));
    right_.erase(0, static_cast<std::size_t>(length));
    removedAtLeft_ = true;
  } else if (Len(left_) == start + length) {
    removed_ = left_.substr(static_cast<std::size_t>(start));
    left_.resize(static_cast<std::size_t>(start));
    for (Integer i = 0; i < length; ++i) engine_->Prev();
    removedAtLeft_ = false;
  }
}

void TcxMaskEditRegExprMode::RestoreSelection() {
  if (removedAtLeft_) {
    right_.insert(0, removed_);
  } else {
    for (char c : removed_) {
      engine_->Next(c);
      left_ += c;
    }
  }
  removed_.clear();
}

template <class F>
bool TcxMaskEditRegExprMode::Operate(F&& ABody) {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  removed_.clear();
  bool result = ABody();
  removed_.clear();
  if (!result) BeepOnError();
  RequestResync();
  return result;
}

template <class F>
bool TcxMaskEditRegExprMode::DeleteSelectionFits(F&& ASendKeys) {
  DeleteSelection();
  if (NextTail()) return true;
  ASendKeys();
  ClearTail();
  return false;
}

bool TcxMaskEditRegExprMode::PressSymbol(char& AKey) {
  return Operate([&] {
    if (SelLength() > 0) DeleteSelection();
    if (!engine_->Next(AKey)) {
      RestoreSelection();
      return false;
    }
    left_ += AKey;
    if (NextTail()) return true;
    // The inner edit cannot both replace the selection and lose the rest
    // in one key: the mode types the replacement itself.
    bool replaced = !removed_.empty();
    if (replaced) {
      Edit()->SendMyKeyDown(cxMaskEditKeyDelete, TShiftState());
      Edit()->SendMyKeyPress(AKey);
    }
    ClearTail();
    return !replaced;
  });
}

bool TcxMaskEditRegExprMode::PressBackSpace() {
  return Operate([&] {
    if (SelLength() > 0) {
      return DeleteSelectionFits(
          [&] { Edit()->SendMyKeyPress(cxMaskEditCharBackSpace); });
    }
    if (!left_.empty()) {
      engine_->Prev();
      left_.pop_back();
      if (!NextTail()) ClearTail();
    }
    return true;
  });
}

bool TcxMaskEditRegExprMode::PressDelete() {
  return Operate([&] {
    if (SelLength() > 0) {
      return DeleteSelectionFits(
          [&] { Edit()->SendMyKeyDown(cxMaskEditKeyDelete, TShiftState()); });
    }
    if (!right_.empty()) {
      right_.erase(0, 1);
      if (!NextTail()) {
        // The rest goes but for its last character, which sits where the
        // deleted one was once the caret steps back; the Delete key itself
        // then takes it.
        ClearTail();
        if (SelStart() > 0) Edit()->DirectSetSelStart(SelStart() - 1);
      }
    }
    return true;
  });
}

void TcxMaskEditRegExprMode::MoveLeft(Integer ACount) {
  for (Integer i = 0; i < ACount && !left_.empty(); ++i) {
    engine_->Prev();
    right_.insert(right_.begin(), left_.back());
    left_.pop_back();
  }
}

void TcxMaskEditRegExprMode::MoveRight(Integer ACount) {
  for (Integer i = 0; i < ACount && !right_.empty(); ++i) {
    char c = right_[0];
    engine_->Next(c);
    left_ += c;
    right_.erase(0, 1);
  }
}

bool TcxMaskEditRegExprMode::PressLeft() {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  Integer start = SelStart(), length = SelLength();
  Integer caret = Edit()->GetModeCaretPos();
  bool plain = length > 0 && !ShiftFlag();
  if (!left_.empty() && !(plain && caret == start)) {
    MoveLeft(plain && caret == start + length ? length : 1);
  }
  RequestResync();
  return true;
}

bool TcxMaskEditRegExprMode::PressRight() {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  Integer start = SelStart(), length = SelLength();
  Integer caret = Edit()->GetModeCaretPos();
  bool plain = length > 0 && !ShiftFlag();
  if (!right_.empty() && !(plain && caret == start + length)) {
    MoveRight(plain && caret == start ? length : 1);
  }
  RequestResync();
  return true;
}

bool TcxMaskEditRegExprMode::PressHome() {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  right_.insert(0, left_);
  left_.clear();
  engine_->Reset();
  RequestResync();
  return true;
}

bool TcxMaskEditRegExprMode::PressEnd() {
  GotoEnd();
  return true;
}

void TcxMaskEditRegExprMode::GotoEnd() {
  if (!Edit() || !Compiled()) return;
  CursorCorrection();
  MoveRight(Len(right_));
  RequestResync();
}

void TcxMaskEditRegExprMode::SetText(const String& AText) {
  left_.clear();
  right_ = AText;
  if (!Compiled()) return;
  engine_->Reset();
  if (PastedLength() >= 1 && !AText.empty() && Edit()) {
    Integer count = std::min(SelStart() + PastedLength(), Len(AText));
    for (Integer i = 0; i < count; ++i) {
      char c = AText[static_cast<std::size_t>(i)];
      engine_->Next(c);
      left_ += c;
    }
    right_ = AText.substr(static_cast<std::size_t>(count));
    SetPastedLength(0);
  }
}

void TcxMaskEditRegExprMode::SynchronizeEditValue() {
  TcxMaskEditCustomMode::SynchronizeEditValue();
  if (!HasEdit() || !Compiled()) return;
  String text = Text();
  Edit()->DirectSetSelStart(Len(text));
  Edit()->DirectSetSelLength(0);
  left_ = text;
  right_.clear();
  engine_->Reset();
  engine_->NextEx(text);
}

String TcxMaskEditRegExprMode::GetFormattedText(const String& AText, bool) {
  if (!Compiled()) return String();
  engine_->Reset();
  String result;
  for (char c : AText) {
    if (engine_->Next(c)) result += c;
  }
  // The engine left the model's position behind.
  RequestResync();
  return result;
}

bool TcxMaskEditRegExprMode::IsFullValidText(const String& AText) {
  if (AText.empty()) return true;
  TcxRegExpr engine;
  engine.SetCaseInsensitive(Settings().CaseInsensitive);
  if (!CompileRegExpr(&engine)) return false;
  for (char c : AText) {
    if (!engine.Next(c)) return false;
  }
  return Settings().IgnoreMaskBlank || engine.IsFinal();
}

bool TcxMaskEditRegExprMode::IsCursorBegin() { return SelStart() == 0; }

bool TcxMaskEditRegExprMode::IsCursorEnd() {
  return SelStart() == TextLength();
}

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprExMode
// ---------------------------------------------------------------------------

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(
    IcxMaskEditModeEdit* AEdit, IcxMaskEditModeProperties* AProperties)
    : TcxMaskEditRegExprMode(AEdit, AProperties) {
  Engine()->OnSymbolUpdate =
      TcxSymbolUpdateEvent(this, &TcxMaskEditRegExprExMode::SymbolUpdate);
  Engine()->OnSymbolDelete =
      TcxSymbolDeleteEvent(this, &TcxMaskEditRegExprExMode::SymbolDelete);
  Engine()->SetUpdateOn(true);
  Clear();
}

void TcxMaskEditRegExprExMode::Clear() {
  autoInserted_.clear();
  autoRemoved_ = 0;
}

void TcxMaskEditRegExprExMode::SetCompletion(bool AValue) {
  Engine()->SetUpdateOn(AValue);
}

void TcxMaskEditRegExprExMode::Compile(const String& AEditMask) {
  Clear();
  TcxMaskEditRegExprMode::Compile(AEditMask);
  if (!cxMaskEditEmptyMask(AEditMask) && !HasEdit())
    SetNeedUpdateEditValue(true);
}

void TcxMaskEditRegExprExMode::UpdateEditValue() {
  if (!NeedUpdateEditValue() || !Edit()) return;
  Edit()->SetInternalEditText(GetEmptyString());
  SetNeedUpdateEditValue(false);
}

String TcxMaskEditRegExprExMode::GetEmptyString() { return ForcedPrefix(); }

String TcxMaskEditRegExprExMode::ForcedPrefix() {
  TcxRegExpr engine;
  engine.SetCaseInsensitive(Engine()->CaseInsensitive());
  if (!CompileRegExpr(&engine)) return String();
  prefixBuffer_.clear();
  engine.OnSymbolUpdate = TcxSymbolUpdateEvent::FromFunction(
      [this](char ASymbol) { prefixBuffer_ += ASymbol; });
  engine.SetUpdateOn(true);
  return prefixBuffer_;
}

String TcxMaskEditRegExprExMode::GetFormattedText(const String& AText,
                                                  bool ALiterals) {
  if (!Compiled()) return String();
  SetCompletion(false);
  Clear();
  String result = TcxMaskEditRegExprMode::GetFormattedText(AText, ALiterals);
  SetCompletion(true);
  result += autoInserted_;
  Clear();
  return result;
}

bool TcxMaskEditRegExprExMode::IsFullValidText(const String& AText) {
  if (!Compiled()) return AText.empty();
  if (AText == ForcedPrefix()) return true;
  TcxRegExpr engine;
  engine.SetCaseInsensitive(Settings().CaseInsensitive);
  if (!CompileRegExpr(&engine)) return false;
  for (char c : AText) {
    if (!engine.Next(c)) return false;
  }
  return Settings().IgnoreMaskBlank || engine.IsFinal();
}

void TcxMaskEditRegExprExMode::SetText(const String& AText) {
  SetPastedLength(0);
  if (!Compiled()) {
    left_.clear();
    right_ = AText;
    return;
  }
  SetCompletion(false);
  Engine()->Reset();
  for (char c : AText) Engine()->Next(c);
  Clear();
  SetCompletion(true);
  left_ = AText + autoInserted_;
  right_.clear();
  Clear();
  if (HasEdit()) {
    RequestResync();
    CursorCorrection();
  }
}

// The model is rebuilt from the editor's text whenever it may be stale and
// walked forward from the start to the caret. Forward steps take a typed
// character together with the forced characters after it, so the caret
// lands only behind such a group; a caret inside a group goes back to its
// start. The walk ends when the right text runs out or the engine refuses
// a character, whatever the editor's text holds.
void TcxMaskEditRegExprExMode::CursorCorrection() {
  if (!HasEdit() || !Edit()->ModeHandleAllocated() || !Compiled()) return;
  String text = Text();
  if (!resync_ && left_ + right_ == text) return;
  resync_ = false;
  Clear();
  Engine()->Reset();
  left_.clear();
  right_ = text;
  Integer start = SelStart();
  Integer end = start + SelLength();
  bool moved = false;
  while (Len(left_) < start && !right_.empty()) {
    if (!ForwardStep()) {
      moved = true;
      break;
    }
    if (Len(left_) > start) {
      BackwardStep();
      moved = true;
      break;
    }
  }
  if (Len(left_) < start) moved = true;
  Integer anchor = Len(left_);
  if (end > start) {
    while (Len(left_) < end && !right_.empty() && ForwardStep()) {
    }
    Edit()->DirectSetSelStart(anchor);
    Edit()->DirectSetSelLength(Len(left_) - anchor);
  } else if (moved) {
    Edit()->DirectSetSelStart(anchor);
    Edit()->DirectSetSelLength(0);
  }
}

bool TcxMaskEditRegExprExMode::ForwardStep() {
  Clear();
  char c = right_[0];
  if (!Engine()->Next(c)) return false;
  std::size_t count = std::min(1 + autoInserted_.size(), right_.size());
  left_ += right_.substr(0, count);
  right_.erase(0, count);
  Clear();
  return true;
}

void TcxMaskEditRegExprExMode::BackwardStep() {
  Clear();
  std::size_t count = Engine()->Prev()
                          ? static_cast<std::size_t>(autoRemoved_) + 1
                          : left_.size();
  count = std::min(count, left_.size());
  right_.insert(0, left_.substr(left_.size() - count));
  left_.resize(left_.size() - count);
  Clear();
}

void TcxMaskEditRegExprExMode::DeleteSelection() {
  SetCompletion(false);
  TcxMaskEditRegExprMode::DeleteSelection();
  Clear();
  SetCompletion(true);
  // Only the start can be left with forced characters still to come (the
  // prefix, when the whole text went): they stay in the model and are typed
  // ahead of what replaces the selection.
  forcedAfterDeletion_ = autoInserted_;
  left_ += autoInserted_;
  Clear();
}

void TcxMaskEditRegExprExMode::RestoreSelection() {
  SetCompletion(false);
  TcxMaskEditRegExprMode::RestoreSelection();
  Clear();
  SetCompletion(true);
  Clear();
}

void TcxMaskEditRegExprExMode::TypeForced(const String& AForced) {
  for (char c : AForced) Edit()->SendMyKeyPress(c);
}

void TcxMaskEditRegExprExMode::CheckTail() {
  SetCompletion(false);
  if (NextTail()) {
    UpdateTail();
  } else {
    ClearTail();
  }
  SetCompletion(true);
  Clear();
}

void TcxMaskEditRegExprExMode::UpdateTail() {
  Clear();
  Integer caret = SelStart();
  Integer fed = 0;
  for (char c : right_) {
    if (!Engine()->Next(c)) break;
    ++fed;
  }
  Edit()->DirectSetSelStart(caret + fed);
  Edit()->DirectSetSelLength(0);
  SetCompletion(true);
  String forced = autoInserted_;
  SetCompletion(false);
  right_ += forced;
  TypeForced(forced);
  for (Integer i = 0; i < fed + Len(forced); ++i) Engine()->Prev();
  Edit()->DirectSetSelStart(caret);
  Edit()->DirectSetSelLength(0);
  Clear();
}

template <class F>
bool TcxMaskEditRegExprExMode::Operate(bool AResult, F&& ABody) {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  Clear();
  forcedAfterDeletion_.clear();
  ABody();
  removed_.clear();
  forcedAfterDeletion_.clear();
  Clear();
  RequestResync();
  return AResult;
}

bool TcxMaskEditRegExprExMode::AnchorBehindPrefix() {
  Integer length = SelLength();
  String prefix = ForcedPrefix();
  if (SelStart() != 0 || prefix.empty() || !StartsWith(Text(), prefix))
    return false;
  Edit()->DirectSetSelStart(Len(prefix));
  Edit()->DirectSetSelLength(std::max(length - Len(prefix), 0));
  RequestResync();
  return true;
}

bool TcxMaskEditRegExprExMode::PressSymbol(char& AKey) {
  return Operate(false, [&] {
    // Input goes behind the forced prefix, never in front of it.
    if (AnchorBehindPrefix()) {
      PressSymbol(AKey);
      return;
    }
    removed_.clear();
    if (SelLength() > 0) {
      DeleteSelection();
    } else if (left_.empty() && Engine()->IsStart()) {
      // The start of an empty model still owes the forced prefix.
      Clear();
      SetCompletion(true);
      forcedAfterDeletion_ = autoInserted_;
      left_ += autoInserted_;
    }
    Clear();
    if (!Engine()->Next(AKey)) {
      RestoreSelection();
      BeepOnError();
      return;
    }
    String typed = forcedAfterDeletion_ + AKey + autoInserted_;
    left_ += String(1, AKey) + autoInserted_;
    Clear();
    TypeForced(typed);
    CheckTail();
  });
}

bool TcxMaskEditRegExprExMode::PressBackSpace() {
  return Operate(false, [&] {
    if (SelLength() > 0) {
      if (AnchorBehindPrefix()) {
        PressBackSpace();
        return;
      }
      DeleteSelection();
      Edit()->SendMyKeyPress(cxMaskEditCharBackSpace);
      TypeForced(forcedAfterDeletion_);
      CheckTail();
      return;
    }
    if (left_.empty()) return;
    Engine()->Prev();
    Integer removed = autoRemoved_;
    if (Engine()->IsStart() && SelStart() == removed) {
      // Only the forced prefix is left of the caret: it stays.
      Clear();
      char c = left_[0];
      Engine()->Next(c);
      BeepOnError();
      return;
    }
    std::size_t count =
        std::min(static_cast<std::size_t>(removed) + 1, left_.size());
    left_.resize(left_.size() - count);
    for (std::size_t i = 0; i < count; ++i)
      Edit()->SendMyKeyPress(cxMaskEditCharBackSpace);
    CheckTail();
  });
}

bool TcxMaskEditRegExprExMode::PressDelete() {
  if (Edit() && SelLength() > 0) return PressBackSpace();
  return Operate(false, [&] {
    if (right_.empty()) return;
    if (SelStart() == 0 && !ForcedPrefix().empty()) {
      BeepOnError();
      return;
    }
    char c = right_[0];
    bool fed = Engine()->Next(c);
    std::size_t count =
        std::min((fed ? autoInserted_.size() : 0) + 1, right_.size());
    for (std::size_t i = 0; i < count; ++i)
      Edit()->SendMyKeyDown(cxMaskEditKeyDelete, TShiftState());
    right_.erase(0, count);
    if (fed) {
      Clear();
      Engine()->Prev();
    }
    CheckTail();
  });
}

// A typed character goes together with the forced ones behind it: the
// inner edit's own key moves over one of them, the mode sends the rest.
bool TcxMaskEditRegExprExMode::PressLeft() {
  return Operate(true, [&] {
    Integer start = SelStart(), length = SelLength();
    Integer caret = Edit()->GetModeCaretPos();
    bool plain = length > 0 && !ShiftFlag();
    if (left_.empty() || (plain && caret == start)) return;
    if (plain && caret == start + length) {
      SetCompletion(false);
      MoveLeft(length);
      SetCompletion(true);
      return;
    }
    Integer before = Len(left_);
    BackwardStep();
    for (Integer i = Len(left_) + 1; i < before; ++i)
      Edit()->SendMyKeyDown(cxMaskEditKeyLeft, ShiftState());
  });
}

bool TcxMaskEditRegExprExMode::PressRight() {
  return Operate(true, [&] {
    Integer start = SelStart(), length = SelLength();
    Integer caret = Edit()->GetModeCaretPos();
    bool plain = length > 0 && !ShiftFlag();
    if (right_.empty() || (plain && caret == start + length)) return;
    if (plain && caret == start) {
      SetCompletion(false);
      MoveRight(length);
      SetCompletion(true);
      return;
    }
    Integer before = Len(left_);
    if (!ForwardStep()) MoveRight(1);
    for (Integer i = before + 1; i < Len(left_); ++i)
      Edit()->SendMyKeyDown(cxMaskEditKeyRight, ShiftState());
  });
}

bool TcxMaskEditRegExprExMode::PressHome() {
  if (!Edit() || !Compiled()) return true;
  CursorCorrection();
  Clear();
  return TcxMaskEditRegExprMode::PressHome();
}

bool TcxMaskEditRegExprExMode::PressEnd() {
  GotoEnd();
  return true;
}

void TcxMaskEditRegExprExMode::GotoEnd() {
  SetCompletion(false);
  TcxMaskEditRegExprMode::GotoEnd();
  SetCompletion(true);
  Clear();
}

void TcxMaskEditRegExprExMode::AfterPasteFromClipboard() {
  if (pendingCaret_ < 0 || !Edit()) return;
  Edit()->DirectSetSelStart(pendingCaret_);
  Edit()->DirectSetSelLength(0);
  pendingCaret_ = -1;
}

// ---------------------------------------------------------------------------
// Routines
// ---------------------------------------------------------------------------

namespace {

using TModeOperation = bool (TcxMaskEditCustomMode::*)();

// Left and Right: with Ctrl a jump to the start or end; otherwise one step,
// reported to the editor when the caret could not move past its edge.
template <class F>
void Arrow(TcxMaskEditCustomMode* AMode, IcxMaskEditModeEdit* AEdit, Word& AKey,
           TShiftState AShift, Word AJumpKey, TModeOperation AJump,
           TModeOperation AAtEdge, TModeOperation AStep, F&& AAfterKeyDown) {
  if (AShift.Contains(ssCtrl)) {
    AEdit->SendMyKeyDown(AJumpKey, AShift);
    if (!(AMode->*AJump)()) AKey = 0;
    return;
  }
  bool atEdge = (AMode->*AAtEdge)();
  if (!(AMode->*AStep)()) {
    if (atEdge) AAfterKeyDown();
    AKey = 0;
  }
}

}  // namespace

TcxMaskEditModeClass cxMaskEditModeClassOf(TcxEditMaskKind AKind) {
  switch (AKind) {
    case emkRegExpr:
      return cxMaskEditModeClass<TcxMaskEditRegExprMode>();
    case emkRegExprEx:
      return cxMaskEditModeClass<TcxMaskEditRegExprExMode>();
    default:
      return cxMaskEditModeClass<TcxMaskEditStandardMode>();
  }
}

void cxMaskEditModeKeyDown(TcxMaskEditCustomMode* AMode,
                           IcxMaskEditModeEdit* AEdit, Word& AKey,
                           TShiftState AShift,
                           const TcxMaskEditKeyDownContext& AContext) {
  bool shift = AShift.Contains(ssShift);
  AEdit->SetModeShiftFlag(shift);
  auto afterKeyDown = [&] { AContext.AfterKeyDown(AKey, AShift); };
  switch (AKey) {
    case cxMaskEditKeyUp:
    case cxMaskEditKeyDown:
      if (!AContext.HasPopupWindow) {
        afterKeyDown();
        AKey = 0;
      }
      break;
    case cxMaskEditKeyLeft:
      Arrow(AMode, AEdit, AKey, AShift, cxMaskEditKeyHome,
            &TcxMaskEditCustomMode::PressHome,
            &TcxMaskEditCustomMode::IsCursorBegin,
            &TcxMaskEditCustomMode::PressLeft, afterKeyDown);
      break;
    case cxMaskEditKeyRight:
      Arrow(AMode, AEdit, AKey, AShift, cxMaskEditKeyEnd,
            &TcxMaskEditCustomMode::PressEnd,
            &TcxMaskEditCustomMode::IsCursorEnd,
            &TcxMaskEditCustomMode::PressRight, afterKeyDown);
      break;
    case cxMaskEditKeyDelete:
      if (!shift) {
        if (!AMode->PressDelete()) AKey = 0;
      } else if (AEdit->GetModeSelLength() == 0) {
        if (!AMode->PressBackSpace()) AKey = 0;
      }
      break;
    case cxMaskEditKeyHome:
      if (!AMode->PressHome()) AKey = 0;
      break;
    case cxMaskEditKeyEnd:
      if (!AMode->PressEnd()) AKey = 0;
      break;
    default:
      break;
  }
}

void cxMaskEditModeKeyPress(TcxMaskEditCustomMode* AMode, char& AKey) {
  bool passed = AKey == cxMaskEditCharBackSpace ? AMode->PressBackSpace()
                                                : AMode->PressSymbol(AKey);
  if (!passed) AKey = 0;
}
