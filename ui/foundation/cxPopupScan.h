// The decisions of the popup-closing hooks over the list of open popups,
// apart from the windows they are made for: which popups a mouse press
// closes and whether the press still reaches its target, and which popups
// the application's deactivation closes. Closing a popup runs its owner's
// handlers, which may free the popup, its owner or both; the scans never
// touch either after a close without knowing it survived.
#pragma once

#include "SysUtils.h"
//
#include "cxClasses.h"

// How a popup stands to the window a mouse press is for.
enum TcxPopupPressCase : Byte {
  ppcUnrelated,  // elsewhere: the popup stays open
  ppcOwnerForm,  // on the owner control's form (or its closed parent popup)
  ppcMDI         // on the MDI frame or another child of the owner's frame
};

// What the scans ask about the open popups; the popups are TObjects whose
// destruction clears their weak links (cxClearObjectLinks).
class TcxPopupScanHost {
 public:
  virtual Integer PopupCount() = 0;
  virtual TObject* Popup(Integer AIndex) = 0;
  // Closes the popup; its handlers may free the popup and its owner.
  virtual void Close(TObject* APopup) = 0;

  // --- The press scan ---
  // The press is inside the popup, or the popup is left to its own
  // deactivation.
  virtual bool IsPassedOver(TObject* APopup) = 0;
  virtual TcxPopupPressCase PressCase(TObject* APopup) = 0;
  // A left press on the owner control inside its bounds.
  virtual bool IsOwnerClick(TObject* APopup) = 0;
  virtual bool NeedIgnorePress(TObject* APopup) = 0;
  virtual void SetJustClosed(TObject* APopup) = 0;
  // Asked after the close, of a popup that survived it: its owner control
  // went away, is being destroyed or is hidden.
  virtual bool IsOwnerGoneOrHidden(TObject* APopup) = 0;

  // --- The deactivation scan ---
  virtual void PostInactiveCaption(TObject* APopup) = 0;
  // A focused popup that is the active form, or one whose window is
  // disabled.
  virtual bool StaysOpenOnDeactivation(TObject* APopup) = 0;
  // The owner to tell about the focus change, or null; an object whose
  // destruction clears its weak links.
  virtual TObject* FocusChangeTarget(TObject* APopup) = 0;
  virtual void FocusChanged(TObject* ATarget) = 0;

 protected:
  ~TcxPopupScanHost() = default;
};

// The press scan: closes the popups the press concerns and answers whether
// the press goes on to its target.
bool cxScanPopupsForPress(TcxPopupScanHost& AHost);
// The deactivation scan: closes every popup that does not stay open and
// tells the surviving owners of the closed ones.
void cxScanPopupsForDeactivation(TcxPopupScanHost& AHost);
