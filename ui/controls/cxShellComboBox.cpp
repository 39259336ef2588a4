// The shell combo box; see the header.
#include "cxShellComboBox.h"

#include <commctrl.h>

#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxControlsCommon.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"

namespace {

// The description of the editor in the registry of edit properties.
constexpr Integer kIdShellComboBoxDescription = 65475;

HIMAGELIST shellImageList = nullptr;

// The system's small icon and the link or share overlay of APidl.
void ShellIconOf(PItemIDList APidl, Integer& AIconIndex,
                 Integer& AOverlayIndex) {
  AIconIndex = -1;
  AOverlayIndex = -1;
  if (!APidl) return;
  SHFILEINFOW info{};
  info.dwAttributes = SFGAO_LINK | SFGAO_SHARE;
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(APidl), 0, &info,
                        sizeof(info),
                        SHGFI_PIDL | SHGFI_SMALLICON | SHGFI_ATTRIBUTES |
                            SHGFI_SYSICONINDEX | SHGFI_ATTR_SPECIFIED)) {
    return;
  }
  AIconIndex = info.iIcon;
  if (info.dwAttributes & SFGAO_LINK) {
    AOverlayIndex = 1;
  } else if (info.dwAttributes & SFGAO_SHARE) {
    AOverlayIndex = 0;
  }
}

// The node below ANode as the tree shows it: through expanded nodes only.
TTreeNode* NextVisibleNode(TTreeNode* ANode) {
  if (ANode->Expanded() && ANode->Count() > 0) return ANode->GetFirstChild();
  for (TTreeNode* node = ANode; node; node = node->Parent()) {
    if (TTreeNode* next = node->GetNextSibling()) return next;
  }
  return nullptr;
}

TSize ShellImageSize() {
  int cx = 0;
  int cy = 0;
  if (HIMAGELIST images = cxShellComboBoxImageList()) {
    ::ImageList_GetIconSize(images, &cx, &cy);
  }
  return TSize{cx, cy};
}

}  // namespace

HIMAGELIST cxShellComboBoxImageList() {
  if (!shellImageList) {
    PItemIDList desktop = nullptr;
    if (SUCCEEDED(
            ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) {
      TcxPidlPtr owned(desktop);
      SHFILEINFOA info{};
      shellImageList = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
          reinterpret_cast<LPCSTR>(desktop), 0, &info, sizeof(info),
          SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
  }
  return shellImageList;
}

// ---------------------------------------------------------------------------
// TcxShellComboBoxRoot
// ---------------------------------------------------------------------------

TcxShellComboBoxRoot::TcxShellComboBoxRoot(
    TcxCustomShellComboBoxProperties* AOwner, HWND AParentWindow)
    : TcxCustomShellRoot(AOwner, AParentWindow) {}

void TcxShellComboBoxRoot::RootUpdated() {
  TcxCustomShellRoot::RootUpdated();
  if (auto* props = dynamic_cast<TcxCustomShellComboBoxProperties*>(Owner())) {
    props->RootChanged();
  }
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TcxCustomShellComboBoxProperties
// ---------------------------------------------------------------------------

TcxCustomShellComboBoxProperties::TcxCustomShellComboBoxProperties(
    TPersistent* AOwner)
    : TcxCustomPopupEditProperties(AOwner),
      root_(new TcxShellComboBoxRoot(this, nullptr)) {
  root_->OnSettingsChanged = TNotifyEvent(
      this, &TcxCustomShellComboBoxProperties::RootSettingsChangedHandler);
  SetImmediateDropDown(false);
  SetPopupAutoSize(false);
  SetValidateOnEnter(true);
}

TcxCustomShellComboBoxProperties::~TcxCustomShellComboBoxProperties() {
  root_->OnSettingsChanged = nullptr;
  root_->OnChange = nullptr;
}

void TcxCustomShellComboBoxProperties::RootSettingsChangedHandler(TObject*) {
  if (OnRootSettingsChanged) OnRootSettingsChanged(this);
}

void TcxCustomShellComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomShellComboBoxProperties*>(Source);
  if (!source) {
    TcxCustomPopupEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomPopupEditProperties::Assign(Source);
  SetFastSearch(source->fastSearch_);
  SetIncrementalSearch(source->incrementalSearch_);
  root_->Assign(source->root_.get());
  SetShowFullPath(source->showFullPath_);
  SetStoreRelativePath(source->storeRelativePath_);
  SetTreeViewOptions(source->treeViewOptions_);
  SetViewOptions(source->viewOptions_);
  OnAddFolder = source->OnAddFolder;
}

void TcxCustomShellComboBoxProperties::SetFastSearch(bool Value) {
  if (fastSearch_ == Value) return;
  fastSearch_ = Value;
  Changed();
}

void TcxCustomShellComboBoxProperties::SetIncrementalSearch(bool Value) {
  if (incrementalSearch_ == Value) return;
  incrementalSearch_ = Value;
  Changed();
}

void TcxCustomShellComboBoxProperties::SetShowFullPath(
    TcxShellComboBoxShowFullPath Value) {
  if (showFullPath_ == Value) return;
  showFullPath_ = Value;
  Changed();
}

void TcxCustomShellComboBoxProperties::SetStoreRelativePath(bool Value) {
  if (storeRelativePath_ == Value) return;
  storeRelativePath_ = Value;
  Changed();
}

void TcxCustomShellComboBoxProperties::SetTreeViewOptions(
    TcxPopupShellTreeViewOptions Value) {
  if (treeViewOptions_ == Value) return;
  treeViewOptions_ = Value;
  Changed();
}

void TcxCustomShellComboBoxProperties::SetViewOptions(
    TcxShellComboBoxViewOptions Value) {
  if (viewOptions_ == Value) return;
  viewOptions_ = Value;
  Changed();
}

TcxShellViewOptions TcxCustomShellComboBoxProperties::GetShellViewOptions()
    const {
  TcxShellViewOptions options{svoShowFolders};
  if (viewOptions_.Contains(scvoShowFiles)) options.Include(svoShowFiles);
  if (viewOptions_.Contains(scvoShowHidden)) options.Include(svoShowHidden);
  return options;
}

void TcxCustomShellComboBoxProperties::CheckRoot() {
  if (root_->ShellFolder()) return;
  auto update = UpdateScope();
  root_->CheckRoot();
}

PItemIDList TcxCustomShellComboBoxProperties::EditValueToPIDL(
    const Variant& AEditValue) {
  CheckRoot();
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) return nullptr;
  return PathToAbsolutePIDL(VarToStr(AEditValue), root_.get(),
                            GetShellViewOptions(), true);
}

TcxShellDisplayValue TcxCustomShellComboBoxProperties::GetShellDisplayValue(
    const Variant& AEditValue, bool AFocused) {
  TcxShellDisplayValue result;
  if (!fastSearch_) {
    TcxPidlPtr pidl(EditValueToPIDL(AEditValue));
    if (pidl) {
      result.Text = GetPIDLDisplayName(pidl.get(), ShowsFullPath(AFocused));
      ShellIconOf(pidl.get(), result.IconIndex, result.OverlayIndex);
    } else if (!VarIsNull(AEditValue) && !VarIsEmpty(AEditValue)) {
      result.Text = VarToStr(AEditValue);
    }
    DisplayValueToDisplayText(result.Text);
    return result;
  }
  // Without asking the shell, except for virtual names.
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) return result;
  CheckRoot();
  const String value = VarToStr(AEditValue);
  if (value.empty()) {
    result.Text = GetPIDLDisplayName(root_->Pidl(), false);
    return result;
  }
  String path = value;
  if (CheckShellObjectPath(path, GetPidlName(root_->Pidl()), false) ==
      sptVirtual) {
    TcxPidlPtr pidl(InternalParseDisplayName(GetDesktopIShellFolder().get(),
                                             AnsiToWide(path),
                                             GetShellViewOptions()));
    result.Text = pidl ? GetPIDLDisplayName(pidl.get(), false) : value;
    return result;
  }
  const std::size_t slash = value.find_last_of('\\');
  result.Text = slash == String::npos ? value : value.substr(slash + 1);
  return result;
}

bool TcxCustomShellComboBoxProperties::CompareDisplayValues(
    const Variant& AEditValue1, const Variant& AEditValue2) {
  const TcxShellDisplayValue v1 = GetShellDisplayValue(AEditValue1, false);
  const TcxShellDisplayValue v2 = GetShellDisplayValue(AEditValue2, false);
  return InternalCompareString(v1.Text, v2.Text, true) &&
         (fastSearch_ ||
          (v1.IconIndex == v2.IconIndex && v1.OverlayIndex == v2.OverlayIndex));
}

WideString TcxCustomShellComboBoxProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool) {
  return AnsiToWide(GetShellDisplayValue(AEditValue, false).Text);
}

TcxCustomEditClass TcxCustomShellComboBoxProperties::GetContainerClass() {
  return cxEditClass<TcxShellComboBox>();
}

TObjectPtr<TcxCustomTextEditLookupData>
TcxCustomShellComboBoxProperties::CreateLookupData(TcxCustomTextEdit* AEdit) {
  return TObjectPtr<TcxCustomTextEditLookupData>(
      new TcxShellComboBoxLookupData(AEdit));
}

TObjectPtr<TcxCustomEditViewData>
TcxCustomShellComboBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                 bool AIsInplace,
                                                 bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new TcxShellComboBoxViewData(this, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

TcxContainerViewInfoClass TcxCustomShellComboBoxProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxShellComboBoxViewInfo>;
}

TcxCustomEditPopupWindow* TcxCustomShellComboBoxProperties::NewPopupWindow(
    TWinControl* AEdit) {
  return new TcxShellComboBoxPopupWindow(AEdit);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void TcxShellComboBoxViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxShellComboBoxViewInfo*>(Source)) {
    IconPosition = source->IconPosition;
    IconIndex = source->IconIndex;
    OverlayIndex = source->OverlayIndex;
  }
}

void TcxShellComboBoxViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  IconPosition.X += DX;
  IconPosition.Y += DY;
}

TRect TcxShellComboBoxViewInfo::IconRect() const {
  const TSize size = ShellImageSize();
  return TRect{IconPosition.X, IconPosition.Y, IconPosition.X + size.cx,
               IconPosition.Y + size.cy};
}

void TcxShellComboBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
  HIMAGELIST images = cxShellComboBoxImageList();
  if (IconIndex < 0 || !images) return;
  const TRect r = IconRect();
  if (!Transparent) ACanvas->FillRect(r, BackgroundColor);
  ::ImageList_Draw(images, IconIndex, ACanvas->Handle(), r.Left, r.Top,
                   ILD_TRANSPARENT | INDEXTOOVERLAYMASK(OverlayIndex + 1));
}

bool TcxShellComboBoxViewData::EditFocused() const { return Focused; }

void TcxShellComboBoxViewData::Calculate(TcxCanvas* ACanvas,
                                         const TRect& ABounds, const TPoint& P,
                                         TcxMouseButton AButton,
                                         TShiftState AShift,
                                         TcxCustomEditViewInfo* AViewInfo,
                                         bool AIsMouseEvent) {
  TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                       AViewInfo, AIsMouseEvent);
  auto* info = dynamic_cast<TcxShellComboBoxViewInfo*>(AViewInfo);
  if (!info) return;
  if (!cxShellComboBoxImageList()) {
    info->IconPosition = TPoint{0, 0};
  } else {
    const TRect client = info->ClientRect;
    const TSize size = ShellImageSize();
    const Integer left = client.Left - (size.cx + 4) + 1;
    info->IconPosition =
        TPoint{left, client.Top + (client.Height() - size.cy) / 2};
  }
  // An editor keeps the icon of the folder it shows, also while the user
  // browses the drop-down.
  if (auto* edit = dynamic_cast<TcxCustomShellComboBox*>(Edit)) {
    edit->GetShellIcon(info->IconIndex, info->OverlayIndex);
  }
}

TRect TcxShellComboBoxViewData::GetClientExtent(
    TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  TRect result = TcxCustomTextEditViewData::GetClientExtent(ACanvas, AViewInfo);
  if (!ShellProperties()->FastSearch() || Edit) {
    result.Left += ShellImageSize().cx + 4;
  }
  return result;
}

TSize TcxShellComboBoxViewData::InternalGetEditConstantPartSize(
    TcxCanvas* ACanvas, bool AIsInplace,
    const TcxEditSizeProperties& AEditSizeProperties, TSize& AMinContentSize,
    TcxCustomEditViewInfo* AViewInfo) {
  TSize result = TcxCustomTextEditViewData::InternalGetEditConstantPartSize(
      ACanvas, AIsInplace, AEditSizeProperties, AMinContentSize, AViewInfo);
  auto* edit = dynamic_cast<TcxCustomEdit*>(Edit);
  if (AIsInplace || (edit && edit->AutoSize())) {
    AMinContentSize.cy = std::max(AMinContentSize.cy, ShellImageSize().cy);
  }
  return result;
}

void TcxShellComboBoxViewData::EditValueToDrawValue(
    TcxCanvas* ACanvas, const Variant& AValue,
    TcxCustomTextEditViewInfo* AViewInfo) {
  const TcxShellDisplayValue value =
      ShellProperties()->GetShellDisplayValue(AValue, EditFocused());
  if (auto* info = dynamic_cast<TcxShellComboBoxViewInfo*>(AViewInfo)) {
    info->IconIndex = value.IconIndex;
    info->OverlayIndex = value.OverlayIndex;
  }
  String text = value.Text;
  if (OnGetDisplayText) OnGetDisplayText(this, text);
  AViewInfo->Text = IsValueHidden ? String() : text;
  AViewInfo->TextOutData.Initialized = false;
  PrepareSelection(AViewInfo);
  (void)ACanvas;
}

String TcxShellComboBoxViewData::InternalEditValueToDisplayText(
    const Variant& AValue) {
  return ShellProperties()->GetShellDisplayValue(AValue, EditFocused()).Text;
}

// ---------------------------------------------------------------------------
// Incremental search
// ---------------------------------------------------------------------------

TcxCustomShellComboBox* TcxShellComboBoxLookupData::ShellComboBox() const {
  return dynamic_cast<TcxCustomShellComboBox*>(GetEdit());
}

Integer TcxShellComboBoxLookupData::GetItemCount() {
  TcxCustomShellComboBox* edit = ShellComboBox();
  if (!edit || !edit->ActiveProperties()->IncrementalSearch()) return 0;
  Integer count = 0;
  edit->VisibleNode(-1, &count);
  return count;
}

String TcxShellComboBoxLookupData::GetItem(Integer AIndex) {
  TcxCustomShellComboBox* edit = ShellComboBox();
  TTreeNode* node = edit ? edit->VisibleNode(AIndex) : nullptr;
  return node ? node->Text() : String();
}

void TcxShellComboBoxLookupData::SyncCurrentKey(Integer AIndex) {
  InternalSetCurrentKey(AIndex);
}

// ---------------------------------------------------------------------------
// The drop-down tree
// ---------------------------------------------------------------------------

TcxPopupShellTreeView::TcxPopupShellTreeView(TComponent* AOwner)
    : TcxShellTreeView(AOwner) {
  OnKeyDown = TKeyEvent(this, &TcxPopupShellTreeView::InnerKeyDown);
}

void TcxPopupShellTreeView::Dispatch(TMessage& Message) {
  TcxShellTreeView::Dispatch(Message);
  if (Message.Msg != WM_NOTIFY) return;
  const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (!header || !InnerTreeView()->HandleAllocated() ||
      header->hwndFrom != InnerTreeView()->Handle()) {
    return;
  }
  if ((header->code == NM_CLICK && InnerClick(mbLeft)) ||
      (header->code == NM_RCLICK && InnerClick(mbRight))) {
    Message.Result = 1;
  }
}

void TcxPopupShellTreeView::DoSelectNode(TcxEditCloseUpReason AReason) {
  if (edit_) edit_->CloseUp(AReason);
}

void TcxPopupShellTreeView::InnerKeyDown(TObject*, Word& Key,
                                         TShiftState Shift) {
  if (Key == VK_TAB && edit_) {
    edit_->KeyDown(Key, Shift);
    if (Key == 0) return;
  }
  const bool alt = Shift.Contains(ssAlt);
  const bool plain =
      !alt && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift);
  TcxEditCloseUpReason reason = crUnknown;
  bool closes = false;
  if (Key == VK_RETURN && plain && InnerTreeView()->Selected()) {
    DoSelectNode(crEnter);
    return;
  }
  if (Key == VK_ESCAPE) {
    reason = crCancel;
    closes = true;
  } else if ((Key == VK_UP || Key == VK_DOWN) && alt) {
    reason = crClose;
    closes = true;
  } else if (Key == VK_F4 && !alt) {
    reason = crClose;
    closes = true;
  }
  if (!closes) return;
  DoSelectNode(reason);
  Key = 0;
}

bool TcxPopupShellTreeView::InnerClick(TMouseButton AButton) {
  const TMouseButton selectButton = RightClickSelect ? mbRight : mbLeft;
  if (AButton != selectButton) return false;
  const DWORD position = ::GetMessagePos();
  POINT p{static_cast<short>(LOWORD(position)),
          static_cast<short>(HIWORD(position))};
  ::ScreenToClient(InnerTreeView()->Handle(), &p);
  const THitTests hit = InnerTreeView()->GetHitTestInfoAt(p.x, p.y);
  const THitTests buttonOnly{htOnItem, htOnIcon};
  if ((hit.Contains(htOnItem) || hit.Contains(htOnIcon) ||
       hit.Contains(htOnLabel)) &&
      hit != buttonOnly) {
    // The control selects the clicked node only after this notice.
    TcxInnerShellTreeView* tree = InnerTreeView();
    TTreeNode* node = tree->GetNodeAt(p.x, p.y);
    if (node && node != tree->Selected()) tree->SetSelected(node);
    DoSelectNode(crEnter);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// TcxCustomShellComboBox
// ---------------------------------------------------------------------------

TcxCustomShellComboBox::TcxCustomShellComboBox(TComponent* AOwner,
                                               bool AIsInplace)
    : TcxCustomPopupEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
  Initialize();
}

TcxCustomShellComboBox::~TcxCustomShellComboBox() {
  if (PopupWindow() && PopupWindow()->IsVisible()) RestorePopupControlData();
  SetShellListView(nullptr);
  SetShellTreeView(nullptr);
  if (Properties()) {
    Properties()->Root()->OnChange = nullptr;
    Properties()->OnRootSettingsChanged = nullptr;
  }
}

void TcxCustomShellComboBox::Initialize() {
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  props->Root()->OnChange =
      TNotifyEvent(this, &TcxCustomShellComboBox::RootChangeHandler);
  props->OnRootSettingsChanged =
      TNotifyEvent(this, &TcxCustomShellComboBox::RootSettingsChanged);
  if (ComponentState().Contains(csDesigning) || !PopupWindow()) return;
  if (!popupTree_) {
    popupTree_ = NewPopupShellTreeView(PopupWindow());
    // The popup window owns the tree; a new popup window takes a new one.
    popupTree_->FreeNotification(this);
    popupTree_->SetEdit(this);
    popupTree_->SetParentColor(true);
    popupTree_->SetParent(PopupWindow());
    popupTree_->SetVisible(false);
    popupTree_->Options()->SetShowNonFolders(false);
    popupTree_->GetStyle()->SetBorderStyle(cbsNone);
    popupTree_->GetStyle()->SetHotTrack(false);
    popupTree_->GetStyle()->SetTransparentBorder(false);
    popupTree_->SetShowInfoTips(false);
    popupTree_->GetStyle()->LookAndFeel()->SetMasterLookAndFeel(
        PopupControlsLookAndFeel());
    popupTree_->OnAddFolder =
        TcxShellAddFolderEvent(this, &TcxCustomShellComboBox::AddFolderHandler);
    popupTree_->OnChange = TTVChangedEvent(
        this, &TcxCustomShellComboBox::SelectedNodeChangeHandler);
    popupTree_->Root()->Assign(props->Root());
  }
  props->SetPopupControl(popupTree_);
  PropertiesChanged(props);
}

TcxPopupShellTreeView* TcxCustomShellComboBox::NewPopupShellTreeView(
    TComponent* AOwner) {
  return new TcxPopupShellTreeView(AOwner);
}

TcxShellComboBoxViewInfo* TcxCustomShellComboBox::ShellViewInfo() const {
  return dynamic_cast<TcxShellComboBoxViewInfo*>(ViewInfo());
}

void TcxCustomShellComboBox::GetShellIcon(Integer& AIconIndex,
                                          Integer& AOverlayIndex) const {
  AIconIndex = iconIndex_;
  AOverlayIndex = overlayIndex_;
}

void TcxCustomShellComboBox::SetShellIcon(Integer AIconIndex,
                                          Integer AOverlayIndex) {
  iconIndex_ = AIconIndex;
  overlayIndex_ = AOverlayIndex;
  if (TcxShellComboBoxViewInfo* info = ShellViewInfo()) {
    info->IconIndex = AIconIndex;
    info->OverlayIndex = AOverlayIndex;
  }
  InvalidateShellIconRect();
}

void TcxCustomShellComboBox::InvalidateShellIconRect() {
  TcxShellComboBoxViewInfo* info = ShellViewInfo();
  if (!info || !HandleAllocated()) return;
  const TRect r = info->IconRect();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  ::InvalidateRect(Handle(), &rect, FALSE);
}

void TcxCustomShellComboBox::PropertiesChanged(TObject* Sender) {
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (!popupTree_) return;
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  props->SetPopupControl(popupTree_);
  const TcxPopupShellTreeViewOptions tree = props->TreeViewOptions();
  const TcxShellComboBoxViewOptions view = props->ViewOptions();
  TcxShellTreeViewOptions* options = popupTree_->Options();
  options->ContextMenus = tree.Contains(tvoContextMenus);
  // Each of these rebuilds the tree: only a real change may.
  if (options->ShowHidden() != view.Contains(scvoShowHidden)) {
    options->SetShowHidden(view.Contains(scvoShowHidden));
  }
  if (options->ShowNonFolders() != view.Contains(scvoShowFiles)) {
    options->SetShowNonFolders(view.Contains(scvoShowFiles));
  }
  options->SetShowToolTip(tree.Contains(tvoShowToolTip));
  popupTree_->RightClickSelect = tree.Contains(tvoRightClickSelect);
  popupTree_->SetShowButtons(tree.Contains(tvoShowButtons));
  popupTree_->SetShowInfoTips(tree.Contains(tvoShowInfoTips));
  popupTree_->SetShowLines(tree.Contains(tvoShowLines));
  popupTree_->SetShowRoot(tree.Contains(tvoShowRoot));
}

// ---------------------------------------------------------------------------
// The value
// ---------------------------------------------------------------------------

PItemIDList TcxCustomShellComboBox::AbsolutePIDL() const {
  return GetPidlCopy(pidl_.get());
}

void TcxCustomShellComboBox::SetAbsolutePIDL(PItemIDList Value) {
  PItemIDList pidl = Value;
  if (CheckAbsolutePIDL(pidl, true)) InternalSynchronizeEditValue(pidl, "");
}

String TcxCustomShellComboBox::Path() const {
  return pidl_ ? GetPidlName(pidl_.get()) : String();
}

void TcxCustomShellComboBox::SetPath(const String& Value) {
  SetInternalEditValue(Variant(Value));
}

void TcxCustomShellComboBox::SetRelativePIDL(PItemIDList Value) {
  TcxCustomShellRoot* root = ActiveProperties()->Root();
  ActiveProperties()->CheckRoot();
  if (!root->Pidl()) return;
  if (!Value) {
    InternalSynchronizeEditValue(root->Pidl(), "");
    return;
  }
  TcxPidlPtr pidl(ConcatenatePidls(root->Pidl(), Value));
  if (CheckShellObjectExistence(pidl.get())) {
    InternalSynchronizeEditValue(pidl.get(), "");
  }
}

bool TcxCustomShellComboBox::CheckAbsolutePIDL(PItemIDList& APidl,
                                               bool ACheckExistence) {
  return ::CheckAbsolutePIDL(APidl, ActiveProperties()->Root(), ACheckExistence,
                             true);
}

void TcxCustomShellComboBox::InternalSetAbsolutePIDL(PItemIDList APidl) {
  if (EqualPIDLs(APidl, pidl_.get())) return;
  pidl_.reset(APidl ? GetPidlCopy(APidl) : nullptr);
  SynchronizeDependentShellControls();
}

void TcxCustomShellComboBox::InternalSynchronizeEditValue(PItemIDList APidl,
                                                          const String& AText) {
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  props->CheckRoot();
  TcxCustomShellRoot* root = props->Root();
  InternalSetAbsolutePIDL(APidl);
  const bool full = props->ShowsFullPath(IsFocusedEdit());
  String value;
  String display;
  if (!APidl) {
    display = AText;
    value = GetDisplayValue();
  } else if (props->StoreRelativePath() && EqualPIDLs(APidl, root->Pidl())) {
    display = GetPIDLDisplayName(APidl, full);
  } else {
    Integer icon = -1;
    Integer overlay = -1;
    ShellIconOf(APidl, icon, overlay);
    // The path stands for the folder only when it leads back to the same
    // object: a virtual folder may report a path of another.
    const String path = GetPidlName(APidl);
    bool usePath = !path.empty();
    if (usePath) {
      TcxPidlPtr parsed(InternalParseDisplayName(GetDesktopIShellFolder().get(),
                                                 AnsiToWide(path),
                                                 props->GetShellViewOptions()));
      Integer parsedIcon = -1;
      Integer parsedOverlay = -1;
      ShellIconOf(parsed.get(), parsedIcon, parsedOverlay);
      usePath = parsed && parsedIcon == icon && parsedOverlay == overlay;
    }
    if (usePath) {
      value = cxShellPathToEditValue(path, GetPidlName(root->Pidl()),
                                     props->StoreRelativePath());
      display = GetPIDLDisplayName(APidl, full);
    } else {
      PItemIDList id = APidl;
      TcxShellFolderPtr folder;
      const bool relative =
          props->StoreRelativePath() && IsSubPath(root->Pidl(), APidl);
      if (relative) {
        for (Integer skip = GetPidlItemsCount(root->Pidl()); skip > 0; --skip) {
          id = GetNextItemID(id);
        }
        folder = TcxShellFolderPtr::Share(root->ShellFolder());
        value = kcxShellRelativeVirtualPathMarker;
      } else {
        folder = GetDesktopIShellFolder();
        value = kcxShellAbsoluteVirtualPathMarker;
      }
      for (; id && id->mkid.cb != 0 && folder; id = GetNextItemID(id)) {
        TcxPidlPtr single(ExtractParticularPidl(id));
        display = WideToAnsi(GetShellItemDisplayName(folder.get(), single.get(),
                                                     SHGDN_INFOLDER));
        value += "\\" + display;
        TcxShellFolderPtr next;
        if (FAILED(folder->BindToObject(single.get(), nullptr, IID_IShellFolder,
                                        next.outVoid()))) {
          next.reset();
        }
        folder = next;
      }
    }
  }
  if (APidl) {
    Integer icon = -1;
    Integer overlay = -1;
    ShellIconOf(APidl, icon, overlay);
    SetShellIcon(icon, overlay);
  } else {
    SetShellIcon(-1, -1);
  }
  const Variant old = EditValue();
  const Variant newValue{value};
  const bool changed = VarType(old) != VarType(newValue) ||
                       !InternalVarEqualsExact(old, newValue);
  StoreEditValue(newValue);
  {
    SaveModified();
    auto restore = TScopeGuard([this] { RestoreModified(); });
    DataBinding()->SetDisplayValue(Variant(display));
  }
  UpdateDrawValue();
  if (changed) DoEditValueChanged();
}

void TcxCustomShellComboBox::SynchronizeDisplayValue() {
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  const Variant value = EditValue();
  TcxPidlPtr pidl;
  if (VarIsNull(value) || VarIsEmpty(value) || VarToStr(value).empty()) {
    props->CheckRoot();
    pidl.reset(GetPidlCopy(props->Root()->Pidl()));
  } else {
    pidl.reset(props->EditValueToPIDL(value));
  }
  InternalSetAbsolutePIDL(pidl.get());
  String display;
  if (pidl) {
    display =
        GetPIDLDisplayName(pidl.get(), props->ShowsFullPath(IsFocusedEdit()));
    Integer icon = -1;
    Integer overlay = -1;
    ShellIconOf(pidl.get(), icon, overlay);
    SetShellIcon(icon, overlay);
  } else {
    display =
        VarIsNull(value) || VarIsEmpty(value) ? String() : VarToStr(value);
    SetShellIcon(-1, -1);
  }
  {
    SaveModified();
    auto restore = TScopeGuard([this] { RestoreModified(); });
    DataBinding()->SetDisplayValue(Variant(display));
  }
  ResetOnNewDisplayValue();
  UpdateDrawValue();
}

void TcxCustomShellComboBox::SynchronizeEditValue() {
  const String text = GetDisplayValue();
  TcxPidlPtr pidl(ParseTypedText(text));
  InternalSynchronizeEditValue(pidl.get(), text);
}

PItemIDList TcxCustomShellComboBox::ParseTypedText(const String& AText) {
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  props->CheckRoot();
  TcxCustomShellRoot* root = props->Root();
  if (!root->Pidl()) return nullptr;
  if (AText.empty()) return GetPidlCopy(root->Pidl());
  const bool designing = ComponentState().Contains(csDesigning);
  TTreeNode* selected =
      popupTree_ ? popupTree_->InnerTreeView()->Selected() : nullptr;
  TcxPidlPtr current(designing || !selected
                         ? GetPidlCopy(root->Pidl())
                         : popupTree_->GetNodeAbsolutePIDL(selected));
  if (!current) current.reset(GetPidlCopy(root->Pidl()));
  const TcxShellViewOptions options = props->GetShellViewOptions();
  String text = AnsiUpperCase(AText);
  TcxPidlPtr result;
  switch (CheckShellObjectPath(text, AnsiUpperCase(GetPidlName(current.get())),
                               true)) {
    case sptAbsolutePhysical:
    case sptUNC:
    case sptVirtual:
      result.reset(InternalParseDisplayName(GetDesktopIShellFolder().get(),
                                            AnsiToWide(text), options));
      break;
    case sptRelativePhysical: {
      TcxShellFolderPtr folder;
      if (EqualPIDLs(current.get(), root->Pidl())) {
        folder = TcxShellFolderPtr::Share(root->ShellFolder());
      } else if (current->mkid.cb == 0) {
        folder = GetDesktopIShellFolder();
      } else if (FAILED(GetDesktopIShellFolder()->BindToObject(
                     current.get(), nullptr, IID_IShellFolder,
                     folder.outVoid()))) {
        folder.reset();
      }
      TcxPidlPtr relative(
          InternalParseDisplayName(folder.get(), AnsiToWide(text), options));
      if (relative) {
        result.reset(ConcatenatePidls(current.get(), relative.get()));
      } else if (!designing) {
        if (TTreeNode* node = FindNodeAmongExpandedNodes(text)) {
          result.reset(popupTree_->GetNodeAbsolutePIDL(node));
        }
      }
      if (!result) {
        // A special folder by its display name ("Desktop", "My Documents").
        result.reset(PathToAbsolutePIDL(AText, root, options, false));
      }
      break;
    }
    case sptInternalAbsoluteVirtual:
    case sptInternalRelativeVirtual:
      result.reset(ShellObjectInternalVirtualPathToPIDL(text, root, options));
      break;
    case sptIncorrect:
      break;
  }
  if (result && !IsPidlUnder(root->Pidl(), result.get(),
                             GetDesktopIShellFolder().get())) {
    result.reset();
  }
  return result.release();
}

// ---------------------------------------------------------------------------
// The drop-down
// ---------------------------------------------------------------------------

TTreeNode* TcxCustomShellComboBox::VisibleNode(Integer AIndex,
                                               Integer* ACount) {
  if (!popupTree_) return nullptr;
  TTreeNode* first = popupTree_->InnerTreeView()->Items()->GetFirstNode();
  if (first && !first->Expanded()) first->Expand(false);
  Integer index = 0;
  for (TTreeNode* node = first; node; node = NextVisibleNode(node)) {
    if (index == AIndex) return node;
    ++index;
  }
  if (ACount) *ACount = index;
  return nullptr;
}

Integer TcxCustomShellComboBox::VisibleNodeIndex(TTreeNode* ANode) {
  if (!popupTree_ || !ANode) return -1;
  Integer index = 0;
  for (TTreeNode* node = popupTree_->InnerTreeView()->Items()->GetFirstNode();
       node; node = NextVisibleNode(node)) {
    if (node == ANode) return index;
    ++index;
  }
  return -1;
}

TTreeNode* TcxCustomShellComboBox::FindNodeAmongExpandedNodes(
    const String& AText) {
  if (!popupTree_) return nullptr;
  const String text = AnsiUpperCase(AText);
  TcxInnerShellTreeView* tree = popupTree_->InnerTreeView();
  if (TTreeNode* selected = tree->Selected()) {
    if (AnsiUpperCase(selected->Text()) == text) return selected;
  }
  std::vector<TTreeNode*> pending;
  if (TTreeNode* first = tree->Items()->GetFirstNode())
    pending.push_back(first);
  while (!pending.empty()) {
    TTreeNode* node = pending.back();
    pending.pop_back();
    if (AnsiUpperCase(node->Text()) == text) return node;
    if (!node->Expanded()) continue;
    for (Integer i = node->Count() - 1; i >= 0; --i) {
      pending.push_back(node->Item(i));
    }
  }
  return nullptr;
}

void TcxCustomShellComboBox::DoInitPopup() {
  TcxCustomPopupEdit::DoInitPopup();
  ActiveProperties()->SetPopupControl(popupTree_);
}

void TcxCustomShellComboBox::InitializePopupWindow() {
  TcxCustomPopupEdit::InitializePopupWindow();
  if (!popupTree_) return;
  PopupWindow()->SetSysPanelStyle(ActiveProperties()->PopupSysPanelStyle());
  if (auto* style = dynamic_cast<TcxCustomEditStyle*>(ActiveStyle())) {
    popupTree_->GetStyle()->SetColor(style->Color());
    PopupWindow()->Font()->Assign(style->GetVisibleFont());
  }
}

void TcxCustomShellComboBox::DropDown() {
  droppingDown_ = true;
  TScopeGuard clear([this] { droppingDown_ = false; });
  TcxCustomPopupEdit::DropDown();
}

void TcxCustomShellComboBox::SetupPopupWindow() {
  popupShowing_ = true;
  TScopeGuard clear([this] { popupShowing_ = false; });
  TcxCustomPopupEdit::SetupPopupWindow();
  SynchronizePopupShellTreeView();
  if (popupTree_) {
    TTreeNode* first = popupTree_->InnerTreeView()->Items()->GetFirstNode();
    if (first && !first->Expanded()) first->Expand(false);
  }
}

void TcxCustomShellComboBox::PopupWindowShowed(TObject* Sender) {
  TcxCustomPopupEdit::PopupWindowShowed(Sender);
  popupShowing_ = false;
}

void TcxCustomShellComboBox::SynchronizePopupShellTreeView() {
  if (!pidl_ || !popupTree_ || ComponentState().Contains(csDesigning) ||
      !PopupWindow() || (!HasPopupWindow() && !popupShowing_)) {
    return;
  }
  TcxInnerShellTreeView* tree = popupTree_->InnerTreeView();
  tree->HandleNeeded();
  TRestoreOnExit showing(popupShowing_, true);
  ::SendMessageA(tree->Handle(), DSM_DONAVIGATE,
                 reinterpret_cast<WPARAM>(pidl_.get()), 0);
}

void TcxCustomShellComboBox::SelectedNodeChangeHandler(TObject*,
                                                       TTreeNode* Node) {
  if (!Node || (!HasPopupWindow() && !popupShowing_ && !navigating_)) return;
  if (auto* lookup = dynamic_cast<TcxShellComboBoxLookupData*>(LookupData())) {
    lookup->SyncCurrentKey(VisibleNodeIndex(Node));
  }
  // Only the user's moves in the open drop-down change the text.
  if (navigating_ || (droppingDown_ && !HasPopupWindow())) return;
  if (!popupShowing_ && !DataBinding()->Modified() && !DoEditing()) return;
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  TcxPidlPtr pidl(popupTree_->GetNodeAbsolutePIDL(Node));
  const String text =
      GetPIDLDisplayName(pidl.get(), props->ShowFullPath() == sfpAlways);
  {
    // The text changes as the user moves; the value only when the choice is
    // accepted.
    const bool locked = IsLookupDataTextChangedLocked();
    LockLookupDataTextChanged();
    TScopeGuard unlock([this, locked] {
      if (!locked) UnlockLookupDataTextChanged();
    });
    DataBinding()->SetDisplayValue(Variant(text));
  }
  if (popupShowing_) {
    SetModifiedAfterEnter(false);
  } else {
    SetModifiedAfterEnter(true);
  }
  SetSelStart(static_cast<Integer>(text.size()));
  Integer icon = -1;
  Integer overlay = -1;
  ShellIconOf(pidl.get(), icon, overlay);
  SetShellIcon(icon, overlay);
  if (props->ImmediatePost() && !popupShowing_ && CanPostEditValue() &&
      ValidateEdit(true)) {
    InternalPostEditValue(false);
  }
}

void TcxCustomShellComboBox::CloseUp(TcxEditCloseUpReason AReason) {
  if (!HasPopupWindow()) return;
  if (AReason == crTab || AReason == crEnter) {
    ValidateEdit(true);
    SelectAll();
  }
  TcxCustomPopupEdit::CloseUp(AReason);
}

void TcxCustomShellComboBox::HandleSelectItem(TObject*) {
  TcxCustomTextEditLookupData* lookup = LookupData();
  if (!lookup) return;
  TTreeNode* node = VisibleNode(lookup->CurrentKeyIndex());
  if (!node || !popupTree_) return;
  TcxPidlPtr pidl(popupTree_->GetNodeAbsolutePIDL(node));
  InternalSynchronizeEditValue(pidl.get(), "");
  SelectAll();
}

// ---------------------------------------------------------------------------
// Linked controls
// ---------------------------------------------------------------------------

void TcxCustomShellComboBox::SetShellListView(TcxCustomShellListView* Value) {
  if (shellListView_ == Value) return;
  if (shellListView_) {
    if (!shellListView_->ComponentState().Contains(csDestroying)) {
      shellListView_->InnerShellListView()->SetComboBox(nullptr);
    }
    shellListView_->RemoveFreeNotification(this);
  }
  shellListView_ = Value;
  if (!shellListView_) return;
  shellListView_->FreeNotification(this);
  shellListView_->InnerShellListView()->SetComboBox(this);
}

void TcxCustomShellComboBox::SetShellTreeView(TcxCustomShellTreeView* Value) {
  if (shellTreeView_ == Value) return;
  if (shellTreeView_) {
    if (!shellTreeView_->ComponentState().Contains(csDestroying)) {
      shellTreeView_->InnerTreeView()->SetComboBox(nullptr);
    }
    shellTreeView_->RemoveFreeNotification(this);
  }
  shellTreeView_ = Value;
  if (!shellTreeView_) return;
  shellTreeView_->FreeNotification(this);
  shellTreeView_->InnerTreeView()->SetComboBox(this);
}

void TcxCustomShellComboBox::Notification(TComponent* AComponent,
                                          TOperation Operation) {
  TcxCustomPopupEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == shellListView_) shellListView_ = nullptr;
  if (AComponent == shellTreeView_) shellTreeView_ = nullptr;
  if (AComponent == popupTree_) popupTree_ = nullptr;
}

void TcxCustomShellComboBox::SynchronizeDependentShellControls() {
  if (synchronizing_ || navigating_ || !pidl_) return;
  TRestoreOnExit synchronizing(synchronizing_, true);
  TcxPidlPtr pidl(GetPidlCopy(pidl_.get()));
  if (shellTreeView_ && shellTreeView_->InnerTreeView()->HandleAllocated()) {
    ::SendMessageA(shellTreeView_->InnerTreeView()->Handle(), DSM_DONAVIGATE,
                   reinterpret_cast<WPARAM>(pidl.get()), 0);
  }
  if (shellListView_) shellListView_->ProcessTreeViewNavigate(pidl.get());
  SynchronizePopupShellTreeView();
}

void TcxCustomShellComboBox::DsmDoNavigate(TMessage& M) {
  if (synchronizing_ || navigating_) return;
  TRestoreOnExit navigating(navigating_, true);
  TcxPidlPtr owned;
  PItemIDList pidl = reinterpret_cast<PItemIDList>(M.WParam);
  if (shellTreeView_) {
    owned.reset(shellTreeView_->AbsolutePIDL());
    pidl = owned.get();
  } else if (shellListView_) {
    owned.reset(shellListView_->AbsolutePIDL());
    pidl = owned.get();
  }
  if (!pidl || !CheckAbsolutePIDL(pidl, false)) return;
  // The drop-down tree shows the folder too; the value is stored from the
  // PIDL itself rather than parsed back from the text the tree shows.
  if (!ComponentState().Contains(csDesigning) && popupTree_ &&
      popupTree_->InnerTreeView()->HandleAllocated()) {
    ::SendMessageA(popupTree_->InnerTreeView()->Handle(), DSM_DONAVIGATE,
                   reinterpret_cast<WPARAM>(pidl), 0);
  }
  InternalSynchronizeEditValue(pidl, "");
}

void TcxCustomShellComboBox::DsmSynchronizeRoot(TMessage& M) {
  if (ComponentState().Contains(csLoading)) return;
  ActiveProperties()->Root()->Update(
      reinterpret_cast<TcxCustomShellRoot*>(M.WParam));
}

void TcxCustomShellComboBox::RootChangeHandler(TObject*) {
  TcxCustomShellComboBoxProperties* props = ActiveProperties();
  if (!ComponentState().Contains(csDesigning) && popupTree_) {
    popupTree_->Root()->Assign(props->Root());
  }
  if (!props->ChangedLocked() && !AreChangeEventsLocked()) {
    SynchronizeDisplayValue();
  }
}

void TcxCustomShellComboBox::RootSettingsChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  TcxCustomShellRoot* root = ActiveProperties()->Root();
  if (shellListView_) {
    cxShellSendRootToLinked(shellListView_->InnerShellListView(), root);
  }
  if (shellTreeView_) {
    cxShellSendRootToLinked(shellTreeView_->InnerTreeView(), root);
  }
}

void TcxCustomShellComboBox::AddFolderHandler(TObject*, TcxShellFolder* AFolder,
                                              bool& ACanAdd) {
  if (Properties()->OnAddFolder)
    Properties()->OnAddFolder(this, AFolder, ACanAdd);
  if (ACanAdd && RepositoryItem() && ActiveProperties()->OnAddFolder) {
    ActiveProperties()->OnAddFolder(this, AFolder, ACanAdd);
  }
}

void TcxCustomShellComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case DSM_DONAVIGATE:
      DsmDoNavigate(Message);
      return;
    case DSM_SYNCHRONIZEROOT:
      DsmSynchronizeRoot(Message);
      return;
  }
  TcxCustomPopupEdit::Dispatch(Message);
}

TcxShellComboBox::TcxShellComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomShellComboBox(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
  Initialize();
}

// ---------------------------------------------------------------------------
// Filter values
// ---------------------------------------------------------------------------

const TcxFilterShellComboBoxHelper* TcxFilterShellComboBoxHelper::Instance() {
  static const TcxFilterShellComboBoxHelper instance;
  return &instance;
}

TcxCustomEditClass TcxFilterShellComboBoxHelper::GetFilterEditClass() const {
  return cxEditClass<TcxShellComboBox>();
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

void ShellComboBoxStartup() {
  RegisterEnum<TcxShellComboBoxShowFullPath>(
      "TcxShellComboBoxShowFullPath",
      {"sfpNever", "sfpAlways", "sfpNotFocused"});
  RegisterEnum<TcxPopupShellTreeViewOption>(
      "TcxPopupShellTreeViewOption",
      {"tvoContextMenus", "tvoHotTrack", "tvoShowButtons", "tvoShowInfoTips",
       "tvoShowLines", "tvoShowRoot", "tvoShowToolTip", "tvoRightClickSelect"});
  RegisterTypeName<TcxPopupShellTreeViewOptions>(
      "TcxPopupShellTreeViewOptions");
  RegisterEnum<TcxShellComboBoxViewOption>("TcxShellComboBoxViewOption",
                                           {"scvoShowFiles", "scvoShowHidden"});
  RegisterTypeName<TcxShellComboBoxViewOptions>("TcxShellComboBoxViewOptions");
  using P = TcxShellComboBoxProperties;
  TPublished<P>()
      .Property("DropDownSizeable", &P::DropDownSizeable,
                &P::SetDropDownSizeable, true)
      .Property("DropDownWidth", &P::DropDownWidth, &P::SetDropDownWidth)
      .Property("FastSearch", &P::FastSearch, &P::SetFastSearch, false)
      .Property("IncrementalSearch", &P::IncrementalSearch,
                &P::SetIncrementalSearch, false)
      .Property("ShowFullPath", &P::ShowFullPath, &P::SetShowFullPath, sfpNever)
      .Property("StoreRelativePath", &P::StoreRelativePath,
                &P::SetStoreRelativePath, true)
      .Property("TreeViewOptions", &P::TreeViewOptions, &P::SetTreeViewOptions)
      .Property("ViewOptions", &P::ViewOptions, &P::SetViewOptions);
  using E = TcxShellComboBox;
  TPublished<E>().Property("Properties", &E::Properties, &E::SetProperties);
  RegisterClasses({TcxShellComboBox::StaticClass(),
                   TcxShellComboBoxProperties::StaticClass()});
  GetRegisteredEditProperties()->Register(
      TcxShellComboBoxProperties::StaticClass(),
      cxControlsLoadString(kIdShellComboBoxDescription));
  FilterEditsController()->Register(TcxShellComboBoxProperties::StaticClass(),
                                    TcxFilterShellComboBoxHelper::Instance());
  // The system image list is made when a shell combo box first needs it:
  // making it loads the shell's icons, which a program start pays for
  // whether or not it shows a shell combo box.
}

void ShellComboBoxShutdown() {
  FilterEditsController()->Unregister(TcxShellComboBoxProperties::StaticClass(),
                                      TcxFilterShellComboBoxHelper::Instance());
  GetRegisteredEditProperties()->Unregister(
      TcxShellComboBoxProperties::StaticClass());
  UnpublishClass(TcxShellComboBox::StaticClass());
  UnpublishClass(TcxShellComboBoxProperties::StaticClass());
  // The system owns the list: it is only forgotten.
  shellImageList = nullptr;
}

}  // namespace

VARNEL_UNIT(cxShellComboBox, ({"cxShellListView", "cxDropDownEdit"}),
            &ShellComboBoxStartup, &ShellComboBoxShutdown);
