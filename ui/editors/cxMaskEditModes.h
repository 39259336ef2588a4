// The edit modes of the mask editor: one object per mask kind that knows
// the mask and decides, key by key, what the editor's text, selection and
// caret become. A mode talks to its editor only through
// IcxMaskEditModeEdit and reads its settings through
// IcxMaskEditModeProperties, so that the whole key logic is platform
// independent; the mask edit control (cxMaskEdit) implements both.
//
// Key operations (Press*) answer true to let the key reach the inner edit's
// own handling and false when the mode has handled it.
#pragma once

#include <memory>

#include "SysUtils.h"
#include "cxClasses.h"
#include "cxEditConsts.h"
#include "cxRegExpr.h"
#include "cxStandardMask.h"

enum TcxEditMaskKind : Byte { emkStandard, emkRegExpr, emkRegExprEx };

VARNEL_EXCEPTION(EcxMaskEditError, EcxEditError)

// The virtual keys the modes synthesize (the system's codes).
inline constexpr Word cxMaskEditKeyEnd = 0x23;
inline constexpr Word cxMaskEditKeyHome = 0x24;
inline constexpr Word cxMaskEditKeyLeft = 0x25;
inline constexpr Word cxMaskEditKeyUp = 0x26;
inline constexpr Word cxMaskEditKeyRight = 0x27;
inline constexpr Word cxMaskEditKeyDown = 0x28;
inline constexpr Word cxMaskEditKeyDelete = 0x2E;
inline constexpr Word cxMaskEditKeyTab = 0x09;
inline constexpr char cxMaskEditCharBackSpace = '\b';

// A mask of no characters or only blanks (#0, #9, #10, #12, #13, space)
// counts as no mask.
bool cxMaskEditSpaceToken(char AChar);
bool cxMaskEditEmptyMask(const String& AMask);

// What a mode reads of the settings it works under.
struct TcxMaskEditModeSettings {
  bool BeepOnError = false;
  bool CaseInsensitive = true;
  // The char case and echo mode as the text properties number them; the
  // modes only compare them with the ones they recorded.
  Byte CharCase = 0;  // 0: normal
  Byte EchoMode = 0;
  bool IgnoreMaskBlank = false;
};

class IcxMaskEditModeProperties {
 public:
  virtual TcxMaskEditModeSettings GetModeSettings() = 0;

 protected:
  ~IcxMaskEditModeProperties() = default;
};

// The editor as a mode sees it. Positions are 0-based character indexes.
class IcxMaskEditModeEdit {
 public:
  // The active properties.
  virtual IcxMaskEditModeProperties* GetModeProperties() = 0;
  // True while the editor's properties are being changed: the mode then
  // acts as if it had no editor.
  virtual bool IsModePropertiesLocked() = 0;
  virtual bool ModeHandleAllocated() = 0;
  virtual bool ModeIsMasked() = 0;

  // The text the inner edit shows.
  virtual String GetModeText() = 0;
  virtual Integer GetModeSelStart() = 0;
  virtual Integer GetModeSelLength() = 0;
  // The end of the selection the caret sits at.
  virtual Integer GetModeCaretPos() = 0;
  // Selection changes that the mode is not told of.
  virtual void DirectSetSelStart(Integer AValue) = 0;
  virtual void DirectSetSelLength(Integer AValue) = 0;
  // Keys that reach only the inner edit's default handling.
  virtual void SendMyKeyDown(Word AKey, TShiftState AShift) = 0;
  virtual void SendMyKeyPress(char AKey) = 0;
  // Set while the key being handled came with Shift or the mouse selects.
  virtual bool GetModeShiftFlag() = 0;
  virtual void SetModeShiftFlag(bool AValue) = 0;
  virtual void ModeBeep() = 0;

  // The display value as text: replaced wholesale through the editor, and
  // read and written through its data binding.
  virtual void SetInternalDisplayText(const String& AText) = 0;
  virtual void SetInternalEditText(const String& AText) = 0;
  virtual String GetBindingDisplayText() = 0;
  virtual void SetBindingDisplayText(const String& AText) = 0;
  virtual void UpdateNotConnectedDisplayValue() = 0;
  // For re-synchronising the edit value: whether the user changed the text
  // since entering, the current display text, and the edit value laid out
  // by the properties for the editor's focus state.
  virtual bool ModeModifiedAfterEnter() = 0;
  virtual String GetModeDisplayText() = 0;
  virtual String PrepareModeDisplayText() = 0;
  // APosition is 1-based; may clear AChar (refused with a beep).
  virtual bool IsCharValidForPos(char& AChar, Integer APosition) = 0;

 protected:
  ~IcxMaskEditModeEdit() = default;
};

class TcxMaskEditCustomMode;
// A mode class: the class and its virtual constructor.
struct TcxMaskEditModeClass {
  TClass Class = nullptr;
  TObjectPtr<TcxMaskEditCustomMode> (*Create)(
      IcxMaskEditModeEdit* AEdit,
      IcxMaskEditModeProperties* AProperties) = nullptr;
};

template <class T>
TcxMaskEditModeClass cxMaskEditModeClass() {
  return {T::StaticClass(), [](IcxMaskEditModeEdit* AEdit,
                               IcxMaskEditModeProperties* AProperties) {
            return TObjectPtr<TcxMaskEditCustomMode>(new T(AEdit, AProperties));
          }};
}

// ---------------------------------------------------------------------------
// Mode base
// ---------------------------------------------------------------------------

class TcxMaskEditCustomMode : public TObject {
  VARNEL_CLASS(TcxMaskEditCustomMode, TObject)
 public:
  // construction
  // AEdit may be null; AProperties serves only a mode without editor.
  TcxMaskEditCustomMode(IcxMaskEditModeEdit* AEdit,
                        IcxMaskEditModeProperties* AProperties);

  // properties
  IcxMaskEditModeEdit* Edit() const { return edit_; }
  const String& EditMask() const { return editMask_; }
  Integer PastedLength() const { return pastedLength_; }
  void SetPastedLength(Integer AValue) { pastedLength_ = AValue; }
  bool NeedUpdateEditValue() const { return needUpdateEditValue_; }
  Byte RecordedCharCase() const { return charCase_; }
  void SetRecordedCharCase(Byte AValue) { charCase_ = AValue; }
  Byte RecordedEchoMode() const { return echoMode_; }
  void SetRecordedEchoMode(Byte AValue) { echoMode_ = AValue; }

  // methods
  // The mode has an editor whose properties are not being changed.
  bool HasEdit();
  TcxMaskEditModeSettings Settings();
  void BeepOnError();
  void ClearText();

  // overridables
  virtual TcxEditMaskKind GetMaskKind() { return emkStandard; }
  virtual void AfterPasteFromClipboard() = 0;
  // Raises EcxMaskEditError for a pattern that does not compile.
  virtual void Compile(const String& AEditMask) = 0;
  virtual String GetEmptyString() = 0;
  virtual String GetFormattedText(const String& AText,
                                  bool ALiterals = true) = 0;
  virtual void GotoEnd() = 0;
  virtual bool IsCursorBegin() = 0;
  virtual bool IsCursorEnd() = 0;
  virtual bool IsFullValidText(const String& AText) = 0;
  virtual void LMouseDown() = 0;
  virtual void PrePasteFromClipboard() = 0;
  virtual bool PressBackSpace() = 0;
  virtual bool PressDelete() = 0;
  virtual bool PressEnd() = 0;
  virtual bool PressHome() = 0;
  virtual bool PressLeft() = 0;
  virtual bool PressRight() = 0;
  virtual bool PressSymbol(char& AKey) = 0;
  virtual void SetText(const String& AText) = 0;
  virtual void SynchronizeEditValue();
  virtual void UpdateEditValue() = 0;
  virtual String GetUpdatedText(const String& AText, bool ALiterals = true) = 0;

 protected:
  // Editor shorthands; only valid while the mode has an editor.
  String Text() { return edit_->GetModeText(); }
  Integer TextLength() { return static_cast<Integer>(Text().size()); }
  Integer SelStart() { return edit_->GetModeSelStart(); }
  Integer SelLength() { return edit_->GetModeSelLength(); }
  bool ShiftFlag() { return edit_->GetModeShiftFlag(); }
  void SetEditMask(const String& AValue) { editMask_ = AValue; }
  void SetNeedUpdateEditValue(bool AValue) { needUpdateEditValue_ = AValue; }

 private:
  IcxMaskEditModeEdit* edit_;
  IcxMaskEditModeProperties* properties_;
  String editMask_;
  Integer pastedLength_ = 0;
  bool needUpdateEditValue_ = false;
  Byte charCase_ = 0;
  Byte echoMode_ = 0;
};

// ---------------------------------------------------------------------------
// Standard mode: fixed positions, the caret shown as a one-character
// selection over the position being edited.
// ---------------------------------------------------------------------------

class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
  VARNEL_CLASS(TcxMaskEditStandardMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditStandardMode(IcxMaskEditModeEdit* AEdit,
                          IcxMaskEditModeProperties* AProperties)
      : TcxMaskEditCustomMode(AEdit, AProperties) {}

  const TcxStandardMask& Mask() const { return mask_; }

  void AfterPasteFromClipboard() override;
  void Compile(const String& AEditMask) override;
  String GetEmptyString() override { return mask_.GetEmptyString(); }
  String GetFormattedText(const String& AText, bool ALiterals = true) override;
  void GotoEnd() override {}
  bool IsCursorBegin() override;
  bool IsCursorEnd() override;
  bool IsFullValidText(const String& AText) override;
  void LMouseDown() override;
  void PrePasteFromClipboard() override;
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AKey) override;
  void SetText(const String&) override { LMouseDown(); }
  void SynchronizeEditValue() override;
  void UpdateEditValue() override;
  String GetUpdatedText(const String& AText, bool ALiterals = true) override;

  // The character an emptied position gets (APosition 1-based); #0 leaves
  // the position as it is.
  virtual char GetBlank(Integer APosition);

 private:
  bool IsLiteral(Integer APosition) const;
  // Puts the block caret at APosition (a plain caret at the text end).
  void SetCaret(Integer APosition);

  TcxStandardMask mask_;
  Integer pasteStart_ = 0;
};

// ---------------------------------------------------------------------------
// Regular-expression modes: an engine fed with exactly the characters left
// of the caret tests every key incrementally.
// ---------------------------------------------------------------------------

class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
  VARNEL_CLASS(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditRegExprMode(IcxMaskEditModeEdit* AEdit,
                         IcxMaskEditModeProperties* AProperties);
  ~TcxMaskEditRegExprMode() override;

  // The model, for tests and descendants.
  const String& LeftText() const { return left_; }
  const String& RightText() const { return right_; }
  TcxRegExpr* Engine() const { return engine_.get(); }

  TcxEditMaskKind GetMaskKind() override { return emkRegExpr; }
  void AfterPasteFromClipboard() override {}
  void Compile(const String& AEditMask) override;
  String GetEmptyString() override { return String(); }
  String GetFormattedText(const String& AText, bool ALiterals = true) override;
  void GotoEnd() override;
  bool IsCursorBegin() override;
  bool IsCursorEnd() override;
  bool IsFullValidText(const String& AText) override;
  void LMouseDown() override { resync_ = true; }
  void PrePasteFromClipboard() override {}
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AKey) override;
  void SetText(const String& AText) override;
  void SynchronizeEditValue() override;
  void UpdateEditValue() override {}
  String GetUpdatedText(const String& AText, bool = true) override {
    return AText;
  }

  virtual void DeleteSelection();
  virtual void RestoreSelection();

  // Compiles the mode's pattern into AEngine; false when the mode's own
  // engine is not compiled or the pattern fails.
  bool CompileRegExpr(TcxRegExpr* AEngine);
  void SetRegExprCaseInsensitive();

 protected:
  // Every operation starts here: rebuilds the model when it is empty while
  // the editor shows text, or when a selection change asked for it.
  virtual void CursorCorrection();
  // Whether the right text still fits behind the engine's position (which
  // it leaves unchanged).
  bool NextTail();
  // Cuts the right text off the editor's text.
  void ClearTail();
  // Moves characters between the left and the right text, the engine
  // following.
  void MoveLeft(Integer ACount);
  void MoveRight(Integer ACount);
  // One key operation on a model rebuilt from the editor; a false result
  // beeps.
  template <class F>
  bool Operate(F&& ABody);
  // Takes the selection out; when the right text then no longer fits, sends
  // the keys that delete it and cuts the rest off (false).
  template <class F>
  bool DeleteSelectionFits(F&& ASendKeys);
  TShiftState ShiftState() {
    return ShiftFlag() ? TShiftState{ssShift} : TShiftState();
  }
  bool Compiled() const { return engine_->IsCompiled(); }
  // Raises EcxMaskEditError with the engine's messages.
  void CompileSource(TcxRegExpr* AEngine, const String& ASource);
  // Ends each operation: the next one starts from the editor's own text and
  // caret, whatever the inner edit did with the key.
  void RequestResync() { resync_ = true; }

  String left_;
  String right_;
  String removed_;
  bool removedAtLeft_ = false;
  bool resync_ = false;

 private:
  std::unique_ptr<TcxRegExpr> engine_;
};

// Auto-completion: characters the pattern forces are inserted as soon as
// they are determined and removed together with the character that caused
// them.
class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
  VARNEL_CLASS(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)
 public:
  TcxMaskEditRegExprExMode(IcxMaskEditModeEdit* AEdit,
                           IcxMaskEditModeProperties* AProperties);

  TcxEditMaskKind GetMaskKind() override { return emkRegExprEx; }
  void AfterPasteFromClipboard() override;
  void Compile(const String& AEditMask) override;
  String GetEmptyString() override;
  String GetFormattedText(const String& AText, bool ALiterals = true) override;
  void GotoEnd() override;
  bool IsFullValidText(const String& AText) override;
  void PrePasteFromClipboard() override { CursorCorrection(); }
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AKey) override;
  void SetText(const String& AText) override;
  void UpdateEditValue() override;
  void DeleteSelection() override;
  void RestoreSelection() override;

  // A caret the next AfterPasteFromClipboard applies (-1: none).
  void SetPendingCaret(Integer AValue) { pendingCaret_ = AValue; }

 protected:
  void CursorCorrection() override;

 private:
  void Clear();
  void SymbolUpdate(char ASymbol) { autoInserted_ += ASymbol; }
  void SymbolDelete() { ++autoRemoved_; }
  void SetCompletion(bool AValue);
  // The characters the pattern forces before any input.
  String ForcedPrefix();
  // Feeds the right text from the caret on, types the characters the
  // pattern then forces at its end, and returns engine and caret.
  void UpdateTail();
  // Re-checks the right text after an edit: kept and completed when it
  // still fits, cut off otherwise.
  void CheckTail();
  // One step of the caret sync; false when nothing could move.
  bool ForwardStep();
  void BackwardStep();
  // One key operation on a model rebuilt from the editor, answering
  // AResult.
  template <class F>
  bool Operate(bool AResult, F&& ABody);
  // A caret or selection at the very start moves behind the forced prefix
  // that the text begins with; true when it moved.
  bool AnchorBehindPrefix();
  // Types the forced characters that completion found after a deletion.
  void TypeForced(const String& AForced);

  String autoInserted_;
  Integer autoRemoved_ = 0;
  Integer pendingCaret_ = -1;
  String prefixBuffer_;
  // Forced characters the last selection deletion brought back.
  String forcedAfterDeletion_;
};

// The mode class for a mask kind.
TcxMaskEditModeClass cxMaskEditModeClassOf(TcxEditMaskKind AKind);

// How the mask editor routes a key press to its mode: what the editor's
// own key handler does when the mask is in force. ACallAfterKeyDown
// receives keys that the editor reports as unhandled (caret already at the
// beginning or end, Up and Down without a popup). Returns the key, zero
// when the mode handled it.
struct TcxMaskEditKeyDownContext {
  bool HasPopupWindow = false;
  TClosure<void(Word& Key, TShiftState Shift)> AfterKeyDown;
};
void cxMaskEditModeKeyDown(TcxMaskEditCustomMode* AMode,
                           IcxMaskEditModeEdit* AEdit, Word& AKey,
                           TShiftState AShift,
                           const TcxMaskEditKeyDownContext& AContext);
// Backspace and characters; Ctrl+C, Ctrl+V, Ctrl+X, Tab, Esc and Enter are
// the caller's.
void cxMaskEditModeKeyPress(TcxMaskEditCustomMode* AMode, char& AKey);
