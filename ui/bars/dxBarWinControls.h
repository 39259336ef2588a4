// The item controls that edit an edit or combo item in place: a real
// system edit window, placed over the item on the bar's window, hidden
// until editing starts and subclassed so that its keys, focus changes and
// mouse messages take part in the bar's keyboard and menu handling. The
// window edits a copy of the item's text and commits it on Enter, Tab or,
// with the manager's AlwaysSaveText, on leaving.
//
// Sources: dxBarWinControls.cpp.
#pragma once

#include "dxBar.h"
#include "dxBarPainters.h"

class TdxBarWindowItem;
class TCustomdxBarCombo;
class TdxBarCustomCombo;

// ---------------------------------------------------------------------------
// Windowed base
// ---------------------------------------------------------------------------

class TdxBarWinControl : public TdxBarItemControl {
  VARNEL_CLASS(TdxBarWinControl, TdxBarItemControl)
 public:
  // --- Construction ---
  TdxBarWinControl() = default;
  ~TdxBarWinControl() override;

  // --- Properties ---
  bool HasWindow() const override { return true; }
  virtual HWND GetHandle() const = 0;
  bool WindowAllocated() const { return GetHandle() != nullptr; }
  // Editing is in progress.
  bool Focused() const { return focused_; }
  // The window's whole text, however long.
  virtual String GetText() const;
  // Changes the window; the item's text changes only on commit.
  virtual void SetText(const String& Value);
  // The edit field's rectangle in the bar's client coordinates.
  virtual TRect GetEditRect() const = 0;
  virtual TFont* GetEditFont() const = 0;
  TRect GetWindowRect() const;
  void SetWindowRect(const TRect& Value);
  // The window, or a window inside it.
  virtual bool IsChildWindow(HWND AWnd) const;

  // --- Behaviour on the bar ---
  bool CanClicked() const override;
  bool CanSelect() const override;
  bool CanDeselect(TdxBarManager* AManager) const override;
  bool IsDestroyOnClick() const override { return false; }
  void ControlClick(bool AByMouse, char AKey) override;
  void ControlGetFocus(bool AByMouse) override;
  void ControlInactivate(bool AImmediately) override;
  void EnabledChanged() override;
  void BeforeDestroyParentHandle() override { DestroyInnerEdit(true); }

  // --- Editing ---
  virtual void SetFocused(bool Value);
  virtual void Hide(bool AStoreText) = 0;
  virtual void Show();
  virtual void PrepareEditWnd() {}
  virtual void RestoreDisplayValue();
  virtual void StoreDisplayValue();

 protected:
  // --- Implementation ---
  virtual void CreateInnerEdit();
  virtual void DestroyInnerEdit(bool ADestroyWindow);
  virtual void ActivateEdit(bool AByMouse, char AKey);
  // The keys typed in the window; a key set to 0 does not reach it.
  virtual void EditKeyDown(Word& AKey, TShiftState AShift);
  virtual void EditKeyPress(char& AKey);
  virtual void EditKeyUp(Word& AKey, TShiftState AShift);
  virtual void SysKeyDown(Word& AKey, TShiftState AShift);
  virtual void SysKeyUp(Word& AKey, TShiftState AShift);
  virtual void KillFocus(HWND) {}
  virtual void WndProc(TMessage& Message);
  void DefaultHandler(TMessage& Message);
  // The bar's mouse message handed to the window at its own point.
  void TransferMessage(HWND AFrom, TMessage& Message);
  bool DoCallKeyboardHook(Word AKey, LPARAM AKeyData);
  TdxBarWindowItem* WindowItem() const;
  bool SettingText() const { return settingText_; }

  bool settingText_ = false;
  bool onGlass_ = false;

 private:
  void DoEnter();
  void DoEscape();
  void DoNavigation();
  void KillCharMessages();

  WNDPROC thunk_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  bool focused_ = false;
  // Set while Escape ends editing: nothing typed is committed.
  bool escaping_ = false;
  Integer altCounter_ = 0;
  HWND prevFocus_ = nullptr;
  TRect windowRect_;
};

// ---------------------------------------------------------------------------
// Edit-like controls
// ---------------------------------------------------------------------------

class TdxBarCustomEditControl : public TdxBarWinControl {
  VARNEL_CLASS(TdxBarCustomEditControl, TdxBarWinControl)
 public:
  TdxBarCustomEditControl() = default;
  TRect GetEditRect() const override;
  TFont* GetEditFont() const override;
  Integer GetEditOffset() const;
  Integer GetMinWidth() const override;
  bool DrawSelected() const override;
  bool HotPartWantMouse() const override;
  void CalcDrawParams(bool AAll = true) override;
  void Show() override;
  // The brush the window's background takes.
  HBRUSH GetEditBkBrush();
  HBRUSH GetCaptionBkBrush() const;
  TdxBarEditLikeControlDrawParams& EditDrawParams() const;
  // The edit window's colours, through the painter.
  void GetEditColors(TColor& AText, TColor& ABackground);

  // --- Width sizing while customizing ---
  // The point (bar coordinates) lies on a sizing strip at either end.
  bool CanResize(const TPoint& P) const;
  void BeginResize(const TPoint& P);
  void Resizing(const TPoint& P);
  // Accepted, the link keeps the new width as the user's.
  void EndResize(bool AAccept);
  TRect LeftSizingRect() const;
  TRect RightSizingRect() const;
  bool IsResizing() const { return resizing_; }
  Integer SizingWidth() const { return sizingWidth_; }

 protected:
  TClass GetDrawParamsClass() const override;
  TdxBarItemViewLevels GetPossibleViewLevels() const override;
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override;
  Integer GetPartCount() const override { return 3; }
  void CalcParts() override;
  Integer GetCaptionAreaWidth() override;
  Integer GetGlyphAreaWidth() override;
  Integer GetControlAreaWidth() override;
  Integer GetDefaultHeight() override;
  Integer GetDefaultWidth() override;
  void DoPaint(const TRect& ARect, TdxBarPaintType APaintType) override;
  virtual bool GetShowCaption() const;
  virtual Integer GetMinEditorWidth() const = 0;
  virtual void DrawFrame();
  virtual void CorrectFrameRect(TRect&) {}
  virtual void DrawTextField() = 0;
  virtual void InitEdit() = 0;
  // The committed text drawn in the field while no window shows it.
  void PaintCommittedText(const TRect& R);
  TRect GetIndents(TdxBarItemControlPart APart) const;

 private:
  // The outline of the item at the width, inverted on the screen: drawn
  // twice it is gone.
  void DrawEditSizingFrame(Integer AWidth);

  TGdiObject<HBRUSH> editBrush_;
  Integer sizingWidth_ = 0;
  bool sizingFromRight_ = false;
  bool resizing_ = false;
};

class TdxBarEditControl : public TdxBarCustomEditControl {
  VARNEL_CLASS(TdxBarEditControl, TdxBarCustomEditControl)
 public:
  TdxBarEditControl() = default;
  ~TdxBarEditControl() override;
  void Initialize(TdxBarItemLink* ALink) override;
  HWND GetHandle() const override { return edit_; }
  void ControlClick(bool AByMouse, char AKey) override;
  void Hide(bool AStoreText) override;
  void PrepareEditWnd() override;
  void SetFocused(bool Value) override;
  void SetText(const String& Value) override;
  virtual bool CanDrawEditor() const;

 protected:
  void CreateInnerEdit() override;
  void DestroyInnerEdit(bool ADestroyWindow) override;
  Integer GetMinEditorWidth() const override { return 20; }
  void DrawTextField() override;
  void InitEdit() override { CalcDrawParams(true); }
  void WndProc(TMessage& Message) override;

 private:
  HWND edit_ = nullptr;
};

// ---------------------------------------------------------------------------
// Combos
// ---------------------------------------------------------------------------

class TCustomdxBarComboControl : public TdxBarEditControl {
  VARNEL_CLASS(TCustomdxBarComboControl, TdxBarEditControl)
 public:
  TCustomdxBarComboControl() = default;
  ~TCustomdxBarComboControl() override;
  bool DroppedDown() const { return droppedDown_; }
  bool IsDroppedDown() const override { return droppedDown_; }
  virtual void SetDroppedDown(bool Value);
  void CalcDrawParams(bool AAll = true) override;
  void ControlInactivate(bool AImmediately) override;
  void EnabledChanged() override;
  bool CanDrawEditor() const override;
  bool IsChildWindow(HWND AWnd) const override;
  // The bar holds the mouse between press and release: the release on the
  // button comes from the bar.
  void MouseUp(TMouseButton AButton, TShiftState AShift, Integer X,
               Integer Y) override;

 protected:
  TCustomdxBarCombo* Combo() const;
  Integer GetPartCount() const override { return 4; }
  void CalcParts() override;
  void CorrectFrameRect(TRect& R) override;
  void DrawTextField() override;
  void SysKeyDown(Word& AKey, TShiftState AShift) override;
  void SysKeyUp(Word& AKey, TShiftState AShift) override;
  void WndProc(TMessage& Message) override;

 private:
  bool droppedDownAtPress_ = false;
  bool droppedDown_ = false;
};

// A list combo's control keeps the list position of the text it shows.
class TdxBarComboControl : public TCustomdxBarComboControl {
  VARNEL_CLASS(TdxBarComboControl, TCustomdxBarComboControl)
 public:
  TdxBarComboControl() = default;
  Integer LocalItemIndex() const { return localItemIndex_; }
  void SetLocalItemIndex(Integer Value);
  void RestoreDisplayValue() override;
  void SetFocused(bool Value) override;

 protected:
  TdxBarCustomCombo* ListCombo() const;
  void WndProc(TMessage& Message) override;

 private:
  Integer localItemIndex_ = -1;
};

// The bar's selected control when it is an edit being edited.
TdxBarWinControl* dxBarFocusedWinControl(TCustomdxBarControl* ABar);
// A bar window answers for its edit windows: their change notices go back
// to them and they take the painter's colours. True when handled.
bool dxBarReflectEditMessage(TCustomdxBarControl* ABar, TMessage& Message);
