#include "cxStyles.h"

#include <algorithm>
#include <memory>

#include "FormStreams.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace {

std::unique_ptr<std::vector<TClass>> gStyleSheetClasses;

template <class T>
void AddOnce(std::vector<T*>& AList, T* AItem) {
  if (std::find(AList.begin(), AList.end(), AItem) == AList.end())
    AList.push_back(AItem);
}

template <class T>
void RemoveFrom(std::vector<T*>& AList, T* AItem) {
  auto it = std::find(AList.begin(), AList.end(), AItem);
  if (it != AList.end()) AList.erase(it);
}

template <class T>
Integer PositionOf(const std::vector<T*>& AList, const T* AItem) {
  auto it = std::find(AList.begin(), AList.end(), AItem);
  return it == AList.end() ? -1 : static_cast<Integer>(it - AList.begin());
}

// The published properties of a styles class that hold exactly a TcxStyle,
// in declaration order.
TPropList StyleProperties(TClass AStylesClass) {
  TPropList result;
  for (PPropInfo p : GetPropList(AStylesClass, TTypeKinds{tkClass}))
    if (GetObjectPropClass(p) == TcxStyle::StaticClass()) result.push_back(p);
  return result;
}

PPropInfo FindStyleProperty(TClass AStylesClass, const String& AName) {
  for (PPropInfo p : StyleProperties(AStylesClass))
    if (SameText(p->Name, AName)) return p;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomStyle

TcxCustomStyle::~TcxCustomStyle() {
  while (!listeners_.empty()) {
    const size_t before = listeners_.size();
    listeners_.back()->StyleRemoved(this);
    // A listener that does not leave would hold a dangling style.
    if (listeners_.size() == before) listeners_.pop_back();
  }
  SetStyleRepository(nullptr);
}

void TcxCustomStyle::Changed() {
  for (size_t i = listeners_.size(); i-- > 0;) {
    if (i < listeners_.size()) listeners_[i]->StyleChanged(this);
  }
}

void TcxCustomStyle::AddListener(IcxStyleChangeListener* AListener) {
  AddOnce(listeners_, AListener);
}

void TcxCustomStyle::RemoveListener(IcxStyleChangeListener* AListener) {
  RemoveFrom(listeners_, AListener);
}

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* Value) {
  if (repository_ == Value) return;
  if (repository_) repository_->RemoveItem(this);
  if (Value) Value->AddItem(this);
}

Integer TcxCustomStyle::Index() const {
  return repository_
             ? repository_->StyleIndexOf(const_cast<TcxCustomStyle*>(this))
             : -1;
}

TComponent* TcxCustomStyle::GetParentComponent() { return repository_; }

bool TcxCustomStyle::HasParent() { return repository_ != nullptr; }

void TcxCustomStyle::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Value))
    SetStyleRepository(repository);
}

void TcxCustomStyle::ReadState(TReader* Reader) {
  inherited::ReadState(Reader);
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->Parent()))
    SetStyleRepository(repository);
}

// ---------------------------------------------------------------------------
// TcxStyle

TcxStyle::TcxStyle(TComponent* AOwner)
    : TcxCustomStyle(AOwner), bitmap_(new TBitmap()), font_(new TFont()) {
  bitmap_->OnChange = TNotifyEvent(this, &TcxStyle::BitmapChanged);
  font_->OnChange = TNotifyEvent(this, &TcxStyle::FontChanged);
}

TcxStyle::~TcxStyle() {
  bitmap_->OnChange = nullptr;
  font_->OnChange = nullptr;
}

void TcxStyle::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxStyle*>(Source)) {
    SetBitmap(source->Bitmap());
    SetColor(source->Color());
    SetFont(source->Font());
    SetTextColor(source->TextColor());
    SetAssignedValues(source->AssignedValues());
  } else {
    inherited::Assign(Source);
  }
}

void TcxStyle::RestoreDefaults() {
  assignedValues_ = TcxStyleValues();
  bitmap_->OnChange = nullptr;
  bitmap_->Assign(nullptr);
  bitmap_->OnChange = TNotifyEvent(this, &TcxStyle::BitmapChanged);
  color_ = clDefault;
  textColor_ = clDefault;
  Changed();
}

void TcxStyle::ReadState(TReader* Reader) {
  inherited::ReadState(Reader);
  if (StyleRepository())
    font_->SetHeight(StyleRepository()->GetScaledValue(font_->Height()));
}

void TcxStyle::SetAssignedValues(TcxStyleValues Value) {
  if (assignedValues_ == Value) return;
  assignedValues_ = Value;
  Changed();
}

void TcxStyle::SetBitmap(TBitmap* Value) { bitmap_->Assign(Value); }

void TcxStyle::SetColor(TColor Value) {
  if (color_ == Value) return;
  color_ = Value;
  if (Value == clDefault)
    assignedValues_.Exclude(svColor);
  else
    assignedValues_.Include(svColor);
  Changed();
}

void TcxStyle::SetFont(TFont* Value) { font_->Assign(Value); }

void TcxStyle::SetTextColor(TColor Value) {
  if (textColor_ == Value) return;
  textColor_ = Value;
  if (Value == clDefault)
    assignedValues_.Exclude(svTextColor);
  else
    assignedValues_.Include(svTextColor);
  Changed();
}

void TcxStyle::BitmapChanged(TObject*) {
  if (bitmap_->Empty())
    assignedValues_.Exclude(svBitmap);
  else
    assignedValues_.Include(svBitmap);
  Changed();
}

void TcxStyle::FontChanged(TObject*) {
  assignedValues_.Include(svFont);
  Changed();
}

// ---------------------------------------------------------------------------
// TcxCustomStyles

TcxCustomStyles::~TcxCustomStyles() {
  destroying_ = true;
  Clear();
  SetStyleSheet(nullptr);
}

void* TcxCustomStyles::GetInterfaceFor(const TGUID& iid) {
  if (iid == IcxStyleChangeListener::IID)
    return static_cast<IcxStyleChangeListener*>(this);
  return inherited::GetInterfaceFor(iid);
}

void TcxCustomStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomStyles*>(Source))
    SetStyleSheet(source->StyleSheet());
  else
    inherited::Assign(Source);
}

bool TcxCustomStyles::Find(Integer AIndex, Integer& APosition) const {
  Integer low = 0;
  Integer high = Count() - 1;
  while (low <= high) {
    const Integer mid = low + (high - low) / 2;
    const Integer value = items_[static_cast<size_t>(mid)]->Index;
    if (value == AIndex) {
      APosition = mid;
      return true;
    }
    if (value < AIndex)
      low = mid + 1;
    else
      high = mid - 1;
  }
  APosition = low;
  return false;
}

TcxCustomStyle* TcxCustomStyles::GetValue(Integer AIndex) {
  Integer position;
  if (Find(AIndex, position)) return Items(position)->Style;
  if (!styleSheet_) return nullptr;
  // A form stream stores only what the slot itself holds.
  auto* owner = dynamic_cast<TComponent*>(GetOwner());
  if (owner && owner->ComponentState().Contains(csWriting)) return nullptr;
  return styleSheet_->Styles()->GetValue(AIndex);
}

void TcxCustomStyles::SetValue(Integer AIndex, TcxCustomStyle* AStyle) {
  if (AStyle && !AStyle->Name().empty()) {
    // On an inherited form the slot takes the form's own copy of the style.
    TPersistent* root = this;
    while (TPersistent* next = root->GetOwner()) root = next;
    auto* rootComponent = dynamic_cast<TComponent*>(root);
    TComponent* styleOwner = AStyle->Owner();
    if (rootComponent && styleOwner && rootComponent != styleOwner &&
        rootComponent->ClassType()->InheritsFrom(styleOwner->ClassType())) {
      if (auto* copy = dynamic_cast<TcxCustomStyle*>(
              rootComponent->FindComponent(AStyle->Name())))
        AStyle = copy;
    }
  }
  if (AStyle == GetValue(AIndex)) return;
  Integer position;
  if (Find(AIndex, position)) {
    TcxCustomStylesItem* item = Items(position);
    item->Style->RemoveListener(this);
    if (AStyle) {
      item->Style = AStyle;
      AStyle->AddListener(this);
    } else {
      items_.erase(items_.begin() + position);
    }
    DoChanged(AIndex);
  } else if (AStyle) {
    TObjectPtr<TcxCustomStylesItem> item(new TcxCustomStylesItem());
    item->Index = AIndex;
    item->Style = AStyle;
    items_.insert(items_.begin() + position, std::move(item));
    AStyle->AddListener(this);
    DoChanged(AIndex);
  }
}

void TcxCustomStyles::Delete(Integer APosition) {
  TcxCustomStylesItem* item = Items(APosition);
  const Integer index = item->Index;
  item->Style->RemoveListener(this);
  items_.erase(items_.begin() + APosition);
  DoChanged(index);
}

void TcxCustomStyles::Clear() {
  for (Integer i = Count() - 1; i >= 0; --i) Delete(i);
}

void TcxCustomStyles::ResetStyles() {
  for (Integer i = 0; i < Count(); ++i) SetValue(i, nullptr);
}

void TcxCustomStyles::DoChanged(Integer AIndex) {
  if (destroying_) return;
  Changed(AIndex);
  if (ownerStyleSheet_) ownerStyleSheet_->DoStyleChanged(AIndex);
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* Sender) {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Style == Sender) DoChanged(Items(i)->Index);
}

void TcxCustomStyles::StyleRemoved(TcxCustomStyle* Sender) {
  for (Integer i = Count() - 1; i >= 0; --i)
    if (Items(i)->Style == Sender) Delete(i);
}

bool TcxCustomStyles::IsValidStyleSheet(TcxCustomStyleSheet* ASheet) const {
  if (!ASheet) return true;
  if (ASheet == ownerStyleSheet_) return false;
  if (ASheet->GetStylesClass() != ClassType()) return false;
  if (ownerStyleSheet_) {
    std::vector<TcxCustomStyleSheet*> seen;
    for (TcxCustomStyleSheet* s = ASheet; s; s = s->Styles()->StyleSheet()) {
      if (s == ownerStyleSheet_) return false;
      // A cycle that does not pass the owner sheet is not ours to close.
      if (std::find(seen.begin(), seen.end(), s) != seen.end()) break;
      seen.push_back(s);
    }
  }
  return true;
}

void TcxCustomStyles::CollectSheetIndexes(TcxCustomStyleSheet* ASheet,
                                          std::vector<Integer>& AIndexes) {
  std::vector<TcxCustomStyleSheet*> seen;
  for (; ASheet && std::find(seen.begin(), seen.end(), ASheet) == seen.end();
       ASheet = ASheet->Styles()->StyleSheet()) {
    seen.push_back(ASheet);
    TcxCustomStyles* styles = ASheet->Styles();
    for (Integer i = 0; i < styles->Count(); ++i) {
      const Integer index = styles->Items(i)->Index;
      if (std::find(AIndexes.begin(), AIndexes.end(), index) == AIndexes.end())
        AIndexes.push_back(index);
    }
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* Value) {
  if (styleSheet_ == Value || !IsValidStyleSheet(Value)) return;
  std::vector<Integer> indexes;
  if (styleSheet_) {
    RemoveFrom(styleSheet_->users_, static_cast<TcxCustomStyles*>(this));
    if (!destroying_) CollectSheetIndexes(styleSheet_, indexes);
  }
  styleSheet_ = Value;
  if (Value) {
    AddOnce(Value->users_, static_cast<TcxCustomStyles*>(this));
    CollectSheetIndexes(Value, indexes);
  }
  for (Integer index : indexes) DoChanged(index);
}

// ---------------------------------------------------------------------------
// TcxStyles

void* TcxStyles::GetInterfaceFor(const TGUID& iid) {
  if (iid == IcxFontListener::IID) return static_cast<IcxFontListener*>(this);
  return inherited::GetInterfaceFor(iid);
}

TcxStyle* TcxStyles::GetValue(Integer AIndex) {
  return dynamic_cast<TcxStyle*>(TcxCustomStyles::GetValue(AIndex));
}

void TcxStyles::SetValue(Integer AIndex, TcxStyle* AStyle) {
  TcxCustomStyles::SetValue(AIndex, AStyle);
}

TBitmap* TcxStyles::GetBitmap(Integer AIndex) {
  TcxStyle* style = GetValue(AIndex);
  if (UseStyle(style, svBitmap) && !style->Bitmap()->Empty())
    return style->Bitmap();
  return nullptr;
}

void TcxStyles::GetDefaultViewParams(Integer AIndex, TObject*,
                                     TcxViewParams& AParams) {
  AParams.Bitmap = nullptr;
  maxDefaultIndex_ = std::max(maxDefaultIndex_, AIndex);
}

bool TcxStyles::IsDefaultFont(Integer AIndex) {
  return !UseStyle(GetValue(AIndex), svFont);
}

void TcxStyles::DefaultFontChanged(TObject*, TFont* AFont) {
  for (Integer i = 0; i <= maxDefaultIndex_; ++i) {
    if (!IsDefaultFont(i)) continue;
    TcxViewParams params;
    GetDefaultViewParams(i, nullptr, params);
    if (params.Font == AFont) DoChanged(i);
  }
}

void TcxStyles::GetViewParams(Integer AIndex, TObject* AData, TcxStyle* AStyle,
                              TcxViewParams& AParams) {
  TcxStyle* slotStyle = GetValue(AIndex);
  auto from = [&](TcxStyleValue AValue) -> TcxStyle* {
    if (UseStyle(AStyle, AValue)) return AStyle;
    if (UseStyle(slotStyle, AValue)) return slotStyle;
    return nullptr;
  };
  TcxStyle* s = useBitmapInViewParams_ ? from(svBitmap) : nullptr;
  AParams.Bitmap = s ? s->Bitmap() : nullptr;
  s = from(svColor);
  AParams.Color = s ? s->Color() : clDefault;
  s = from(svFont);
  AParams.Font = s ? s->Font() : nullptr;
  s = from(svTextColor);
  AParams.TextColor = s ? s->TextColor() : clDefault;

  const bool complete = (!useBitmapInViewParams_ || AParams.Bitmap) &&
                        AParams.Color != clDefault && AParams.Font &&
                        AParams.TextColor != clDefault;
  if (complete) return;
  TcxViewParams defaults;
  GetDefaultViewParams(AIndex, AData, defaults);
  if (!AParams.Bitmap) AParams.Bitmap = defaults.Bitmap;
  if (AParams.Color == clDefault) AParams.Color = defaults.Color;
  if (!AParams.Font) AParams.Font = defaults.Font;
  if (AParams.TextColor == clDefault) AParams.TextColor = defaults.TextColor;
}

// ---------------------------------------------------------------------------
// TcxCustomStyleSheet

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* AOwner,
                                         TClass AStylesClass)
    : TcxComponent(AOwner), stylesClass_(AStylesClass) {
  builtIn_ = ComponentState().Contains(csDesigning);
  styles_ = OwnedCast<TcxCustomStyles>(stylesClass_->NewInstance(this));
  if (!styles_) throw EInvalidOperation("Invalid styles class");
  styles_->ownerStyleSheet_ = this;
}

TcxCustomStyleSheet::~TcxCustomStyleSheet() {
  Destroying();
  while (!users_.empty()) users_.back()->SetStyleSheet(nullptr);
  SetStyleRepository(nullptr);
  styles_.reset();
}

String TcxCustomStyleSheet::Caption() const {
  return caption_.empty() ? Name() : caption_;
}

void TcxCustomStyleSheet::SetCaption(const String& Value) {
  caption_ = SameText(Value, Name()) ? String() : Value;
}

void TcxCustomStyleSheet::SetStyles(TcxCustomStyles* Value) {
  styles_->Assign(Value);
}

void TcxCustomStyleSheet::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomStyleSheet*>(Source)) {
    SetCaption(source->Caption());
    SetStyles(source->Styles());
  } else {
    inherited::Assign(Source);
  }
}

void TcxCustomStyleSheet::CopyFrom(TcxCustomStyleSheet* AStyleSheet) {
  if (!AStyleSheet || AStyleSheet->GetStylesClass() != GetStylesClass()) return;
  TcxCustomStyles* source = AStyleSheet->Styles();
  for (Integer i = 0; i < source->Count(); ++i) {
    TcxCustomStyle* from = source->Items(i)->Style;
    TcxCustomStyle* style =
        repository_
            ? repository_->CreateItemEx(from->ClassType(), repository_->Owner())
            // Owner() owns the copy, as it owns the styles it made.
            : OwnedCast<TcxCustomStyle>(from->ClassType()->NewInstance(Owner()))
                  .release();
    if (!style) continue;
    style->Assign(from);
    styles_->SetValue(source->Items(i)->Index, style);
  }
}

void TcxCustomStyleSheet::DoStyleChanged(Integer AIndex) {
  for (size_t i = 0; i < users_.size(); ++i) users_[i]->DoChanged(AIndex);
  UpdateFakeLinks();
}

void TcxCustomStyleSheet::GetFakeComponentLinks(TList* AList) {
  if (!Owner()) return;
  for (Integer i = 0; i < styles_->Count(); ++i) {
    TComponent* owner = styles_->Items(i)->Style->Owner();
    if (owner && owner != Owner() && AList->IndexOf(owner) < 0)
      AList->Add(owner);
  }
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* Value) {
  if (repository_ == Value) return;
  if (repository_) repository_->RemoveStyleSheet(this);
  if (Value) Value->AddStyleSheet(this);
}

Integer TcxCustomStyleSheet::Index() const {
  return repository_ ? repository_->StyleSheetIndexOf(
                           const_cast<TcxCustomStyleSheet*>(this))
                     : -1;
}

TComponent* TcxCustomStyleSheet::GetParentComponent() { return repository_; }

bool TcxCustomStyleSheet::HasParent() { return repository_ != nullptr; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Value))
    SetStyleRepository(repository);
}

void TcxCustomStyleSheet::ReadState(TReader* Reader) {
  inherited::ReadState(Reader);
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->Parent()))
    SetStyleRepository(repository);
}

void TcxCustomStyleSheet::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineProperty("BuiltIn",
                        TReaderProc::FromFunction([this](TReader* Reader) {
                          builtIn_ = Reader->ReadBoolean();
                        }),
                        TWriterProc::FromFunction([this](TWriter* Writer) {
                          Writer->WriteBoolean(builtIn_);
                        }),
                        true);
}

// ---------------------------------------------------------------------------
// TcxStyleRepository

TcxStyleRepository::~TcxStyleRepository() {
  Clear();
  ClearStyleSheets();
}

TcxCustomStyle* TcxStyleRepository::CreateItem(TClass AStyleClass) {
  return CreateItemEx(AStyleClass, this);
}

TcxCustomStyle* TcxStyleRepository::CreateItemEx(TClass AStyleClass,
                                                 TComponent* AOwner) {
  TObjectPtr<TcxCustomStyle> style =
      OwnedCast<TcxCustomStyle>(AStyleClass->NewInstance(AOwner));
  if (!style) throw EInvalidOperation("Invalid style class");
  style->SetStyleRepository(this);
  // AOwner frees it, and Clear or the repository's end does.
  return style.release();
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheet(
    TClass AStyleSheetClass) {
  return CreateStyleSheetEx(AStyleSheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheetEx(
    TClass AStyleSheetClass, TComponent* AOwner) {
  TObjectPtr<TcxCustomStyleSheet> sheet =
      OwnedCast<TcxCustomStyleSheet>(AStyleSheetClass->NewInstance(AOwner));
  if (!sheet) throw EInvalidOperation("Invalid style sheet class");
  sheet->SetStyleRepository(this);
  // AOwner frees it, and ClearStyleSheets or the repository's end does.
  return sheet.release();
}

void TcxStyleRepository::Clear() {
  while (!items_.empty()) Free(items_.back());
}

void TcxStyleRepository::ClearStyleSheets() {
  while (!sheets_.empty()) Free(sheets_.back());
}

Integer TcxStyleRepository::StyleIndexOf(TcxCustomStyle* AStyle) const {
  return PositionOf(items_, AStyle);
}

Integer TcxStyleRepository::StyleSheetIndexOf(
    TcxCustomStyleSheet* AStyleSheet) const {
  return PositionOf(sheets_, AStyleSheet);
}

void TcxStyleRepository::AddItem(TcxCustomStyle* AItem) {
  AddOnce(items_, AItem);
  AItem->repository_ = this;
}

void TcxStyleRepository::RemoveItem(TcxCustomStyle* AItem) {
  RemoveFrom(items_, AItem);
  if (AItem->repository_ == this) AItem->repository_ = nullptr;
}

void TcxStyleRepository::AddStyleSheet(TcxCustomStyleSheet* AStyleSheet) {
  AddOnce(sheets_, AStyleSheet);
  AStyleSheet->repository_ = this;
}

void TcxStyleRepository::RemoveStyleSheet(TcxCustomStyleSheet* AStyleSheet) {
  RemoveFrom(sheets_, AStyleSheet);
  if (AStyleSheet->repository_ == this) AStyleSheet->repository_ = nullptr;
}

Integer TcxStyleRepository::ScreenPixelsPerInch() const {
  return cxGetScreenPixelsPerInch(false);
}

Integer TcxStyleRepository::GetScaledValue(Integer AValue) {
  const Integer screen = ScreenPixelsPerInch();
  if (scalable_ && pixelsPerInch_ != 0 && screen != pixelsPerInch_)
    return MulDiv(AValue, screen, pixelsPerInch_);
  return AValue;
}

void TcxStyleRepository::GetChildren(const TGetChildProc& Proc,
                                     TComponent* Root) {
  for (TcxCustomStyle* style : items_)
    if (style->Owner() == Root) Proc(style);
  for (TcxCustomStyleSheet* sheet : sheets_)
    if (sheet->Owner() == Root) Proc(sheet);
}

void TcxStyleRepository::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineProperty("PixelsPerInch",
                        TReaderProc::FromFunction([this](TReader* Reader) {
                          pixelsPerInch_ = Reader->ReadInteger();
                        }),
                        TWriterProc::FromFunction([this](TWriter* Writer) {
                          Writer->WriteInteger(ScreenPixelsPerInch());
                        }),
                        Filer->Ancestor() == nullptr);
}

// ---------------------------------------------------------------------------
// Routines

bool UseStyle(TcxStyle* AStyle, TcxStyleValue AValue) {
  return AStyle && AStyle->AssignedValues().Contains(AValue);
}

TcxStyleValues CombineParamsWithStyle(TcxStyle* AStyle, TcxStyleValues AValues,
                                      TcxViewParams& AParams) {
  if (!AStyle || AStyle->ComponentState().Contains(csDestroying) ||
      AValues == cxAllStyleValues)
    return AValues;
  auto take = [&](TcxStyleValue AValue) {
    return !AValues.Contains(AValue) && UseStyle(AStyle, AValue);
  };
  if (take(svColor)) {
    AParams.Color = AStyle->Color();
    AValues.Include(svColor);
  }
  if (AStyle->Font() && take(svFont)) {
    AParams.Font = AStyle->Font();
    AValues.Include(svFont);
  }
  if (take(svTextColor)) {
    AParams.TextColor = AStyle->TextColor();
    AValues.Include(svTextColor);
  }
  if (take(svBitmap)) {
    AParams.Bitmap = AStyle->Bitmap();
    AValues.Include(svBitmap);
  }
  return AValues;
}

void RegisterStyleSheetClass(TClass AStyleSheetClass) {
  if (!gStyleSheetClasses)
    gStyleSheetClasses = std::make_unique<std::vector<TClass>>();
  if (std::find(gStyleSheetClasses->begin(), gStyleSheetClasses->end(),
                AStyleSheetClass) == gStyleSheetClasses->end())
    gStyleSheetClasses->push_back(AStyleSheetClass);
}

void UnregisterStyleSheetClass(TClass AStyleSheetClass) {
  if (!gStyleSheetClasses) return;
  auto& list = *gStyleSheetClasses;
  list.erase(std::remove(list.begin(), list.end(), AStyleSheetClass),
             list.end());
}

void GetRegisteredStyleSheetClasses(TList* AList) {
  AList->Clear();
  if (!gStyleSheetClasses) return;
  for (TClass cls : *gStyleSheetClasses)
    AList->Add(const_cast<TClassInfo*>(cls));
}

void CreateStyleSheetStyles(TcxCustomStyleSheet* ADest,
                            TcxCustomStyleSheet* ASource,
                            const TcxStyleGetName& AStyleGetName) {
  if (ADest->GetStylesClass() != ASource->GetStylesClass()) return;
  for (PPropInfo p : StyleProperties(ADest->GetStylesClass())) {
    auto* src = dynamic_cast<TcxStyle*>(GetObjectProp(ASource->Styles(), p));
    auto* dst = dynamic_cast<TcxStyle*>(GetObjectProp(ADest->Styles(), p));
    if (!src) {
      SetObjectProp(ADest->Styles(), p, nullptr);
    } else if (dst) {
      dst->Assign(src);
    } else if (ADest->StyleRepository() && !src->AssignedValues().Empty()) {
      auto* style =
          static_cast<TcxStyle*>(ADest->StyleRepository()->CreateItemEx(
              TcxStyle::StaticClass(), ADest->Owner()));
      if (AStyleGetName.Assigned()) {
        String name;
        AStyleGetName(style, name);
        style->SetName(name);
      }
      style->Assign(src);
      SetObjectProp(ADest->Styles(), p, style);
    }
  }
}

// --- The ini format --------------------------------------------------------

namespace {

constexpr size_t kBitmapPieceLength = 2047;

String ColorToIni(TColor AColor, bool AAssigned) {
  return AAssigned ? IntToStr(static_cast<Integer>(AColor)) : "default";
}

TColor ColorFromIni(const String& AText) {
  if (SameText(AText, "default")) return clDefault;
  return static_cast<TColor>(StrToInt(AText));
}

String BytesToHex(TMemoryStream& AStream) {
  static const char kDigits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const Byte*>(AStream.Memory());
  String text;
  text.reserve(static_cast<size_t>(AStream.Size()) * 2);
  for (Int64 i = 0; i < AStream.Size(); ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

Integer HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// False for text that is not whole hexadecimal bytes.
bool HexToBytes(const String& AText, TMemoryStream& AStream) {
  if (AText.size() % 2 != 0) return false;
  std::vector<Byte> bytes(AText.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const Integer high = HexDigit(AText[2 * i]);
    const Integer low = HexDigit(AText[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<Byte>(high * 16 + low);
  }
  if (!bytes.empty())
    AStream.Write(bytes.data(), static_cast<Integer>(bytes.size()));
  AStream.SetPosition(0);
  return true;
}

void WriteStyle(TMemIniFile& AIni, const String& ASection, const String& AName,
                TcxStyle* AStyle, bool& AWritten) {
  AIni.WriteString(ASection, AName, cxStyleToIniValue(AStyle));
  AWritten = true;
  TBitmap* bitmap = AStyle->Bitmap();
  if (!AStyle->AssignedValues().Contains(svBitmap) || bitmap->Width() < 1 ||
      bitmap->Height() < 1)
    return;
  TMemoryStream stream;
  bitmap->SaveToStream(&stream);
  const String hex = BytesToHex(stream);
  for (size_t start = 0, n = 0; start < hex.size();
       start += kBitmapPieceLength, ++n)
    AIni.WriteString(ASection, AName + "Bitmap" + IntToStr(Integer(n)),
                     hex.substr(start, kBitmapPieceLength));
}

// Loads the pieces AName0, AName1, ... of a bitmap; returns how many keys
// they took, at least one so that the section goes on with its next key.
Integer ReadStyleBitmap(TMemIniFile& AIni, const String& ASection,
                        const String& AName, TcxStyle* AStyle) {
  String hex;
  Integer pieces = 0;
  for (;; ++pieces) {
    const String key = AName + "Bitmap" + IntToStr(pieces);
    if (!AIni.ValueExists(ASection, key)) break;
    hex += AIni.ReadString(ASection, key, String());
  }
  if (pieces > 0 && AStyle) {
    TMemoryStream stream;
    if (HexToBytes(hex, stream)) AStyle->Bitmap()->LoadFromStream(&stream);
  }
  return std::max(pieces, 1);
}

}  // namespace

String cxStyleToIniValue(TcxStyle* AStyle) {
  const TcxStyleValues values = AStyle->AssignedValues();
  String text = ColorToIni(AStyle->Color(), values.Contains(svColor)) + "," +
                ColorToIni(AStyle->TextColor(), values.Contains(svTextColor));
  if (values.Contains(svFont)) {
    TFont* font = AStyle->Font();
    const TFontStyles style = font->Style();
    text += "," + font->Name() + "," + IntToStr(font->Size()) + ",[";
    if (style.Contains(fsBold)) text += "B";
    if (style.Contains(fsItalic)) text += "I";
    if (style.Contains(fsUnderline)) text += "U";
    if (style.Contains(fsStrikeOut)) text += "S";
    text += "]";
  }
  return text;
}

void cxStyleFromIniValue(TcxStyle* AStyle, const String& AValue) {
  const size_t first = AValue.find(',');
  if (first == String::npos) {
    AStyle->SetColor(ColorFromIni(AValue));
    return;
  }
  AStyle->SetColor(ColorFromIni(AValue.substr(0, first)));
  const size_t second = AValue.find(',', first + 1);
  AStyle->SetTextColor(
      ColorFromIni(AValue.substr(first + 1, second - first - 1)));
  if (second == String::npos) return;

  const String fontText = AValue.substr(second + 1);
  TFont* font = AStyle->Font();
  const size_t nameEnd = fontText.find(',');
  font->SetName(fontText.substr(0, nameEnd));
  if (nameEnd == String::npos) return;
  const size_t sizeEnd = fontText.find(',', nameEnd + 1);
  Integer size;
  if (TryStrToInt(fontText.substr(nameEnd + 1, sizeEnd - nameEnd - 1), size))
    font->SetSize(size);
  if (sizeEnd == String::npos) return;
  const String rest = fontText.substr(sizeEnd + 1);
  TFontStyles style = font->Style();
  if (rest.find('B') != String::npos) style.Include(fsBold);
  if (rest.find('I') != String::npos) style.Include(fsItalic);
  if (rest.find('U') != String::npos) style.Include(fsUnderline);
  if (rest.find('S') != String::npos) style.Include(fsStrikeOut);
  font->SetStyle(style);
}

void SaveStyleSheetsToIniFile(const String& AFileName, TList* AStyleSheetList) {
  TMemIniFile ini(AFileName);
  bool written = false;
  for (Integer i = 0; i < AStyleSheetList->Count(); ++i) {
    auto* sheet = static_cast<TcxCustomStyleSheet*>(AStyleSheetList->Items(i));
    const String section = sheet->Caption();
    for (PPropInfo p : StyleProperties(sheet->GetStylesClass())) {
      if (auto* style =
              dynamic_cast<TcxStyle*>(GetObjectProp(sheet->Styles(), p)))
        WriteStyle(ini, section, p->Name, style, written);
    }
  }
  if (written) {
    ini.UpdateFile();
  } else if (!FileExists(AFileName)) {
    // Nothing to store: a new file is made empty, an existing one keeps
    // the sections it holds.
    TMemIniFile empty(String{});
    empty.Rename(AFileName, false);
    empty.UpdateFile();
  }
}

void LoadStyleSheetsFromIniFile(const String& AFileName,
                                TcxStyleRepository* AStyleRepository,
                                TClass AStyleSheetClass,
                                TStrings* AStyleSheetNames, TComponent* AOwner,
                                TList* AStyleSheetList,
                                const TcxStyleGetName& AStyleGetName) {
  TMemIniFile ini(AFileName);
  TStringList sections;
  if (AStyleSheetNames && AStyleSheetNames->Count() > 0)
    sections.Assign(AStyleSheetNames);
  else
    ini.ReadSections(&sections);

  for (Integer s = 0; s < sections.Count(); ++s) {
    const String section = sections.Strings(s);
    TStringList keys;
    ini.ReadSection(section, &keys);
    if (keys.Count() == 0) continue;
    TcxCustomStyleSheet* sheet =
        AOwner ? AStyleRepository->CreateStyleSheetEx(AStyleSheetClass, AOwner)
               : AStyleRepository->CreateStyleSheet(AStyleSheetClass);
    if (AStyleSheetList) AStyleSheetList->Add(sheet);
    sheet->SetCaption(section);
    TcxCustomStyles* styles = sheet->Styles();

    for (Integer k = 0; k < keys.Count();) {
      const String key = keys.Strings(k);
      const size_t bitmapAt = key.find("Bitmap");
      if (bitmapAt != String::npos) {
        const String name = key.substr(0, bitmapAt);
        if (PPropInfo p = FindStyleProperty(sheet->GetStylesClass(), name)) {
          auto* style = dynamic_cast<TcxStyle*>(GetObjectProp(styles, p));
          k += ReadStyleBitmap(ini, section, p->Name, style);
        } else {
          ++k;
        }
        continue;
      }
      ++k;
      PPropInfo p = key.empty()
                        ? nullptr
                        : FindStyleProperty(sheet->GetStylesClass(), key);
      if (!p) continue;
      auto* style = static_cast<TcxStyle*>(
          AOwner
              ? AStyleRepository->CreateItemEx(TcxStyle::StaticClass(), AOwner)
              : AStyleRepository->CreateItem(TcxStyle::StaticClass()));
      if (AStyleGetName.Assigned()) {
        String styleName;
        AStyleGetName(style, styleName);
        style->SetName(styleName);
      }
      cxStyleFromIniValue(style, ini.ReadString(section, key, String()));
      SetObjectProp(styles, p, style);
    }
  }
}

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void StylesStartup() {
  TPublished<TcxStyle>()
      .Property("AssignedValues", &TcxStyle::AssignedValues,
                &TcxStyle::SetAssignedValues)
      .Stored(true)
      .Property("Bitmap", &TcxStyle::Bitmap, &TcxStyle::SetBitmap)
      .Stored(&TcxStyle::IsBitmapStored)
      .Property("Color", &TcxStyle::Color, &TcxStyle::SetColor)
      .Stored(&TcxStyle::IsColorStored)
      .Property("Font", &TcxStyle::Font, &TcxStyle::SetFont)
      .Stored(&TcxStyle::IsFontStored)
      .Property("TextColor", &TcxStyle::TextColor, &TcxStyle::SetTextColor)
      .Stored(&TcxStyle::IsTextColorStored);
  TPublished<TcxCustomStyleSheet>()
      .Property("Caption", &TcxCustomStyleSheet::Caption,
                &TcxCustomStyleSheet::SetCaption)
      .Stored(&TcxCustomStyleSheet::IsCaptionStored);
  TPublished<TcxStyleRepository>().Property(
      "Scalable", &TcxStyleRepository::Scalable,
      &TcxStyleRepository::SetScalable, false);
  RegisterClasses({TcxStyle::StaticClass()});
}

void StylesShutdown() {
  UnpublishClass(TcxStyle::StaticClass());
  UnpublishClass(TcxCustomStyleSheet::StaticClass());
  UnpublishClass(TcxStyleRepository::StaticClass());
  gStyleSheetClasses.reset();
}

}  // namespace

VARNEL_UNIT(cxStyles, ({"cxClasses", "cxControls", "Graphics"}), &StylesStartup,
            &StylesShutdown);
