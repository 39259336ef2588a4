#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Classes.h"
#include "FormStreamFixture.h"
#include "FormStreams.h"
#include "TypInfo.h"
#include "Variants.h"

using namespace formstreams_detail;

namespace {

std::string Crlf(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

std::string ToText(const std::string& binary) {
  TMemorySource src(binary.data(), binary.size());
  return BinaryToText(src);
}

// The whole binary of "object A: TX / P = <value> / end".
std::string PropertyStream(const std::string& value) {
  return Bytes({'T', 'P', 'F', '0', 2, 'T', 'X', 1, 'A', 1, 'P'}) + value +
         Bytes({0, 0});
}

std::string PropertyText(const std::string& value) {
  return "object A: TX\n  P = " + value + "\nend\n";
}

// A form that uses every feature; written in the layout the converter
// produces, so that it also checks the text writer.
const char kFormText[] = R"(object Form1: TFsForm
  Caption = 'Main'
  object Part1: TFsPart
    Count = 5
    Letter = 'x'
    Align = faClient
    Enabled = False
    Options = [foBold, foUnderline]
    Ratio = 1.500000000000000000
    Scale = 0.25s
    Price = 15000c
    Big = 5000000000
    Caption = 'It'#39's'#13#10'done'
    Title = 'Caf'#233#8364
    Data = 42
    Font.Name = 'Tahoma'
    Font.Size = -11
    Font.Style = [foBold]
    Items = <
      item
        Caption = 'first'
        Link = Part2
      end
      item
        Width = 3
      end>
    Buddy = Part2
    OnClick = DoClick
    Extra = (
      1
      300
      -70000)
    Blob = {
      0102ABFF}
  end
  object Part2: TFsPart
    Items = <>
  end
end
)";

class FormStreamsTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

// ---------------------------------------------------------------------------
// Extended floats
// ---------------------------------------------------------------------------

TEST(FormStreamsExtended, KnownBitPatterns) {
  struct Case {
    double value;
    std::string bytes;
  } cases[] = {
      {1.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
      {1.5, Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})},
      {-2.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0})},
      {0.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
      {std::numeric_limits<double>::infinity(),
       Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F})},
  };
  for (const Case& c : cases) {
    Byte out[10];
    DoubleToExtended80(c.value, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 10), c.bytes)
        << c.value;
    EXPECT_EQ(Extended80ToDouble(out), c.value);
  }
}

TEST(FormStreamsExtended, DoublesSurviveTheRoundTrip) {
  const double values[] = {-0.0,
                           0.1,
                           -123456.789,
                           1e300,
                           -1e-300,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min()};
  for (double v : values) {
    Byte out[10];
    DoubleToExtended80(v, out);
    const double back = Extended80ToDouble(out);
    EXPECT_EQ(back, v);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
  Byte nan[10];
  DoubleToExtended80(std::nan(""), nan);
  EXPECT_TRUE(std::isnan(Extended80ToDouble(nan)));
}

TEST(FormStreamsExtended, OutOfDoubleRangeSaturates) {
  // 2^10000 and 2^-10000 exist only in the 80-bit format.
  const Byte huge[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x0F, 0x67};
  const Byte tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xEF, 0x18};
  EXPECT_TRUE(std::isinf(Extended80ToDouble(huge)));
  EXPECT_EQ(Extended80ToDouble(tiny), 0.0);
}

// ---------------------------------------------------------------------------
// Text to binary, value by value
// ---------------------------------------------------------------------------

TEST(FormStreamsText, ValuesToBytes) {
  struct Case {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"0", Bytes({2, 0})},
      {"-1", Bytes({2, 0xFF})},
      {"127", Bytes({2, 0x7F})},
      {"128", Bytes({3, 0x80, 0})},
      {"-129", Bytes({3, 0x7F, 0xFF})},
      {"$FF", Bytes({3, 0xFF, 0})},
      {"32768", Bytes({4, 0, 0x80, 0, 0})},
      {"-2147483648", Bytes({4, 0, 0, 0, 0x80})},
      {"5000000000", Bytes({19, 0, 0xF2, 0x05, 0x2A, 1, 0, 0, 0})},
      {"1.5", Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})},
      {"-2.0", Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0})},
      {"0.25s", Bytes({15, 0, 0, 0x80, 0x3E})},
      {"15000c", Bytes({16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0})},
      {"1.5d", Bytes({17, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
      {"''", Bytes({6, 0})},
      {"'ab'", Bytes({6, 2, 'a', 'b'})},
      {"'a'#13'b'", Bytes({6, 3, 'a', 13, 'b'})},
      {"'It''s'", Bytes({6, 4, 'I', 't', '\'', 's'})},
      {"'ab' +\n    'cd'", Bytes({6, 4, 'a', 'b', 'c', 'd'})},
      {"#$41#66", Bytes({6, 2, 'A', 'B'})},
      {"'x'#8364", Bytes({18, 2, 0, 0, 0, 'x', 0, 0xAC, 0x20})},
      {"Foo", Bytes({7, 3, 'F', 'o', 'o'})},
      {"Form1.Button1", Bytes({7, 13, 'F', 'o', 'r', 'm', '1', '.', 'B', 'u',
                               't', 't', 'o', 'n', '1'})},
      {"True", Bytes({9})},
      {"false", Bytes({8})},
      {"nil", Bytes({13})},
      {"Null", Bytes({0})},
      {"[]", Bytes({11, 0})},
      {"[a, bc]", Bytes({11, 1, 'a', 2, 'b', 'c', 0})},
      {"()", Bytes({1, 0})},
      {"(\n    1\n    'a')", Bytes({1, 2, 1, 6, 1, 'a', 0})},
      {"{}", Bytes({10, 0, 0, 0, 0})},
      {"{\n    01AB}", Bytes({10, 2, 0, 0, 0, 1, 0xAB})},
      {"<>", Bytes({14, 0})},
      {"<\n    item\n    end>", Bytes({14, 1, 0, 0})},
      {"<\n    item [2]\n      X = 1\n    end>",
       Bytes({14, 2, 2, 1, 1, 'X', 2, 1, 0, 0})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToBinary(PropertyText(c.text)), PropertyStream(c.bytes))
        << c.text;
  }
}

TEST(FormStreamsText, LongStringsBecomeLongStringValues) {
  const std::string s(300, 'q');
  const std::string bin = TextToBinary(PropertyText("'" + s + "'"));
  EXPECT_EQ(bin, PropertyStream(Bytes({12, 0x2C, 1, 0, 0}) + s));
}

TEST(FormStreamsText, Headers) {
  struct Case {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"object A: TX\nend", Bytes({2, 'T', 'X', 1, 'A', 0, 0})},
      {"object TX\nend", Bytes({2, 'T', 'X', 0, 0, 0})},
      {"inherited A: TX\nend", Bytes({0xF1, 2, 'T', 'X', 1, 'A', 0, 0})},
      {"inline A: TX\nend", Bytes({0xF4, 2, 'T', 'X', 1, 'A', 0, 0})},
      {"inherited A: TX [3]\nend",
       Bytes({0xF3, 2, 3, 2, 'T', 'X', 1, 'A', 0, 0})},
      {"object A: TX\n  object B: TY\n  end\nend",
       Bytes({2, 'T', 'X', 1, 'A', 0, 2, 'T', 'Y', 1, 'B', 0, 0, 0})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToBinary(c.text), "TPF0" + c.bytes) << c.text;
  }
}

TEST(FormStreamsText, SyntaxErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"thing A: TX\nend", "OBJECT expected on line 1"},
      {"object : TX\nend", "Identifier expected on line 1"},
      {"object A: TX [x]\nend", "Number expected on line 1"},
      {"object A: TX\n  P 1\nend", "'=' expected on line 2"},
      {"object A: TX\n  P = )\nend", "Invalid property value on line 2"},
      {"object A: TX\n  P = 'abc\nend", "Invalid string constant on line 2"},
      {"object A: TX\n  P = 'a' + 1\nend", "String expected on line 2"},
      {"object A: TX\n  P = {0G}\nend", "Invalid binary value on line 2"},
      {"object A: TX\n  P = {012}\nend", "Invalid binary value on line 2"},
      {"object A: TX\n  P = [a b]\nend", "',' expected on line 2"},
      {"object A: TX\n  P = [1]\nend", "Identifier expected on line 2"},
      {"object A: TX\n  P = <foo end>\nend", "item expected on line 2"},
      {"object A: TX\n\n  P = (1 2\n", "')' expected on line 4"},
      {"object A: TX\n  P = 1.2.3\nend",
       "'1.2.3' is not a valid floating point value on line 2"},
      {"object A: TX\n  P = 99999999999999999999\nend",
       "'99999999999999999999' is not a valid integer value on line 2"},
      {"object A: TX\n  P = 1\n", "Identifier expected on line 3"},
  };
  for (const Case& c : cases) {
    try {
      TextToBinary(c.text);
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.text;
    }
  }
}

TEST(FormStreamsText, DeepNestingIsAnErrorNotACrash) {
  const std::string text =
      "object A: TX\n  P = " + std::string(100000, '(') + "\nend";
  EXPECT_THROW(TextToBinary(text), EParserError);
}

// ---------------------------------------------------------------------------
// Binary to text
// ---------------------------------------------------------------------------

TEST(FormStreamsText, TextBinaryTextIsStable) {
  const std::string text = Crlf(kFormText);
  EXPECT_EQ(ToText(TextToBinary(text)), text);
}

TEST(FormStreamsText, NumbersAreWrittenInTheLibraryLayout) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1.5, "1.500000000000000000"},
      {0.1, "0.100000000000000000"},
      {-3, "-3.000000000000000000"},
      {123456.789, "123456.789000000000000000"},
      {1e20, "1E20"},
      // Too small for 18 decimals: written so that it is not lost.
      {1e-10, "1E-10"},
  };
  for (const Case& c : cases) {
    auto sink = std::make_unique<TStringSink>();
    TStringSink* out = sink.get();
    TWriter w(std::move(sink));
    w.WriteFloat(c.value);
    const std::string text = ToText(PropertyStream(out->data));
    EXPECT_EQ(text, Crlf(PropertyText(c.text))) << c.value;
    EXPECT_EQ(TextToBinary(text), PropertyStream(out->data)) << c.value;
  }
}

TEST(FormStreamsText, LongStringsAndBinaryWrapAt64CharactersAnd32Bytes) {
  const std::string s(100, 'a');
  EXPECT_EQ(ToText(TextToBinary(PropertyText("'" + s + "'"))),
            Crlf("object A: TX\n  P = \n    '" + std::string(64, 'a') +
                 "' +\n    '" + std::string(36, 'a') + "'\nend\n"));
  const std::string hex(80, 'E');  // 40 bytes
  EXPECT_EQ(ToText(TextToBinary(PropertyText("{" + hex + "}"))),
            Crlf("object A: TX\n  P = {\n    " + std::string(64, 'E') +
                 "\n    " + std::string(16, 'E') + "}\nend\n"));
}

TEST(FormStreamsText, StreamFunctionsConvertFromThePosition) {
  TStringStream text("junk" + Crlf(kFormText));
  text.SetPosition(4);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TStringStream back;
  ObjectBinaryToText(binary, back);
  EXPECT_EQ(back.DataString(), Crlf(kFormText));
  EXPECT_EQ(binary.Position(), binary.Size());
}

// ---------------------------------------------------------------------------
// Objects
// ---------------------------------------------------------------------------

std::string WriteRoot(TComponent* root) {
  TMemoryStream ms;
  WriteComponentToStream(ms, root);
  return std::string(static_cast<const char*>(ms.Memory()),
                     static_cast<std::size_t>(ms.Size()));
}

TObjectPtr<TComponent> ReadRoot(const std::string& binary,
                                TReaderError onError = nullptr) {
  TMemoryStream ms;
  ms.WriteBuffer(binary.data(), static_cast<Integer>(binary.size()));
  ms.SetPosition(0);
  TReader reader(ms);
  reader.OnError = onError;
  return TObjectPtr<TComponent>(reader.ReadRootComponent(nullptr));
}

TEST_F(FormStreamsTest, TextToBinaryToObjectsToBinaryGivesTheSameBytes) {
  const std::string binary = TextToBinary(kFormText);
  TObjectPtr<TComponent> root = ReadRoot(binary);
  auto* form = dynamic_cast<TFsForm*>(root.get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->Caption, "Main");
  ASSERT_EQ(form->ComponentCount(), 2);
  auto* p1 = dynamic_cast<TFsPart*>(form->FindComponent("Part1"));
  auto* p2 = dynamic_cast<TFsPart*>(form->FindComponent("Part2"));
  ASSERT_TRUE(p1 && p2);
  EXPECT_EQ(p1->Owner(), form);
  EXPECT_EQ(p1->Count, 5);
  EXPECT_EQ(p1->Letter, 'x');
  EXPECT_EQ(p1->Align, faClient);
  EXPECT_FALSE(p1->Enabled);
  EXPECT_EQ(p1->Options, (TFsOptions{foBold, foUnderline}));
  EXPECT_EQ(p1->Ratio, 1.5);
  EXPECT_EQ(p1->Scale, 0.25f);
  EXPECT_EQ(p1->Price.Value, 15000);
  EXPECT_EQ(p1->Big, 5000000000LL);
  EXPECT_EQ(p1->Caption, "It's\r\ndone");
  EXPECT_EQ(p1->Title, u"Caf\u00E9\u20AC");
  EXPECT_EQ(p1->Data.AsInteger(), 42);
  EXPECT_EQ(p1->GetFont()->Name, "Tahoma");
  EXPECT_EQ(p1->GetFont()->Size, -11);
  EXPECT_EQ(p1->GetFont()->Style, TFsOptions{foBold});
  ASSERT_EQ(p1->GetItems()->Count(), 2);
  auto* item0 = p1->GetItems()->Item<TFsItem>(0);
  EXPECT_EQ(item0->Caption, "first");
  EXPECT_EQ(item0->Link, p2);  // a reference to a later component
  EXPECT_EQ(p1->GetItems()->Item<TFsItem>(1)->Width, 3);
  EXPECT_EQ(p1->Buddy, p2);
  EXPECT_EQ(p1->Extra, (std::vector<Integer>{1, 300, -70000}));
  EXPECT_EQ(p1->Blob, Bytes({1, 2, 0xAB, 0xFF}));
  p1->OnClick(p1);
  EXPECT_EQ(form->Clicks, 1);

  // Loaded ran once per component, after the references were resolved.
  EXPECT_EQ(p1->LoadedCalls, 1);
  EXPECT_EQ(p1->BuddyAtLoaded, p2);
  EXPECT_EQ(p2->LoadedCalls, 1);
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_FALSE(p1->ComponentState().Contains(csReading));

  EXPECT_EQ(WriteRoot(form), binary);
}

TEST_F(FormStreamsTest, ReadsIntoAnExistingRoot) {
  TFsForm form(nullptr);
  TMemoryStream ms;
  const std::string binary = TextToBinary(kFormText);
  ms.WriteBuffer(binary.data(), static_cast<Integer>(binary.size()));
  ms.WriteBuffer("tail", 4);
  ms.SetPosition(0);
  EXPECT_EQ(ReadComponentFromStream(ms, &form), &form);
  EXPECT_EQ(form.Caption, "Main");
  EXPECT_EQ(form.ComponentCount(), 2);
  // The stream is left right after the object.
  EXPECT_EQ(ms.Position(), static_cast<Int64>(binary.size()));
}

TEST_F(FormStreamsTest, DefaultValuesAreNotWritten) {
  TFsForm form(nullptr);
  form.SetName("F");
  auto* part = new TFsPart(&form);
  part->SetName("P");
  EXPECT_EQ(ToText(WriteRoot(&form)),
            Crlf("object F: TFsForm\n  object P: TFsPart\n    Items = <>\n"
                 "  end\nend\n"));
}

TEST_F(FormStreamsTest, UnknownPropertyRaisesAndOnErrorCanSkipIt) {
  const std::string text =
      "object Form1: TFsForm\n"
      "  object Part1: TFsPart\n"
      "    Nope = 'x'\n"
      "    Count = 7\n"
      "  end\n"
      "end\n";
  const std::string binary = TextToBinary(text);
  try {
    ReadRoot(binary);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(),
              "Error reading Part1.Nope: Property Nope does not exist");
  }

  std::vector<String> messages;
  auto root =
      ReadRoot(binary, TReaderError::FromFunction(
                           [&](TReader*, const String& message, bool& handled) {
                             messages.push_back(message);
                             handled = true;
                           }));
  ASSERT_EQ(messages.size(), 1u);
  auto* part = dynamic_cast<TFsPart*>(root->FindComponent("Part1"));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->Count, 7);
}

TEST_F(FormStreamsTest, BadValuesRaiseEReadError) {
  struct Case {
    const char* property;
    const char* message;
  } cases[] = {
      {"OnClick = Missing",
       "Error reading Part1.OnClick: Invalid property value"},
      {"Align = faSideways",
       "Error reading Part1.Align: Invalid property value"},
      {"Options = [foBold, foNone]",
       "Error reading Part1.Options: Invalid property value"},
      {"Count = 'text'", "Error reading Part1.Count: Invalid property value"},
      {"Letter = 'xy'", "Error reading Part1.Letter: Invalid property value"},
      {"Caption.Sub = 1",
       "Error reading Part1.Caption.Sub: "
       "Invalid property path"},
      {"Font.Nope = 1",
       "Error reading Part1.Font.Nope: Property Nope does not exist"},
      {"Blob = 5", "Error reading Part1.Blob: Invalid property value"},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("object Form1: TFsForm\n") +
                             "  object Part1: TFsPart\n    " + c.property +
                             "\n  end\nend\n";
    try {
      ReadRoot(TextToBinary(text));
      ADD_FAILURE() << "no error for " << c.property;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST_F(FormStreamsTest, SkippedBadValuesKeepTheStreamInStep) {
  const std::string text =
      "object Form1: TFsForm\n"
      "  object Part1: TFsPart\n"
      "    Count = (1 2 <item X = 1 end>)\n"
      "    Options = [foBold, foNone, foItalic]\n"
      "    Caption = 'kept'\n"
      "  end\n"
      "end\n";
  int errors = 0;
  auto root = ReadRoot(
      TextToBinary(text),
      TReaderError::FromFunction([&](TReader*, const String&, bool& handled) {
        ++errors;
        handled = true;
      }));
  EXPECT_EQ(errors, 2);
  auto* part = dynamic_cast<TFsPart*>(root->FindComponent("Part1"));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->Caption, "kept");
}

TEST_F(FormStreamsTest, ReadingACollectionAgainDropsReferencesOfOldItems) {
  const std::string text =
      "object Form1: TFsForm\n"
      "  object Part1: TFsPart\n"
      "    Items = <item Link = Part1 end>\n"
      "    Items = <item Caption = 'b' end>\n"
      "  end\n"
      "end\n";
  auto root = ReadRoot(TextToBinary(text));
  auto* part = dynamic_cast<TFsPart*>(root->FindComponent("Part1"));
  ASSERT_EQ(part->GetItems()->Count(), 1);
  EXPECT_EQ(part->GetItems()->Item<TFsItem>(0)->Link, nullptr);
}

TEST_F(FormStreamsTest, UnknownClassRaisesAndFreesWhatWasCreated) {
  const std::string text =
      "object Form1: TFsForm\n  object X: TNoSuchClass\n  end\nend\n";
  EXPECT_THROW(ReadRoot(TextToBinary(text)), EClassNotFound);
}

// ---------------------------------------------------------------------------
// Corrupt binary streams
// ---------------------------------------------------------------------------

void ExpectReadError(const std::string& binary, const std::string& what) {
  try {
    ToText(binary);
    ADD_FAILURE() << "text: no error for " << what;
  } catch (const EReadError&) {
  }
  try {
    ReadRoot(binary);
    ADD_FAILURE() << "objects: no error for " << what;
  } catch (const EReadError&) {
  }
}

TEST_F(FormStreamsTest, EveryTruncationRaisesEReadError) {
  const std::string binary = TextToBinary(kFormText);
  for (std::size_t n = 0; n < binary.size(); ++n) {
    ExpectReadError(binary.substr(0, n), "length " + std::to_string(n));
  }
}

TEST_F(FormStreamsTest, CorruptValueTypesAndHugeLengthsRaiseEReadError) {
  const std::string head = "TPF0" + Bytes({7}) + "TFsForm" + Bytes({1, 'F'}) +
                           Bytes({7}) + "Caption";
  struct Case {
    const char* what;
    std::string value;
  } cases[] = {
      {"unknown value type", Bytes({0x42, 0, 0})},
      {"huge long string", Bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0, 0})},
      {"negative long string", Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0})},
      {"huge wide string", Bytes({18, 0xFF, 0xFF, 0xFF, 0x3F, 'a', 0, 0})},
      {"huge binary", Bytes({10, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0})},
      {"huge UTF-8", Bytes({20, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0})},
  };
  for (const Case& c : cases) ExpectReadError(head + c.value, c.what);
  ExpectReadError("TPF1" + head.substr(4) + Bytes({6, 0, 0, 0}),
                  "bad signature");
}

TEST_F(FormStreamsTest, HugeBinaryPropertyLengthIsRefusedBeforeAllocating) {
  std::string binary = TextToBinary(kFormText);
  // Point the Blob's length at 2 GB.
  const std::string marker = Bytes({4}) + "Blob" + Bytes({10, 4, 0, 0, 0});
  const std::size_t at = binary.find(marker);
  ASSERT_NE(at, std::string::npos);
  binary[at + 6] = 0;
  binary[at + 9] = 0x7F;
  ExpectReadError(binary, "huge blob");
}

TEST_F(FormStreamsTest, DeepNestingRaisesEReadError) {
  const std::string head = "TPF0" + Bytes({7}) + "TFsForm" + Bytes({1, 'F'}) +
                           Bytes({7}) + "Caption";
  ExpectReadError(head + std::string(100000, '\x01'), "nested lists");
  std::string objects = "TPF0";
  for (int i = 0; i < 100000; ++i) {
    objects += Bytes({7}) + "TFsPart" + Bytes({0, 0});
  }
  ExpectReadError(objects, "nested objects");
}

class TLongNamed : public TComponent {
  VARNEL_CLASS(TLongNamed, TComponent)
 public:
  explicit TLongNamed(TComponent* owner) : TComponent(owner) {}
  Integer Value = 0;
};

// A property name's length byte comes where a value type could: a name of
// more than twenty characters must not read as a broken value.
TEST(FormStreamsReader, PropertyNamesOfAnyLength) {
  TPublished<TLongNamed>().Field("AVeryLongPropertyNameIndeed",
                                 &TLongNamed::Value, 0);
  TLongNamed source(nullptr);
  source.Value = 42;
  TMemoryStream stream;
  WriteComponentToStream(stream, &source);
  stream.SetPosition(0);
  TLongNamed target(nullptr);
  ReadComponentFromStream(stream, &target);
  UnpublishClass(TLongNamed::StaticClass());
  EXPECT_EQ(42, target.Value);
}

}  // namespace
