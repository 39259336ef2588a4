// Stand-in tab painters for the tests: the standard painter with a plain
// shape, registered under the ids and names of real styles while those are
// not registered, and a guard that empties the registry for a test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "cxLookAndFeels.h"
#include "cxPC.h"
#include "cxPCPainters.h"

// The shape is one frame line in clBtnShadow; the selected tab's body is
// clWindow, the others' clBtnFace.
class TTestStandardPainter : public TcxPCStandardPainter {
  VARNEL_CLASS(TTestStandardPainter, TcxPCStandardPainter)
  VARNEL_PC_PAINTER(TTestStandardPainter)
 public:
  explicit TTestStandardPainter(TcxCustomTabControl* AControl)
      : TcxPCStandardPainter(AControl) {}
  TcxPCStyleID GetStyleID() const override { return 1; }
  String GetStyleName() const override { return "Tabs"; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override {
    TcxLookAndFeelStyle kind = cxPCLookAndFeelPainterKind(ALookAndFeel);
    return kind == lfsStandard || kind == lfsNative;
  }
  bool IsDefault(TcxLookAndFeel* ALookAndFeel) const override {
    return ALookAndFeel->NativeStyle();
  }
  TColor GetTabBodyColor(Integer TabVisibleIndex) override {
    return VisibleTab(TabVisibleIndex)->IsMainTab() ? clWindow : clBtnFace;
  }
  void PaintTabShape(Integer TabVisibleIndex) override {
    TRect r = VisibleTab(TabVisibleIndex)->VisibleRect();
    Canvas()->FillRect(r, GetTabBodyColor(TabVisibleIndex));
    Canvas()->FrameRect(r, clBtnShadow);
  }
};

// A style of its own id and name; multi-selecting and pressable like the
// button styles when AStandard is tsButtons.
template <TcxPCStyleID Id, const char* Name, TcxLookAndFeelStyle Kind,
          TcxPCStandardStyle AStandard = tsTabs, bool ARotate = true>
class TTestStylePainter : public TTestStandardPainter {
  VARNEL_CLASS(TTestStylePainter, TTestStandardPainter)
  VARNEL_PC_PAINTER(TTestStylePainter)
 public:
  explicit TTestStylePainter(TcxCustomTabControl* AControl)
      : TTestStandardPainter(AControl) {}
  TcxPCStyleID GetStyleID() const override { return Id; }
  String GetStyleName() const override { return Name; }
  TcxPCStandardStyle GetStandardStyle() const override { return AStandard; }
  bool AllowRotate() const override { return ARotate; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override {
    return cxPCLookAndFeelPainterKind(ALookAndFeel) == Kind;
  }
  bool IsDefault(TcxLookAndFeel* ALookAndFeel) const override {
    return Id == 7 && ALookAndFeel->NativeStyle();
  }
};

inline constexpr char kTestStandardName[] = "TestStandard";
inline constexpr char kButtonsName[] = "Buttons";
inline constexpr char kUltraFlatName[] = "UltraFlat";
inline constexpr char kFlatName[] = "Flat";
inline constexpr char kOneNoteName[] = "OneNote";
// The tests' own style: the standard painter's metrics whatever real styles
// are registered.
inline constexpr TcxPCStyleID kTestStandardStyle = 101;
// It claims no look-and-feel (no painter reports kind 0xFF), so that the
// real styles keep theirs.
using TTestOwnPainter =
    TTestStylePainter<kTestStandardStyle, kTestStandardName,
                      static_cast<TcxLookAndFeelStyle>(0xFF)>;
using TTestButtonsPainter =
    TTestStylePainter<2, kButtonsName, lfsFlat, tsButtons>;
using TTestUltraFlatPainter =
    TTestStylePainter<6, kUltraFlatName, lfsUltraFlat>;
using TTestFlatPainter = TTestStylePainter<7, kFlatName, lfsFlat>;
using TTestOneNotePainter =
    TTestStylePainter<10, kOneNoteName, lfsOffice11, tsTabs, false>;

// Registers stand-ins for the styles whose ids are free, in the order of
// the real registration, and takes them out again.
class TTestPaintersScope {
 public:
  TTestPaintersScope() {
    RegisterPCPainterClass(TTestOwnPainter::PainterClass());
    registered_.push_back(TTestOwnPainter::PainterClass());
    for (TcxPCPainterClass cls : {TTestStandardPainter::PainterClass(),
                                  TTestButtonsPainter::PainterClass(),
                                  TTestUltraFlatPainter::PainterClass(),
                                  TTestFlatPainter::PainterClass(),
                                  TTestOneNotePainter::PainterClass()}) {
      TcxPCPaintersFactory* factory = PaintersFactory();
      if (factory && factory->GetPainterClass(cls->GetStyleID())) continue;
      RegisterPCPainterClass(cls);
      registered_.push_back(cls);
    }
  }
  ~TTestPaintersScope() {
    for (TcxPCPainterClass cls : registered_) UnregisterPCPainterClass(cls);
  }
  TTestPaintersScope(const TTestPaintersScope&) = delete;
  TTestPaintersScope& operator=(const TTestPaintersScope&) = delete;

 private:
  std::vector<TcxPCPainterClass> registered_;
};

// Empties the registry for a test and restores it afterwards.
class TEmptyPaintersScope {
 public:
  TEmptyPaintersScope() {
    while (TcxPCPaintersFactory* factory = PaintersFactory()) {
      TcxPCPainterClass cls = factory->PainterClasses(0);
      saved_.push_back(cls);
      UnregisterPCPainterClass(cls);
    }
  }
  ~TEmptyPaintersScope() {
    for (TcxPCPainterClass cls : saved_) RegisterPCPainterClass(cls);
  }
  TEmptyPaintersScope(const TEmptyPaintersScope&) = delete;
  TEmptyPaintersScope& operator=(const TEmptyPaintersScope&) = delete;

 private:
  std::vector<TcxPCPainterClass> saved_;
};
