// The main window's bar manager: kept apart because the bar manager's and
// the list view's headers both name an alignment "iaLeft".
#include "dxBar.h"
#include "dxBarPopupMenu.h"
#include "uFormHelpers.h"
#include "wndMain.h"

void TwndMain::BindBars(TControl* GroupList) {
  BarManager = FindChild<TdxBarManager>(this, "BarManager");
  pmGroup = FindChild<TdxBarPopupMenu>(this, "pmGroup");
  TdxBarPopupMenuLink* link = BarManager->PopupMenuLinks()->Add();
  link->SetControl(GroupList);
  link->SetPopupMenu(pmGroup);
}
