// Form streams with arbitrary bytes: as a binary stream converted to text,
// as a binary stream read into a test root (and written back), and as a
// text form. The only acceptable outcomes are a result or an exception of
// the class library; crashes, sanitizer reports and hangs are faults.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Classes.h"
#include "FormStreams.h"
#include "TypInfo.h"
#include "Variants.h"

namespace {

enum TFzKind { fkNone, fkOne, fkTwo };
using TFzKinds = TSet<TFzKind>;

class TFzFont : public TPersistent {
  VARNEL_CLASS(TFzFont, TPersistent)
 public:
  String Name;
  Integer Size = 0;
};

class TFzItem : public TCollectionItem {
  VARNEL_CLASS(TFzItem, TCollectionItem)
 public:
  explicit TFzItem(TCollection* c) : TCollectionItem(c) {}
  String Caption;
  TComponent* Link = nullptr;
};

class TFzPart : public TComponent {
  VARNEL_CLASS(TFzPart, TComponent)
 public:
  explicit TFzPart(TComponent* owner)
      : TComponent(owner),
        font_(new TFzFont),
        items_(new TCollection(TFzItem::StaticClass())) {}
  TFzFont* GetFont() const { return font_.get(); }
  TCollection* GetItems() const { return items_.get(); }

  Integer Count = 0;
  char Letter = 0;
  TFzKind Kind = fkNone;
  bool Enabled = true;
  TFzKinds Kinds;
  double Ratio = 0;
  float Scale = 0;
  Currency Price;
  Int64 Big = 0;
  String Caption;
  WideString Title;
  Variant Data;
  TComponent* Buddy = nullptr;
  TNotifyEvent OnClick;
  std::string Blob;
  Integer Extra = 0;

  void DefineProperties(TFiler* filer) override {
    inherited::DefineProperties(filer);
    filer->DefineProperty("Extra", TReaderProc(this, &TFzPart::ReadExtra),
                          TWriterProc(this, &TFzPart::WriteExtra), Extra != 0);
    filer->DefineBinaryProperty("Blob", TStreamProc(this, &TFzPart::ReadBlob),
                                TStreamProc(this, &TFzPart::WriteBlob),
                                !Blob.empty());
  }

 private:
  void ReadExtra(TReader* r) { Extra = r->ReadInteger(); }
  void WriteExtra(TWriter* w) { w->WriteInteger(Extra); }
  void ReadBlob(TStream* s) {
    Blob.assign(static_cast<std::size_t>(s->Size()), '\0');
    s->ReadBuffer(Blob.data(), static_cast<Integer>(Blob.size()));
  }
  void WriteBlob(TStream* s) {
    s->WriteBuffer(Blob.data(), static_cast<Integer>(Blob.size()));
  }

  TObjectPtr<TFzFont> font_;
  TObjectPtr<TCollection> items_;
};

class TFzRoot : public TComponent {
  VARNEL_CLASS(TFzRoot, TComponent)
 public:
  explicit TFzRoot(TComponent* owner) : TComponent(owner) {}
  String Caption;
  void DoClick(TObject*) {}
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (Integer i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};

void RegisterFuzzClasses() {
  RegisterEnum<TFzKind>("TFzKind", {"fkNone", "fkOne", "fkTwo"});
  TPublished<TFzFont>()
      .Field("Name", &TFzFont::Name)
      .Field("Size", &TFzFont::Size, 0);
  TPublished<TFzItem>()
      .Field("Caption", &TFzItem::Caption)
      .Field("Link", &TFzItem::Link);
  TPublished<TFzPart>()
      .Field("Count", &TFzPart::Count, 0)
      .Field("Letter", &TFzPart::Letter, 0)
      .Field("Kind", &TFzPart::Kind, fkNone)
      .Field("Enabled", &TFzPart::Enabled, true)
      .Field("Kinds", &TFzPart::Kinds, TFzKinds{})
      .Field("Ratio", &TFzPart::Ratio)
      .Field("Scale", &TFzPart::Scale)
      .Field("Price", &TFzPart::Price)
      .Field("Big", &TFzPart::Big)
      .Field("Caption", &TFzPart::Caption)
      .Field("Title", &TFzPart::Title)
      .Field("Data", &TFzPart::Data)
      .Property("Font", &TFzPart::GetFont)
      .Property("Items", &TFzPart::GetItems)
      .Field("Buddy", &TFzPart::Buddy)
      .Field("OnClick", &TFzPart::OnClick);
  TPublished<TFzRoot>()
      .Field("Caption", &TFzRoot::Caption)
      .Method("DoClick", &TFzRoot::DoClick);
  RegisterClasses(
      {TFzRoot::StaticClass(), TFzPart::StaticClass(), TFzItem::StaticClass()});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  RegisterFuzzClasses();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // Binary to text, and the text back to binary.
  try {
    formstreams_detail::TMemorySource source(data, size);
    const std::string text = formstreams_detail::BinaryToText(source);
    formstreams_detail::TextToBinary(text);
  } catch (const Exception&) {
  }

  // Binary into a test root; whatever was read is written back.
  try {
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<Integer>(size));
    in.SetPosition(0);
    TFzRoot root(nullptr);
    ReadComponentFromStream(in, &root);
    TMemoryStream out;
    WriteComponentToStream(out, &root);
  } catch (const Exception&) {
  }

  // Binary creating its own root by class name.
  try {
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<Integer>(size));
    in.SetPosition(0);
    TObjectPtr<TComponent> root(ReadComponentFromStream(in, nullptr));
  } catch (const Exception&) {
  }

  // Text.
  try {
    formstreams_detail::TextToBinary(
        std::string(reinterpret_cast<const char*>(data), size));
  } catch (const Exception&) {
  }
  return 0;
}
