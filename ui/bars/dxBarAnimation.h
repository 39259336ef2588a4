// What makes popups look raised and open smoothly: the drop shadow right of
// and below a popup (following the outline of the item that opened it when
// the two touch), made of thin popup strips, and the choice of a menu's
// opening animation.
//
// Sources: dxBarAnimation.cpp.
#pragma once

#include <vector>

#include "dxBar.h"

enum TdxBarShadowPartKind : Byte { spHorizontal, spVertical };
// Scoped: the class library already names a scroll code scTop.
enum class TdxBarShadowCorner : Byte { scLeft, scRight, scTop };
using TdxBarShadowCorners = TSet<TdxBarShadowCorner>;

struct TdxBarShadowPartInfo {
  TRect Bounds;
  TdxBarShadowPartKind Kind = spHorizontal;
  TdxBarShadowCorners Corners;
};

// The strips of the shadow of a popup (screen rectangle) opened from an
// owner item (empty: none), for a shadow of ASize pixels. Empty strips are
// left out.
std::vector<TdxBarShadowPartInfo> dxBarShadowParts(const TRect& AOwner,
                                                   const TRect& APopup,
                                                   Integer ASize);
// The alpha of each pixel of a strip (rows top to bottom): fading across
// the strip from the shadowed edge, and towards each corner.
std::vector<Byte> dxBarShadowAlpha(const TdxBarShadowPartInfo& APart,
                                   Integer ASize);
// 4 translucent pixels where layered windows and more than 8 bits per pixel
// allow them, else 2 solid ones.
Integer dxBarShadowSize();
bool dxBarShadowTranslucent();

class TdxBarShadow;

class TdxBarShadowPart : public TCustomControl {
  VARNEL_CLASS(TdxBarShadowPart, TCustomControl)
 public:
  TdxBarShadowPart(TdxBarShadow* AShadow, const TdxBarShadowPartInfo& AInfo);
  const TdxBarShadowPartInfo& Info() const { return info_; }
  // A strip with fading corners needs room for them.
  bool CanShow() const;
  void ShowPart();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  TdxBarShadow* shadow_;
  TdxBarShadowPartInfo info_;
};

class TdxBarShadow : public TObject {
  VARNEL_CLASS(TdxBarShadow, TObject)
 public:
  explicit TdxBarShadow(TWinControl* AOwner);
  ~TdxBarShadow() override;
  TWinControl* Owner() const { return owner_; }
  void SetOwnerBounds(const TRect& AOwnerItem, const TRect& APopup);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  void Refresh();
  Integer PartCount() const { return static_cast<Integer>(parts_.size()); }
  TdxBarShadowPart* Part(Integer AIndex) const {
    return parts_.at(static_cast<std::size_t>(AIndex));
  }

 private:
  void FreeParts();
  TWinControl* owner_;
  bool visible_ = false;
  TRect ownerItem_;
  TRect popup_;
  std::vector<TdxBarShadowPart*> parts_;
};

// The animation a menu opens with: maRandom becomes one of the others for
// each showing (below 33 unfold, below 66 slide, else fade).
TdxBarMenuAnimations dxBarResolveMenuAnimation(TdxBarMenuAnimations AKind,
                                               Integer ARandom0To99);
