#include "cxEditButtons.h"

#include "ScopeGuard.h"
#include "WinApi.h"
#include "cxControls.h"

// ---------------------------------------------------------------------------
// TcxEditButton
// ---------------------------------------------------------------------------

// The collection reports a new button once it is whole, in one change.
TcxEditButton::TcxEditButton(TCollection* Collection)
    : TCollectionItem(Collection) {}

TcxEditButton::~TcxEditButton() = default;

TcxEditButtons* TcxEditButton::Buttons() const {
  return dynamic_cast<TcxEditButtons*>(Collection());
}

void TcxEditButton::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  visibleCaption_ = RemoveAccelChars(Value);
  Changed(false);
}

void TcxEditButton::SetContentAlignment(TAlignment Value) {
  if (contentAlignment_ == Value) return;
  contentAlignment_ = Value;
  Changed(false);
}

void TcxEditButton::SetDefault(bool Value) {
  if (default_ == Value) return;
  if (Value && Collection()) {
    for (Integer i = 0; i < Collection()->Count(); ++i)
      static_cast<TcxEditButton*>(Collection()->Items(i))->default_ = false;
  }
  default_ = Value;
  Changed(true);
}

void TcxEditButton::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Changed(false);
}

TBitmap* TcxEditButton::Glyph() {
  if (!glyph_) {
    glyph_.reset(new TBitmap());
    glyph_->OnChange = TNotifyEvent(this, &TcxEditButton::GlyphChanged);
  }
  return glyph_.get();
}

void TcxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value)
    glyph_.reset();
  else
    Glyph()->Assign(Value);
  Changed(false);
}

void TcxEditButton::GlyphChanged(TObject*) { Changed(false); }

void TcxEditButton::SetKind(TcxEditButtonKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(bool Value) {
  if (leftAlignment_ == Value) return;
  leftAlignment_ = Value;
  Changed(false);
}

void TcxEditButton::SetStretchable(bool Value) {
  if (stretchable_ == Value) return;
  stretchable_ = Value;
  Changed(false);
}

void TcxEditButton::SetTextColor(TColor Value) {
  if (textColor_ == Value) return;
  textColor_ = Value;
  Changed(false);
}

void TcxEditButton::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed(false);
}

void TcxEditButton::SetWidth(Integer Value) {
  if (Value < 0 || width_ == Value) return;
  width_ = Value;
  Changed(false);
}

void TcxEditButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButton*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  if (TCollection* collection = Collection()) {
    auto update = MakeBracket(collection, &TCollection::BeginUpdate,
                              &TCollection::EndUpdate);
    AssignButton(source);
  } else {
    AssignButton(source);
  }
}

void TcxEditButton::AssignButton(TcxEditButton* source) {
  caption_ = source->caption_;
  visibleCaption_ = source->visibleCaption_;
  contentAlignment_ = source->contentAlignment_;
  SetDefault(source->default_);
  enabled_ = source->enabled_;
  SetGlyph(source->glyph_.get());
  kind_ = source->kind_;
  leftAlignment_ = source->leftAlignment_;
  stretchable_ = source->stretchable_;
  tag_ = source->tag_;
  textColor_ = source->textColor_;
  visible_ = source->visible_;
  width_ = source->width_;
  Changed(false);
}

// ---------------------------------------------------------------------------
// TcxEditButtons
// ---------------------------------------------------------------------------

TcxEditButtons::TcxEditButtons(TPersistent* AOwner, TClass AButtonClass)
    : TCollection(AButtonClass), owner_(AOwner) {}

Integer TcxEditButtons::GetVisibleCount() const {
  Integer result = 0;
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Visible()) ++result;
  return result;
}

void TcxEditButtons::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}
