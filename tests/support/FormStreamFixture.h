// Test classes for form streams, shared by the tests and the fuzzer: one
// published property of every kind, a sub-object, a collection, a component
// reference, an event and defined properties.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"
#include "FormStreams.h"
#include "TypInfo.h"
#include "Variants.h"

enum TFsAlign { faNone, faTop, faBottom, faClient };
enum TFsOption { foBold, foItalic, foUnderline };
using TFsOptions = TSet<TFsOption>;

class TFsFont : public TPersistent {
  VARNEL_CLASS(TFsFont, TPersistent)
 public:
  String Name;
  Integer Size = 0;
  TFsOptions Style;
};

class TFsItem : public TCollectionItem {
  VARNEL_CLASS(TFsItem, TCollectionItem)
 public:
  explicit TFsItem(TCollection* c) : TCollectionItem(c) {}
  String Caption;
  Integer Width = 0;
  TComponent* Link = nullptr;
};

class TFsPart : public TComponent {
  VARNEL_CLASS(TFsPart, TComponent)
 public:
  explicit TFsPart(TComponent* owner)
      : TComponent(owner),
        font_(new TFsFont),
        items_(new TCollection(TFsItem::StaticClass())) {}

  TFsFont* GetFont() const { return font_.get(); }
  TCollection* GetItems() const { return items_.get(); }

  Integer Count = 0;
  char Letter = 0;
  TFsAlign Align = faNone;
  bool Enabled = true;
  TFsOptions Options;
  double Ratio = 0;
  float Scale = 0;
  Currency Price;
  Int64 Big = 0;
  String Caption;
  WideString Title;
  Variant Data;
  TComponent* Buddy = nullptr;
  TNotifyEvent OnClick;
  std::vector<Integer> Extra;
  std::string Blob;

  void DefineProperties(TFiler* filer) override {
    inherited::DefineProperties(filer);
    filer->DefineProperty("Extra", TReaderProc(this, &TFsPart::ReadExtra),
                          TWriterProc(this, &TFsPart::WriteExtra),
                          !Extra.empty());
    filer->DefineBinaryProperty("Blob", TStreamProc(this, &TFsPart::ReadBlob),
                                TStreamProc(this, &TFsPart::WriteBlob),
                                !Blob.empty());
  }

  int LoadedCalls = 0;
  TComponent* BuddyAtLoaded = nullptr;
  void Loaded() override {
    inherited::Loaded();
    ++LoadedCalls;
    BuddyAtLoaded = Buddy;
  }

 private:
  void ReadExtra(TReader* r) {
    r->ReadListBegin();
    while (!r->EndOfList()) Extra.push_back(r->ReadInteger());
    r->ReadListEnd();
  }
  void WriteExtra(TWriter* w) {
    w->WriteListBegin();
    for (Integer v : Extra) w->WriteInteger(v);
    w->WriteListEnd();
  }
  void ReadBlob(TStream* s) {
    Blob.assign(static_cast<std::size_t>(s->Size()), '\0');
    s->ReadBuffer(Blob.data(), static_cast<Integer>(Blob.size()));
  }
  void WriteBlob(TStream* s) {
    s->WriteBuffer(Blob.data(), static_cast<Integer>(Blob.size()));
  }

  TObjectPtr<TFsFont> font_;
  TObjectPtr<TCollection> items_;
};

class TFsForm : public TComponent {
  VARNEL_CLASS(TFsForm, TComponent)
 public:
  explicit TFsForm(TComponent* owner) : TComponent(owner) {}
  String Caption;
  int Clicks = 0;
  void DoClick(TObject*) { ++Clicks; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    (void)root;
    for (Integer i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};

// Publishes the classes and registers them by name; safe to call again.
void RegisterTestClasses();
