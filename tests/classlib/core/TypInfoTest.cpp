#include <gtest/gtest.h>

#include "Classes.h"
#include "TypInfo.h"
#include "Variants.h"

namespace {

enum TShade { shNone, shLight, shDark };
using TShades = TSet<TShade>;

class TPen2 : public TPersistent {
  VARNEL_CLASS(TPen2, TPersistent)
 public:
  Integer Width = 1;
};

class TWidget : public TComponent {
  VARNEL_CLASS(TWidget, TComponent)
 public:
  using TComponent::TComponent;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& v) { caption_ = v; }
  TShade Shade() const { return shade_; }
  void SetShade(TShade v) { shade_ = v; }
  Integer Sides(Integer index) const { return sides_[index]; }
  void SetSides(Integer index, Integer v) { sides_[index] = v; }
  bool IsWidthStored() const { return Width != 7; }

  Integer Width = 7;
  bool Visible = true;
  char Accel = 'a';
  char16_t WAccel = u'b';
  double Ratio = 0.5;
  Currency Price;
  Int64 Big = 0;
  WideString Wide;
  TShades Shades{shLight};
  TPen2* Pen = &pen_;
  TComponent* Buddy = nullptr;
  TNotifyEvent OnClick;
  TClosure<Integer(Integer)> OnMeasure;
  Variant Value;
  Integer Clicks = 0;

  void WidgetClick(TObject*) { ++Clicks; }
  Integer Measure(Integer x) { return x * 2; }

 private:
  String caption_;
  TShade shade_ = shNone;
  Integer sides_[2] = {0, 0};
  TPen2 pen_;
};

class TBigWidget : public TWidget {
  VARNEL_CLASS(TBigWidget, TWidget)
 public:
  using TWidget::TWidget;
  Integer Extra = 0;
  void OtherClick(TObject*) { Clicks += 10; }
};

void Publish() {
  RegisterEnum<TShade>("TShade", {"shNone", "shLight", "shDark"});
  RegisterTypeName<TShades>("TShades");
  TPublished<TPen2>().Field("Width", &TPen2::Width, 1);
  TPublished<TWidget>()
      .Property("Caption", &TWidget::Caption, &TWidget::SetCaption)
      .Property("Shade", &TWidget::Shade, &TWidget::SetShade, shNone)
      .IndexedProperty("Left", 0, &TWidget::Sides, &TWidget::SetSides)
      .IndexedProperty("Right", 1, &TWidget::Sides, &TWidget::SetSides)
      .Field("Width", &TWidget::Width)
      .Stored(&TWidget::IsWidthStored)
      .Field("Visible", &TWidget::Visible, true)
      .Field("Accel", &TWidget::Accel)
      .Field("WAccel", &TWidget::WAccel)
      .Field("Ratio", &TWidget::Ratio)
      .Field("Price", &TWidget::Price)
      .Field("Big", &TWidget::Big)
      .Field("Wide", &TWidget::Wide)
      .Field("Shades", &TWidget::Shades, TShades{shLight})
      .Property("Pen", &TWidget::Pen)
      .Field("Buddy", &TWidget::Buddy)
      .Event("OnClick", &TWidget::OnClick, &TWidget::OnClick)
      .Event("OnMeasure", &TWidget::OnMeasure, &TWidget::OnMeasure)
      .Field("Value", &TWidget::Value)
      .Method("WidgetClick", &TWidget::WidgetClick)
      .Method("Measure", &TWidget::Measure);
  TPublished<TBigWidget>()
      .Field("Extra", &TBigWidget::Extra)
      .Field("Width", &TBigWidget::Width, 3)
      .Method("OtherClick", &TBigWidget::OtherClick);
}

class TypInfoTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { Publish(); }
  TWidget w{nullptr};
};

TEST_F(TypInfoTest, KindsAreDeducedFromTheGetter) {
  struct Case {
    const char* name;
    TTypeKind kind;
    const char* typeName;
  };
  const Case cases[] = {
      {"Name", tkLString, "AnsiString"},
      {"Tag", tkInteger, "Integer"},
      {"Caption", tkLString, "AnsiString"},
      {"Shade", tkEnumeration, "TShade"},
      {"Left", tkInteger, "Integer"},
      {"Visible", tkEnumeration, "Boolean"},
      {"Accel", tkChar, "Char"},
      {"WAccel", tkWChar, "WideChar"},
      {"Ratio", tkFloat, "Double"},
      {"Price", tkFloat, "Currency"},
      {"Big", tkInt64, "Int64"},
      {"Wide", tkWString, "WideString"},
      {"Shades", tkSet, "TShades"},
      {"Pen", tkClass, "TPen2"},
      {"Buddy", tkClass, "TComponent"},
      {"OnClick", tkMethod, "TNotifyEvent"},
      {"Value", tkVariant, "Variant"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PPropInfo p = GetPropInfo(&w, c.name);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Kind(), c.kind);
    EXPECT_EQ(p->PropType->Name, c.typeName);
  }
  EXPECT_EQ(GetPropInfo(&w, "Price")->PropType->FloatType, ftCurr);
  EXPECT_EQ(GetPropInfo(&w, "Shades")->PropType->CompType, TypeInfo<TShade>());
  EXPECT_EQ(GetObjectPropClass(GetPropInfo(&w, "Pen")), TPen2::StaticClass());
}

TEST_F(TypInfoTest, LookupIgnoresCaseAndUnknownNamesRaise) {
  EXPECT_EQ(GetPropInfo(&w, "caPTION"), GetPropInfo(&w, "Caption"));
  EXPECT_EQ(GetPropInfo(&w, "Nope"), nullptr);
  try {
    GetOrdProp(&w, "Nope");
    FAIL() << "no exception";
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Unknown property: 'Nope'");
  }
}

TEST_F(TypInfoTest, ListIsDeclarationOrderParentFirstAndRepublishKeepsPlace) {
  TBigWidget b(nullptr);
  TPropList list = GetPropList(&b);
  std::vector<String> names;
  for (PPropInfo p : list) names.push_back(p->Name);
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_EQ(names[2], "Caption");
  EXPECT_EQ(names.back(), "Extra");
  EXPECT_EQ(std::count(names.begin(), names.end(), "Width"), 1);
  // The descendant's re-published Width (new default) sits where the
  // inherited one was.
  PPropInfo width = GetPropInfo(&b, "Width");
  EXPECT_EQ(width->OwnerClass, TBigWidget::StaticClass());
  EXPECT_EQ(width->Default, 3);
  EXPECT_EQ(list[6], width);

  TPropList methods = GetPropList(&b, tkMethods);
  ASSERT_EQ(methods.size(), 2u);
  EXPECT_EQ(methods[0]->Name, "OnClick");
  EXPECT_EQ(GetPropList(&b, tkProperties).size(), list.size() - 2);
}

TEST_F(TypInfoTest, OrdinalEnumAndSetAccess) {
  SetOrdProp(&w, "Width", 42);
  EXPECT_EQ(w.Width, 42);
  EXPECT_EQ(GetOrdProp(&w, "Width"), 42);
  SetOrdProp(&w, "Right", 9);
  EXPECT_EQ(w.Sides(1), 9);
  EXPECT_EQ(GetOrdProp(&w, "Left"), 0);

  SetEnumProp(&w, "Shade", "SHDARK");
  EXPECT_EQ(w.Shade(), shDark);
  EXPECT_EQ(GetEnumProp(&w, "Shade"), "shDark");
  SetEnumProp(&w, "Visible", "False");
  EXPECT_FALSE(w.Visible);
  EXPECT_EQ(GetEnumProp(&w, "Visible"), "False");
  try {
    SetEnumProp(&w, "Shade", "shPurple");
    FAIL() << "no exception";
  } catch (const EPropertyConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid property element: shPurple");
  }
  EXPECT_EQ(w.Shade(), shDark);

  SetSetProp(&w, "Shades", "[shNone, shDark]");
  EXPECT_EQ(w.Shades, (TShades{shNone, shDark}));
  EXPECT_EQ(GetSetProp(&w, "Shades"), "shNone,shDark");
  EXPECT_EQ(GetSetProp(&w, "Shades", true), "[shNone,shDark]");
  EXPECT_THROW(SetSetProp(&w, "Shades", "[shNone,shBogus]"),
               EPropertyConvertError);
  EXPECT_EQ(w.Shades, (TShades{shNone, shDark}));

  SetOrdProp(&w, "Accel", 'Z');
  EXPECT_EQ(w.Accel, 'Z');
}

TEST_F(TypInfoTest, SetTextTable) {
  struct Case {
    const char* text;
    UInt64 mask;
  };
  const Case cases[] = {
      {"", 0},
      {"[]", 0},
      {"shLight", 2},
      {"[shDark]", 4},
      {" [ shNone , shDark ] ", 5},
      {"shdark,SHNONE", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(static_cast<UInt64>(StringToSet(TypeInfo<TShades>(), c.text)),
              c.mask);
  }
  EXPECT_EQ(SetToString(TShades{}), "");
  EXPECT_EQ(SetToString(TShades{shDark, shNone}, true), "[shNone,shDark]");
  // Bits past the names have no text.
  EXPECT_EQ(SetToString(TypeInfo<TShades>(), 0x1F), "shNone,shLight,shDark");
  EXPECT_EQ(GetEnumName(shLight), "shLight");
  EXPECT_EQ(GetEnumName(TypeInfo<TShade>(), 7), "");
  EXPECT_EQ(GetEnumValue(TypeInfo<TShade>(), "SHLIGHT"), 1);
  EXPECT_EQ(GetEnumValue(TypeInfo<TShade>(), "x"), -1);
  EXPECT_EQ(GetEnumValue(TypeInfo<bool>(), "true"), 1);
}

TEST_F(TypInfoTest, StringFloatInt64WideAndVariant) {
  SetStrProp(&w, "Caption", "Hello");
  EXPECT_EQ(w.Caption(), "Hello");
  EXPECT_EQ(GetStrProp(&w, "caption"), "Hello");
  SetFloatProp(&w, "Ratio", 2.25);
  EXPECT_DOUBLE_EQ(w.Ratio, 2.25);
  SetFloatProp(&w, "Price", 12.3456);
  EXPECT_EQ(w.Price.Value, 123456);
  EXPECT_EQ(GetFloatProp(&w, "Price"), 12.3456L);
  SetInt64Prop(&w, "Big", INT64_C(1) << 40);
  EXPECT_EQ(GetInt64Prop(&w, "Big"), INT64_C(1) << 40);
  SetWideStrProp(&w, GetPropInfo(&w, "Wide"), u"\u00e9t\u00e9");
  EXPECT_EQ(w.Wide, u"\u00e9t\u00e9");
  SetVariantProp(&w, GetPropInfo(&w, "Value"), Variant(5));
  Variant v;
  GetVariantProp(&w, GetPropInfo(&w, "Value"), v);
  EXPECT_EQ(VarType(v), VarType(Variant(5)));
}

TEST_F(TypInfoTest, WrongKindAndReadOnlyRaise) {
  EXPECT_THROW(GetOrdProp(&w, "Caption"), EPropertyError);
  EXPECT_THROW(GetStrProp(&w, "Width"), EPropertyError);
  EXPECT_THROW(SetObjectProp(&w, "Pen", nullptr), EPropertyError);  // no setter
  EXPECT_FALSE(GetPropInfo(&w, "Pen")->Writable());
  EXPECT_TRUE(GetPropInfo(&w, "Buddy")->Writable());
}

TEST_F(TypInfoTest, ObjectPropertiesCheckTheClass) {
  EXPECT_EQ(GetObjectProp(&w, "Pen"), w.Pen);
  EXPECT_EQ(GetObjectProp(&w, "Pen", TComponent::StaticClass()), nullptr);
  TComponent other(nullptr);
  SetObjectProp(&w, "Buddy", &other);
  EXPECT_EQ(w.Buddy, &other);
  TPen2 notAComponent;
  EXPECT_THROW(SetObjectProp(&w, "Buddy", &notAComponent), EPropertyError);
  EXPECT_EQ(w.Buddy, &other);
}

TEST_F(TypInfoTest, StoredAndDefaults) {
  EXPECT_FALSE(IsStoredProp(&w, "Width"));  // 7 is the "unstored" value
  w.Width = 8;
  EXPECT_TRUE(IsStoredProp(&w, "Width"));
  EXPECT_FALSE(IsStoredProp(&w, "Name"));
  EXPECT_TRUE(IsStoredProp(&w, "Caption"));
  EXPECT_EQ(GetPropInfo(&w, "Visible")->Default, 1);
  EXPECT_EQ(GetPropInfo(&w, "Shades")->Default, 2);
  EXPECT_EQ(GetPropInfo(&w, "Caption")->Default, NoDefault);
  EXPECT_EQ(GetPropInfo(&w, "Tag")->Default, 0);
}

TEST_F(TypInfoTest, EventsBindByNameAndNameBack) {
  TMethod m = MethodAddress(&w, "widgetclick");
  ASSERT_TRUE(m.Assigned());
  SetMethodProp(&w, "OnClick", m);
  w.OnClick(&w);
  EXPECT_EQ(w.Clicks, 1);
  EXPECT_EQ(MethodName(&w, GetMethodProp(&w, "OnClick")), "WidgetClick");
  EXPECT_EQ(GetMethodProp(&w, "OnClick"), m);

  // A handler of another signature is refused and the event keeps its
  // value.
  EXPECT_THROW(SetMethodProp(&w, "OnClick", MethodAddress(&w, "Measure")),
               EPropertyError);
  EXPECT_EQ(MethodName(&w, GetMethodProp(&w, "OnClick")), "WidgetClick");
  SetMethodProp(&w, "OnMeasure", MethodAddress(&w, "Measure"));
  EXPECT_EQ(w.OnMeasure(21), 42);

  // Methods of another object, or not published, have no name here.
  TWidget other(nullptr);
  TMethod foreign = TNotifyEvent(&other, &TWidget::WidgetClick);
  EXPECT_EQ(MethodName(&w, foreign), "");
  EXPECT_EQ(MethodName(&w, TMethod()), "");
  EXPECT_FALSE(MethodAddress(&w, "NoSuch").Assigned());

  // Inherited published methods are found on descendants.
  TBigWidget b(nullptr);
  EXPECT_TRUE(MethodAddress(&b, "WidgetClick").Assigned());
  SetMethodProp(&b, "OnClick", MethodAddress(&b, "OtherClick"));
  EXPECT_EQ(MethodName(&b, GetMethodProp(&b, "OnClick")), "OtherClick");
  SetMethodProp(&b, "OnClick", TMethod());
  EXPECT_FALSE(b.OnClick.Assigned());
}

TEST(TSetTest, Operations) {
  TShades s{shNone};
  s.Include(shDark);
  EXPECT_TRUE(s.Contains(shDark));
  EXPECT_FALSE(s.Contains(shLight));
  EXPECT_EQ(s.ToInt(), 5u);
  EXPECT_EQ(s - TShades{shNone}, TShades{shDark});
  EXPECT_EQ(s * (TShades{shDark, shLight}), TShades{shDark});
  EXPECT_EQ(s + TShades{shLight}, TShades::FromInt(7));
  EXPECT_TRUE(TShades{shDark} <= s);
  EXPECT_FALSE(s <= TShades{shDark});
  s.Exclude(shNone).Exclude(shDark);
  EXPECT_TRUE(s.Empty());
}

class TLateWidget : public TComponent {
  VARNEL_CLASS(TLateWidget, TComponent)
 public:
  using TComponent::TComponent;
  bool IsSizeStored() const { return Size != 5; }
  void Click(TObject*) {}
  Integer Size = 0;
  Integer Depth = 0;
};

class TLaterWidget : public TLateWidget {
  VARNEL_CLASS(TLaterWidget, TLateWidget)
 public:
  using TLateWidget::TLateWidget;
  Integer Extra = 0;
};

std::vector<String> PropNames(TClass cls) {
  std::vector<String> names;
  for (PPropInfo p : GetPropInfos(cls)) names.push_back(p->Name);
  return names;
}

// What a unit publishes is bound when the class is first looked up; a
// lookup of a descendant binds its ancestors', and what is published after
// a lookup shows at the next one.
TEST(TypInfoPublishingTest, TakesEffectAtTheLookupThatNeedsIt) {
  TPublished<TLateWidget>()
      .Field("Size", &TLateWidget::Size, 4)
      .Stored(&TLateWidget::IsSizeStored);
  TPublished<TLaterWidget>().Field("Extra", &TLaterWidget::Extra);
  TLaterWidget w(nullptr);
  PPropInfo size = GetPropInfo(&w, "Size");
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->OwnerClass, TLateWidget::StaticClass());
  EXPECT_EQ(size->Default, 4);
  w.Size = 5;
  EXPECT_FALSE(IsStoredProp(&w, size));
  EXPECT_EQ(PropNames(TLaterWidget::StaticClass()),
            (std::vector<String>{"Name", "Tag", "Size", "Extra"}));
  EXPECT_EQ(GetPropInfo(&w, "Depth"), nullptr);

  TPublished<TLateWidget>().Field("Depth", &TLateWidget::Depth);
  EXPECT_NE(GetPropInfo(&w, "Depth"), nullptr);
  // Publishing a name again replaces it in place.
  TPublished<TLateWidget>().Field("Size", &TLateWidget::Size, 9);
  EXPECT_EQ(GetPropInfo(&w, "Size"), size);
  EXPECT_EQ(size->Default, 9);
  EXPECT_EQ(PropNames(TLaterWidget::StaticClass()),
            (std::vector<String>{"Name", "Tag", "Size", "Depth", "Extra"}));

  UnpublishClass(TLaterWidget::StaticClass());
  UnpublishClass(TLateWidget::StaticClass());
  EXPECT_EQ(GetPropInfo(&w, "Size"), nullptr);
}

TEST(TypInfoPublishingTest, QualifyingNoPropertyRaisesWhenPublished) {
  EXPECT_THROW(TPublished<TLateWidget>().Default(1), EPropertyError);
  EXPECT_THROW(TPublished<TLateWidget>().Stored(false), EPropertyError);
  EXPECT_THROW(TPublished<TLateWidget>().Stored(&TLateWidget::IsSizeStored),
               EPropertyError);
  // Not even a published method counts as a property to qualify.
  EXPECT_THROW(
      TPublished<TLateWidget>().Method("Click", &TLateWidget::Click).Default(1),
      EPropertyError);
  // A class unpublished before any lookup loses what was waiting.
  TPublished<TLateWidget>().Field("Size", &TLateWidget::Size).Stored(false);
  UnpublishClass(TLateWidget::StaticClass());
  TLateWidget w(nullptr);
  EXPECT_EQ(GetPropInfo(&w, "Size"), nullptr);
  EXPECT_FALSE(MethodAddress(&w, "Click").Assigned());
}

}  // namespace
