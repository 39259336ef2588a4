// The group list, the splitter and the status bar read from a form stream
// as the main window keeps them.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include "Classes.h"
#include "FormStreams.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "cxListView.h"
#include "cxSplitter.h"
#include "dxStatusBar.h"

namespace {

const char kFormText[] = R"(object frmGroups: TForm
  Left = 50
  Top = 50
  ClientWidth = 725
  ClientHeight = 300
  object lvGroups: TcxListView
    Left = 0
    Top = 0
    Width = 180
    Height = 280
    Align = alLeft
    Checkboxes = True
    HideSelection = False
    ViewStyle = vsReport
  end
  object cxSplitter1: TcxSplitter
    Left = 180
    Top = 0
    Width = 8
    Height = 280
    HotZoneClassName = 'TcxXPTaskBarStyle'
    Control = lvGroups
  end
  object StatusBar: TdxStatusBar
    Left = 0
    Top = 280
    Width = 725
    Height = 20
    Panels = <
      item
        PanelStyleClassName = 'TdxStatusBarTextPanelStyle'
        Width = 200
      end
      item
        PanelStyleClassName = 'TdxStatusBarTextPanelStyle'
      end>
  end
end
)";

TEST(ControlsStreamTest, MainWindowControlsReadFromAFormStream) {
  TStringStream in(kFormText);
  TMemoryStream binary;
  ObjectTextToBinary(in, binary);
  binary.SetPosition(0);
  TObjectPtr<TForm> form(new TForm(nullptr));
  ReadComponentFromStream(binary, form.get());
  auto* lv = dynamic_cast<TcxListView*>(form->FindComponent("lvGroups"));
  auto* splitter =
      dynamic_cast<TcxSplitter*>(form->FindComponent("cxSplitter1"));
  auto* bar = dynamic_cast<TdxStatusBar*>(form->FindComponent("StatusBar"));
  ASSERT_NE(lv, nullptr);
  ASSERT_NE(splitter, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(lv->Checkboxes());
  EXPECT_FALSE(lv->HideSelection());
  EXPECT_EQ(lv->ViewStyle(), vsReport);
  EXPECT_EQ(splitter->Control(), lv);
  EXPECT_EQ(splitter->HotZoneClassName(), "TcxXPTaskBarStyle");
  EXPECT_EQ(splitter->Width(), 8);
  ASSERT_EQ(bar->Panels()->Count(), 2);
  EXPECT_EQ(bar->Panels()->Items(0)->Width(), 200);
  EXPECT_FALSE(bar->Panels()->Items(1)->IsWidthAssigned());
  EXPECT_EQ(bar->Panels()->Items(1)->PanelStyleClassName(),
            "TdxStatusBarTextPanelStyle");
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(bar->ViewInfo()->Widths(), (std::vector<Integer>{202, 2, 521}));
}

}  // namespace
