// TTrayIcon: the program's icon in the notification area of the taskbar,
// with a tip, balloon messages, click events and a popup menu on a right
// click. A hidden window receives the shell's callback messages; when the
// taskbar is re-created (the shell restarted) the icon adds itself again.
#pragma once

// Controls.h first: see the note on the order of includes there.
#include "Controls.h"
//
#include <windows.h>

#include <memory>

#include "Graphics.h"
#include "Menus.h"

enum TBalloonFlags : Byte { bfNone, bfInfo, bfWarning, bfError };

class TTrayIcon : public TComponent {
  VARNEL_CLASS(TTrayIcon, TComponent)
 public:
  // The message the shell sends to WindowHandle for mouse events on the
  // icon (LParam: the mouse message).
  static constexpr UINT WM_TRAYNOTIFY = WM_APP + 0x2A1;

  explicit TTrayIcon(TComponent* AOwner);
  ~TTrayIcon() override;

  // Shown in the notification area while true.
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // True while the shell holds the icon.
  bool Added() const { return added_; }
  // The tip (the shell keeps at most 127 characters).
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value);
  // The picture; the program's main icon while empty.
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* Value);

  const String& BalloonHint() const { return balloonHint_; }
  void SetBalloonHint(const String& Value) { balloonHint_ = Value; }
  const String& BalloonTitle() const { return balloonTitle_; }
  void SetBalloonTitle(const String& Value) { balloonTitle_ = Value; }
  TBalloonFlags BalloonFlags() const { return balloonFlags_; }
  void SetBalloonFlags(TBalloonFlags Value) { balloonFlags_ = Value; }
  // Milliseconds; the shell clamps it.
  Integer BalloonTimeout() const { return balloonTimeout_; }
  void SetBalloonTimeout(Integer Value) { balloonTimeout_ = Value; }
  // Shows BalloonTitle/BalloonHint by the icon; false when the icon is not
  // shown or the shell refused.
  bool ShowBalloonHint();

  // Opened by a right click on the icon.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);

  // The window the shell's messages go to.
  HWND WindowHandle() const { return window_; }
  // The id the icon has with the shell (with WindowHandle).
  static constexpr UINT IconId = 1;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnBalloonClick;

 protected:
  virtual void Click() { OnClick(this); }
  virtual void DblClick() { OnDblClick(this); }

 private:
  void WndProc(TMessage& M);
  void TrayMessage(UINT MouseMsg);
  void FillData(NOTIFYICONDATAA& Data, UINT Flags) const;
  HICON CurrentIcon() const;
  bool Add();
  void RemoveIcon();
  void Modify(UINT Flags);
  void IconChanged(TObject* Sender);

  HWND window_ = nullptr;
  std::unique_ptr<TIcon> icon_;
  TPopupMenu* popupMenu_ = nullptr;
  String hint_;
  String balloonHint_;
  String balloonTitle_;
  TBalloonFlags balloonFlags_ = bfNone;
  Integer balloonTimeout_ = 10000;
  UINT taskbarCreated_ = 0;
  bool visible_ = false;
  bool added_ = false;
};
