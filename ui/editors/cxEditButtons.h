// Buttons embedded in an editor's frame (the ellipsis of a button edit, the
// arrow of a combo box, text and glyph buttons) and the vocabulary of the
// edit style. The buttons are settings owned by an editor's properties;
// every calculation turns them into button view infos. Windows only.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "cxClasses.h"

enum TcxEditButtonKind : Byte { bkEllipsis, bkDown, bkGlyph, bkText };
enum TcxEditButtonStyle : Byte {
  btsDefault,
  bts3D,
  btsFlat,
  btsSimple,
  btsHotFlat,
  btsUltraFlat,
  btsOffice11
};
enum TcxEditButtonTransparency : Byte {
  ebtNone,
  ebtInactive,
  ebtAlways,
  ebtHideInactive,
  ebtHideUnselected
};
enum TcxEditBorderStyle : Byte {
  ebsNone,
  ebsSingle,
  ebsThick,
  ebsFlat,
  ebs3D,
  ebsUltraFlat,
  ebsOffice11
};
enum TcxEditPopupBorderStyle : Byte {
  epbsDefault,
  epbsSingle,
  epbsFrame3D,
  epbsFlat
};
// The dirLeft to dirDown part of TcxDirection.
using TcxEditGradientDirection = TcxDirection;

class TcxEditButtons;

class TcxEditButton : public TCollectionItem {
  VARNEL_CLASS(TcxEditButton, TCollectionItem)
 public:
  // construction
  explicit TcxEditButton(TCollection* Collection);
  ~TcxEditButton() override;

  // properties
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  // The caption without accelerator marks.
  const String& VisibleCaption() const { return visibleCaption_; }
  TAlignment ContentAlignment() const { return contentAlignment_; }
  void SetContentAlignment(TAlignment Value);
  bool Default() const { return default_; }
  // Only one button of a collection is the default one.
  void SetDefault(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Made on first read; a change of the bitmap is a change of the button.
  TBitmap* Glyph();
  bool HasGlyph() const { return glyph_ != nullptr; }
  // Null frees the bitmap; anything else is copied into it.
  void SetGlyph(TBitmap* Value);
  TcxEditButtonKind Kind() const { return kind_; }
  void SetKind(TcxEditButtonKind Value);
  bool LeftAlignment() const { return leftAlignment_; }
  void SetLeftAlignment(bool Value);
  bool Stretchable() const { return stretchable_; }
  void SetStretchable(bool Value);
  Integer Tag() const { return tag_; }
  void SetTag(Integer Value) { tag_ = Value; }
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // 0 is the default width; a negative width is ignored.
  Integer Width() const { return width_; }
  void SetWidth(Integer Value);

  // methods
  void Assign(TPersistent* Source) override;

 private:
  TcxEditButtons* Buttons() const;
  void GlyphChanged(TObject* Sender);
  void AssignButton(TcxEditButton* source);

  String caption_;
  TAlignment contentAlignment_ = taCenter;
  bool default_ = false;
  bool enabled_ = true;
  TObjectPtr<TBitmap> glyph_;
  TcxEditButtonKind kind_ = bkDown;
  bool leftAlignment_ = false;
  bool stretchable_ = true;
  Integer tag_ = 0;
  TColor textColor_ = clBtnText;
  bool visible_ = true;
  String visibleCaption_;
  Integer width_ = 0;
};

class TcxEditButtons : public TCollection {
  VARNEL_CLASS(TcxEditButtons, TCollection)
 public:
  // construction
  TcxEditButtons(TPersistent* AOwner, TClass AButtonClass);
  explicit TcxEditButtons(TPersistent* AOwner = nullptr)
      : TcxEditButtons(AOwner, GetButtonClass()) {}

  // properties
  TPersistent* GetOwner() override { return owner_; }
  TcxEditButton* Items(Integer Index) const {
    return static_cast<TcxEditButton*>(TCollection::Items(Index));
  }
  void SetItems(Integer Index, TcxEditButton* Value) { SetItem(Index, Value); }
  Integer GetVisibleCount() const;
  // Told of every change of the collection or one of its buttons.
  TNotifyEvent OnChange;

  // methods
  TcxEditButton* Add() {
    return static_cast<TcxEditButton*>(TCollection::Add());
  }

  // overridables
  static TClass GetButtonClass() { return TcxEditButton::StaticClass(); }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TPersistent* owner_;
};
