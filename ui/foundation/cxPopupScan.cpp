#include "cxPopupScan.h"

namespace {

// Where a scan goes on after closing the popup at AIndex: from the first
// popup, as the close may have changed the list; past the popup when it
// refused to close, so that the scan ends.
Integer NextIndex(TcxPopupScanHost& AHost, TObject* ASurvivor, Integer AIndex) {
  if (ASurvivor && AIndex < AHost.PopupCount() &&
      AHost.Popup(AIndex) == ASurvivor)
    return AIndex + 1;
  return 0;
}

}  // namespace

bool cxScanPopupsForPress(TcxPopupScanHost& AHost) {
  bool result = true;
  bool ownerClick = false;
  // Every close may change the list: the scan starts again from the first.
  for (Integer i = 0; i < AHost.PopupCount();) {
    TObject* popup = AHost.Popup(i);
    if (AHost.IsPassedOver(popup)) {
      ++i;
      continue;
    }
    const TcxPopupPressCase pressCase = AHost.PressCase(popup);
    if (pressCase == ppcUnrelated) {
      ++i;
      continue;
    }
    bool thisOwnerClick = false;
    if (pressCase == ppcOwnerForm && AHost.IsOwnerClick(popup)) {
      ownerClick = thisOwnerClick = true;
      if (AHost.NeedIgnorePress(popup)) AHost.SetJustClosed(popup);
    }
    if (result && !thisOwnerClick) result = !AHost.NeedIgnorePress(popup);
    TcxObjectLinkScope link(popup);
    AHost.Close(popup);
    // A press on an owner that its popup's close freed or hid has no
    // target left.
    if (pressCase == ppcOwnerForm && ownerClick &&
        (!link.Target() || AHost.IsOwnerGoneOrHidden(popup)))
      result = false;
    i = NextIndex(AHost, link.Target(), i);
  }
  return result;
}

void cxScanPopupsForDeactivation(TcxPopupScanHost& AHost) {
  for (Integer i = 0; i < AHost.PopupCount();) {
    TObject* popup = AHost.Popup(i);
    AHost.PostInactiveCaption(popup);
    if (AHost.StaysOpenOnDeactivation(popup)) {
      ++i;
      continue;
    }
    TcxObjectLinkScope owner(AHost.FocusChangeTarget(popup));
    TcxObjectLinkScope self(popup);
    AHost.Close(popup);
    if (TObject* target = owner.Target()) AHost.FocusChanged(target);
    i = NextIndex(AHost, self.Target(), i);
  }
}
