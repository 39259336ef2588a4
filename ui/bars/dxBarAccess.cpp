#include "dxBarAccess.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "SysUtils.h"
#include "WinApi.h"
#include "dxBarNavigation.h"

namespace {

TdxBarAccessibilityHelper* gSelected = nullptr;
TdxBarAccessibilityHelper* gSelectedParent = nullptr;

bool StartsWith(const String& S, const String& APrefix) {
  return S.size() > APrefix.size() &&
         S.compare(0, APrefix.size(), APrefix) == 0;
}

String Padded(std::size_t AValue, std::size_t AWidth) {
  String s = std::to_string(AValue);
  return String(AWidth > s.size() ? AWidth - s.size() : 0, '0') + s;
}

}  // namespace

TdxBarAccessibilityHelper* dxBarSelectedAccessibleObject() { return gSelected; }
TdxBarAccessibilityHelper* dxBarSelectedAccessibleParent() {
  return gSelectedParent;
}

// ---------------------------------------------------------------------------
// Key tips
// ---------------------------------------------------------------------------

void dxBarGenerateUniqueKeyTips(std::vector<String>& AKeyTips) {
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t i = 0; i < AKeyTips.size(); ++i) {
      const String tip = AKeyTips[i];
      std::vector<std::size_t> same;
      for (std::size_t j = 0; j < AKeyTips.size(); ++j)
        if (AKeyTips[j] == tip) same.push_back(j);
      if (same.size() >= 2) {
        const std::size_t width = std::to_string(same.size()).size();
        for (std::size_t n = 0; n < same.size(); ++n)
          AKeyTips[same[n]] = tip + Padded(n + 1, width);
        changed = true;
        continue;
      }
      const bool prefix = std::any_of(
          AKeyTips.begin(), AKeyTips.end(),
          [&](const String& AOther) { return StartsWith(AOther, tip); });
      if (prefix) {
        AKeyTips[i] = tip + "1";
        changed = true;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

bool dxBarIsInDirection(const TRect& C, const TRect& R,
                        TcxAccessibilityNavigationDirection ADirection) {
  switch (ADirection) {
    case andLeft:
    case andRight:
      return C.Top < R.Bottom && R.Top < C.Bottom &&
             !(C.Left == R.Left && C.Right == R.Right);
    case andUp:
      return C.Left < R.Right && R.Left < C.Right && C.Bottom <= R.Top;
    case andDown:
      return C.Left < R.Right && R.Left < C.Right && C.Top >= R.Bottom;
    default:
      return false;
  }
}

Integer dxBarChooseNextObject(const TRect& AReference,
                              const std::vector<TRect>& ACandidates,
                              TcxAccessibilityNavigationDirection ADirection) {
  if (ADirection == andPrev || ADirection == andNext) return -1;
  auto distance = [&](const TRect& R, const TRect& C) -> Integer {
    switch (ADirection) {
      case andLeft:
        return R.Left - C.Right;
      case andRight:
        return C.Left - R.Right;
      case andUp:
        return R.Top - C.Bottom;
      default:
        return C.Top - R.Bottom;
    }
  };
  auto angle = [&](const TRect& R, const TRect& C) {
    const double dx = (C.Left + C.Right) / 2.0 - (R.Left + R.Right) / 2.0;
    const double dy = (C.Top + C.Bottom) / 2.0 - (R.Top + R.Bottom) / 2.0;
    const bool horizontal = ADirection == andLeft || ADirection == andRight;
    return std::atan2(std::fabs(horizontal ? dy : dx),
                      std::fabs(horizontal ? dx : dy));
  };
  auto pick = [&](const TRect& R) {
    Integer best = -1;
    Integer bestDistance = std::numeric_limits<Integer>::max();
    double bestAngle = 0;
    for (std::size_t i = 0; i < ACandidates.size(); ++i) {
      const Integer d = distance(R, ACandidates[i]);
      if (d < 0) continue;
      const double a = angle(R, ACandidates[i]);
      if (d < bestDistance || (d == bestDistance && a < bestAngle)) {
        best = static_cast<Integer>(i);
        bestDistance = d;
        bestAngle = a;
      }
    }
    return best;
  };
  Integer result = pick(AReference);
  if (result >= 0 || (ADirection != andLeft && ADirection != andRight))
    return result;
  // Nothing on that side: start again from the wrapped end of the row.
  TRect wrapped = AReference;
  const Integer width = AReference.Width();
  if (ADirection == andRight) {
    wrapped.Left = std::numeric_limits<Integer>::min() / 2;
    wrapped.Right = wrapped.Left + width;
  } else {
    wrapped.Right = std::numeric_limits<Integer>::max() / 2;
    wrapped.Left = wrapped.Right - width;
  }
  return pick(wrapped);
}

// ---------------------------------------------------------------------------
// Helper tree
// ---------------------------------------------------------------------------

void TdxBarAccessibilityHelper::OwnerObjectDestroyed() {
  TcxAccessibilityHelper::OwnerObjectDestroyed();
  if (gSelected == this) gSelected = nullptr;
  if (gSelectedParent == this) {
    gSelected = nullptr;
    gSelectedParent = nullptr;
  }
  if (TdxBarNavigationController* controller = BarNavigationController())
    controller->UnassignObject(this);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::InternalGetChild(
    Integer AIndex) {
  return dynamic_cast<TdxBarAccessibilityHelper*>(GetChild(AIndex));
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::InternalGetParent() {
  return dynamic_cast<TdxBarAccessibilityHelper*>(GetParent());
}

TdxBarAccessibilityHelper*
TdxBarAccessibilityHelper::GetRootAccessibleObject() {
  TdxBarAccessibilityHelper* root = this;
  while (TdxBarAccessibilityHelper* parent = root->InternalGetParent())
    root = parent;
  return root;
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetFirstSelectableObject(
    bool AForward) {
  if (!GetVisible()) return nullptr;
  if (GetSelectable()) return this;
  const Integer count = GetChildCount();
  for (Integer n = 0; n < count; ++n) {
    TdxBarAccessibilityHelper* child =
        InternalGetChild(AForward ? n : count - 1 - n);
    if (TdxBarAccessibilityHelper* found =
            child ? child->GetFirstSelectableObject(AForward) : nullptr)
      return found;
  }
  return nullptr;
}

void TdxBarAccessibilityHelper::GetChilds(
    std::vector<TdxBarAccessibilityHelper*>& AList, bool AVisibleOnly) {
  if (AVisibleOnly && !GetVisible()) return;
  for (Integer i = 0; i < GetChildCount(); ++i) {
    TdxBarAccessibilityHelper* child = InternalGetChild(i);
    if (!child) continue;
    if (child->GetSelectable()) {
      AList.push_back(child);
    } else {
      child->GetChilds(AList, true);
    }
  }
}

void TdxBarAccessibilityHelper::GetChildrenForNavigation(
    TdxBarAccessibilityHelper* ASource, TdxBarAccessibilityHelper* AStart,
    std::vector<TdxBarAccessibilityHelper*>& AList, bool ARestrict,
    TcxAccessibilityNavigationDirection ADirection, const TRect& ABounds) {
  if (!AStart || AStart == ASource || !AStart->GetVisible()) return;
  if (AStart->GetSelectable() &&
      (!ARestrict ||
       dxBarIsInDirection(AStart->GetScreenBounds(0), ABounds, ADirection)))
    AList.push_back(AStart);
  for (Integer i = 0; i < AStart->GetChildCount(); ++i)
    GetChildrenForNavigation(ASource, AStart->InternalGetChild(i), AList,
                             ARestrict, ADirection, ABounds);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetNextAccessibleObject(
    TcxAccessibilityNavigationDirection ADirection) {
  const TRect bounds = GetScreenBounds(0);
  std::vector<TdxBarAccessibilityHelper*> candidates;
  GetChildrenForNavigation(this, GetRootAccessibleObject(), candidates, true,
                           ADirection, bounds);
  std::vector<TRect> rects;
  for (TdxBarAccessibilityHelper* h : candidates)
    rects.push_back(h->GetScreenBounds(0));
  const Integer index = dxBarChooseNextObject(bounds, rects, ADirection);
  return index >= 0 ? candidates[static_cast<std::size_t>(index)] : nullptr;
}

TdxBarAccessibilityHelper*
TdxBarAccessibilityHelper::LogicalNavigationGetNextChild(Integer AIndex,
                                                         bool AForward) {
  for (Integer i = AIndex + (AForward ? 1 : -1); i >= 0 && i < GetChildCount();
       i += AForward ? 1 : -1) {
    TdxBarAccessibilityHelper* child = InternalGetChild(i);
    if (!child || !child->GetVisible()) continue;
    if (child->GetSelectable()) return child;
    if (TdxBarAccessibilityHelper* found =
            child->GetFirstSelectableObject(AForward))
      return found;
  }
  TdxBarAccessibilityHelper* parent = InternalGetParent();
  if (parent)
    return parent->LogicalNavigationGetNextChild(parent->GetChildIndex(this),
                                                 AForward);
  // At the root the walk starts again from the other end.
  for (Integer n = 0; n < GetChildCount(); ++n) {
    TdxBarAccessibilityHelper* child =
        InternalGetChild(AForward ? n : GetChildCount() - 1 - n);
    if (TdxBarAccessibilityHelper* found =
            child ? child->GetFirstSelectableObject(AForward) : nullptr)
      return found;
  }
  return nullptr;
}

TdxBarAccessibilityHelper*
TdxBarAccessibilityHelper::LogicalNavigationGetNextAccessibleObject(
    bool AForward) {
  TdxBarAccessibilityHelper* parent = InternalGetParent();
  if (!parent) return LogicalNavigationGetNextChild(-1, AForward);
  return parent->LogicalNavigationGetNextChild(parent->GetChildIndex(this),
                                               AForward);
}

void TdxBarAccessibilityHelper::Select(bool) {
  gSelected = this;
  gSelectedParent = InternalGetParent();
}

void TdxBarAccessibilityHelper::Unselect(TdxBarAccessibilityHelper*) {
  gSelected = nullptr;
  gSelectedParent = nullptr;
}

TdxBarManager* TdxBarAccessibilityHelper::GetBarManager() {
  throw Exception(String());
}

TdxBarAccessibilityHelper*
TdxBarAccessibilityHelper::GetDefaultAccessibleObject() {
  throw Exception(String());
}

bool TdxBarAccessibilityHelper::AreKeyTipsSupported(
    IdxBarKeyTipWindowsManager*& AManager) {
  AManager = nullptr;
  TdxBarAccessibilityHelper* parent = GetParentForKeyTip();
  return parent && parent->AreKeyTipsSupported(AManager);
}

void TdxBarAccessibilityHelper::GetKeyTipInfo(TdxBarKeyTipInfo& AInfo) {
  AInfo = TdxBarKeyTipInfo{};
  AInfo.Text = GetKeyTip();
  AInfo.IsVisible = GetVisible();
  AInfo.Handler = TNotifyEvent(this, &TdxBarAccessibilityHelper::KeyTipHandler);
}

void TdxBarAccessibilityHelper::GetKeyTipsData(TdxBarKeyTipDataList& AList) {
  std::vector<TdxBarAccessibilityHelper*> helpers;
  std::vector<String> tips;
  GetKeyTips(helpers, tips);
  for (std::size_t i = 0; i < helpers.size(); ++i) {
    TdxBarKeyTipInfo info;
    helpers[i]->GetKeyTipInfo(info);
    info.Text = tips[i];
    AList.push_back(std::make_unique<TdxBarKeyTipData>(info));
  }
}

TdxBarAccessibilityHelper*
TdxBarAccessibilityHelper::GetKeyTipContainerParent() {
  for (TdxBarAccessibilityHelper* h = GetParentForKeyTip(); h;
       h = h->GetParentForKeyTip())
    if (h->IsKeyTipContainer()) return h;
  return nullptr;
}

void TdxBarAccessibilityHelper::KeyTipsEscapeHandler() {
  TdxBarNavigationController* controller = BarNavigationController();
  if (!controller) return;
  if (TdxBarAccessibilityHelper* container = GetKeyTipContainerParent()) {
    controller->SetKeyTipsShowingState(container, String());
    controller->ChangeSelectedObject(true, this);
  } else {
    controller->StopKeyboardHandling();
  }
}

// ---------------------------------------------------------------------------
// Key-tip data
// ---------------------------------------------------------------------------

String TdxBarKeyTipData::GetNormalizedKeyTip() const {
  return UpperCase(Info.Text);
}

void TdxBarKeyTipData::ShowKeyTipWindow(IdxBarKeyTipWindowsManager* AManager) {
  if (window_ || !AManager) return;
  window_ = AManager->AddWindow(GetNormalizedKeyTip(), Info.AnchorPoint,
                                Info.IsEnabled, Info.VerticalAlignment,
                                Info.HorizontalAlignment);
}

void TdxBarKeyTipData::HideKeyTipWindow(IdxBarKeyTipWindowsManager* AManager) {
  if (!window_ || !AManager) return;
  AManager->RemoveWindow(window_);
  window_ = nullptr;
}

bool TdxBarAccessibilityHelper::IsSelected() const { return gSelected == this; }

String TdxBarAccessibilityHelper::GetKeyTip() {
  String tip = GetAssignedKeyTip();
  if (tip.empty()) tip = GetDefaultKeyTip();
  return tip.substr(0, 3);
}

void TdxBarAccessibilityHelper::DoGetKeyTips(
    std::vector<TdxBarAccessibilityHelper*>& AHelpers) {
  if (!GetVisible()) return;
  for (Integer i = 0; i < GetChildCount(); ++i) {
    TdxBarAccessibilityHelper* child = InternalGetChild(i);
    if (!child) continue;
    if (child->GetSelectable()) {
      AHelpers.push_back(child);
    } else {
      child->DoGetKeyTips(AHelpers);
    }
  }
}

void TdxBarAccessibilityHelper::GetKeyTips(
    std::vector<TdxBarAccessibilityHelper*>& AHelpers,
    std::vector<String>& AKeyTips) {
  DoGetKeyTips(AHelpers);
  AKeyTips.clear();
  for (TdxBarAccessibilityHelper* h : AHelpers)
    AKeyTips.push_back(h->GetKeyTip());
  dxBarGenerateUniqueKeyTips(AKeyTips);
}
