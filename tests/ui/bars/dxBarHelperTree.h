// A tree of accessibility helpers built by a test: objects that can or
// cannot be selected, may be hidden, carry a key tip, count how often their
// tip ran, and a root that may offer the key-tip windows of a test.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "dxBarAccess.h"

namespace bar_test {

class TTestHelper : public TdxBarAccessibilityHelper {
  VARNEL_CLASS(TTestHelper, TdxBarAccessibilityHelper)
 public:
  TTestHelper() : TdxBarAccessibilityHelper(nullptr) {}
  TTestHelper* Parent = nullptr;
  std::vector<TTestHelper*> Children;
  // Key-tip windows this object offers as a container; none by default.
  IdxBarKeyTipWindowsManager* Windows = nullptr;
  bool Selectable = true;
  bool Visible = true;
  String Tip;
  int Executed = 0;
  TTestHelper* Add(TTestHelper* AChild) {
    AChild->Parent = this;
    Children.push_back(AChild);
    return AChild;
  }
  TcxAccessibilityHelper* GetChild(Integer AIndex) override {
    return Children.at(static_cast<std::size_t>(AIndex));
  }
  Integer GetChildCount() override {
    return static_cast<Integer>(Children.size());
  }
  Integer GetChildIndex(TcxAccessibilityHelper* AChild) override {
    for (std::size_t i = 0; i < Children.size(); ++i)
      if (Children[i] == AChild) return static_cast<Integer>(i);
    return -1;
  }
  TcxAccessibilityHelper* GetParent() override { return Parent; }
  bool GetSelectable() override { return Selectable; }
  Integer GetState(Integer) override {
    return Visible ? 0 : STATE_SYSTEM_INVISIBLE;
  }
  String GetAssignedKeyTip() override { return Tip; }
  bool AreKeyTipsSupported(IdxBarKeyTipWindowsManager*& AManager) override {
    if (!Windows)
      return TdxBarAccessibilityHelper::AreKeyTipsSupported(AManager);
    AManager = Windows;
    return true;
  }
  void GetKeyTipInfo(TdxBarKeyTipInfo& AInfo) override {
    TdxBarAccessibilityHelper::GetKeyTipInfo(AInfo);
    AInfo.IsEnabled = true;
  }
  void KeyTipHandler(TObject*) override { ++Executed; }
};

struct TTree {
  std::vector<std::unique_ptr<TTestHelper>> all;
  TTestHelper* Make(bool ASelectable, const String& ATip = String()) {
    all.emplace_back(new TTestHelper);
    all.back()->Selectable = ASelectable;
    all.back()->Tip = ATip;
    return all.back().get();
  }
};

}  // namespace bar_test
