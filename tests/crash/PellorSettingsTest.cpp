#include <gtest/gtest.h>

#include "PellorHelpers.h"
#include "PellorSettings.h"

namespace {

HMODULE Exe() { return GetModuleHandleA(nullptr); }

PPEModuleSettings ModuleSettingsOf(HMODULE module) {
  return PPEModuleSettings(
      static_cast<IPEModuleSettings*>(new TIPESettings(module, true)));
}

// Puts the test program's settings back as its resource has them.
class PellorSettingsTest : public testing::Test {
 protected:
  void TearDown() override {
    ModuleSettingsOf(Exe())->RereadSettings();
    SetLibrarySettings(nullptr);
  }
};

TEST_F(PellorSettingsTest, ResourceValuesOverBuiltInDefaults) {
  PPESettings s = SettingsOfModule(Exe());
  PPEModuleSettings m = ModuleSettingsOf(Exe());
  EXPECT_TRUE(m->SettingsValid());
  EXPECT_EQ(Exe(), s->Module());
  EXPECT_EQ(2525, s->SmtpPort());  // the resource
  EXPECT_EQ(80, s->HttpPort());    // built in
  EXPECT_FALSE(s->AutoClip());     // the resource over a built-in true
  EXPECT_TRUE(s->SaveBtnVis());
  EXPECT_EQ(1, s->FocusedBtn());
  EXPECT_EQ(60000, m->FreezeTimeout());
  EXPECT_EQ(60, s->AutoDelay());
  EXPECT_TRUE(m->Enabled());
  EXPECT_FALSE(m->MinDebugInfo());
  EXPECT_EQ("Prepare attachments...", s->PrepAttMsg());
  EXPECT_EQ(0, s->ReadIntSetting("smtpport")) << "names are case-sensitive";
  EXPECT_EQ("", s->ReadStrSetting("NoSuchSetting"));
}

TEST_F(PellorSettingsTest, TextsExpandAllButMessageAndReport) {
  PPESettings s = SettingsOfModule(Exe());
  EXPECT_EQ("crash_tests.exe \r\n", s->TitleBar());
  EXPECT_EQ("%exceptMsg% in crash_tests.exe", s->MailSubj());
}

TEST_F(PellorSettingsTest, ModuleWithoutResourceReadsDefaults) {
  PPEModuleSettings m = ModuleSettingsOf(GetModuleHandleA("kernel32.dll"));
  EXPECT_FALSE(m->SettingsValid());
  EXPECT_EQ(nullptr, m->Module());
  EXPECT_TRUE(m->AutoClip());
  EXPECT_EQ(25, m->SmtpPort());
  EXPECT_FALSE(m->Enabled());
  EXPECT_EQ(0, m->ReadIntSetting("Unknown"));
  EXPECT_FALSE(m->SetAutoClip(false));
  EXPECT_FALSE(m->WriteStrSetting("Unknown", "x"));
  EXPECT_TRUE(m->AutoClip());
}

TEST_F(PellorSettingsTest, WritesLandInTheSharedTable) {
  PPESettings a = SettingsOfModule(Exe());
  PPESettings b = SettingsOfModule(Exe());
  EXPECT_TRUE(a->SetSmtpPort(3000));
  EXPECT_EQ(3000, b->SmtpPort());
  EXPECT_TRUE(a->WriteStrSetting("BrandNew", "value"));
  EXPECT_EQ("value", b->ReadStrSetting("BrandNew"));
  // An integer to a text setting: refused, nothing changes.
  EXPECT_FALSE(a->WriteIntSetting("MailSubj", 5));
  EXPECT_EQ("%exceptMsg% in crash_tests.exe", b->MailSubj());
  EXPECT_FALSE(a->WriteBoolSetting("SmtpPort", true));
  EXPECT_EQ(3000, b->SmtpPort());
  ModuleSettingsOf(Exe())->RereadSettings();
  EXPECT_EQ(2525, b->SmtpPort());
  EXPECT_EQ("", b->ReadStrSetting("BrandNew"));
}

TEST_F(PellorSettingsTest, AdditionalFieldsWriteBack) {
  // Holds the module's table: the last settings object of a module frees it.
  PPESettings keep = SettingsOfModule(Exe());
  PPESettings s = SettingsOfModule(Exe());
  PPEFields fields = s->AddFields();
  EXPECT_EQ(fields, s->AddFields());
  ASSERT_EQ(2, fields->FieldCount());
  EXPECT_EQ("Holvane", fields->ContentOf("customer"));
  fields->PutContent("Ticket", "18");
  EXPECT_EQ("Customer=Holvane|Ticket=18", s->ReadStrSetting("AddFields"));
  fields->PutContent("Customer", " ");
  EXPECT_EQ("Ticket=18", s->ReadStrSetting("AddFields"));
  s = nullptr;
  // The settings object is gone: the list lives on but writes nothing.
  fields->PutContent("Ticket", "19");
  EXPECT_EQ("Ticket=18", keep->ReadStrSetting("AddFields"));
}

TEST_F(PellorSettingsTest, AdditionalAttachmentsWithMissingParts) {
  PPESettings s = SettingsOfModule(Exe());
  PPEAttachments list = s->AddAttachs();
  ASSERT_EQ(2, list->AttachmentCount());
  String source, sendAs, zip, field;
  ASSERT_TRUE(list->AttachmentAt(0, source, sendAs, zip, field));
  EXPECT_EQ("C:\\x\\report.log", source);
  EXPECT_EQ("report.log", sendAs);
  EXPECT_EQ("", zip);
  EXPECT_EQ("report", field);
  ASSERT_TRUE(list->AttachmentAt(1, source, sendAs, zip, field));
  EXPECT_EQ("pic.png", sendAs);
  EXPECT_EQ("shots.zip", zip);
  EXPECT_EQ("Shot", field);
  list->AddAttachment("C:\\x\\more.txt", "", "", "");
  EXPECT_EQ(
      "C:\\x\\report.log>report.log>>report|C:\\y\\shot.png>pic.png>shots.zip>"
      "Shot|C:\\x\\more.txt>more.txt>>more",
      s->ReadStrSetting("AddAttachs"));
}

TEST_F(PellorSettingsTest, Plugins) {
  PPESettings s = SettingsOfModule(Exe());
  EXPECT_TRUE(s->PluginEnabled("MODULES"));
  s->SetPluginEnabled("modules", false);
  EXPECT_EQ("processes|hardware", s->ReadStrSetting("Plugins"));
  EXPECT_FALSE(s->PluginEnabled("modules"));
  s->SetPluginEnabled("Modules", true);
  EXPECT_EQ("processes|hardware|Modules", s->ReadStrSetting("Plugins"));
  s->WriteStrSetting("Plugins", "modules");
  s->SetPluginEnabled("modules", false);
  EXPECT_EQ("", s->ReadStrSetting("Plugins"));
  s->SetPluginEnabled("hardware", true);
  EXPECT_EQ("hardware", s->ReadStrSetting("Plugins"));
}

TEST_F(PellorSettingsTest, AssistantsLoseTheScreenshotFormWithoutScreenshots) {
  TIntfPtr<TIPESettings> s(new TIPESettings(Exe(), true));
  String title;
  std::vector<String> forms;
  ASSERT_TRUE(s->FindAssistantText("sendASSISTANT", title, forms));
  EXPECT_EQ("Send Assistant", title);
  EXPECT_EQ((std::vector<String>{"ContactForm", "DetailsForm", "ScrShotForm"}),
            forms);
  s->WriteIntSetting("ScrShotDepth", 0);
  ASSERT_TRUE(s->FindAssistantText("SendAssistant", title, forms));
  EXPECT_EQ((std::vector<String>{"ContactForm", "DetailsForm"}), forms);
  EXPECT_FALSE(s->FindAssistantText("SaveAssistant", title, forms));
}

// ---------------------------------------------------------------------------
// A second module of the process
// ---------------------------------------------------------------------------

class PellorSettingsModuleTest : public PellorSettingsTest {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA("crash_test_module.dll");
    ASSERT_NE(nullptr, module_);
  }
  void TearDown() override {
    PellorSettingsTest::TearDown();
    if (module_) FreeLibrary(module_);
  }
  template <class F>
  F Export(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

TEST_F(PellorSettingsModuleTest, TwoModulesShareOneBuffer) {
  auto acquire = Export<void* (*)(HMODULE)>("CtmAcquireSettingsOf");
  auto release = Export<void (*)(void*)>("CtmReleaseSettings");
  auto mapping = Export<HANDLE (*)()>("CtmSettingsMapping");
  auto port = Export<int (*)(HMODULE)>("CtmSmtpPortOf");
  auto own = Export<HMODULE (*)()>("CtmOwnModule");
  ASSERT_TRUE(acquire && release && mapping && port && own);
  EXPECT_EQ(module_, own());

  ModuleSettings* mine = AcquireModuleSettings(Exe());
  ASSERT_NE(nullptr, mine);
  void* theirs = acquire(Exe());
  EXPECT_EQ(static_cast<void*>(mine), theirs);
  EXPECT_EQ(SharedSettings()->mapping, mapping());
  EXPECT_EQ(2, +mine->refCount);

  EXPECT_EQ(4242, port(module_));
  EXPECT_EQ(4242, SettingsOfModule(module_)->SmtpPort());
  EXPECT_EQ(2525, port(Exe()));
  EXPECT_TRUE(SettingsOfModule(Exe())->SetSmtpPort(3001));
  EXPECT_EQ(3001, port(Exe()));

  // Both modules' records are in the one list.
  int found = 0;
  for (ModuleSettings* r = SharedSettings()->head; r; r = r->next)
    found += r->module == Exe() || r->module == module_;
  EXPECT_GE(found, 1);
  release(theirs);
  EXPECT_EQ(1, +mine->refCount);
  ReleaseModuleSettings(mine);
}

TEST_F(PellorSettingsModuleTest, MissingSettingsComeFromTheLibrarysOwn) {
  SetLibrarySettings(SettingsOfModule(Exe()));
  PPESettings library = SettingsOfModule(module_);
  // The module's resource lacks AutoClip: the library's settings (the test
  // program's, false) answer, not the built-in true.
  EXPECT_FALSE(library->AutoClip());
  EXPECT_EQ(4242, library->SmtpPort());
  EXPECT_EQ(80, library->HttpPort());
  EXPECT_EQ("from the library", library->MailSubj());
  library = nullptr;
  SetLibrarySettings(nullptr);
  EXPECT_TRUE(SettingsOfModule(module_)->AutoClip());
}

TEST_F(PellorSettingsModuleTest, SettingsOfAddressFindTheModule) {
  auto own = Export<HMODULE (*)()>("CtmOwnModule");
  EXPECT_EQ(module_,
            SettingsOfAddress(reinterpret_cast<const void*>(own))->Module());
  EXPECT_EQ(Exe(), SettingsOfCaller()->Module());
  EXPECT_EQ(Exe(), SettingsOfCallerLevel(0)->Module());
  // Memory of no module: the library's own settings.
  std::vector<Byte> heap(16);
  EXPECT_EQ(Exe(), SettingsOfAddress(heap.data())->Module());
  PPEModuleSettings any = FindAnySettings();
  ASSERT_TRUE(any);
  EXPECT_EQ(Exe(), any->Module());
}

}  // namespace
