// The component library's push button: a platform button drawn through the
// look-and-feel painters, with a glyph beside the caption, colours per
// state, hot tracking and two drop-down kinds that open a menu. Windows
// only.
#pragma once

#include <vector>

#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

enum TcxButtonKind : Byte { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
enum TButtonLayout : Byte {
  blGlyphLeft,
  blGlyphRight,
  blGlyphTop,
  blGlyphBottom
};

// The width of a split button's arrow part; the main part overlaps it by 2.
constexpr Integer cxDropDownButtonWidth = 15;

class TcxButtonColors : public TPersistent {
  VARNEL_CLASS(TcxButtonColors, TPersistent)
 public:
  explicit TcxButtonColors(TNotifyEvent AOnChanged = nullptr)
      : onChanged_(AOnChanged) {}
  void Assign(TPersistent* Source) override;

  TColor Color(TcxButtonState AState) const { return colors_[AState]; }
  // clDefault and clNone unassign the state.
  void SetColor(TcxButtonState AState, TColor Value);
  bool IsAssigned(TcxButtonState AState) const { return assigned_[AState]; }
  // An assigned state's own colour; otherwise Default for the normal
  // state and Normal for the others (either may be clDefault).
  TColor GetBackgroundColor(TcxButtonState AState) const;

 private:
  TColor colors_[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
  bool assigned_[5] = {};
  TNotifyEvent onChanged_;
};

// Where the glyph and the caption go in a content rectangle.
struct TcxButtonLayoutResult {
  TPoint GlyphPos;
  TRect TextBounds;
};
// AClientSize: the content; AGlyphSize: the image (0 x 0 without);
// ATextSize: the measured caption with its offsets.
TcxButtonLayoutResult cxCalcButtonLayout(const TSize& AClientSize,
                                         const TSize& AGlyphSize,
                                         const TSize& ATextSize,
                                         TButtonLayout ALayout, Integer AMargin,
                                         Integer ASpacing);
// The number of glyphs a strip of that size holds: width div height when
// that is whole and below 5, else 1.
Integer cxButtonNumGlyphsOf(Integer AWidth, Integer AHeight);
// The painter a button draws with for the look and feel.
TcxLookAndFeelPainterClass GetButtonPainterClass(TcxLookAndFeel* ALookAndFeel);

// An image list of one size whose slots are taken and given back one by
// one, so that the glyphs of many buttons share it.
class TcxGlyphList : public TcxImageList {
  VARNEL_CLASS(TcxGlyphList, TcxImageList)
 public:
  TcxGlyphList(Integer AWidth, Integer AHeight);
  // Puts the pair in the first free slot, or a new one at the end.
  Integer AddGlyph(TBitmap* AImage, TBitmap* AMask);
  void FreeSlot(Integer AIndex);
  bool IsSlotUsed(Integer AIndex) const;
  Integer UsedCount() const { return usedCount_; }

 private:
  std::vector<bool> used_;
  Integer usedCount_ = 0;
};

// The program's glyph lists, one per size.
class TcxGlyphCache : public TObject {
  VARNEL_CLASS(TcxGlyphCache, TObject)
 public:
  TcxGlyphCache() = default;
  // The list of that size, made when there is none.
  TcxGlyphList* GetList(Integer AWidth, Integer AHeight);
  // Frees the list when it holds no used slot any more.
  void ReturnList(TcxGlyphList* AList);
  Integer ListCount() const { return static_cast<Integer>(lists_.size()); }

 private:
  std::vector<TObjectPtr<TcxGlyphList>> lists_;
};

// The cache while any button glyph lives or it holds a list; null else.
TcxGlyphCache* cxButtonGlyphCache();

// What a button shows beside its caption: a glyph strip or an image of a
// list, and the images made from it for each state, kept in the cache.
class TcxButtonGlyph : public TObject {
  VARNEL_CLASS(TcxButtonGlyph, TObject)
 public:
  // construction
  explicit TcxButtonGlyph(TNotifyEvent AOnChange = nullptr);
  ~TcxButtonGlyph() override;

  // properties
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* Value);
  Integer NumGlyphs() const { return numGlyphs_; }
  // Below 2 stores 1, above 3 stores 4.
  void SetNumGlyphs(Integer Value);
  TCustomImageList* Images() const { return images_; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageList(TCustomImageList* AImages, Integer AImageIndex);
  // 0 x 0 without an image.
  TSize ImageSize() const;
  // The list slot made for a glyph kind (0 up, 1 disabled, 2 down); -1
  // when not made.
  Integer GlyphIndex(Integer AKind) const { return indexes_[AKind]; }
  TcxGlyphList* List() const { return list_; }

  // methods
  // The glyph kind a state shows.
  Integer KindOf(TcxButtonState AState) const;
  // Draws the state's image with its top-left corner at (X, Y).
  void Draw(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AState);
  // Gives the made images back to the cache.
  void Invalidate();

  // overridables
  // The list slot of the state's image, made when needed; -1 without one.
  virtual Integer CreateButtonGlyph(TcxButtonState AState);

 private:
  bool HasGlyphBitmap() const;
  void Changed();

  TObjectPtr<TBitmap> glyph_;
  Integer numGlyphs_ = 1;
  TCustomImageList* images_ = nullptr;
  Integer imageIndex_ = -1;
  TcxGlyphList* list_ = nullptr;
  Integer indexes_[4] = {-1, -1, -1, -1};
  TNotifyEvent onChange_;
};

using TcxButtonDropDownMenuPopupEvent =
    TClosure<void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled)>;
using TcxButtonGetDrawParamsEvent = TClosure<void(
    TObject* Sender, TcxButtonState AState, TColor& AColor, TFont* AFont)>;

class TcxCustomButton : public TButton, public IcxMouseTrackingCaller {
  VARNEL_CLASS(TcxCustomButton, TButton)
 public:
  // construction
  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  TcxButtonColors* Colors() const { return colors_.get(); }
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* Value);
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* Value);
  Integer NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(Integer Value);
  TcxButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  TcxButtonKind Kind() const { return kind_; }
  void SetKind(TcxButtonKind Value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  Integer Margin() const { return margin_; }
  void SetMargin(Integer Value);
  Integer Spacing() const { return spacing_; }
  void SetSpacing(Integer Value);
  TPopupAlignment PopupAlignment() const { return popupAlignment_; }
  void SetPopupAlignment(TPopupAlignment Value) { popupAlignment_ = Value; }
  bool Hot() const { return hot_; }
  bool MenuVisible() const { return menuVisible_; }
  TcxButtonState State();

  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;

  // methods
  void Click() override;
  // Whether a press at X of a split button falls on its arrow part.
  bool IsArrowPart(Integer X);
  TRect GetBorderRect(TcxButtonState AState);
  TRect GetContentRect() { return GetBorderRect(cxbsDefault); }
  void ExcludeDropDownButtonRect(TRect& R);
  TSize GetOptimalSize();
  void DoDropDownMenu();
  // IcxMouseTrackingCaller
  void MouseLeave() override;

  // overridables
  virtual bool DoOnDropDownMenuPopup(TPopupMenu*& AMenu);
  virtual TcxLookAndFeelPainterClass GetPainterClass();
  virtual bool StandardButton() { return false; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Paint(TcxCanvas* ACanvas);
  void DrawContent(TcxCanvas* ACanvas, const TRect& AContent,
                   TcxButtonState AState, const TPoint& AShift);
  bool IsHotTrack();

 private:
  void DrawItem(const DRAWITEMSTRUCT& AItem);
  // The action's image list and index, when the action has them.
  void UpdateImageInfo();
  void DropDown();
  void CloseUp();
  void SetHot(bool Value);
  void Repaint();

  TObjectPtr<TCanvas> canvas_;
  TObjectPtr<TcxCanvas> cxCanvas_;
  TObjectPtr<TcxLookAndFeel> lookAndFeel_;
  TObjectPtr<TcxButtonColors> colors_;
  TObjectPtr<TcxButtonGlyph> glyph_;
  TPopupMenu* dropDownMenu_ = nullptr;
  TcxButtonKind kind_ = cxbkStandard;
  TButtonLayout layout_ = blGlyphLeft;
  Integer margin_ = -1;
  Integer spacing_ = 4;
  TPopupAlignment popupAlignment_ = paLeft;
  bool drawnDown_ = false;
  bool focusedLook_ = false;
  bool arrowPressed_ = false;
  bool menuVisible_ = false;
  bool menuClosedByClick_ = false;
  bool hot_ = false;
};

class TcxButton : public TcxCustomButton {
  VARNEL_CLASS(TcxButton, TcxCustomButton)
 public:
  using TcxCustomButton::TcxCustomButton;
};
