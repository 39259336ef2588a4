#include "FormStreamFixture.h"

void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterEnum<TFsAlign>("TFsAlign",
                         {"faNone", "faTop", "faBottom", "faClient"});
  RegisterEnum<TFsOption>("TFsOption", {"foBold", "foItalic", "foUnderline"});
  TPublished<TFsFont>()
      .Field("Name", &TFsFont::Name)
      .Field("Size", &TFsFont::Size, 0)
      .Field("Style", &TFsFont::Style, TFsOptions{});
  TPublished<TFsItem>()
      .Field("Caption", &TFsItem::Caption)
      .Field("Width", &TFsItem::Width, 0)
      .Field("Link", &TFsItem::Link);
  TPublished<TFsPart>()
      .Field("Count", &TFsPart::Count, 0)
      .Field("Letter", &TFsPart::Letter, 0)
      .Field("Align", &TFsPart::Align, faNone)
      .Field("Enabled", &TFsPart::Enabled, true)
      .Field("Options", &TFsPart::Options, TFsOptions{})
      .Field("Ratio", &TFsPart::Ratio)
      .Field("Scale", &TFsPart::Scale)
      .Field("Price", &TFsPart::Price)
      .Field("Big", &TFsPart::Big)
      .Field("Caption", &TFsPart::Caption)
      .Field("Title", &TFsPart::Title)
      .Field("Data", &TFsPart::Data)
      .Property("Font", &TFsPart::GetFont)
      .Property("Items", &TFsPart::GetItems)
      .Field("Buddy", &TFsPart::Buddy)
      .Field("OnClick", &TFsPart::OnClick);
  TPublished<TFsForm>()
      .Field("Caption", &TFsForm::Caption)
      .Method("DoClick", &TFsForm::DoClick);
  RegisterClasses(
      {TFsForm::StaticClass(), TFsPart::StaticClass(), TFsItem::StaticClass()});
}
