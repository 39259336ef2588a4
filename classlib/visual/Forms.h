// Forms and the application: TCustomForm/TForm (top-level windows, modal
// display, closing, focus within the form, creation from the form stream
// resource named after the form class), TApplication (the hidden taskbar
// window, the message loop, exception handling, hints), TApplicationEvents,
// TScreen, and the utility windows and object instances that turn a method
// into a window procedure.
#pragma once

// Controls.h first: see the note on the order of includes there.
#include "Controls.h"
//
#include <windows.h>

#include <vector>

class TCustomForm;
class TMonitor;

// ---------------------------------------------------------------------------
// Object instances and utility windows
// ---------------------------------------------------------------------------

// A window procedure that calls Method with the message. Free it with
// FreeObjectInstance; Method must outlive it.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC ObjectInstance);

// A hidden top-level window whose messages go to Method; exceptions that
// Method lets out go to Application->HandleException.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// ---------------------------------------------------------------------------
// Forms
// ---------------------------------------------------------------------------

enum TBorderIcon : Byte { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle : Byte { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : Byte {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState : Byte { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : Byte { caNone, caHide, caFree, caMinimize };
enum TPopupMode : Byte { pmNone, pmAuto, pmExplicit };
enum TDefaultMonitor : Byte { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TFormStateFlag : Byte {
  fsCreating,
  fsVisible,
  fsShowing,
  fsModal,
  fsCreatedMDIChild,
  fsActivated
};
using TFormState = TSet<TFormStateFlag>;

using TCloseEvent = TClosure<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TClosure<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
  VARNEL_CLASS(TCustomForm, TWinControl)
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void BeforeDestruction() override;

  // Reads the form stream resource named after the form's class (upper
  // case, RCDATA) into this form: components, properties and events.
  // False when the class has no resource. Forms made with CreateForm or
  // NewForm have run it already.
  bool InitInheritedComponent();

  // --- Display ---
  void Show();
  void Hide();
  // Shows the form and runs a message loop until ModalResult is set;
  // returns it. Raises EInvalidOperation for a visible or disabled form.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages in the queue are handled.
  void Release();
  TFormState FormState() const { return formState_; }

  // --- Window kind ---
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition Value) { position_ = Value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  TPopupMode PopupMode() const { return popupMode_; }
  void SetPopupMode(TPopupMode Value);
  TCustomForm* PopupParent() const { return popupParent_; }
  void SetPopupParent(TCustomForm* Value);
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor Value) { defaultMonitor_ = Value; }
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool Value);
  Byte AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(Byte Value);
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool Value);
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor Value);
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(Integer Value) { pixelsPerInch_ = Value; }
  Integer TextHeight() const { return textHeight_; }
  void SetTextHeight(Integer Value) { textHeight_ = Value; }

  // --- Focus ---
  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* Control);
  // Focuses Control when the form can; remembers it otherwise.
  void FocusControl(TWinControl* Control);
  // Called when Control gets the focus: runs the exit and enter events.
  // False when the change was refused.
  bool SetFocusedControl(TWinControl* Control);
  // Moves the focus away from Control (hidden, disabled or removed).
  void DefocusControl(TWinControl* Control, bool Removing = false);
  void DefocusControl(TControl* Control) {
    if (auto* wc = dynamic_cast<TWinControl*>(Control)) DefocusControl(wc);
  }
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }
  void SendCancelMode(TControl* Sender);
  bool CanFocus() override { return visible_ && enabled_; }
  void MouseWheelHandler(TMessage& Message) override;
  void SetFocus() override;

  TCanvas* Canvas() const { return canvas_.get(); }
  void SetClientSize(const TSize& Value) override;
  TRect GetClientRect() override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // --- Events ---
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;
  void Loaded() override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void ApplyPosition();
  void CMShowingChanged(TMessage& M);
  void CMDialogKey(TMessage& M);

 private:
  friend class TApplication;
  TModalResult modalResult_ = mrNone;
  TFormState formState_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TPopupMode popupMode_ = pmNone;
  TCustomForm* popupParent_ = nullptr;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  bool alphaBlend_ = false;
  Byte alphaBlendValue_ = 255;
  bool transparentColor_ = false;
  TColor transparentColorValue_ = clBlack;
  Integer pixelsPerInch_ = 96;
  Integer textHeight_ = 13;
  bool active_ = false;
  bool keyPreview_ = false;
  bool positioned_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  std::unique_ptr<TControlCanvas> canvas_;
};

class TForm : public TCustomForm {
  VARNEL_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// Creates a form of class T owned by Owner and reads its form stream
// resource into it (the form's own constructor has run by then, so its
// members exist when the stream sets them).
template <class T>
T* NewForm(TComponent* Owner) {
  TObjectPtr<T> form(new T(Owner));
  form->InitInheritedComponent();
  return form.release();
}

// ---------------------------------------------------------------------------
// Screen
// ---------------------------------------------------------------------------

class TMonitor : public TObject {
  VARNEL_CLASS(TMonitor, TObject)
 public:
  TMonitor() = default;
  HMONITOR Handle() const { return handle_; }
  Integer MonitorNum() const { return num_; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  bool Primary() const;
  Integer Left() const { return BoundsRect().Left; }
  Integer Top() const { return BoundsRect().Top; }
  Integer Width() const { return BoundsRect().Width(); }
  Integer Height() const { return BoundsRect().Height(); }

 private:
  friend class TScreen;
  HMONITOR handle_ = nullptr;
  Integer num_ = 0;
};

class TScreen : public TComponent {
  VARNEL_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  Integer FormCount() const { return static_cast<Integer>(forms_.size()); }
  TCustomForm* Forms(Integer Index) const { return forms_.at(Index); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;

  // The cursor for every window of the program; crDefault lets each
  // control show its own.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  // The cursor handle for a cursor number (the arrow for unknown ones).
  HCURSOR Cursors(Integer Index) const;
  void SetCursors(Integer Index, HCURSOR Handle);

  Integer Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
  Integer Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }
  TRect DesktopRect() const;
  TRect WorkAreaRect() const;
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  Integer MonitorCount();
  TMonitor* Monitors(Integer Index);
  TMonitor* MonitorFromWindow(HWND Handle);
  TMonitor* MonitorFromPoint(const TPoint& Point);

  TFont* MenuFont() const { return menuFont_.get(); }
  TFont* HintFont() const { return hintFont_.get(); }
  TFont* IconFont() const { return iconFont_.get(); }

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

 private:
  friend class TCustomForm;
  friend class TApplication;
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);
  void ReadMonitors();
  void LoadFonts();
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
  std::vector<std::pair<Integer, HCURSOR>> cursors_;
  std::vector<std::unique_ptr<TMonitor>> monitors_;
  Integer pixelsPerInch_ = 96;
  std::unique_ptr<TFont> menuFont_;
  std::unique_ptr<TFont> hintFont_;
  std::unique_ptr<TFont> iconFont_;
};

// ---------------------------------------------------------------------------
// Application
// ---------------------------------------------------------------------------

using TExceptionEvent = TClosure<void(TObject* Sender, Exception* E)>;
using TIdleEvent = TClosure<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TClosure<void(MSG& Msg, bool& Handled)>;
using THelpEvent = TClosure<bool(Word Command, Integer Data, bool& CallHelp)>;
using TShowHintEvent =
    TClosure<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplicationEvents;

class TApplication : public TComponent {
  VARNEL_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // The hidden window that stands for the program on the taskbar.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  String Title();
  void SetTitle(const String& Value);

  // Creates a form of class T (see NewForm); the first becomes MainForm.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = NewForm<T>(this);
    if (!mainForm_) mainForm_ = Reference;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* Value) { mainForm_ = Value; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool Value) { showMainForm_ = Value; }

  // Shows the main form and handles messages until Terminate.
  void Run();
  // Handles one message, or waits for one (running OnIdle first).
  void HandleMessage();
  // Handles every message waiting, without waiting.
  void ProcessMessages();
  // Ends Run: posts WM_QUIT.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Clears Terminated, for a new Run after the last one ended.
  void ResetTerminated() { terminated_ = false; }

  void Minimize();
  void Restore();
  void BringToFront();
  bool Active() const { return active_; }
  // Whether a change of the system's locale settings updates the format
  // settings (SysUtils).
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool Value) { updateFormatSettings_ = Value; }

  // Handles the exception being caught: OnException, or ShowException.
  // Call only from inside a catch block. EAbort is silent.
  void HandleException(TObject* Sender);
  // The library's error box, through the message-box seam.
  void ShowException(Exception* E);
  Integer MessageBox(const String& Text, const String& Caption, Cardinal Flags);

  // --- Hints ---
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor Value) { hintColor_ = Value; }
  Integer HintPause() const { return hintPause_; }
  void SetHintPause(Integer Value) { hintPause_ = Value; }
  Integer HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(Integer Value) { hintShortPause_ = Value; }
  Integer HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(Integer Value) { hintHidePause_ = Value; }
  bool HintShortCuts() const { return hintShortCuts_; }
  void SetHintShortCuts(bool Value) { hintShortCuts_ = Value; }
  void ActivateHint(const TPoint& CursorPos);
  void CancelHint();
  void HideHint();
  THintWindow* HintWindow() const { return hintWindow_; }

  // Asks for help through OnHelp; false when nobody gives it (the program
  // has no help system of its own).
  bool HelpContext(Integer Context);
  bool HelpCommand(Integer Command, Integer Data);
  THelpEvent OnHelp;

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // --- Called by controls ---
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ControlDestroyed(TControl* Control);
  void ModalStarted() { ++modalLevel_; }
  void ModalFinished() { --modalLevel_; }
  Integer ModalLevel() const { return modalLevel_; }

 private:
  friend class TApplicationEvents;
  friend class TCustomForm;
  bool ProcessMessage(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  void Idle(const MSG& Msg);
  void WndProc(TMessage& Message);
  void HintTimerExpired();
  void DoMouseIdle();
  void StartHintTimer(Integer Value, bool Show);
  void StopHintTimer();
  void SetActive(bool Value);
  template <class F>
  void ForEachEvents(F f);

  HWND handle_ = nullptr;
  WNDPROC objectInstance_ = nullptr;
  String title_;
  TCustomForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  bool active_ = false;
  bool updateFormatSettings_ = true;
  Integer modalLevel_ = 0;

  bool showHint_ = true;
  String hint_;
  TColor hintColor_ = clInfoBk;
  Integer hintPause_ = 500;
  Integer hintShortPause_ = 50;
  Integer hintHidePause_ = 2500;
  bool hintShortCuts_ = true;
  THintWindow* hintWindow_ = nullptr;
  TControl* hintControl_ = nullptr;
  TControl* mouseControl_ = nullptr;
  bool hintActive_ = false;
  bool hintTimerShows_ = false;
  UINT_PTR hintTimer_ = 0;
  std::vector<TApplicationEvents*> events_;
};

// Puts the application's events on a form (several may exist: each gets
// every event).
class TApplicationEvents : public TComponent {
  VARNEL_CLASS(TApplicationEvents, TComponent)
 public:
  explicit TApplicationEvents(TComponent* AOwner);
  ~TApplicationEvents() override;
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  // Later TApplicationEvents components are skipped for this event.
  void CancelDispatch() { cancelled_ = true; }

 private:
  friend class TApplication;
  bool cancelled_ = false;
};

extern TApplication* Application;
extern TScreen* Screen;
