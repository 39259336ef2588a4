// A toolbar button's caption is painted in the font that measured it, so
// the button is as wide as its text and no caption runs into the next one.
#include <gtest/gtest.h>
#include <windows.h>

#include "Forms.h"
#include "UiDriverWin.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxBarControls.h"

namespace {

TEST(BarCaptionFontTest, CaptionsArePaintedInTheMeasuringFont) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(80, 80, 600, 200);
  auto* manager = new TdxBarManager(form.get());
  TdxBar* bar = manager->Bars()->Add();
  bar->SetCaption("Tools");
  for (const char* caption : {"Exit Varnel Control Center", "Install"}) {
    auto* button = static_cast<TdxBarButton*>(manager->AddButton());
    button->SetCaption(caption);
    button->SetPaintStyle(psCaption);
    bar->ItemLinks()->Add(button);
  }
  bar->SetDockingStyle(dsTop);
  bar->SetVisible(true);
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  auto* control = dynamic_cast<TdxBarControl*>(bar->Control());
  ASSERT_NE(control, nullptr);
  ::RedrawWindow(control->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = ::GetDC(control->Handle());
  for (Integer i = 0; i < 2; ++i) {
    TdxBarItemControl* item = bar->ItemLinks()->Items(i)->Control();
    ASSERT_NE(item, nullptr);
    const String caption = item->GetCaption();
    SCOPED_TRACE(caption);
    const Integer measured = item->GetCanvas()->TextWidth(caption);
    const TRect r = item->GetItemBounds();
    // The horizontal span of the caption's dark pixels inside the button.
    Integer first = -1, last = -1;
    for (Integer x = r.Left; x < r.Right; ++x) {
      for (Integer y = r.Top; y < r.Bottom; ++y) {
        const COLORREF c = ::GetPixel(dc, x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 150) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    }
    ASSERT_GE(first, 0);
    const Integer drawn = last - first + 1;
    EXPECT_LE(drawn, measured);
    EXPECT_GE(drawn, measured - 3);
    // Nothing of it is cut at the button's right edge.
    EXPECT_LT(last, r.Right - 1);
  }
  ::ReleaseDC(control->Handle(), dc);
}

}  // namespace
