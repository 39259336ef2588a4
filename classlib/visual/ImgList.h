// Image lists over the common controls' image lists: a strip of images of
// one size, drawn normally or greyed out, and the drag image of drag and
// drop. Users of a list (menus, tool bars, lists) hold a TChangeLink to
// hear about its changes.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "Graphics.h"

class TCustomImageList;

enum TDrawingStyle : Byte { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType : Byte { itImage, itMask };
using TImageIndex = Integer;

// Tells its owner when the image list it watches changes.
class TChangeLink : public TObject {
  VARNEL_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  // Leaves the watched list.
  ~TChangeLink() override;

  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* Value) { sender_ = Value; }
  // Calls OnChange with the list as Sender.
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
  VARNEL_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  // Copies the images and settings of another image list.
  void Assign(TPersistent* Source) override;

  // Each returns the index of the (first) added image; an image wider than
  // Width adds one image per Width pixels. Raise EInvalidOperation when the
  // system list refuses.
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent; clDefault takes the image's
  // transparent colour. The image itself is not changed.
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  Integer AddIcon(TIcon* Image);
  void AddImages(TCustomImageList* Value);
  // Index may be Count (append); outside 0..Count nothing happens.
  void Insert(Integer Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor);
  void InsertIcon(Integer Index, TIcon* Image);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor);
  void ReplaceIcon(Integer Index, TIcon* Image);
  void Delete(Integer Index);
  void Move(Integer CurIndex, Integer NewIndex);
  void Clear();
  // Copies the image into Image (sized to the list); false for a bad index.
  bool GetBitmap(Integer Index, TBitmap* Image);
  void GetIcon(Integer Index, TIcon* Image);

  // Draws with the list's DrawingStyle and ImageType; a disabled image is
  // drawn as an embossed shape in the button highlight and shadow colours.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index,
            bool Enabled = true);
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index,
            TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);

  // The system image list (created on first use).
  HIMAGELIST Handle();
  // Takes the list; with ShareImages it is not destroyed with this object.
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  Integer Count() const;

  // Changing the size empties the list.
  Integer Width() const { return width_; }
  void SetWidth(Integer Value) { SetSize(Value, height_); }
  Integer Height() const { return height_; }
  void SetHeight(Integer Value) { SetSize(width_, Value); }
  void SetSize(Integer AWidth, Integer AHeight);
  Integer AllocBy() const { return allocBy_; }
  void SetAllocBy(Integer Value) { allocBy_ = Value > 0 ? Value : 1; }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType Value);
  // Whether the list keeps masks; changing it empties the list.
  bool Masked() const { return masked_; }
  void SetMasked(bool Value);
  // The handle belongs to someone else and outlives this object.
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool Value) { shareImages_ = Value; }

  // Changes inside BeginUpdate/EndUpdate are reported once, at the end.
  void BeginUpdate();
  void EndUpdate();

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

  TNotifyEvent OnChange;

 protected:
  // Tells the change links and OnChange (once per update).
  virtual void Change();
  // Checks the image size; the constructor calls it, and descendants that
  // set up more call it from theirs.
  virtual void Initialize();
  // Style: ILD_* flags.
  virtual void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y,
                      UINT Style, bool Enabled = true);
  void CheckIndex(Integer Index, bool AllowCount = false) const;

 private:
  void CreateImageList();
  void FreeHandle();
  Integer Checked(Integer Result);
  void DrawDisabled(Integer Index, HDC DC, Integer X, Integer Y);

  HIMAGELIST handle_ = nullptr;
  Integer width_ = 16;
  Integer height_ = 16;
  Integer allocBy_ = 4;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  bool masked_ = true;
  bool shareImages_ = false;
  Integer updateCount_ = 0;
  bool changed_ = false;
  std::vector<TChangeLink*> links_;
};

// An image list that also serves as the drag image.
class TDragImageList : public TCustomImageList {
  VARNEL_CLASS(TDragImageList, TCustomImageList)
 public:
  explicit TDragImageList(TComponent* AOwner);
  ~TDragImageList() override;

  // Starts showing the drag image over Window at client point X, Y.
  bool BeginDrag(HWND Window, Integer X, Integer Y);
  bool DragMove(Integer X, Integer Y);
  // Locks Window against painting while the image is shown over it.
  bool DragLock(HWND Window, Integer XPos, Integer YPos);
  void DragUnlock();
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  // The image to drag and its hot spot; false for a bad index.
  bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
  TPoint GetHotSpot() const { return hotSpot_; }
  bool Dragging() const { return dragging_; }

 private:
  Integer dragIndex_ = 0;
  TPoint hotSpot_;
  bool dragging_ = false;
  HWND lockedWindow_ = nullptr;
};

class TImageList : public TDragImageList {
  VARNEL_CLASS(TImageList, TDragImageList)
 public:
  explicit TImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};
