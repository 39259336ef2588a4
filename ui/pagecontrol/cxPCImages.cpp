// Tab images (turned copies for vertical text) and the go dialog.
#include "WinApi.h"
//
#include "Graphics.h"
#include "ImgList.h"
#include "Menus.h"
//
#include "cxPC.h"
#include "cxPCPainters.h"

// ---------------------------------------------------------------------------
// TcxPCImageList
// ---------------------------------------------------------------------------

TcxPCImageList::TcxPCImageList(TcxCustomTabControl* AParent)
    : parent_(AParent),
      changeLink_(std::make_unique<TChangeLink>()),
      freeNotificator_(std::make_unique<TcxFreeNotificator>()) {
  changeLink_->OnChange =
      TNotifyEvent(this, &TcxPCImageList::BaseImageListChange);
  freeNotificator_->OnFreeNotification =
      TcxFreeNotificationEvent(this, &TcxPCImageList::FreeNotification);
}

TcxPCImageList::~TcxPCImageList() {
  if (baseImages_) {
    baseImages_->UnRegisterChanges(changeLink_.get());
    freeNotificator_->RemoveSender(baseImages_);
  }
}

void TcxPCImageList::OutError(const String& AMethod,
                              const String& AText) const {
  cxPCOutError("TcxPCImageList", AMethod, AText);
}

void TcxPCImageList::SetBaseImages(TCustomImageList* Value) {
  cxSetImageList(Value, baseImages_, changeLink_.get(), freeNotificator_.get());
}

void TcxPCImageList::SetImageRotationAngle(TcxRotationAngle Value) {
  if (imageRotationAngle_ == Value) return;
  imageRotationAngle_ = Value;
  RotateImages();
  Change();
}

void TcxPCImageList::BaseImageListChange(TObject*) {
  RotateImages();
  Change();
}

void TcxPCImageList::Change() { OnChange(this); }

void TcxPCImageList::FreeNotification(TComponent* AComponent) {
  if (AComponent == baseImages_) {
    baseImages_ = nullptr;
    rotatedImages_.clear();
  }
}

void TcxPCImageList::DoPrepareBitmapBackground(TBitmap* ABitmap) {
  OnPrepareBitmapBackground(ABitmap);
}

TSize TcxPCImageList::GetBaseImageSize() const {
  if (baseImages_ && baseImages_->Width() > 0 && baseImages_->Height() > 0)
    return TSize{baseImages_->Width(), baseImages_->Height()};
  return TSize{0, 0};
}

TSize TcxPCImageList::GetRotatedImageSize() const {
  TSize size = GetBaseImageSize();
  if (imageRotationAngle_ != ra0) std::swap(size.cx, size.cy);
  return size;
}

void TcxPCImageList::ClearRotatedImages() { rotatedImages_.clear(); }

void TcxPCImageList::RotateImages() {
  if (imageRotationAngle_ == ra0 || !baseImages_ || baseImages_->Count() < 1)
    return;
  rotatedImages_.clear();
  rotatedImages_.resize(baseImages_->Count());
  for (TRotatedImage& element : rotatedImages_) {
    element.Bitmap.reset(new TBitmap());
    element.Bitmap->SetPixelFormat(pf32bit);
    element.Bitmap->SetHandleType(bmDIB);
  }
}

bool TcxPCImageList::IsRotatedImageValid(Integer AIndex, TColor* ABkColor,
                                         bool* AEnabled) const {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(rotatedImages_.size()))
    return false;
  const TRotatedImage& element = rotatedImages_[AIndex];
  if (ABkColor) *ABkColor = element.BkColor;
  if (AEnabled) *AEnabled = element.Enabled;
  return element.Valid;
}

void TcxPCImageList::RotateImage(Integer AIndex, TColor ABkColor,
                                 bool AEnabled) {
  if (AIndex >= static_cast<Integer>(rotatedImages_.size())) RotateImages();
  TRotatedImage& element = rotatedImages_.at(AIndex);
  if (element.Valid && element.BkColor == ABkColor &&
      element.Enabled == AEnabled)
    return;
  element.BkColor = ABkColor;
  element.Enabled = AEnabled;
  element.Valid = true;
  TBitmap* bitmap = element.Bitmap.get();
  TSize size = GetBaseImageSize();
  bitmap->SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap->Canvas());
  canvas.FillRect(TRect(0, 0, size.cx, size.cy), ABkColor);
  TcxPCCustomPainter* painter = parent_->Painter();
  if (painter && painter->IsNativePainting()) bitmap->SetTransparent(true);
  DoPrepareBitmapBackground(bitmap);
  baseImages_->Draw(bitmap->Canvas(), 0, 0, AIndex, AEnabled);
  parent_->Canvas()->RotateBitmap(bitmap, imageRotationAngle_);
}

void TcxPCImageList::Draw(TcxCanvas* ACanvas, Integer X, Integer Y,
                          Integer AIndex, TColor ABkColor, bool AEnabled) {
  if (!baseImages_ || baseImages_->Count() == 0)
    OutError("Draw", cxPCGetResourceString(scxPCNoBaseImages));
  if (AIndex < 0 || AIndex >= baseImages_->Count())
    OutError("Draw", Format(cxPCGetResourceString(scxPCImageListIndexError),
                            {AIndex, baseImages_->Count() - 1}));
  if (imageRotationAngle_ != ra0) {
    RotateImage(AIndex, ABkColor, AEnabled);
    ACanvas->Draw(X, Y, rotatedImages_[AIndex].Bitmap.get());
    return;
  }
  TcxPCCustomPainter* painter = parent_->Painter();
  if (painter && painter->IsNativePainting()) {
    baseImages_->Draw(ACanvas->Canvas(), X, Y, AIndex, AEnabled);
    return;
  }
  TSize size = GetBaseImageSize();
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap->Canvas());
  canvas.SetFont(parent_->Canvas()->Font());
  canvas.Pen()->Assign(parent_->Canvas()->Pen());
  canvas.FillRect(TRect(0, 0, size.cx, size.cy), ABkColor);
  DoPrepareBitmapBackground(bitmap.get());
  baseImages_->Draw(bitmap->Canvas(), 0, 0, AIndex, AEnabled);
  ACanvas->Draw(X, Y, bitmap.get());
}

// ---------------------------------------------------------------------------
// TcxPCGoDialog
// ---------------------------------------------------------------------------

TcxPCGoDialog::TcxPCGoDialog(TComponent* AOwner) : TPopupMenu(AOwner) {}

TcxCustomTabControl* TcxPCGoDialog::TabControl() const {
  return dynamic_cast<TcxCustomTabControl*>(Owner());
}

void TcxPCGoDialog::InitializeItems(bool ASort) {
  TcxCustomTabControl* control = TabControl();
  TStringList list;
  TcxTabs* tabs = control->Tabs();
  for (Integer i = 0; i < tabs->GetVisibleTabsCount(); ++i) {
    TcxTab* tab = tabs->GetVisibleTab(i);
    if (tab->RealEnabled())
      list.AddObject(cxPCRemoveAccelChars(tab->Caption()), tab);
  }
  if (ASort) list.Sort();
  Items()->Clear();
  for (Integer i = 0; i < list.Count(); ++i) {
    auto* tab = static_cast<TcxTab*>(list.Objects(i));
    auto* item = new TMenuItem(this);
    item->SetCaption(tab->Caption());
    item->SetTag(tab->Index());
    item->OnClick = TNotifyEvent(this, &TcxPCGoDialog::ItemClick);
    Items()->Add(item);
  }
}

TPoint TcxPCGoDialog::GetDialogPosition() {
  TcxCustomTabControl* control = TabControl();
  TRect bounds = control->Painter()->GetGoDialogButtonBounds();
  return control->ClientToScreen(TPoint(bounds.Left, bounds.Bottom));
}

void TcxPCGoDialog::Popup(bool ASort) {
  InitializeItems(ASort);
  TPoint p = GetDialogPosition();
  TPopupMenu::Popup(p.X, p.Y);
}

void TcxPCGoDialog::ItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) DoClick(item->Tag());
}

void TcxPCGoDialog::DoClick(Integer ATabIndex) { OnClick(ATabIndex); }
