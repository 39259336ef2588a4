// Styles, styles objects with sheets to fall back on, the repository, and
// style sheets in ini files.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "FormStreams.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "cxStyles.h"

namespace {

// A control's styles object with two published slots.
class TTestStyles : public TcxStyles {
  VARNEL_CLASS(TTestStyles, TcxStyles)
 public:
  explicit TTestStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  TcxStyle* Slot(Integer AIndex) const {
    return const_cast<TTestStyles*>(this)->GetValue(AIndex);
  }
  void SetSlot(Integer AIndex, TcxStyle* AStyle) { SetValue(AIndex, AStyle); }
  void Changed(Integer AIndex) override { changes.push_back(AIndex); }
  void GetDefaultViewParams(Integer AIndex, TObject* AData,
                            TcxViewParams& AParams) override {
    TcxStyles::GetDefaultViewParams(AIndex, AData, AParams);
    AParams.Color = TColor(0x111111);
    AParams.Font = &defaultFont;
    AParams.TextColor = TColor(0x222222);
  }
  std::vector<Integer> changes;
  TFont defaultFont;
};

class TTestStyleSheet : public TcxCustomStyleSheet {
  VARNEL_CLASS(TTestStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TTestStyleSheet(TComponent* AOwner)
      : TcxCustomStyleSheet(AOwner, TTestStyles::StaticClass()) {}
  TTestStyles* TestStyles() const {
    return static_cast<TTestStyles*>(Styles());
  }
};

// A repository whose screen resolution the test chooses.
class TScaledRepository : public TcxStyleRepository {
  VARNEL_CLASS(TScaledRepository, TcxStyleRepository)
 public:
  explicit TScaledRepository(TComponent* AOwner) : TcxStyleRepository(AOwner) {}
  static inline Integer ScreenPPI = 96;

 protected:
  Integer ScreenPixelsPerInch() const override { return ScreenPPI; }
};

class TStyleRoot : public TComponent {
  VARNEL_CLASS(TStyleRoot, TComponent)
 public:
  explicit TStyleRoot(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (Integer i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent() && Root == this) Proc(Components(i));
  }
};

void PublishTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  TPublished<TTestStyles>()
      .IndexedProperty("Content", 0, &TTestStyles::Slot, &TTestStyles::SetSlot)
      .IndexedProperty("Header", 1, &TTestStyles::Slot, &TTestStyles::SetSlot);
  RegisterClasses(
      {TScaledRepository::StaticClass(), TStyleRoot::StaticClass()});
}

class StylesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PublishTestClasses();
    owner_.reset(new TComponent(nullptr));
    repository_ = new TcxStyleRepository(owner_.get());
  }
  TcxStyle* NewStyle() {
    return static_cast<TcxStyle*>(
        repository_->CreateItem(TcxStyle::StaticClass()));
  }
  TTestStyleSheet* NewSheet() {
    return static_cast<TTestStyleSheet*>(
        repository_->CreateStyleSheet(TTestStyleSheet::StaticClass()));
  }
  TObjectPtr<TComponent> owner_;
  TcxStyleRepository* repository_ = nullptr;
};

TEST_F(StylesTest, AssignedValuesFollowEveryChange) {
  TcxStyle* style = NewStyle();
  EXPECT_TRUE(style->AssignedValues().Empty());
  style->SetColor(clRed);
  EXPECT_EQ(style->AssignedValues(), TcxStyleValues{svColor});
  style->SetColor(clDefault);
  EXPECT_TRUE(style->AssignedValues().Empty());
  style->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_EQ(style->AssignedValues(), TcxStyleValues{svFont});
  style->Bitmap()->SetSize(4, 4);
  EXPECT_TRUE(style->AssignedValues().Contains(svBitmap));
  style->Bitmap()->Assign(nullptr);
  EXPECT_FALSE(style->AssignedValues().Contains(svBitmap));

  TcxStyle* copy = NewStyle();
  copy->SetTextColor(clBlue);
  copy->Assign(style);
  EXPECT_EQ(copy->AssignedValues(), TcxStyleValues{svFont});
  EXPECT_TRUE(copy->Font()->Style().Contains(fsBold));

  style->RestoreDefaults();
  EXPECT_TRUE(style->AssignedValues().Empty());
  EXPECT_TRUE(style->Font()->Style().Contains(fsBold));
}

TEST_F(StylesTest, SlotsFallBackOnTheSheetAndChangesReachEveryUser) {
  TTestStyleSheet* sheet = NewSheet();
  TcxStyle* header = NewStyle();
  sheet->TestStyles()->SetSlot(1, header);

  TTestStyles a(nullptr), b(nullptr);
  a.SetStyleSheet(sheet);
  b.SetStyleSheet(sheet);
  EXPECT_EQ(a.changes, std::vector<Integer>{1});
  EXPECT_EQ(a.Slot(1), header);
  EXPECT_EQ(a.Count(), 0);
  // A slot set to what the sheet supplies stays empty.
  a.SetSlot(1, header);
  EXPECT_EQ(a.Count(), 0);

  a.changes.clear();
  b.changes.clear();
  header->SetColor(clGreen);
  EXPECT_EQ(a.changes, std::vector<Integer>{1});
  EXPECT_EQ(b.changes, std::vector<Integer>{1});

  // The style going away empties every slot holding it.
  Free(header);
  EXPECT_EQ(sheet->TestStyles()->Count(), 0);
  EXPECT_EQ(a.Slot(1), nullptr);
  EXPECT_EQ(repository_->Count(), 0);

  // Freeing the sheet detaches its users.
  Free(sheet);
  EXPECT_EQ(a.StyleSheet(), nullptr);
  EXPECT_EQ(b.StyleSheet(), nullptr);
}

TEST_F(StylesTest, SheetsThatWouldCloseACycleOrHaveAnotherClassAreRefused) {
  TTestStyleSheet* s1 = NewSheet();
  TTestStyleSheet* s2 = NewSheet();
  s1->Styles()->SetStyleSheet(s2);
  EXPECT_EQ(s1->Styles()->StyleSheet(), s2);
  s2->Styles()->SetStyleSheet(s1);
  EXPECT_EQ(s2->Styles()->StyleSheet(), nullptr);
  s1->Styles()->SetStyleSheet(s1);
  EXPECT_EQ(s1->Styles()->StyleSheet(), s2);

  auto* plain = static_cast<TcxCustomStyleSheet*>(
      repository_->CreateStyleSheet(TcxCustomStyleSheet::StaticClass()));
  TTestStyles styles(nullptr);
  styles.SetStyleSheet(plain);
  EXPECT_EQ(styles.StyleSheet(), nullptr);
}

TEST_F(StylesTest, ViewParamsTakeEachValueFromTheFirstSourceThatAssignsIt) {
  TTestStyles styles(nullptr);
  TcxStyle* slot = NewStyle();
  slot->SetColor(TColor(0x0000AA));
  slot->SetTextColor(TColor(0x0000BB));
  styles.SetSlot(0, slot);
  TcxStyle* item = NewStyle();
  item->SetTextColor(TColor(0x0000CC));

  TcxViewParams params;
  styles.GetViewParams(0, nullptr, item, params);
  EXPECT_EQ(params.TextColor, TColor(0x0000CC));
  EXPECT_EQ(params.Color, TColor(0x0000AA));
  EXPECT_EQ(params.Font, &styles.defaultFont);
  EXPECT_EQ(params.Bitmap, nullptr);

  TcxViewParams none;
  styles.GetViewParams(1, nullptr, nullptr, none);
  EXPECT_EQ(none.Color, TColor(0x111111));
  EXPECT_EQ(none.TextColor, TColor(0x222222));

  TcxViewParams combined;
  combined.Color = clWhite;
  EXPECT_EQ(CombineParamsWithStyle(slot, TcxStyleValues{svColor}, combined),
            (TcxStyleValues{svColor, svTextColor}));
  EXPECT_EQ(combined.Color, clWhite);
  EXPECT_EQ(combined.TextColor, TColor(0x0000BB));
}

TEST(StyleRepositoryScaling, FontHeightsScaleFromTheSavedResolution) {
  PublishTestClasses();
  TScaledRepository repository(nullptr);
  repository.SetPixelsPerInch(96);
  TScaledRepository::ScreenPPI = 120;
  EXPECT_EQ(repository.GetScaledValue(-11), -11);
  repository.SetScalable(true);
  EXPECT_EQ(repository.GetScaledValue(-11), -14);
  TScaledRepository::ScreenPPI = 96;
  EXPECT_EQ(repository.GetScaledValue(-11), -11);
}

TEST(StyleRepositoryScaling, AFormSavedAt96AndLoadedAt120ScalesStyleFonts) {
  PublishTestClasses();
  TMemoryStream stream;
  {
    TStyleRoot root(nullptr);
    root.SetName("Root");
    auto* repository = new TScaledRepository(&root);
    repository->SetName("Repository");
    repository->SetScalable(true);
    auto* style = static_cast<TcxStyle*>(
        repository->CreateItemEx(TcxStyle::StaticClass(), &root));
    style->SetName("Header");
    style->Font()->SetHeight(-11);
    TScaledRepository::ScreenPPI = 96;
    WriteComponentToStream(stream, &root);
  }
  stream.SetPosition(0);
  TScaledRepository::ScreenPPI = 120;
  TStyleRoot root(nullptr);
  ReadComponentFromStream(stream, &root);
  TScaledRepository::ScreenPPI = 96;
  auto* repository =
      dynamic_cast<TcxStyleRepository*>(root.FindComponent("Repository"));
  ASSERT_NE(repository, nullptr);
  EXPECT_EQ(repository->PixelsPerInch(), 96);
  ASSERT_EQ(repository->Count(), 1);
  auto* style = dynamic_cast<TcxStyle*>(repository->Items(0));
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->Font()->Height(), -14);
}

// --- Ini files ---------------------------------------------------------------

class StyleIniTest : public StylesTest {
 protected:
  void SetUp() override {
    StylesTest::SetUp();
    char dir[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, dir);
    fileName_ = String(dir) + "varnel-styles-" +
                std::to_string(::GetCurrentProcessId()) + ".ini";
    ::DeleteFileA(fileName_.c_str());
  }
  void TearDown() override { ::DeleteFileA(fileName_.c_str()); }
  void WriteFile(const String& AText) {
    std::ofstream(fileName_, std::ios::binary) << AText;
  }
  String ReadFile() {
    std::ifstream in(fileName_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  String fileName_;
};

TEST_F(StyleIniTest, SheetsRoundTripAndLeaveOtherSectionsAlone) {
  WriteFile("[Other]\nKeep=1\n");
  TTestStyleSheet* sheet = NewSheet();
  sheet->SetCaption("Ocean");
  TcxStyle* content = NewStyle();
  content->SetColor(clBtnFace);
  content->Font()->SetName("Tahoma");
  content->Font()->SetSize(10);
  content->Font()->SetStyle(TFontStyles{fsBold, fsStrikeOut});
  content->Bitmap()->SetSize(40, 30);
  ::SetPixel(content->Bitmap()->Canvas()->Handle(), 3, 2, 0x123456);
  TcxStyle* header = NewStyle();
  sheet->TestStyles()->SetSlot(0, content);
  sheet->TestStyles()->SetSlot(1, header);
  TList sheets;
  sheets.Add(sheet);
  SaveStyleSheetsToIniFile(fileName_, &sheets);

  TMemIniFile ini(fileName_);
  EXPECT_EQ(ini.ReadString("Other", "Keep", ""), "1");
  EXPECT_EQ(ini.ReadString("Ocean", "Content", ""),
            IntToStr(Integer(clBtnFace)) + ",default,Tahoma,10,[BS]");
  EXPECT_EQ(ini.ReadString("Ocean", "Header", ""), "default,default");
  // The bitmap goes in pieces of 2047 hexadecimal digits.
  const String piece0 = ini.ReadString("Ocean", "ContentBitmap0", "");
  const String piece1 = ini.ReadString("Ocean", "ContentBitmap1", "");
  EXPECT_EQ(piece0.size(), 2047u);
  EXPECT_FALSE(piece1.empty());

  TcxStyleRepository loaded(nullptr);
  TList result;
  LoadStyleSheetsFromIniFile(fileName_, &loaded, TTestStyleSheet::StaticClass(),
                             nullptr, nullptr, &result);
  // Every section with keys is a sheet, in file order.
  ASSERT_EQ(result.Count(), 2);
  EXPECT_EQ(static_cast<TTestStyleSheet*>(result.Items(0))->Caption(), "Other");
  auto* back = static_cast<TTestStyleSheet*>(result.Items(1));
  EXPECT_EQ(back->Caption(), "Ocean");
  TcxStyle* c = back->TestStyles()->Slot(0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->AssignedValues(), (TcxStyleValues{svColor, svFont, svBitmap}));
  EXPECT_EQ(c->Color(), clBtnFace);
  EXPECT_EQ(c->Font()->Name(), "Tahoma");
  EXPECT_EQ(c->Font()->Size(), 10);
  EXPECT_EQ(c->Font()->Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(c->Bitmap()->Width(), 40);
  EXPECT_EQ(::GetPixel(c->Bitmap()->Canvas()->Handle(), 3, 2),
            COLORREF(0x123456));
  TcxStyle* h = back->TestStyles()->Slot(1);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(h->AssignedValues().Empty());
}

TEST_F(StyleIniTest, NothingToWriteKeepsAnExistingFileAndMakesANewOneEmpty) {
  TTestStyleSheet* sheet = NewSheet();
  sheet->SetCaption("Empty");
  TList sheets;
  sheets.Add(sheet);
  SaveStyleSheetsToIniFile(fileName_, &sheets);
  EXPECT_TRUE(FileExists(fileName_));
  EXPECT_EQ(ReadFile(), "");

  WriteFile("[Other]\nKeep=1\n");
  SaveStyleSheetsToIniFile(fileName_, &sheets);
  EXPECT_EQ(ReadFile(), "[Other]\nKeep=1\n");
}

TEST_F(StyleIniTest, BitmapKeysWithoutAFirstPieceDoNotStopTheLoad) {
  WriteFile(
      "[S]\nContentBitmap1=00\nContent=255\nContentBitmapX=1\n"
      "Header=default,128\nHeaderBitmap0=ZZ\nUnknown=1\n");
  TList result;
  LoadStyleSheetsFromIniFile(fileName_, repository_,
                             TTestStyleSheet::StaticClass(), nullptr, nullptr,
                             &result);
  ASSERT_EQ(result.Count(), 1);
  auto* sheet = static_cast<TTestStyleSheet*>(result.Items(0));
  ASSERT_NE(sheet->TestStyles()->Slot(0), nullptr);
  EXPECT_EQ(sheet->TestStyles()->Slot(0)->Color(), TColor(255));
  ASSERT_NE(sheet->TestStyles()->Slot(1), nullptr);
  EXPECT_EQ(sheet->TestStyles()->Slot(1)->TextColor(), TColor(128));
  // Pieces that are not hexadecimal leave the bitmap as it was.
  EXPECT_TRUE(sheet->TestStyles()->Slot(1)->Bitmap()->Empty());
}

TEST_F(StyleIniTest, AnUnreadableColourEndsTheLoadKeepingWhatWasMade) {
  WriteFile("[A]\nContent=1\n[B]\nContent=blue\n");
  TList result;
  EXPECT_THROW(LoadStyleSheetsFromIniFile(fileName_, repository_,
                                          TTestStyleSheet::StaticClass(),
                                          nullptr, nullptr, &result),
               EConvertError);
  EXPECT_EQ(result.Count(), 2);
  EXPECT_EQ(repository_->StyleSheetCount(), 2);
  EXPECT_EQ(static_cast<TTestStyleSheet*>(result.Items(0))
                ->TestStyles()
                ->Slot(0)
                ->Color(),
            TColor(1));
}

TEST(StyleIniValue, FontTextIsReadPieceByPiece) {
  struct Case {
    const char* Value;
    TColor Color, TextColor;
    const char* FontName;
    Integer Size;
    TFontStyles Style;
  };
  const Case cases[] = {
      {"5", TColor(5), clDefault, nullptr, 0, {}},
      {"DEFAULT,-16777201", clDefault, TColor(-16777201), nullptr, 0, {}},
      {"1,2,Arial", TColor(1), TColor(2), "Arial", 0, {}},
      {"1,2,Arial,x,[BIU]",
       TColor(1),
       TColor(2),
       "Arial",
       0,
       {fsBold, fsItalic, fsUnderline}},
      {"1,2,Arial,12,[S]", TColor(1), TColor(2), "Arial", 12, {fsStrikeOut}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Value);
    TcxStyle style(nullptr);
    const Integer size = style.Font()->Size();
    cxStyleFromIniValue(&style, c.Value);
    EXPECT_EQ(style.Color(), c.Color);
    EXPECT_EQ(style.TextColor(), c.TextColor);
    EXPECT_EQ(style.AssignedValues().Contains(svFont), c.FontName != nullptr);
    if (c.FontName) {
      EXPECT_EQ(style.Font()->Name(), c.FontName);
      EXPECT_EQ(style.Font()->Size(), c.Size ? c.Size : size);
      EXPECT_EQ(style.Font()->Style(), c.Style);
    }
  }
}

}  // namespace
