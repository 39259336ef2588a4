// Dragging inside and across editing controls: sizing an edge with a
// snapped mark, moving an element with a floating image while the control
// scrolls at its edges, the image that follows a class-library drag (with
// a thread mouse hook for its length), and the place arrows.
#include "Forms.h"
#include "cxInplaceContainer.h"

// ---------------------------------------------------------------------------
// The control's part
// ---------------------------------------------------------------------------

namespace {

// One drag with images at a time, on the user-interface thread.
struct TDragHook {
  HHOOK Hook = nullptr;
  TcxEditingControl* Control = nullptr;
};

TDragHook& DragHook() {
  static TDragHook hook;
  return hook;
}

LRESULT CALLBACK DragMouseHookProc(int ACode, WPARAM AParam, LPARAM ALParam) {
  const LRESULT result =
      ::CallNextHookEx(DragHook().Hook, ACode, AParam, ALParam);
  TcxEditingControl* control = DragHook().Control;
  if (control && ACode >= 0) {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(ALParam);
    switch (AParam) {
      case WM_MOUSEMOVE:
        if (control->Dragging() && control->DragImageHelper())
          control->DragImageHelper()->DragAndDrop(
              TPoint{info->pt.x, info->pt.y});
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        control->FinishDragImages();
        break;
      default:
        break;
    }
  }
  return result;
}

void InstallDragHook(TcxEditingControl* AControl) {
  DragHook().Control = AControl;
  DragHook().Hook = ::SetWindowsHookExA(WH_MOUSE, &DragMouseHookProc, nullptr,
                                        ::GetCurrentThreadId());
}

void RemoveDragHook() {
  TDragHook& hook = DragHook();
  HHOOK handle = hook.Hook;
  hook.Hook = nullptr;
  hook.Control = nullptr;
  if (handle) ::UnhookWindowsHookEx(handle);
}

void DragShutdown() { RemoveDragHook(); }

}  // namespace

VARNEL_UNIT(cxInplaceContainerDrag, ({"cxInplaceContainer"}), nullptr,
            &DragShutdown);

void TcxEditingControl::FinishDragImages() {
  if (!dragImageHelper_) return;
  RemoveDragHook();
  dragImageHelper_.reset();
}

void TcxEditingControl::BeginAutoDrag() {
  controller_->HideHint();
  if (EditingController()->IsEditing()) EditingController()->HideEdit(true);
  BeginDrag(false, Mouse->DragThreshold());
}

void TcxEditingControl::DoStartDrag(TDragObject*& DragObject) {
  HitTestController()->ReCalculate(dragPos_);
  controller_->BeforeStartDrag();
  TcxControl::DoStartDrag(DragObject);
  controller_->StartDrag(DragObject);
  FinishDragImages();
  if (HasDragDropImages()) {
    dragImageHelper_ = GetDragImageHelperClass()(this, dragPos_);
    InstallDragHook(this);
  }
}

void TcxEditingControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  controller_->EndDrag(Target, X, Y);
  TcxControl::DoEndDrag(Target, X, Y);
  controller_->SetMousePressed(false);
  controller_->PostShowEdit();
  FinishDragImages();
  dragPos_ = TPoint{0, 0};
}

// ---------------------------------------------------------------------------
// TcxSizingDragAndDropObject
// ---------------------------------------------------------------------------

TcxEditingControl* TcxSizingDragAndDropObject::EditingControl() const {
  return dynamic_cast<TcxEditingControl*>(Control());
}

TcxCustomControlController* TcxSizingDragAndDropObject::Controller() const {
  return EditingControl()->Controller();
}

TObject* TcxSizingDragAndDropObject::DragItem() const {
  return Controller()->DragItem();
}

IcxDragSizing* TcxSizingDragAndDropObject::DragSizing() const {
  return dynamic_cast<IcxDragSizing*>(DragItem());
}

TPoint TcxSizingDragAndDropObject::GetDragPos(const TPoint& P) {
  TPoint result = startPos_;
  const Integer move = cxSizingSteps(GetDragCoord(startPos_), GetDragCoord(P),
                                     sizeIncrement_, false) *
                       sizeIncrement_;
  if (direction_ == dsdHorz)
    result.X += move;
  else
    result.Y += move;
  return result;
}

TRect TcxSizingDragAndDropObject::GetSizingMarkBounds() {
  if (direction_ == dsdHorz)
    return TRect{dragPos_.X - 1, dragBoundsTopLeft_.Y, dragPos_.X,
                 dragBoundsBottomRight_.Y};
  return TRect{dragBoundsTopLeft_.X, dragPos_.Y - 1, dragBoundsBottomRight_.X,
               dragPos_.Y};
}

void TcxSizingDragAndDropObject::DirtyChanged() {
  if (!dynamicUpdate_) {
    const TRect mark = GetSizingMarkBounds();
    TRect visible;
    if (IntersectRect(visible, mark, EditingControl()->GetClientBounds()))
      EditingControl()->Canvas()->InvertRect(mark);
  }
  TcxDragAndDropObject::DirtyChanged();
}

TCursor TcxSizingDragAndDropObject::GetDragAndDropCursor(bool) {
  return direction_ == dsdHorz ? crHSplit : crVSplit;
}

void TcxSizingDragAndDropObject::BeginDragAndDrop() {
  IcxDragSizing* sizing = DragSizing();
  if (!sizing) Abort();
  direction_ = Controller()->GetResizeDirection();
  const TRect bounds = sizing->GetSizingBoundsRect(direction_);
  dragBoundsTopLeft_ = bounds.TopLeft();
  dragBoundsBottomRight_ = bounds.BottomRight();
  sizeIncrement_ = sizing->GetSizingIncrement(direction_);
  if (sizeIncrement_ <= 0) sizeIncrement_ = 1;
  startPos_ = CurMousePos();
  dragPos_ = GetDragPos(startPos_);
  dynamicUpdate_ = sizing->IsDynamicUpdate();
  delta_ = 0;
  TcxDragAndDropObject::BeginDragAndDrop();
}

void TcxSizingDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  const TPoint snapped = GetDragPos(P);
  const Integer coord = GetDragCoord(P);
  const Integer low =
      direction_ == dsdHorz ? dragBoundsTopLeft_.X : dragBoundsTopLeft_.Y;
  const Integer high = direction_ == dsdHorz ? dragBoundsBottomRight_.X
                                             : dragBoundsBottomRight_.Y;
  if (coord < low || coord > high) return;
  const Integer delta = cxSizingSteps(GetDragCoord(startPos_), coord,
                                      sizeIncrement_, dynamicUpdate_);
  if (delta == 0 && GetDragCoord(snapped) == GetDragCoord(dragPos_)) return;
  SetDirty(true);
  dragPos_ = snapped;
  delta_ = delta;
  if (dynamicUpdate_) {
    DragSizing()->SetSizeDelta(direction_, delta);
    startPos_ = P;
  }
  Accepted = true;
  TcxDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxSizingDragAndDropObject::EndDragAndDrop(bool Accepted) {
  TcxDragAndDropObject::EndDragAndDrop(Accepted);
  if (!dynamicUpdate_ && delta_ != 0 && !Controller()->DragCancel())
    if (IcxDragSizing* sizing = DragSizing())
      sizing->SetSizeDelta(direction_, delta_);
}

// ---------------------------------------------------------------------------
// Element drag
// ---------------------------------------------------------------------------

TcxEditingControl* TcxBaseDragAndDropObject::EditingControl() const {
  return dynamic_cast<TcxEditingControl*>(Control());
}

TCursor TcxBaseDragAndDropObject::GetDragAndDropCursor(bool Accepted) {
  return Accepted ? EditingControl()->DragCursor() : crNoDrop;
}

TcxCustomControlDragAndDropObject::TcxCustomControlDragAndDropObject(
    TComponent* AControl)
    : TcxBaseDragAndDropObject(AControl) {}

TcxCustomControlDragAndDropObject::~TcxCustomControlDragAndDropObject() {
  autoScrollObjects_.clear();
  dragImage_.reset();
}

TcxCustomHitTestController*
TcxCustomControlDragAndDropObject::HitTestController() const {
  return EditingControl()->HitTestController();
}

void TcxCustomControlDragAndDropObject::AddAutoScrollingObject(
    const TRect& AArea, TScrollBarKind AKind, TScrollCode ACode) {
  TObjectPtr<TcxAutoScrollingObject> object =
      GetAutoScrollingObjectClass()(this);
  object->SetParams(
      AArea, AKind, ACode,
      AKind == sbVertical ? GetVertScrollInc() : GetHorzScrollInc());
  autoScrollObjects_.push_back(std::move(object));
}

bool TcxCustomControlDragAndDropObject::CheckScrolling(const TPoint& P) {
  bool result = false;
  for (auto& object : autoScrollObjects_)
    if (object->Check(P)) result = true;
  return result;
}

void TcxCustomControlDragAndDropObject::StopScrolling() {
  for (auto& object : autoScrollObjects_) object->Stop();
}

void TcxCustomControlDragAndDropObject::DrawImage(const TPoint& P) {
  dragImage_->MoveTo(P);
  dragImage_->Show();
}

TcxAutoScrollingObjectClass
TcxCustomControlDragAndDropObject::GetAutoScrollingObjectClass() {
  return cxSubObjectClass<TcxDragDropObjectAutoScrollingObject,
                          TcxAutoScrollingObject, TObject>();
}

TCursor TcxCustomControlDragAndDropObject::GetDragAndDropCursor(bool Accepted) {
  return Accepted ? crDefault : crcxNoDrop;
}

TPoint TcxCustomControlDragAndDropObject::ImagePosition() const {
  const TPoint mouse = CurMousePos();
  return TPoint{originOffset_.X + hotSpot_.X + mouse.X,
                originOffset_.Y + hotSpot_.Y + mouse.Y};
}

void TcxCustomControlDragAndDropObject::DrawDragImage() {
  const TRect r = GetDisplayRect();
  imageRect_ = TRect{0, 0, r.Width(), r.Height()};
  dragImage_.reset(new TcxEditingControlDragImage());
  dragImage_->SetBounds(0, 0, imageRect_.Width(), imageRect_.Height());
  const TPoint mouse = CurMousePos();
  hotSpot_ = TPoint{r.Left - mouse.X, r.Top - mouse.Y};
  originOffset_ = EditingControl()->ClientToScreen(TPoint{0, 0});
  TcxCanvas* canvas = dragImage_->Canvas();
  const TPoint savedOrg = canvas->WindowOrg();
  canvas->SetWindowOrg(TPoint{r.Left, r.Top});
  TcxCustomControlPainter* painter = EditingControl()->Painter();
  TcxCanvas* savedCanvas = painter->Canvas();
  painter->SetCanvas(canvas);
  TScopeGuard restore([&] {
    painter->SetCanvas(savedCanvas);
    canvas->SetWindowOrg(savedOrg);
  });
  Paint();
}

void TcxCustomControlDragAndDropObject::OwnerImageChanged() {
  if (dragImage_ && dragImage_->Visible()) DrawImage(ImagePosition());
}

void TcxCustomControlDragAndDropObject::BeginDragAndDrop() {
  TcxBaseDragAndDropObject::BeginDragAndDrop();
  DrawDragImage();
}

void TcxCustomControlDragAndDropObject::DragAndDrop(const TPoint& P,
                                                    bool& Accepted) {
  TcxBaseDragAndDropObject::DragAndDrop(P, Accepted);
  if (dragImage_) DrawImage(ImagePosition());
  CheckScrolling(P);
  canDrop_ = Accepted;
}

void TcxCustomControlDragAndDropObject::EndDragAndDrop(bool Accepted) {
  StopScrolling();
  TcxBaseDragAndDropObject::EndDragAndDrop(Accepted);
}

// ---------------------------------------------------------------------------
// Auto-scrolling
// ---------------------------------------------------------------------------

TcxAutoScrollingObject::TcxAutoScrollingObject(TObject* AOwner)
    : owner_(AOwner), timer_(std::make_unique<TcxTimer>(nullptr)) {
  timer_->SetEnabled(false);
  timer_->SetInterval(50);
  timer_->SetOnTimer(TNotifyEvent(this, &TcxAutoScrollingObject::TimerHandler));
}

TcxAutoScrollingObject::~TcxAutoScrollingObject() { timer_->SetEnabled(false); }

void TcxAutoScrollingObject::SetParams(const TRect& AArea, TScrollBarKind AKind,
                                       TScrollCode ACode, Integer AIncrement) {
  area_ = AArea;
  kind_ = AKind;
  code_ = ACode;
  increment_ = ACode == scLineUp ? -AIncrement : AIncrement;
}

bool TcxAutoScrollingObject::Check(const TPoint& P) {
  const bool inside = PtInRect(area_, P);
  timer_->SetEnabled(inside);
  return inside;
}

TcxControlScrollBar* TcxAutoScrollingObject::GetScrollBar(
    TScrollBarKind AKind) {
  TcxEditingControl* control = GetControl();
  if (!control) return nullptr;
  return AKind == sbVertical ? control->VScrollBar() : control->HScrollBar();
}

bool TcxAutoScrollingObject::ScrollBy(TScrollBarKind AKind, TScrollCode ACode,
                                      Integer ADelta) {
  TcxControlScrollBar* bar = GetScrollBar(AKind);
  TcxEditingControl* control = GetControl();
  if (!bar || !control || !bar->Visible()) return false;
  const TcxScrollBarData& data = bar->Data();
  Integer position = data.Position + ADelta;
  const Integer high = data.Max - data.PageSize + 1;
  if (position > high) position = high;
  if (position < data.Min) position = data.Min;
  if (position == data.Position) return false;
  control->Controller()->Scroll(AKind, ACode, position);
  return true;
}

void TcxAutoScrollingObject::DoScrollInspectingControl() {
  ScrollBy(kind_, code_, increment_);
}

TcxEditingControl* TcxDragDropObjectAutoScrollingObject::GetControl() {
  auto* drag = dynamic_cast<TcxCustomControlDragAndDropObject*>(Owner());
  return drag ? drag->EditingControl() : nullptr;
}

TcxEditingControl* TcxControllerAutoScrollingObject::GetControl() {
  auto* controller = dynamic_cast<TcxCustomControlController*>(Owner());
  return controller ? controller->EditingControl() : nullptr;
}

void TcxControllerAutoScrollingObject::SetBoundsParams(const TRect& AClientArea,
                                                       bool ACheckHorz,
                                                       bool ACheckVert,
                                                       Integer AIncrement) {
  SetParams(AClientArea, sbVertical, scLineDown, AIncrement);
  checkHorz_ = ACheckHorz;
  checkVert_ = ACheckVert;
  boundsMode_ = true;
}

bool TcxControllerAutoScrollingObject::CheckBounds(const TPoint& P) {
  directions_ = cxAutoScrollDirections(Area(), P, checkHorz_, checkVert_);
  Timer()->SetEnabled(directions_ != 0);
  return directions_ != 0;
}

void TcxControllerAutoScrollingObject::DoScrollInspectingControl() {
  if (!boundsMode_) return TcxAutoScrollingObject::DoScrollInspectingControl();
  const Integer increment = Increment();
  if (directions_ & cxasdLeft) ScrollBy(sbHorizontal, scLineUp, -increment);
  if (directions_ & cxasdTop) ScrollBy(sbVertical, scLineUp, -increment);
  if (directions_ & cxasdRight) ScrollBy(sbHorizontal, scLineDown, increment);
  if (directions_ & cxasdBottom) ScrollBy(sbVertical, scLineDown, increment);
}

// ---------------------------------------------------------------------------
// TcxDragImageHelper
// ---------------------------------------------------------------------------

TcxDragImageHelper::TcxDragImageHelper(TcxEditingControl* AControl,
                                       const TPoint& ADragPos)
    : dragControl_(AControl), dragStartPoint_(ADragPos) {
  InitDragImage();
}

TcxDragImageHelper::~TcxDragImageHelper() {
  if (dragImageVisible_) Hide();
}

void TcxDragImageHelper::SetDragImageVisible(bool Value) {
  if (dragImageVisible_ == Value) return;
  if (Value)
    Show();
  else
    Hide();
}

TRect TcxDragImageHelper::GetImageRect() const {
  TRect r = imageBounds_;
  OffsetRect(r, mousePos_.X, mousePos_.Y);
  return r;
}

TRect TcxDragImageHelper::GetDisplayRect() {
  return dragControl_->DragDropImageDisplayRect();
}

void TcxDragImageHelper::InitDragImage() {
  imageBounds_ = GetDisplayRect();
  hotSpot_ = imageBounds_.TopLeft();
  OffsetRect(imageBounds_, -imageBounds_.Left, -imageBounds_.Top);
  hotSpot_ =
      TPoint{hotSpot_.X - dragStartPoint_.X, hotSpot_.Y - dragStartPoint_.Y};
  dragImage_.reset(new TcxEditingControlDragImage());
  dragImage_->SetBounds(0, 0, imageBounds_.Width(), imageBounds_.Height());
  dragControl_->DrawDragDropImage(dragImage_->Image(), dragImage_->Canvas());
}

void TcxDragImageHelper::DragAndDrop(const TPoint& P) {
  mousePos_ = TPoint{P.X + hotSpot_.X, P.Y + hotSpot_.Y};
  DrawImage(mousePos_);
}

void TcxDragImageHelper::DrawImage(const TPoint& P) {
  dragImage_->MoveTo(P);
  if (!dragImageVisible_) Show();
}

void TcxDragImageHelper::Show() {
  dragImageVisible_ = true;
  dragImage_->MoveTo(mousePos_);
  dragImage_->Show();
}

void TcxDragImageHelper::Hide() {
  dragImageVisible_ = false;
  dragImage_->Hide();
}

// ---------------------------------------------------------------------------
// TcxPlaceArrows
// ---------------------------------------------------------------------------

TcxPlaceArrows::TcxPlaceArrows(TColor AFirstColor, TColor ASecondColor)
    : firstColor_(AFirstColor), secondColor_(ASecondColor) {
  // The arrows are opaque: no blending.
  SetAlphaBlend(false);
}

TcxPlaceArrows::~TcxPlaceArrows() {
  if (windowRegion_) ::DeleteObject(windowRegion_);
}

HRGN TcxPlaceArrows::CreateArrowsRgns(const TRect& ARect, TcxBorder ASide) {
  TPoint first[7], second[7];
  cxGetPlaceArrowsPolygons(ARect, static_cast<TcxPlaceArrowsSide>(ASide), first,
                           second);
  POINT a[7], b[7];
  for (int i = 0; i < 7; ++i) {
    a[i] = POINT{first[i].X, first[i].Y};
    b[i] = POINT{second[i].X, second[i].Y};
  }
  HRGN result = ::CreatePolygonRgn(a, 7, ALTERNATE);
  HRGN other = ::CreatePolygonRgn(b, 7, ALTERNATE);
  ::CombineRgn(result, result, other, RGN_OR);
  ::DeleteObject(other);
  return result;
}

void TcxPlaceArrows::SetWindowRegion(HRGN ARegion) {
  if (windowRegion_) ::DeleteObject(windowRegion_);
  windowRegion_ = ARegion;
  // The window takes its own copy; ours stays for comparisons and tests.
  HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
  ::CombineRgn(copy, ARegion, nullptr, RGN_COPY);
  if (!::SetWindowRgn(Handle(), copy, FALSE)) ::DeleteObject(copy);
}

bool TcxPlaceArrows::MoveTo(const TRect& ARect, TcxBorder ASide) {
  HandleNeeded();
  if (EqualRect(ARect, currentRect_) && ASide == prevSide_ && Visible())
    return false;
  Hide();
  currentRect_ = ARect;
  prevSide_ = ASide;
  HRGN region = CreateArrowsRgns(ARect, ASide);
  RECT box{};
  ::GetRgnBox(region, &box);
  SetBounds(box.left, box.top, box.right - box.left, box.bottom - box.top);
  ::OffsetRgn(region, -box.left, -box.top);
  TRect local = ARect;
  OffsetRect(local, -box.left, -box.top);
  Canvas()->FillRect(TRect{0, 0, box.right - box.left, box.bottom - box.top},
                     firstColor_);
  cxDrawArrows(Canvas()->Canvas(), local, ASide, secondColor_, firstColor_);
  SetWindowRegion(region);
  Show();
  return true;
}
