// A bar manager read from a form resource, the older stored bar list, and
// shortcut keys typed into a shown form reaching items through the thread
// hook.
#include <gtest/gtest.h>
#include <windows.h>

#include "ActnList.h"
#include "FormStreams.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverWin.h"
#include "dxBar.h"

using namespace ui_test;

// The form class of forms/TBarTestForm.txt.
class TBarTestForm : public TForm {
  VARNEL_CLASS(TBarTestForm, TForm)
 public:
  explicit TBarTestForm(TComponent* AOwner) : TForm(AOwner) {}
  int Opens = 0;
  int Abouts = 0;
  void actOpenExecute(TObject*) { ++Opens; }
  void btnAboutClick(TObject*) { ++Abouts; }
  template <class T>
  T* Child(const char* name) {
    return dynamic_cast<T*>(FindComponent(name));
  }
};

namespace {

void PublishTestForm() {
  static bool done = false;
  if (done) return;
  done = true;
  TPublished<TBarTestForm>()
      .Method("actOpenExecute", &TBarTestForm::actOpenExecute)
      .Method("btnAboutClick", &TBarTestForm::btnAboutClick);
}

class BarFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PublishTestForm();
    form_.reset(NewForm<TBarTestForm>(nullptr));
    manager_ = form_->Child<TdxBarManager>("BarManager1");
  }
  void TearDown() override {
    form_.reset();
    Pump();
  }
  TObjectPtr<TBarTestForm> form_;
  TdxBarManager* manager_ = nullptr;
};

TEST_F(BarFormTest, StreamBuildsBarsItemsLinksAndCategories) {
  ASSERT_TRUE(manager_);
  EXPECT_EQ(GetBarManagerByForm(form_.get()), manager_);
  EXPECT_EQ(manager_->Style(), bmsUseLookAndFeel);
  EXPECT_EQ(manager_->MostRecentItemsPercents(), 90);
  EXPECT_EQ(manager_->MostRecentlyUsedUseCount(), 10);
  EXPECT_EQ(manager_->RegistryPath(), "\\Software\\Varnel\\");
  EXPECT_TRUE(manager_->CanReset());
  EXPECT_EQ(manager_->LoadedDockControlHeights(),
            (std::array<Integer, 4>{0, 0, 49, 0}));

  TdxBarManagerCategories* categories = manager_->Categories();
  ASSERT_EQ(categories->Count(), 2);
  EXPECT_EQ(categories->Strings(0), "File");
  EXPECT_EQ(categories->Strings(1), "Help");
  EXPECT_TRUE(manager_->CategoryVisible(0));
  EXPECT_FALSE(manager_->CategoryVisible(1));
  EXPECT_EQ(manager_->CategoryItemsVisible(1), ivAlways);
  EXPECT_EQ(manager_->GetCategoryRealIndex(1), -1);

  ASSERT_EQ(manager_->Bars()->Count(), 2);
  TdxBar* menu = manager_->Bars()->Items(0);
  TdxBar* toolbar = manager_->Bars()->Items(1);
  EXPECT_EQ(menu->Caption(), "Main Menu");
  EXPECT_EQ(manager_->MainMenuBar(), menu);
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_FALSE(menu->CanClose());
  EXPECT_TRUE(menu->Visible());
  EXPECT_TRUE(menu->Predefined());
  EXPECT_EQ(menu->DockingStyle(), dsTop);
  EXPECT_EQ(toolbar->Caption(), "Main Toolbar");
  EXPECT_EQ(toolbar->Row(), 1);
  EXPECT_EQ(toolbar->DockedTop(), 23);
  EXPECT_EQ(toolbar->FloatLeft(), 751);
  EXPECT_EQ(toolbar->FloatTop(), 8);
  EXPECT_TRUE(toolbar->OneOnRow());
  EXPECT_FALSE(toolbar->WholeRow());

  auto* sub = form_->Child<TdxBarSubItem>("subFile");
  auto* open = form_->Child<TdxBarButton>("btnOpen");
  auto* about = form_->Child<TdxBarButton>("btnAbout");
  ASSERT_TRUE(sub && open && about);
  EXPECT_EQ(manager_->ItemCount(), 3);
  EXPECT_EQ(manager_->Items(0), sub);
  EXPECT_EQ(open->BarManager(), manager_);
  EXPECT_EQ(about->Category(), 1);
  EXPECT_EQ(about->Hint(), "Shows the version");
  EXPECT_EQ(about->ShortCut(), VK_F1);

  // Links found their items by name; one whose item is missing went.
  ASSERT_EQ(menu->ItemLinks()->Count(), 1);
  EXPECT_EQ(menu->ItemLinks()->Items(0)->Item(), sub);
  ASSERT_EQ(toolbar->ItemLinks()->Count(), 2);
  EXPECT_EQ(toolbar->ItemLinks()->Items(0)->Item(), open);
  EXPECT_EQ(toolbar->ItemLinks()->Items(1)->Item(), about);
  EXPECT_TRUE(toolbar->ItemLinks()->Items(1)->BeginGroup());
  ASSERT_EQ(sub->ItemLinks()->Count(), 1);
  EXPECT_EQ(sub->ItemLinks()->Items(0)->Item(), open);
  EXPECT_EQ(open->GetLinkCount(), 2);

  // The button took what its action offers.
  auto* action = form_->Child<TAction>("actOpen");
  ASSERT_TRUE(action);
  EXPECT_EQ(open->Action(), action);
  EXPECT_EQ(open->Caption(), "&Open...");
  EXPECT_EQ(open->ShortCut(), ShortCut('O', TShiftState{ssCtrl}));
  open->Click();
  EXPECT_EQ(form_->Opens, 1);
}

TEST_F(BarFormTest, WritingTheManagerKeepsTheDockHeights) {
  ASSERT_TRUE(manager_);
  TMemoryStream stream;
  WriteComponentToStream(stream, form_.get());
  stream.SetPosition(0);
  TMemoryStream text;
  ObjectBinaryToText(stream, text);
  const String written(static_cast<const char*>(text.Memory()),
                       static_cast<size_t>(text.Size()));
  EXPECT_NE(written.find("DockControlHeights"), String::npos);
  EXPECT_NE(written.find("ItemName = 'subFile'"), String::npos);
  EXPECT_NE(written.find("Categories.ItemsVisibles"), String::npos);
}

TEST(BarStreamTest, OlderBarListIsReadIntoBars) {
  const char* text =
      "object OldForm: TForm\n"
      "  Caption = 'Old'\n"
      "  object OldManager: TdxBarManager\n"
      "    Bars = <\n"
      "      item\n"
      "        Caption = 'Tools'\n"
      "        DockingStyle = dsLeft\n"
      "        Row = 2\n"
      "        Visible = True\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Float'\n"
      "        DockingStyle = dsNone\n"
      "        FloatLeft = 300\n"
      "      end>\n"
      "    Categories.Strings = (\n"
      "      'Default')\n"
      "    Categories.ItemsVisibles = (\n"
      "      7\n"
      "      0)\n"
      "    Categories.Visibles = (\n"
      "      True)\n"
      "    DockControlHeights = (\n"
      "      1\n"
      "      2\n"
      "      3\n"
      "      4\n"
      "      5)\n"
      "  end\n"
      "end\n";
  TStringStream source(text);
  TMemoryStream binary;
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);
  TObjectPtr<TForm> form(new TForm(nullptr));
  ReadComponentFromStream(binary, form.get());
  auto* manager =
      dynamic_cast<TdxBarManager*>(form->FindComponent("OldManager"));
  ASSERT_TRUE(manager);
  ASSERT_EQ(manager->Bars()->Count(), 2);
  TdxBar* tools = manager->Bars()->Items(0);
  EXPECT_EQ(tools->Caption(), "Tools");
  EXPECT_EQ(tools->DockingStyle(), dsLeft);
  EXPECT_EQ(tools->Row(), 2);
  EXPECT_TRUE(tools->Visible());
  EXPECT_EQ(manager->Bars()->Items(1)->DockingStyle(), dsNone);
  EXPECT_EQ(manager->Bars()->Items(1)->FloatLeft(), 300);
  EXPECT_FALSE(manager->Bars()->Items(1)->Visible());
  // Values out of range are left out; the stored rest is kept.
  EXPECT_EQ(manager->CategoryItemsVisible(0), ivAlways);
  EXPECT_EQ(manager->LoadedDockControlHeights(),
            (std::array<Integer, 4>{1, 2, 3, 4}));
}

TEST_F(BarFormTest, ShortcutKeysReachItemsThroughTheThreadHook) {
  ASSERT_TRUE(manager_);
  auto* edit = form_->Child<TEdit>("edtText");
  ASSERT_TRUE(edit);
  form_->Show();
  ::SetForegroundWindow(form_->Handle());
  edit->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == edit->Handle(); },
                        "the edit has the focus"));

  PressKeys({VK_CONTROL, 'O'});
  ASSERT_TRUE(WaitUntil([&] { return form_->Opens > 0; }, "Ctrl+O runs"));
  PressKeys({VK_F1});
  ASSERT_TRUE(WaitUntil([&] { return form_->Abouts > 0; }, "F1 runs"));
  // Other keys pass on to the focused control.
  TypeText("ab");
  ASSERT_TRUE(WaitUntil([&] { return edit->Text() == "ab"; }, "typed text"));
  PumpUntilIdle();
  EXPECT_EQ(form_->Opens, 1);
  EXPECT_EQ(form_->Abouts, 1);
  // A disabled item lets its shortcut pass.
  form_->Child<TdxBarButton>("btnAbout")->SetEnabled(false);
  PressKeys({VK_F1});
  PumpUntilIdle();
  EXPECT_EQ(form_->Abouts, 1);
}

}  // namespace
