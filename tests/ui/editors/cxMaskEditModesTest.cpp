#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "cxMaskEditModes.h"

namespace {

// The editor as a mode sees it: a text with an anchor and a caret that
// behaves like the system's edit control (keys move from the caret end and
// collapse the selection without Shift; a character replaces the
// selection), routes keys through the mode and then the text editor's own
// rules exactly as the mask editor does, and tells the mode of mouse
// clicks.
class FakeMaskEdit : public IcxMaskEditModeEdit,
                     public IcxMaskEditModeProperties {
 public:
  FakeMaskEdit(TcxEditMaskKind AKind, const String& AMask,
               TcxMaskEditModeSettings ASettings = {})
      : settings(ASettings) {
    mode = cxMaskEditModeClassOf(AKind).Create(this, this);
    mode->Compile(AMask);
  }
  // The mode keeps a pointer to its editor.
  FakeMaskEdit(const FakeMaskEdit&) = delete;
  FakeMaskEdit& operator=(const FakeMaskEdit&) = delete;

  // --- set-up ---
  // A text as the editor shows it after an assignment, caret at the end.
  void Show(const String& AText, Integer ACaret = -1) {
    text = AText;
    mode->SetText(AText);
    Integer caret = ACaret < 0 ? Len() : ACaret;
    anchor_ = caret_ = caret;
    mode->LMouseDown();
  }
  // A mouse click or a selection dragged by the mouse.
  void Click(Integer APosition, Integer ALength = 0) {
    anchor_ = APosition;
    caret_ = APosition + ALength;
    mode->LMouseDown();
  }

  // --- input, routed as the editor routes it ---
  void Key(Word AKey, TShiftState AShift = {}) {
    Word key = AKey;
    TcxMaskEditKeyDownContext context;
    context.AfterKeyDown = TClosure<void(Word&, TShiftState)>::FromFunction(
        [this](Word& AKey2, TShiftState) { afterKeyDown.push_back(AKey2); });
    context.HasPopupWindow = hasPopup;
    cxMaskEditModeKeyDown(mode.get(), this, key, AShift, context);
    if (key == 0) return;
    // The text editor's own rule: Left and Right without Shift end a
    // selection at its start or end.
    bool shift = AShift.Contains(ssShift);
    if (!shift && SelLength() > 0 &&
        (key == cxMaskEditKeyLeft || key == cxMaskEditKeyRight)) {
      Integer to =
          key == cxMaskEditKeyLeft ? SelStart() : SelStart() + SelLength();
      UserAction([&] { anchor_ = caret_ = to; });
      return;
    }
    UserAction([&] { DefaultKeyDown(key, AShift); });
  }
  void Type(const String& AChars) {
    for (char c : AChars) {
      char key = c;
      cxMaskEditModeKeyPress(mode.get(), key);
      if (key != 0) UserAction([&] { DefaultChar(key); });
    }
  }

  Integer SelStart() const { return std::min(anchor_, caret_); }
  Integer SelLength() const { return std::abs(caret_ - anchor_); }

  // --- IcxMaskEditModeProperties ---
  TcxMaskEditModeSettings GetModeSettings() override { return settings; }

  // --- IcxMaskEditModeEdit ---
  IcxMaskEditModeProperties* GetModeProperties() override { return this; }
  bool IsModePropertiesLocked() override { return propertiesLocked; }
  bool ModeHandleAllocated() override { return true; }
  bool ModeIsMasked() override { return true; }
  String GetModeText() override { return text; }
  Integer GetModeSelStart() override { return SelStart(); }
  Integer GetModeSelLength() override { return SelLength(); }
  Integer GetModeCaretPos() override { return caret_; }
  void DirectSetSelStart(Integer AValue) override {
    anchor_ = caret_ = std::clamp<Integer>(AValue, 0, Len());
  }
  void DirectSetSelLength(Integer AValue) override {
    anchor_ = SelStart();
    caret_ = std::clamp<Integer>(anchor_ + AValue, 0, Len());
  }
  void SendMyKeyDown(Word AKey, TShiftState AShift) override {
    ++sentKeys;
    UserAction([&] { DefaultKeyDown(AKey, AShift); });
  }
  void SendMyKeyPress(char AKey) override {
    ++sentKeys;
    UserAction([&] { DefaultChar(AKey); });
  }
  bool GetModeShiftFlag() override { return shiftFlag; }
  void SetModeShiftFlag(bool AValue) override { shiftFlag = AValue; }
  void ModeBeep() override { ++beeps; }
  // A new display value: laid out by the mode, selection at the start.
  void SetInternalDisplayText(const String& AText) override {
    text = mode->GetFormattedText(AText, true);
    anchor_ = caret_ = 0;
    mode->SetText(text);
  }
  void SetInternalEditText(const String& AText) override { editValue = AText; }
  String GetBindingDisplayText() override { return text; }
  void SetBindingDisplayText(const String& AText) override {
    SetInternalDisplayText(AText);
  }
  void UpdateNotConnectedDisplayValue() override {}
  bool ModeModifiedAfterEnter() override { return false; }
  String GetModeDisplayText() override { return text; }
  String PrepareModeDisplayText() override { return preparedText; }
  bool IsCharValidForPos(char& AChar, Integer APosition) override {
    return charValidForPos ? charValidForPos(AChar, APosition) : true;
  }

  TcxMaskEditModeSettings settings;
  TObjectPtr<TcxMaskEditCustomMode> mode;
  String text;
  String editValue;
  String preparedText;
  bool shiftFlag = false;
  bool hasPopup = false;
  bool propertiesLocked = false;
  int beeps = 0;
  int sentKeys = 0;
  std::vector<Word> afterKeyDown;
  std::function<bool(char&, Integer)> charValidForPos;

 private:
  Integer Len() const { return static_cast<Integer>(text.size()); }

  // The edit control's own handling of a key: the caret moves without a
  // selection-change notice, as only programmatic selections send one.
  template <class F>
  void UserAction(F&& AAction) {
    AAction();
  }
  void Erase(Integer AStart, Integer ACount) {
    text.erase(static_cast<std::size_t>(AStart),
               static_cast<std::size_t>(ACount));
    anchor_ = caret_ = AStart;
  }
  void DefaultKeyDown(Word AKey, TShiftState AShift) {
    bool extend = AShift.Contains(ssShift);
    switch (AKey) {
      case cxMaskEditKeyLeft:
        caret_ = std::max<Integer>(caret_ - 1, 0);
        break;
      case cxMaskEditKeyRight:
        caret_ = std::min(caret_ + 1, Len());
        break;
      case cxMaskEditKeyHome:
        caret_ = 0;
        break;
      case cxMaskEditKeyEnd:
        caret_ = Len();
        break;
      case cxMaskEditKeyDelete:
        // Shift+Delete cuts a selection, which the mask editor hands to its
        // mode, and is a Backspace without one.
        if (extend && SelLength() > 0) {
          if (mode->PressDelete()) DefaultChar(cxMaskEditCharBackSpace);
          return;
        }
        if (extend) {
          DefaultChar(cxMaskEditCharBackSpace);
          return;
        }
        if (SelLength() > 0) {
          Erase(SelStart(), SelLength());
        } else if (caret_ < Len()) {
          Erase(caret_, 1);
        }
        return;
      default:
        return;
    }
    if (!extend) anchor_ = caret_;
  }
  void DefaultChar(char AKey) {
    if (AKey == cxMaskEditCharBackSpace) {
      if (SelLength() > 0) {
        Erase(SelStart(), SelLength());
      } else if (caret_ > 0) {
        Erase(caret_ - 1, 1);
      }
      return;
    }
    Integer start = SelStart();
    text.replace(static_cast<std::size_t>(start),
                 static_cast<std::size_t>(SelLength()), 1, AKey);
    anchor_ = caret_ = start + 1;
  }

  Integer anchor_ = 0;
  Integer caret_ = 0;
};

TcxMaskEditModeSettings Beeping(bool ACaseInsensitive = true) {
  TcxMaskEditModeSettings settings;
  settings.BeepOnError = true;
  settings.CaseInsensitive = ACaseInsensitive;
  return settings;
}

// ---------------------------------------------------------------------------
// Mask emptiness and mode classes
// ---------------------------------------------------------------------------

TEST(MaskEditModesTest, BlankOnlyMasksCountAsNoMask) {
  struct Case {
    String mask;
    bool empty;
  };
  const Case cases[] = {{"", true},
                        {String(" \t\r\n\f", 5), true},
                        {String(1, '\0') + " ", true},
                        {" 0 ", false},
                        {"\\d", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(cxMaskEditEmptyMask(c.mask), c.empty) << c.mask;
  }
}

TEST(MaskEditModesTest, EachKindHasItsModeClass) {
  EXPECT_EQ(cxMaskEditModeClassOf(emkStandard).Class,
            TcxMaskEditStandardMode::StaticClass());
  EXPECT_EQ(cxMaskEditModeClassOf(emkRegExpr).Class,
            TcxMaskEditRegExprMode::StaticClass());
  EXPECT_EQ(cxMaskEditModeClassOf(emkRegExprEx).Class,
            TcxMaskEditRegExprExMode::StaticClass());
  for (TcxEditMaskKind kind : {emkStandard, emkRegExpr, emkRegExprEx}) {
    auto mode = cxMaskEditModeClassOf(kind).Create(nullptr, nullptr);
    EXPECT_EQ(mode->GetMaskKind(), kind);
  }
}

// ---------------------------------------------------------------------------
// Standard mode
// ---------------------------------------------------------------------------

// "(___)___": literals at 0 and 4, shown empty with the caret at the start.
class StandardEdit : public FakeMaskEdit {
 public:
  explicit StandardEdit(TcxMaskEditModeSettings ASettings = {})
      : FakeMaskEdit(emkStandard, "(000)000;1;_", ASettings) {
    Show(mode->GetFormattedText("", true), 0);
  }
};

TEST(MaskEditStandardModeTest, ShowsTheCaretAsABlockOverOnePosition) {
  StandardEdit edit;
  EXPECT_EQ(edit.text, "(___)___");
  EXPECT_EQ(edit.SelStart(), 0);
  EXPECT_EQ(edit.SelLength(), 1);
}

TEST(MaskEditStandardModeTest, TypingSkipsLiteralsAndFillsPositions) {
  StandardEdit edit;
  edit.Type("1");  // at the "(": moves past it first
  EXPECT_EQ(edit.text, "(1__)___");
  EXPECT_EQ(edit.SelStart(), 2);
  EXPECT_EQ(edit.SelLength(), 1);
  edit.Type("23456");
  EXPECT_EQ(edit.text, "(123)456");
  EXPECT_EQ(edit.SelStart(), 8);  // a plain caret at the end
  EXPECT_EQ(edit.SelLength(), 0);
  edit.Type("7");  // nothing at the end
  EXPECT_EQ(edit.text, "(123)456");
}

TEST(MaskEditStandardModeTest, RefusedCharactersAreDroppedSilently) {
  StandardEdit edit(Beeping());
  edit.Type("a1");
  EXPECT_EQ(edit.text, "(1__)___");
  EXPECT_EQ(edit.beeps, 0);
}

TEST(MaskEditStandardModeTest, EditorCanRefuseOrClearACharacter) {
  struct Case {
    bool valid;
    bool clear;
    bool beepOnError;
    const char* text;
    int beeps;
  };
  const Case cases[] = {{false, false, true, "(___)___", 0},
                        {true, true, true, "(___)___", 1},
                        {true, true, false, "(___)___", 0},
                        {true, false, true, "(5__)___", 0}};
  for (const Case& c : cases) {
    TcxMaskEditModeSettings settings;
    settings.BeepOnError = c.beepOnError;
    StandardEdit edit(settings);
    Integer askedPosition = 0;
    edit.charValidForPos = [&](char& AChar, Integer APosition) {
      askedPosition = APosition;
      if (c.clear) AChar = '\0';
      return c.valid;
    };
    edit.Type("5");
    EXPECT_EQ(edit.text, c.text);
    EXPECT_EQ(edit.beeps, c.beeps);
    EXPECT_EQ(askedPosition, 2);  // 1-based: the first digit
  }
}

TEST(MaskEditStandardModeTest, BackspaceBlanksThePositionBeforeTheCaret) {
  StandardEdit edit;
  edit.Type("123456");
  edit.Type("\b");
  EXPECT_EQ(edit.text, "(123)45_");
  EXPECT_EQ(edit.SelStart(), 7);
  edit.Click(5);  // block over "4"
  EXPECT_EQ(edit.SelLength(), 1);
  edit.Type("\b");  // over the ")" onto "3"
  EXPECT_EQ(edit.text, "(12_)45_");
  EXPECT_EQ(edit.SelStart(), 3);
  EXPECT_EQ(edit.SelLength(), 1);
}

TEST(MaskEditStandardModeTest, DeleteBlanksOnlyFillablePositionsOfASelection) {
  StandardEdit edit;
  edit.Type("123456");
  edit.Click(2, 4);  // "23)4"
  edit.Key(cxMaskEditKeyDelete);
  EXPECT_EQ(edit.text, "(1__)_56");
  EXPECT_EQ(edit.SelStart(), 2);
  EXPECT_EQ(edit.SelLength(), 1);
}

TEST(MaskEditStandardModeTest, ArrowsAndHomeEndStepOverLiterals) {
  StandardEdit edit;
  edit.Type("123456");
  struct Step {
    Word key;
    Integer selStart;
    Integer selLength;
  };
  const Step steps[] = {{cxMaskEditKeyHome, 1, 1},  {cxMaskEditKeyRight, 2, 1},
                        {cxMaskEditKeyRight, 3, 1}, {cxMaskEditKeyRight, 5, 1},
                        {cxMaskEditKeyLeft, 3, 1},  {cxMaskEditKeyEnd, 8, 0},
                        {cxMaskEditKeyLeft, 7, 1},  {cxMaskEditKeyRight, 8, 0}};
  for (const Step& s : steps) {
    edit.Key(s.key);
    EXPECT_EQ(edit.SelStart(), s.selStart) << s.key;
    EXPECT_EQ(edit.SelLength(), s.selLength) << s.key;
  }
  EXPECT_EQ(edit.text, "(123)456");
}

TEST(MaskEditStandardModeTest, LeftAtTheFirstPositionIsReportedToTheEditor) {
  StandardEdit edit;
  edit.Key(cxMaskEditKeyHome);
  edit.Key(cxMaskEditKeyLeft);
  EXPECT_EQ(edit.SelStart(), 1);
  ASSERT_EQ(edit.afterKeyDown.size(), 1u);
  EXPECT_EQ(edit.afterKeyDown[0], cxMaskEditKeyLeft);
  edit.Key(cxMaskEditKeyRight);
  EXPECT_EQ(edit.afterKeyDown.size(), 1u);  // not at the end
}

TEST(MaskEditStandardModeTest, UpAndDownGoToTheEditorWithoutAPopup) {
  for (bool popup : {false, true}) {
    StandardEdit edit;
    edit.hasPopup = popup;
    edit.Key(cxMaskEditKeyDown);
    EXPECT_EQ(edit.afterKeyDown.size(), popup ? 0u : 1u);
  }
}

TEST(MaskEditStandardModeTest, ShiftArrowsSelectFromTheBlockCaret) {
  StandardEdit edit;
  edit.Type("123456");
  edit.Click(6);
  edit.Key(cxMaskEditKeyLeft, {ssShift});  // the block's own character
  EXPECT_EQ(edit.SelStart(), 6);
  EXPECT_EQ(edit.SelLength(), 1);
  edit.Key(cxMaskEditKeyLeft, {ssShift});
  EXPECT_EQ(edit.SelStart(), 5);
  EXPECT_EQ(edit.SelLength(), 2);
  edit.Click(2);
  edit.Key(cxMaskEditKeyRight, {ssShift});
  EXPECT_EQ(edit.SelStart(), 2);
  EXPECT_EQ(edit.SelLength(), 2);
}

TEST(MaskEditStandardModeTest, PasteLandsBehindThePastedCharacters) {
  StandardEdit edit;
  edit.Click(1);
  edit.mode->SetPastedLength(3);
  edit.mode->PrePasteFromClipboard();
  EXPECT_EQ(edit.SelStart(), 1);
  EXPECT_EQ(edit.SelLength(), 3);
  edit.SetInternalDisplayText("(987)___");
  edit.mode->AfterPasteFromClipboard();
  EXPECT_EQ(edit.SelStart(), 5);  // past the ")"
  EXPECT_EQ(edit.SelLength(), 1);
}

TEST(MaskEditStandardModeTest, ValidatesCompleteTextsAndAllBlankOnesOnRequest) {
  struct Case {
    const char* text;
    bool ignoreMaskBlank;
    bool valid;
  };
  const Case cases[] = {{"(123)456", false, true},  {"(123)456", true, true},
                        {"(___)___", false, false}, {"(___)___", true, true},
                        {"(1__)___", false, false}, {"(1__)___", true, false}};
  for (const Case& c : cases) {
    TcxMaskEditModeSettings settings;
    settings.IgnoreMaskBlank = c.ignoreMaskBlank;
    FakeMaskEdit edit(emkStandard, "(000)000;1;_", settings);
    EXPECT_EQ(edit.mode->IsFullValidText(c.text), c.valid)
        << c.text << " " << c.ignoreMaskBlank;
  }
}

TEST(MaskEditStandardModeTest, UpdatedTextDropsBlanksAndUnsavedLiterals) {
  FakeMaskEdit saved(emkStandard, "(000)000;1;_");
  EXPECT_EQ(saved.mode->GetUpdatedText("(12_)___"), "(12 )   ");
  EXPECT_EQ(saved.mode->GetEmptyString(), "(   )   ");
  FakeMaskEdit unsaved(emkStandard, "(000)000;0;_");
  EXPECT_EQ(unsaved.mode->GetUpdatedText("(12_)45_"), "12 45 ");
}

TEST(MaskEditStandardModeTest, ModeWithoutEditorAsksToPushTheEmptyText) {
  auto mode = cxMaskEditModeClassOf(emkStandard).Create(nullptr, nullptr);
  mode->Compile("000");
  EXPECT_TRUE(mode->NeedUpdateEditValue());
  FakeMaskEdit edit(emkStandard, "000");
  EXPECT_FALSE(edit.mode->NeedUpdateEditValue());
}

// ---------------------------------------------------------------------------
// Regular-expression mode
// ---------------------------------------------------------------------------

TEST(MaskEditRegExprModeTest, AcceptsOnlyWhatThePatternAllowsNext) {
  FakeMaskEdit edit(emkRegExpr, "\\d\\d?'-'\\d", Beeping());
  edit.Type("1a2-x3");
  EXPECT_EQ(edit.text, "12-3");
  EXPECT_EQ(edit.beeps, 2);
  EXPECT_EQ(edit.SelStart(), 4);
}

TEST(MaskEditRegExprModeTest, CaseFollowsThePatternWhenMatchingIgnoresCase) {
  struct Case {
    bool caseInsensitive;
    const char* text;
  };
  const Case cases[] = {{true, "A"}, {false, ""}};
  for (const Case& c : cases) {
    for (TcxEditMaskKind kind : {emkRegExpr, emkRegExprEx}) {
      FakeMaskEdit edit(kind, "('A'|'B')\\d", Beeping(c.caseInsensitive));
      edit.Type("a");
      EXPECT_EQ(edit.text, c.text) << kind << c.caseInsensitive;
      EXPECT_EQ(edit.beeps, c.caseInsensitive ? 0 : 1);
    }
  }
}

TEST(MaskEditRegExprModeTest, ClickThenTypeTestsAgainstTheTextUpToTheClick) {
  FakeMaskEdit edit(emkRegExpr, "[a-c]\\d+");
  edit.Show("a12");
  edit.Click(1);
  edit.Type("9");
  EXPECT_EQ(edit.text, "a912");
  edit.Click(0);
  edit.Type("5");  // cannot come first
  EXPECT_EQ(edit.text, "a912");
}

TEST(MaskEditRegExprModeTest, AnEditTheRestCannotFollowCutsTheRest) {
  FakeMaskEdit edit(emkRegExpr, "[a-c]\\d*|\\d[x-z]*");
  edit.Show("a12");
  edit.Click(0, 1);
  edit.Type("7");  // "7" then only x-z: "12" goes
  EXPECT_EQ(edit.text, "7");
  edit.Show("a12");
  edit.Click(1);
  edit.Key(cxMaskEditKeyHome);
  edit.Key(cxMaskEditKeyDelete);  // "12" alone cannot start the text
  EXPECT_EQ(edit.text, "");
}

TEST(MaskEditRegExprModeTest, BackspaceKeepsAFittingRestAndCutsAnotherOne) {
  FakeMaskEdit edit(emkRegExpr, "'a'?\\d+");
  edit.Show("a12");
  edit.Click(1);
  edit.Type("\b");
  EXPECT_EQ(edit.text, "12");
  FakeMaskEdit cut(emkRegExpr, "\\d[a-z]*");
  cut.Show("1ab");
  cut.Click(1);
  cut.Type("\b");
  EXPECT_EQ(cut.text, "");
}

TEST(MaskEditRegExprModeTest, AnInvalidPatternRaisesWithTheEngineMessages) {
  auto mode = cxMaskEditModeClassOf(emkRegExpr).Create(nullptr, nullptr);
  try {
    mode->Compile("(\\d");
    FAIL() << "no exception";
  } catch (const EcxMaskEditError& E) {
    String message = E.Message();
    String head = "Regular expression errors:\r\n";
    EXPECT_EQ(message.substr(0, head.size()), head);
    EXPECT_NE(message.find("Missing"), String::npos) << message;
  }
}

TEST(MaskEditRegExprModeTest, ValidatesCompleteTextsAndPartialOnesOnRequest) {
  struct Case {
    TcxEditMaskKind kind;
    const char* text;
    bool ignoreMaskBlank;
    bool valid;
  };
  const Case cases[] = {
      {emkRegExpr, "", false, true},       {emkRegExpr, "12-34", false, true},
      {emkRegExpr, "12-3", false, false},  {emkRegExpr, "12-3", true, true},
      {emkRegExpr, "12x", true, false},    {emkRegExprEx, "12-34", false, true},
      {emkRegExprEx, "12-", false, false}, {emkRegExprEx, "12-", true, true},
      {emkRegExprEx, "1x", true, false}};
  for (const Case& c : cases) {
    TcxMaskEditModeSettings settings;
    settings.IgnoreMaskBlank = c.ignoreMaskBlank;
    FakeMaskEdit edit(c.kind, "\\d\\d'-'\\d\\d", settings);
    EXPECT_EQ(edit.mode->IsFullValidText(c.text), c.valid)
        << c.kind << " " << c.text << " " << c.ignoreMaskBlank;
  }
}

// ---------------------------------------------------------------------------
// Auto-completing mode
// ---------------------------------------------------------------------------

TEST(MaskEditRegExprExModeTest, EmptyTextIsTheForcedPrefix) {
  struct Case {
    const char* pattern;
    const char* empty;
  };
  const Case cases[] = {{"'ab'\\d+", "ab"}, {"\\d+", ""}, {"'(' \\d ')'", "("}};
  for (const Case& c : cases) {
    FakeMaskEdit edit(emkRegExprEx, c.pattern);
    EXPECT_EQ(edit.mode->GetEmptyString(), c.empty) << c.pattern;
    EXPECT_TRUE(edit.mode->IsFullValidText(c.empty)) << c.pattern;
  }
}

TEST(MaskEditRegExprExModeTest,
     ForcedCharactersAreInsertedAsTheyAreDetermined) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  edit.Type("12");
  EXPECT_EQ(edit.text, "12-");
  EXPECT_EQ(edit.SelStart(), 3);
  edit.Type("34");
  EXPECT_EQ(edit.text, "12-34");
}

TEST(MaskEditRegExprExModeTest, TypingIntoAnEmptyEditorBringsThePrefix) {
  FakeMaskEdit edit(emkRegExprEx, "'ab'\\d+");
  edit.Type("5");
  EXPECT_EQ(edit.text, "ab5");
  edit.Click(0);
  edit.Type("6");  // never in front of the prefix
  EXPECT_EQ(edit.text, "ab65");
}

TEST(MaskEditRegExprExModeTest,
     BackspaceTakesASeparatorWithTheCharacterBefore) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  edit.Type("12");
  ASSERT_EQ(edit.text, "12-");
  edit.Type("\b");
  EXPECT_EQ(edit.text, "1");
  EXPECT_EQ(edit.SelStart(), 1);
  edit.Type("\b");
  EXPECT_EQ(edit.text, "");
}

TEST(MaskEditRegExprExModeTest, BackspaceBeforeOnlyThePrefixBeepsAndKeepsIt) {
  FakeMaskEdit edit(emkRegExprEx, "'ab'\\d+", Beeping());
  edit.Type("5");
  edit.Type("\b");
  EXPECT_EQ(edit.text, "ab");
  EXPECT_EQ(edit.beeps, 0);
  edit.Type("\b");
  EXPECT_EQ(edit.text, "ab");
  EXPECT_EQ(edit.beeps, 1);
}

TEST(MaskEditRegExprExModeTest, DeleteInTheMiddleCutsARestThatNoLongerFits) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  edit.Type("1234");
  ASSERT_EQ(edit.text, "12-34");
  edit.Click(1);
  edit.Key(cxMaskEditKeyDelete);  // "2" with its "-": "34" cannot follow "1"
  EXPECT_EQ(edit.text, "1");
}

TEST(MaskEditRegExprExModeTest, DeleteKeepsAFittingRest) {
  FakeMaskEdit edit(emkRegExprEx, "\\d+'.'\\d\\d|\\d'.'\\d");
  edit.Show("12.34");
  edit.Click(3);
  edit.Key(cxMaskEditKeyDelete);
  EXPECT_EQ(edit.text, "12.4");
}

TEST(MaskEditRegExprExModeTest, CaretsStopOnlyBehindForcedGroups) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  edit.Type("1234");
  edit.Click(3);
  edit.Key(cxMaskEditKeyLeft);
  EXPECT_EQ(edit.SelStart(), 1);  // over "2-" at once
  edit.Key(cxMaskEditKeyRight);
  EXPECT_EQ(edit.SelStart(), 3);
  edit.Click(2);   // between "2" and its "-"
  edit.Type("9");  // goes after "1", where "2-34" cannot follow "19-"
  EXPECT_EQ(edit.text, "19-");
}

TEST(MaskEditRegExprExModeTest, ClickThenTypeRebuildsFromTheClickPosition) {
  FakeMaskEdit edit(emkRegExprEx, "\\d+");
  edit.Show("1234");
  edit.Click(2);
  edit.Type("9");
  EXPECT_EQ(edit.text, "12934");
  EXPECT_EQ(edit.SelStart(), 3);
}

TEST(MaskEditRegExprExModeTest, CaretSyncEndsAfterTheTextShrankBehindItsBack) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  edit.Type("1234");
  // The text changes around the mode while the caret stays at 5.
  edit.text = "1";
  edit.Type("5");
  EXPECT_EQ(edit.text, "15-");
  EXPECT_EQ(edit.SelStart(), 3);
}

TEST(MaskEditRegExprExModeTest, ReplacingASelectionKeepsThePrefix) {
  FakeMaskEdit edit(emkRegExprEx, "'ab'\\d+");
  edit.Type("123");
  edit.Click(0, 5);
  edit.Type("7");
  EXPECT_EQ(edit.text, "ab7");
  edit.Click(0, 3);
  edit.Type("\b");
  EXPECT_EQ(edit.text, "ab");
}

TEST(MaskEditRegExprExModeTest, FormattedTextCompletesTheForcedEnd) {
  FakeMaskEdit edit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  EXPECT_EQ(edit.mode->GetFormattedText("12"), "12-");
  EXPECT_EQ(edit.mode->GetFormattedText("1x2-3"), "12-3");
}

// The date and time editors' modes leave some positions alone on deletion.
class KeepingMode : public TcxMaskEditStandardMode {
  VARNEL_CLASS(KeepingMode, TcxMaskEditStandardMode)
 public:
  using TcxMaskEditStandardMode::TcxMaskEditStandardMode;
  char GetBlank(Integer APosition) override {
    return APosition == 2 ? '\0' : TcxMaskEditStandardMode::GetBlank(APosition);
  }
};

TEST(MaskEditStandardModeTest, ABlankOfZeroLeavesThePositionAsItIs) {
  StandardEdit edit;
  edit.mode.reset(new KeepingMode(&edit, &edit));
  edit.mode->Compile("(000)000;1;_");
  edit.Show("(123)456", 1);
  edit.Click(1, 3);
  edit.Key(cxMaskEditKeyDelete);
  EXPECT_EQ(edit.text, "(1__)456");
}

TEST(MaskEditStandardModeTest, SynchronizingTheValueShowsItWithABlockCaret) {
  StandardEdit edit;
  edit.preparedText = "(42_)___";
  edit.mode->SynchronizeEditValue();
  EXPECT_EQ(edit.text, "(42_)___");
  EXPECT_EQ(edit.SelLength(), 1);
}

TEST(MaskEditRegExprModeTest, APasteFeedsTheTextUpToThePastedEnd) {
  FakeMaskEdit edit(emkRegExpr, "\\d+");
  edit.Show("12", 1);
  edit.mode->SetPastedLength(2);
  edit.mode->SetText("1992");
  auto* mode = static_cast<TcxMaskEditRegExprMode*>(edit.mode.get());
  EXPECT_EQ(mode->LeftText(), "199");
  EXPECT_EQ(mode->RightText(), "2");
  EXPECT_EQ(mode->PastedLength(), 0);
}

TEST(MaskEditRegExprExModeTest, ALockedEditorGetsTheForcedPrefixAsValueLater) {
  FakeMaskEdit edit(emkRegExprEx, "\\d+");
  edit.propertiesLocked = true;
  edit.mode->Compile("'ab'\\d+");
  EXPECT_TRUE(edit.mode->NeedUpdateEditValue());
  edit.propertiesLocked = false;
  edit.mode->UpdateEditValue();
  EXPECT_EQ(edit.editValue, "ab");
  EXPECT_FALSE(edit.mode->NeedUpdateEditValue());
}

// Random keys and clicks: the text must stay what the mask allows (a prefix
// the engine accepts; the mask's length for fixed positions) and every
// operation must end.
TEST(MaskEditModesTest, RandomInputKeepsTheTextWithinTheMask) {
  struct Case {
    TcxEditMaskKind kind;
    const char* mask;
  };
  const Case cases[] = {{emkStandard, "(000)000-LL;1;_"},
                        {emkRegExpr, "\\d\\d?'-'[a-c]+"},
                        {emkRegExprEx, "'ab'\\d\\d'-'\\d\\d"},
                        {emkRegExprEx, "(\\d\\d':')?\\d'.'\\d+"}};
  const Word keys[] = {cxMaskEditKeyLeft, cxMaskEditKeyRight, cxMaskEditKeyHome,
                       cxMaskEditKeyEnd, cxMaskEditKeyDelete};
  const String typed = "0123456789abcxAB-:.\b";
  for (const Case& c : cases) {
    for (unsigned seed = 1; seed <= 2; ++seed) {
      FakeMaskEdit edit(c.kind, c.mask);
      edit.Show(edit.mode->GetFormattedText("", true), 0);
      std::mt19937 random(seed);
      String trace;  // the last actions, for a failure's message
      for (int step = 0; step < 1500; ++step) {
        Integer length = static_cast<Integer>(edit.text.size());
        String before = edit.text + " [" + std::to_string(edit.SelStart()) +
                        "," + std::to_string(edit.SelLength()) + "] ";
        switch (random() % 4) {
          case 0: {
            Word key = keys[random() % 5];
            bool shift = random() % 4 == 0;
            edit.Key(key, shift ? TShiftState{ssShift} : TShiftState());
            trace =
                before + "key " + std::to_string(key) + (shift ? "+shift" : "");
            break;
          }
          case 1: {
            Integer at = static_cast<Integer>(random() % (length + 1));
            Integer count = static_cast<Integer>(random() % (length - at + 1));
            edit.Click(at, count);
            trace = before + "click " + std::to_string(at) + "," +
                    std::to_string(count);
            break;
          }
          default: {
            String key(1, typed[random() % typed.size()]);
            edit.Type(key);
            trace = before + "type " + key;
          }
        }
        if (c.kind == emkStandard) {
          ASSERT_EQ(edit.text.size(), 11u) << trace;
          ASSERT_TRUE(cxStandardMask::IsTextValid(edit.text, c.mask))
              << trace << " -> " << edit.text;
        } else {
          ASSERT_TRUE(cxRegExpr::IsTextValid(edit.text, c.mask))
              << c.mask << ": " << trace << " -> " << edit.text;
        }
      }
    }
  }
}

}  // namespace
