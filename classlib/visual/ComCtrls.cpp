#include "ComCtrls.h"

namespace {

void ComCtrlsStartup() {
  RegisterClasses({TListView::StaticClass(), TListColumn::StaticClass(),
                   TPageControl::StaticClass(), TTabSheet::StaticClass(),
                   TTreeView::StaticClass()});
}

}  // namespace

VARNEL_UNIT(ComCtrls, ({"Controls", "Forms"}), &ComCtrlsStartup, nullptr);
