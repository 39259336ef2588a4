// What makes popups look raised and open smoothly: the drop shadow right of
// and below a popup (following the outline of the item that opened it when
// the two touch), made of thin popup strips, the choice of a menu's opening
// animation, and the thread that unfolds or slides an opening menu.
//
// Sources: dxBarAnimation.cpp.
#pragma once

#include <atomic>
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

// ---------------------------------------------------------------------------
// Unfolding and sliding menus
// ---------------------------------------------------------------------------

// What an opening animation works from: where the menu ends up, how it
// grows and by how much a step.
struct TdxBarAnimationInfo {
  // maSlide keeps the full width from the first step.
  TdxBarMenuAnimations Animation = maUnfold;
  // The window grows to the left (its right edge stays) or upwards (its
  // bottom edge stays).
  bool OpensLeftward = false;
  bool OpensUpward = false;
  Integer FinalLeft = 0;
  Integer FinalTop = 0;
  Integer FinalClientWidth = 0;
  Integer FinalClientHeight = 0;
  // Window size less client size.
  Integer BorderWidth = 0;
  Integer BorderHeight = 0;
  // How far one side leads the other at every step: negative, the width by
  // its absolute value; positive, the height.
  Integer FirstValue = 0;
  // The whole growth; the steps are Delta div Step.
  Integer Delta = 0;
  Integer Step = 1;
};

// The record of an unfolding (8 pixels a step, the shorter side catching up
// with the longer) or sliding (17 pixels a step, full width) menu whose
// window ends at AFinal (screen) with a client area of AClientSize.
TdxBarAnimationInfo dxBarMakeAnimationInfo(TdxBarMenuAnimations AKind,
                                           const TRect& AFinal,
                                           TSize AClientSize, bool ALeftward,
                                           bool AUpward);
Integer dxBarAnimationStepCount(const TdxBarAnimationInfo& AInfo);
// The window's bounds (screen) at step AStep, from 1.
TRect dxBarAnimationStepBounds(const TdxBarAnimationInfo& AInfo, Integer AStep);
// Where the shown part of the window takes its pixels in the menu's full
// image at a client size of AShown: the content slides in from the edge the
// menu grows from.
TPoint dxBarAnimationImageOffset(const TdxBarAnimationInfo& AInfo,
                                 TSize AShown);

// The clock an animation's steps wait on: each step lasts until the tick
// count changes. Tests replace it to run the steps without waiting.
struct TdxBarAnimationClock {
  DWORD (*Ticks)() = nullptr;
  void (*Pause)() = nullptr;
};
TdxBarAnimationClock& dxBarAnimationClock();

// Moves and paints an opening menu window from a thread of its own, from
// an image of the whole menu painted before it starts; the final placement
// runs on the window's own thread (the window answers
// dxBarAnimationFinishMessage).
class TdxBarAnimationThread : public TObject {
  VARNEL_CLASS(TdxBarAnimationThread, TObject)
 public:
  // AImage: the menu's client area painted at its final size; the thread
  // takes it over.
  TdxBarAnimationThread(HWND AWnd, const TdxBarAnimationInfo& AInfo,
                        HBITMAP AImage);
  // Stops the steps and waits for the thread, handling the messages sent
  // to this thread meanwhile.
  ~TdxBarAnimationThread() override;
  TdxBarAnimationThread(const TdxBarAnimationThread&) = delete;
  TdxBarAnimationThread& operator=(const TdxBarAnimationThread&) = delete;
  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  const TdxBarAnimationInfo& Info() const { return info_; }

 private:
  static DWORD WINAPI ThreadProc(LPVOID AParam);
  void Execute();
  void DoStep(Integer AStep);
  HWND wnd_;
  TdxBarAnimationInfo info_;
  HDC memDC_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HBITMAP image_ = nullptr;
  HANDLE thread_ = nullptr;
  std::atomic<bool> terminated_{false};
};

// Sent by the animation thread to the menu window when the steps end.
constexpr UINT dxBarAnimationFinishMessage = WM_USER + 2;
