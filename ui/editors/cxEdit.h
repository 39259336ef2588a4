// The editors' settings: the properties object every editor keeps its
// settings in (shared by a standalone editor, the cells of a grid column
// and a repository item), the alignment and assigned-value objects, the
// defaults a data source can supply, and the registry of properties classes
// that forms name editors by. Windows only.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "ScopeGuard.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxContainer.h"
#include "cxEditButtons.h"
#include "cxEditConsts.h"
#include "cxEditValueSource.h"
#include "cxRegExpr.h"  // EcxEditError

// The screen cursor of an editor that scrolls its value with the wheel.
constexpr TCursor crcxEditMouseWheel = 4101;

// ---------------------------------------------------------------------------
// Vocabulary
// ---------------------------------------------------------------------------

// Where an editor's content sits within its bounds; a grid gives its
// in-place editors the parameters of its cells.
enum TcxEditContentOption : Byte {
  ecoShowFocusRectWhenInplace,
  ecoOffsetButtonContent
};
using TcxEditContentOptions = TSet<TcxEditContentOption>;

struct TcxEditContentParams {
  TRect Offsets;
  TRect ExternalBorderBounds;  // the default content offsets
  TcxEditContentOptions Options;
  Byte SizeCorrection = 0;  // extra width
  Integer NativeTextHeightCorrection = 0;
};

enum TcxEditButtonsViewStyle : Byte {
  bvsNormal,
  bvsButtonsOnly,
  bvsButtonsAutoWidth
};
enum TcxEditVertAlignment : Byte { taTopJustify, taBottomJustify, taVCenter };
enum TcxEditDisplayFormatOption : Byte { dfoSupports, dfoNoCurrencyValue };
using TcxEditDisplayFormatOptions = TSet<TcxEditDisplayFormatOption>;
enum TcxEditSupportedOperation : Byte {
  esoAlwaysHotTrack,
  esoAutoHeight,
  esoEditing,
  esoFiltering,
  esoHorzAlignment,
  esoHotTrack,
  esoIncSearch,
  esoShowingCaption,
  esoSorting,
  esoSortingByDisplayText,
  esoTransparency
};
using TcxEditSupportedOperations = TSet<TcxEditSupportedOperation>;
enum TcxEditSpecialFeature : Byte {
  esfBlobEditValue,
  esfMinSize,
  esfNoContentPart
};
using TcxEditSpecialFeatures = TSet<TcxEditSpecialFeature>;
enum TcxEditEditingStyle : Byte { esEdit, esEditList, esFixedList, esNoEdit };
enum TcxEditPaintOption : Byte {
  epoAllowZeroHeight,
  epoAutoHeight,
  epoHasExternalBorder,
  epoShowEndEllipsis,
  epoShowFocusRectWhenInplace
};
using TcxEditPaintOptions = TSet<TcxEditPaintOption>;
enum TcxBlobKind : Byte { bkNone, bkBlob, bkGraphic, bkMemo, bkOle };
enum TcxEditCloseUpReason : Byte {
  crUnknown,
  crTab,
  crClose,
  crCancel,
  crEnter
};

using TcxEditButtonClickEvent =
    TClosure<void(TObject* Sender, Integer AButtonIndex)>;
using TcxEditValidateEvent = TClosure<void(
    TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error)>;
using TcxEditClosePopupEvent =
    TClosure<void(TObject* Sender, TcxEditCloseUpReason AReason)>;
using TcxEditEditingEvent = TClosure<void(TObject* Sender, bool& CanEdit)>;

struct TcxEditSizeProperties {
  Integer Height = -1;       // -1: no limit
  Integer MaxLineCount = 0;  // 0: no limit
  Integer Width = -1;        // -1: no limit
};
inline constexpr TcxEditSizeProperties DefaultcxEditSizeProperties{-1, 0, -1};

// Library-wide defaults.
extern TAlignment cxEditDefaultHorzAlignment;
extern TcxEditVertAlignment cxEditDefaultVertAlignment;
// The names of the six style values the edit style adds (values 10 to 15).
extern const char* const cxEditStyleValueNameA[6];
// Content offsets of a standalone editor and of an in-place one.
inline constexpr TRect EditContentDefaultOffsets[2] = {{1, 1, 1, 3},
                                                       {1, 1, 1, 1}};

// ---------------------------------------------------------------------------
// Defaults a data source supplies
// ---------------------------------------------------------------------------

class IcxEditDefaultValuesProvider : public IInterface {
 public:
  static constexpr TGUID IID{0xAE727882,
                             0x6FDF,
                             0x4E3A,
                             {0xAB, 0x35, 0xE5, 0x8A, 0xB2, 0x8E, 0xFE, 0x7B}};
  virtual bool CanSetEditMode() = 0;
  virtual void ClearUsers() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual TcxBlobKind DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual String DefaultDisplayFormat() = 0;
  virtual String DefaultEditFormat() = 0;
  virtual String DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual Integer DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsDataStorage() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) = 0;
  virtual bool IsOnGetTextAssigned() = 0;
  virtual bool IsOnSetTextAssigned() = 0;
  virtual bool IsValidChar(char AChar) = 0;

 protected:
  ~IcxEditDefaultValuesProvider() = default;
};

// The unbound defaults; the dataset binding overrides them from a field.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent,
                                           public IcxEditDefaultValuesProvider {
  VARNEL_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
 public:
  // construction
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner = nullptr)
      : TcxInterfacedPersistent(AOwner) {}
  ~TcxCustomEditDefaultValuesProvider() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TcxInterfacedPersistent::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // methods
  void ClearUsers() override;
  TObject* GetInstance() override { return this; }

  // overridables
  bool CanSetEditMode() override { return true; }
  TAlignment DefaultAlignment() override { return cxEditDefaultHorzAlignment; }
  TcxBlobKind DefaultBlobKind() override { return bkMemo; }
  bool DefaultCanModify() override { return true; }
  String DefaultDisplayFormat() override { return ""; }
  String DefaultEditFormat() override { return ""; }
  String DefaultEditMask() override { return ""; }
  bool DefaultIsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0; }
  double DefaultMinValue() override { return 0; }
  Integer DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  bool IsBlob() override { return false; }
  bool IsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDataStorage() override { return false; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsOnGetTextAssigned() override { return false; }
  bool IsOnSetTextAssigned() override { return false; }
  bool IsValidChar(char) override { return true; }

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;
};

// ---------------------------------------------------------------------------
// Alignment and assigned values
// ---------------------------------------------------------------------------

class TcxEditAlignment : public TPersistent {
  VARNEL_CLASS(TcxEditAlignment, TPersistent)
 public:
  explicit TcxEditAlignment(TPersistent* AOwner = nullptr) : owner_(AOwner) {}
  TPersistent* GetOwner() override { return owner_; }
  void Assign(TPersistent* Source) override;

  TAlignment Horz() const { return horz_; }
  // Assigns the value even when it equals the default.
  void SetHorz(TAlignment Value);
  bool IsHorzAssigned() const { return isHorzAssigned_; }
  TcxEditVertAlignment Vert() const { return vert_; }
  void SetVert(TcxEditVertAlignment Value);
  // Forgets the assigned horizontal value.
  void Reset();
  bool IsHorzStored() const { return isHorzAssigned_; }
  bool IsVertStored() const { return vert_ != cxEditDefaultVertAlignment; }

  TNotifyEvent OnChanged;

 private:
  friend class TcxCustomEditProperties;
  void DoChanged();

  TPersistent* owner_;
  TAlignment horz_ = cxEditDefaultHorzAlignment;
  bool isHorzAssigned_ = false;
  TcxEditVertAlignment vert_ = cxEditDefaultVertAlignment;
};

class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxCustomEdit;

// The editor class a properties class makes: the class and its creation
// with the in-place choice, which the editor needs from its constructor on.
struct TcxCustomEditClass {
  TClass Class = nullptr;
  TObjectPtr<TcxCustomEdit> (*Create)(TComponent* AOwner,
                                      bool AIsInplace) = nullptr;
};
class TcxCustomEditViewData;
class TcxCanvas;

class TcxCustomEditPropertiesValues : public TPersistent {
  VARNEL_CLASS(TcxCustomEditPropertiesValues, TPersistent)
 public:
  explicit TcxCustomEditPropertiesValues(TPersistent* AOwner = nullptr);
  TPersistent* GetOwner() override { return owner_; }
  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();
  void BeginUpdate();
  void EndUpdate();

  bool MaxValue() const { return maxValue_; }
  void SetMaxValue(bool Value) { SetFlag(maxValue_, Value); }
  bool MinValue() const { return minValue_; }
  void SetMinValue(bool Value) { SetFlag(minValue_, Value); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { SetFlag(readOnly_, Value); }

 protected:
  TcxCustomEditProperties* Properties() const;
  void SetFlag(bool& AFlag, bool Value);
  void Changed();

 private:
  TPersistent* owner_;
  bool maxValue_ = false;
  bool minValue_ = false;
  bool readOnly_ = false;
};

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  VARNEL_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
 public:
  // construction
  explicit TcxCustomEditProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomEditProperties() override;
  void Assign(TPersistent* Source) override;
  // A new properties object of the same class with no owner.
  TObjectPtr<TcxCustomEditProperties> CreatePreviewProperties();

  // properties
  // The published face: refreshed from the stored alignment and the
  // provider on every read; changes on it land in the stored alignment.
  TcxEditAlignment* Alignment();
  void SetAlignment(TcxEditAlignment* Value) { BaseSetAlignment(Value); }
  TcxCustomEditPropertiesValues* AssignedValues() const {
    return assignedValues_.get();
  }
  void SetAssignedValues(TcxCustomEditPropertiesValues* Value) {
    assignedValues_->Assign(Value);
  }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value);
  bool BeepOnError() const { return beepOnError_; }
  void SetBeepOnError(bool Value) { beepOnError_ = Value; }
  TcxEditButtons* Buttons() const { return buttons_.get(); }
  void SetButtons(TcxEditButtons* Value) { buttons_->Assign(Value); }
  TcxEditButtonsViewStyle ButtonsViewStyle() const { return buttonsViewStyle_; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle Value);
  TShortCut ClearKey() const { return clearKey_; }
  void SetClearKey(TShortCut Value) { clearKey_ = Value; }
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut Value) { clickKey_ = Value; }
  bool ImmediatePost() const { return immediatePost_; }
  void SetImmediatePost(bool Value) { immediatePost_ = Value; }
  double MaxValue() { return GetMaxValue(); }
  void SetMaxValue(double Value);
  double MinValue() { return GetMinValue(); }
  void SetMinValue(double Value);
  bool ReadOnly() { return GetReadOnly(); }
  void SetReadOnly(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool UseLeftAlignmentOnEditing() const { return useLeftAlignmentOnEditing_; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool UseMouseWheel() const { return useMouseWheel_; }
  void SetUseMouseWheel(bool Value) { useMouseWheel_ = Value; }
  bool ValidateOnEnter() const { return validateOnEnter_; }
  void SetValidateOnEnter(bool Value) { validateOnEnter_ = Value; }
  IcxEditDefaultValuesProvider* IDefaultValuesProvider() const {
    return provider_;
  }
  void SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* Value);
  bool ChangedOccurred() const { return changedOccurred_; }

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnClosePopup;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  // How every change reaches the owner; set by the owner.
  TNotifyEvent OnPropertiesChanged;

  // methods
  void BeginUpdate();
  void EndUpdate(bool AInvokeChanged = true);
  // BeginUpdate now, EndUpdate(true) at scope exit.
  [[nodiscard]] auto UpdateScope() {
    return MakeBracket(this, &TcxCustomEditProperties::BeginUpdate,
                       [](TcxCustomEditProperties* p) { p->EndUpdate(); });
  }
  bool ChangedLocked() const;
  void LockUpdate(bool ALock) { changesLocked_ = ALock; }
  void FillMinMaxValues(double AMaxValue, double AMinValue);
  bool IsValueEditorWithValueFormatting();
  void DefaultValuesChanged(TObject* = nullptr) { Changed(); }
  bool CanModify();
  bool GetReadOnly();
  bool IsAlignmentStored();
  bool IsReadOnlyStored() const { return assignedValues_->ReadOnly(); }
  bool IsMaxValueStored() const { return assignedValues_->MaxValue(); }
  bool IsMinValueStored() const { return assignedValues_->MinValue(); }
  bool IsUseLeftAlignmentOnEditingStored() {
    return useLeftAlignmentOnEditing_ != DefaultUseLeftAlignmentOnEditing();
  }

  // overridables
  virtual void AlignmentChangedHandler(TObject* Sender);
  virtual void BaseSetAlignment(TcxEditAlignment* Value);
  virtual void ButtonsChanged(TObject*) { Changed(); }
  virtual bool CanValidate() { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void DefaultValuesProviderDestroyed() { provider_ = nullptr; }
  virtual void FreeNotification(TComponent* AComponent) { (void)AComponent; }
  static TClass GetAssignedValuesClass() {
    return TcxCustomEditPropertiesValues::StaticClass();
  }
  virtual TAlignment GetDefaultHorzAlignment();
  virtual TcxEditDisplayFormatOptions GetDisplayFormatOptions() { return {}; }
  virtual double GetMaxValue();
  virtual double GetMinValue();
  virtual String GetValidateErrorText(Integer AErrorKind);
  virtual TcxDataEditValueSource GetValueEditorEditValueSource(
      bool AEditFocused);
  virtual bool HasDisplayValue() { return false; }
  virtual bool InnerEditNeedsTabs() { return false; }
  virtual bool IsEditValueConversionDependOnFocused() { return true; }
  virtual bool CanCompareEditValue() { return false; }
  static TClass GetButtonsClass() { return TcxEditButtons::StaticClass(); }
  virtual void Changed();
  virtual bool CompareDisplayValues(const Variant& AEditValue1,
                                    const Variant& AEditValue2);
  // The style and view info classes of the editor kind (their units build
  // them).
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerViewInfoClass GetViewInfoClass();
  // A view data for one style and use (its unit builds it).
  virtual TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode = false);
  TSize GetEditSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle,
                    bool AIsInplace, const Variant& AEditValue,
                    const TcxEditSizeProperties& AEditSizeProperties =
                        DefaultcxEditSizeProperties);
  virtual void DataChanged() {}
  virtual WideString GetDisplayText(const Variant& AEditValue,
                                    bool AFullText = false,
                                    bool AIsInplace = true);
  virtual TcxEditSpecialFeatures GetSpecialFeatures() { return {}; }
  virtual TcxEditSupportedOperations GetSupportedOperations();
  virtual bool IsActivationKey(char AKey) { return (void)AKey, false; }
  virtual bool IsEditValueValid(Variant& AEditValue, bool AEditFocused);
  virtual bool IsResetEditClass() { return false; }
  virtual void PrepareDisplayValue(const Variant& AEditValue,
                                   Variant& ADisplayValue, bool AEditFocused);
  virtual void RestoreDefaults();
  virtual void Update(TcxCustomEditProperties* AProperties) {
    (void)AProperties;
  }
  // Sets the error text when empty; the editor's own checks run with the
  // editor (AEdit) that asks.
  virtual void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText,
                                    bool& AError, TObject* AEdit);
  virtual TcxDataEditValueSource GetEditValueSource(bool AEditFocused) {
    return (void)AEditFocused, evsValue;
  }
  // The editor control of this properties class.
  virtual TcxCustomEditClass GetContainerClass();
  // The sender of events fired for AEdit: the editor when it stands alone,
  // none for an in-place one (the grid names its own).
  virtual TObject* GetStandaloneEventSender(TObject* AEdit);
  // Fires AEdit's OnValidate; a failing handler that left the value alone
  // gets the editor's current display text in ADisplayValue.
  void DoValidate(Variant& ADisplayValue, String& AErrorText, bool& AError,
                  TObject* AEdit, bool& ADisplayValueChanged);

 protected:
  TcxEditAlignment* StoredAlignment() const { return storedAlignment_.get(); }
  // Descendants with assigned flags of their own put their object in place
  // from their constructor.
  void ReplaceAssignedValues(
      TObjectPtr<TcxCustomEditPropertiesValues> AValues) {
    assignedValues_ = std::move(AValues);
  }

 private:
  void FreeNotificationHandler(TComponent* Sender) { FreeNotification(Sender); }
  template <class T>
  void SetAssigned(T& AField, T Value,
                   bool (TcxCustomEditPropertiesValues::*AIsAssigned)() const,
                   void (TcxCustomEditPropertiesValues::*AAssign)(bool));

  bool autoSelect_ = true;
  bool beepOnError_ = false;
  TObjectPtr<TcxEditButtons> buttons_;
  TcxEditButtonsViewStyle buttonsViewStyle_ = bvsNormal;
  bool changedOccurred_ = false;
  TShortCut clearKey_ = 0;
  TShortCut clickKey_ = 0x400D;  // Ctrl+Enter
  TObjectPtr<TcxFreeNotificator> freeNotificator_;
  bool immediatePost_ = false;
  TObjectPtr<TcxEditAlignment> storedAlignment_;
  double maxValue_ = 0;
  double minValue_ = 0;
  bool readOnly_ = false;
  bool transparent_ = false;
  Integer updateCount_ = 0;
  bool useLeftAlignmentOnEditing_ = true;
  bool useMouseWheel_ = true;
  bool validateOnEnter_ = false;
  TObjectPtr<TcxEditAlignment> alignment_;
  TObjectPtr<TcxCustomEditPropertiesValues> assignedValues_;
  bool changesLocked_ = false;
  IcxEditDefaultValuesProvider* provider_ = nullptr;
};

// ---------------------------------------------------------------------------
// Inner edit
// ---------------------------------------------------------------------------

// How an editor drives the window control it hosts for typing.
class IcxCustomInnerEdit : public IcxContainerInnerControl {
 public:
  static constexpr TGUID IID{0x468D21B5,
                             0x48AA,
                             0x4077,
                             {0x8E, 0xD5, 0x4C, 0x61, 0x12, 0xD4, 0x60, 0xB1}};
  virtual LRESULT CallDefWndProc(UINT AMsg, WPARAM WParam, LPARAM LParam) = 0;
  virtual Variant GetEditValue() = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  virtual void LockBounds(bool ALock) = 0;
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& Value) = 0;
  virtual void SetParent(TWinControl* Value) = 0;
  virtual void SetOnChange(TNotifyEvent Value) = 0;
  virtual void SetReadOnly(bool Value) = 0;

 protected:
  ~IcxCustomInnerEdit() = default;
};

// Offered by an inner control whose inner-edit operations live in a
// separate helper object.
class IcxInnerEditHelper : public IInterface {
 public:
  static constexpr TGUID IID{0x35667555,
                             0x6DC8,
                             0x40D5,
                             {0xB7, 0x05, 0xB0, 0x8D, 0x56, 0x97, 0xC6, 0x21}};
  virtual IcxCustomInnerEdit* GetHelper() = 0;

 protected:
  ~IcxInnerEditHelper() = default;
};

// ---------------------------------------------------------------------------
// The editor control
// ---------------------------------------------------------------------------

VARNEL_EXCEPTION(EcxEditValidationError, EcxEditError)

class TcxCustomEdit;
class TcxCustomEditData;
class TcxEditRepositoryItem;

class IcxEditRepositoryItemListener : public IInterface {
 public:
  static constexpr TGUID IID{0x4E27D642,
                             0x022B,
                             0x4CD2,
                             {0xAB, 0x96, 0x64, 0xC7, 0xCF, 0x9B, 0x32, 0x99}};
  virtual void ItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  virtual void PropertiesChanged(TcxEditRepositoryItem* Sender) = 0;

 protected:
  ~IcxEditRepositoryItemListener() = default;
};

// Holds back OnChange and OnEditValueChanged while locked and fires each
// at most once at the unlock.
class TcxEditChangeEventsCatcher : public TObject {
  VARNEL_CLASS(TcxEditChangeEventsCatcher, TObject)
 public:
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : edit_(AEdit) {}
  void Lock(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool IsLocked() const { return lockCount_ > 0; }
  bool OnChangeEvent = false;
  bool OnEditValueChangedEvent = false;

 private:
  TcxCustomEdit* edit_;
  Integer lockCount_ = 0;
};

// Where a standalone editor's value comes from and goes to; the unbound
// base keeps it in the editor.
class TcxEditDataBinding : public TPersistent {
  VARNEL_CLASS(TcxEditDataBinding, TPersistent)
 public:
  explicit TcxEditDataBinding(TcxCustomEdit* AEdit);
  ~TcxEditDataBinding() override;
  TPersistent* GetOwner() override;
  void Assign(TPersistent*) override {}

  TcxCustomEdit* Edit() const { return edit_; }
  IcxEditDefaultValuesProvider* IDefaultValuesProvider() const {
    return provider_.get();
  }
  bool IsDataAvailable() { return provider_->IsDataAvailable(); }
  bool IsDBEdit() { return provider_->IsDataStorage(); }
  bool Modified() { return GetModified(); }

  virtual void DefaultValuesChanged();
  virtual Variant GetDisplayValue();
  virtual bool GetModified();
  virtual void GetStoredValue(Variant& Value);
  virtual void Reset();
  virtual bool SetEditMode();
  virtual void SetStoredValue(const Variant&) {}
  virtual bool CanCheckEditorValue();
  virtual bool CanPostEditorValue() { return GetModified(); }
  virtual void SetModified() {}
  virtual void UpdateDisplayValue();
  // Shows AValue in the editor without changing its edit value.
  virtual void SetDisplayValue(const Variant& AValue);
  virtual void UpdateNotConnectedDBEditDisplayValue() {}

 protected:
  virtual TClass GetDefaultValuesProviderClass() {
    return TcxCustomEditDefaultValuesProvider::StaticClass();
  }
  // Descendants whose provider class differs call this from their own
  // constructor.
  void CreateDefaultValuesProvider();

 private:
  TcxCustomEdit* edit_;
  TObjectPtr<TcxCustomEditDefaultValuesProvider> provider_;
};
using TcxEditDataBindingClass =
    TObjectPtr<TcxEditDataBinding> (*)(TcxCustomEdit* AEdit);

// The base of every editor control, standalone on a form or in place in a
// grid cell: the edit value, its change events, validation and posting.
class TcxCustomEdit : public TcxContainer,
                      public IcxEditRepositoryItemListener {
  VARNEL_CLASS(TcxCustomEdit, TcxContainer)
 public:
  explicit TcxCustomEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomEdit() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool IsInplace() override { return isInplace_; }
  void SetParent(TWinControl* AParent) override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;

  // properties
  TcxCustomEditProperties* ActiveProperties();
  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  void SetProperties(TcxCustomEditProperties* Value) {
    properties_->Assign(Value);
  }
  TcxEditDataBinding* DataBinding() const { return dataBinding_.get(); }
  TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  Variant EditValue() {
    Variant v;
    GetEditValue(v);
    return v;
  }
  bool AutoSize() const { return autoSize_; }
  bool Modified() const { return modified_; }
  void SetModified(bool Value);
  bool ModifiedAfterEnter() const { return modifiedAfterEnter_; }
  void SetModifiedAfterEnter(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool IsPosting() const { return isPosting_; }
  bool IsValidating() const { return isValidating_; }
  bool Validated() const { return validated_; }
  bool IsUserAction() const { return isUserAction_; }
  void SetUserAction(bool Value) { isUserAction_ = Value; }

  TKeyEvent OnAfterKeyDown;
  TcxEditEditingEvent OnEditing;
  TNotifyEvent OnPostEditValue;

  // methods
  void Clear();
  void Reset();
  bool AreChangeEventsLocked() const { return changeEvents_->IsLocked(); }
  void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
  void LockClick(bool ALock);
  void LockEditValueChanging(bool ALock);
  bool IsClickLocked() const { return clickLockCount_ > 0; }
  void DisableValidate() { ++validateDisableCount_; }
  void EnableValidate() { --validateDisableCount_; }
  void SaveModified();
  void RestoreModified();
  bool ValidateEdit(bool ARaiseExceptionOnError);
  void PostEditValue();
  bool CanPostEditValue();
  bool DoEditing();
  bool IsEditValueStored() { return !VarIsNull(EditValue()); }
  bool IsOnChangeEventAssigned();
  bool IsOnEditValueChangedEventAssigned();
  bool IsOnValidateEventAssigned();
  bool RealReadOnly();

  // overridables
  virtual bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem);
  virtual TClass GetPropertiesClass() {
    return TcxCustomEditProperties::StaticClass();
  }
  virtual TcxEditDataBindingClass GetDataBindingClass();
  virtual void GetEditValue(Variant& Value) { Value = editValue_; }
  virtual void SetEditValue(const Variant& Value);
  virtual void GetEditingValue(Variant& Value);
  virtual void GetClearValue(Variant& Value) { Value = Null(); }
  virtual String GetDisplayValue() { return String(); }
  virtual bool CanModify();
  virtual void PropertiesChanged(TObject* Sender);
  virtual void ResetEditValue();
  virtual void SynchronizeDisplayValue() {}
  virtual void SynchronizeEditValue() {}
  virtual void SetInternalDisplayValue(const Variant&) {}
  virtual void SelectAll() {}
  virtual void UpdateDrawValue() {}
  virtual bool IsEditClass() { return false; }
  virtual void PrepareEditValue(const Variant&, Variant&, bool) {}
  virtual void PrepareDisplayValue(const Variant& AEditValue,
                                   Variant& ADisplayValue, bool AEditFocused);

  // The firing operations; the in-place list and the grids call them too.
  virtual void DoOnChange();
  virtual void DoOnEditValueChanged();
  void DoOnValidate(Variant& DisplayValue, String& ErrorText, bool& Error);
  void DoClosePopup(TcxEditCloseUpReason AReason);
  virtual void DoButtonClick(Integer AButtonVisibleIndex);
  void DoPostEditValue();
  void DoAfterKeyDown(Word& Key, TShiftState Shift);
  void DoChange();
  void DoEditValueChanged();
  virtual void ChangeHandler(TObject* Sender);
  void SetInternalEditValue(const Variant& Value) {
    InternalSetEditValue(Value, true);
  }

  // Input, focus and in-place activation.
  void Activate(TcxCustomEditData*& AEditData);
  void ActivateByKey(char AKey, TcxCustomEditData*& AEditData);
  void ActivateByMouse(TShiftState AShift, Integer X, Integer Y,
                       TcxCustomEditData*& AEditData);
  // False when validation failed without a message.
  bool Deactivate();
  bool Activated() const { return activated_; }
  Integer GetDefaultButtonVisibleIndex();
  void DefaultButtonClick();
  bool IsEditorKey(Word Key, TShiftState Shift);
  bool IsSpecialKey(Word Key, TShiftState Shift);
  TcxCustomEditData* EditData() const { return editData_; }
  void DoClearEditData(TcxCustomEditData* AEditData);
  virtual bool TabsNeeded() { return isInplace_; }
  // Held over an activation by a key, so that the inner edit does not show
  // the text before the key has reached it; the text editors hold it.
  virtual void LockInnerEditRepainting() {}
  virtual void UnlockInnerEditRepainting() {}

  // Mouse, embedded buttons and the view info.
  Integer ButtonVisibleIndexAt(const TPoint& P);
  // Clicks the first enabled button whose caption has AKey as accelerator.
  bool CheckButtonShortCuts(char AKey);
  void DoClick();
  void Click() override;
  void DblClick() override;
  virtual bool HandleMouseWheel(TShiftState Shift);
  Integer CaptureButtonVisibleIndex() const { return captureButton_; }
  TObjectPtr<TcxCustomEditViewData> CreateViewData();
  bool IsActiveControl();
  virtual bool CanAutoSize() { return !isInplace_ && autoSize_; }
  virtual bool CanAutoWidth();
  void SetEditAutoSize(bool Value);
  // The content parameters an in-place editor passes to its view data,
  // once InitContentParams has made them.
  void InitContentParams();
  TcxEditContentParams& ContentParams() { return contentParams_; }
  bool ContentParamsInitialized() const { return contentParamsInitialized_; }

  // The clipboard, reached through WM_COPY, WM_CUT and WM_PASTE too; an
  // editor without text has nothing to copy.
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  // An auto-sizing editor keeps its measured size out of form streams.
  bool IsHeightStored() const;
  bool IsWidthStored() const;

 protected:
  // Descendants whose properties class differs call this from their own
  // constructor; it also remakes the styles and the view info, which come
  // from the properties class.
  void CreateProperties();
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;

  virtual void AfterPosting() { isPosting_ = false; }
  virtual void BeforePosting() { isPosting_ = true; }
  virtual void HandleValidationError(const String& AErrorText);
  virtual bool InternalDoEditing() { return true; }
  virtual void InternalGetEditingValue(Variant& Value) { Value = editValue_; }
  virtual void InternalSetDisplayValue(const Variant&) {}
  virtual void InternalSetEditValue(const Variant& Value,
                                    bool AValidateEditValue);
  virtual void InternalValidateDisplayValue(const Variant& ADisplayValue);
  virtual void RepositoryItemAssigned() {}
  virtual void RepositoryItemAssigning() {}
  void InternalPostEditValue(bool AValidateEdit);
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusChanged() override;
  void WndProc(TMessage& Message) override;
  virtual void DoEditKeyDown(Word& Key, TShiftState Shift);
  virtual void DoEditKeyPress(char& Key) { ValidateKeyPress(Key); }
  virtual void DoEditKeyUp(Word&, TShiftState) {}
  virtual void DoEditProcessTab(TShiftState) {}
  virtual void DoFocusChanged();
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  using TcxContainer::CalculateViewInfo;
  void CalculateViewInfo(const TPoint& P, bool ANewHot) override;
  void CalculateViewInfo(const TPoint& P, TcxMouseButton AButton,
                         TShiftState AShift, bool AIsMouseEvent);
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button,
                        TShiftState Shift, bool AIsMouseEvent) override;
  virtual void InitializeViewData(TcxCustomEditViewData* AViewData);
  virtual void ProcessViewInfoChanges(TcxContainerViewInfo* APrevViewInfo,
                                      bool AIsMouseDownUpEvent);
  virtual void DoButtonDown(Integer) {}
  virtual void DoButtonUp(Integer) {}
  virtual bool IsClickEnabledDuringLoading() { return false; }
  virtual void FillSizeProperties(TcxEditSizeProperties& AProps);
  virtual void InternalCanResize(Integer& NewWidth, Integer& NewHeight);
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void SetSize() override;
  void RequestAlign() override;
  virtual void DoShowEdit();
  virtual void DoHideEdit(bool AExit);
  virtual bool CanKeyDownModifyEdit(Word, TShiftState) { return false; }
  virtual bool CanKeyPressModifyEdit(char) { return false; }
  virtual bool IsValidChar(char C);
  virtual bool NeedsInvokeAfterKeyDown(Word, TShiftState) { return false; }
  virtual bool SendActivationKey(char) { return true; }
  virtual bool UpdateContentOnFocusChanging() { return true; }
  virtual bool ValidateKeyDown(Word& Key, TShiftState Shift);
  virtual bool ValidateKeyPress(char& Key);
  virtual bool WantNavigationKeys() { return false; }
  virtual TClass GetEditDataClass() { return nullptr; }
  virtual void InitializeEditData() {}
  void SetValidated(bool Value) { validated_ = Value; }
  // The edit value without any of the steps that follow a change; for
  // descendants that keep text and value in step themselves.
  void StoreEditValue(const Variant& Value) { editValue_ = Value; }
  void KeepValueBeforeEditing() { valueBeforeEditing_ = editValue_; }
  bool IsFocusedEdit() { return focused_; }
  void SetFocusedEdit(bool Value) { focused_ = Value; }

 private:
  // IcxEditRepositoryItemListener
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override;
  bool LoadingOrDestroying();
  void StartDblClickTimer();
  // Runs an in-place handler with both modified flags forced on.
  template <class F>
  void InvokeWithForcedModified(F&& AHandler);

  bool autoSize_ = true;
  TObjectPtr<TcxEditChangeEventsCatcher> changeEvents_;
  Integer clickLockCount_ = 0;
  bool isDoingEditing_ = false;
  Integer editValueChangingLockCount_ = 0;
  bool focused_ = false;
  bool validated_ = false;
  bool isValidating_ = false;
  bool isInplace_ = false;
  bool isPosting_ = false;
  bool isUserAction_ = false;
  Integer validateDisableCount_ = 0;
  bool modified_ = false;
  bool modifiedAfterEnter_ = false;
  Variant valueBeforeEditing_;
  std::vector<std::pair<bool, bool>> savedModified_;
  TcxEditRepositoryItem* repositoryItem_ = nullptr;
  bool transparent_ = false;
  bool isRefocusing_ = false;
  TObjectPtr<TcxEditDataBinding> dataBinding_;
  Variant editValue_;
  TObjectPtr<TcxCustomEditProperties> properties_;
  bool pendingBindingRefresh_ = true;
  bool escHandled_ = false;
  bool activated_ = false;
  TcxCustomEditData* editData_ = nullptr;
  Integer captureButton_ = -1;
  TcxEditContentParams contentParams_;
  bool contentParamsInitialized_ = false;
  // A left press before this tick count ends the double click that
  // started the in-place editing; 0 when none is pending.
  DWORD dblClickDeadline_ = 0;
};

// What a grid keeps per item between activations of its editor; the
// editor forgets it when it goes first.
class TcxCustomEditData : public TObject {
  VARNEL_CLASS(TcxCustomEditData, TObject)
 public:
  explicit TcxCustomEditData(TcxCustomEdit* AEdit = nullptr) : edit_(AEdit) {}
  ~TcxCustomEditData() override;
  TcxCustomEdit* Edit() const { return edit_; }
  void SetEdit(TcxCustomEdit* Value) { edit_ = Value; }
  bool Cleared() const { return cleared_; }
  void SetCleared(bool Value) { cleared_ = Value; }
  void Clear();

 private:
  TcxCustomEdit* edit_;
  bool cleared_ = false;
};

// The hidden in-place editors of a grid, one per properties object.
class TcxInplaceEditList : public TObject {
  VARNEL_CLASS(TcxInplaceEditList, TObject)
 public:
  TcxInplaceEditList();
  ~TcxInplaceEditList() override;

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // The editor of AProperties, made or reused, with their settings.
  TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
  // An editor of the class APropertiesClass names that no properties hold.
  TcxCustomEdit* GetEdit(TClass APropertiesClass);
  TcxCustomEdit* FindEdit(TcxCustomEditProperties* AProperties);
  TcxCustomEdit* FindEdit(TClass APropertiesClass);
  // Keeps the editor for the next properties object of the class.
  void DisconnectProperties(TcxCustomEditProperties* AProperties);
  void RemoveItem(TcxCustomEditProperties* AProperties);
  void RemoveItem(TClass APropertiesClass);
  void RemoveItem(Integer AIndex);
  void DestroyItems();

 protected:
  virtual TObjectPtr<TcxCustomEdit> CreateEdit(TClass APropertiesClass);
  virtual void InitEdit(TcxCustomEdit* AEdit,
                        TcxCustomEditProperties* AProperties);
  Integer FindItem(TcxCustomEditProperties* AProperties, bool ALookupByClass);
  Integer FindItem(TClass APropertiesClass);

 private:
  struct TItem {
    TObjectPtr<TcxCustomEdit> Edit;
    TcxCustomEditProperties* Properties;
  };
  std::vector<TItem> items_;
};

// Every live in-place edit list hears of a properties object that goes.
void cxInplaceEditListsDisconnect(TcxCustomEditProperties* AProperties);

template <class T>
TcxCustomEditClass cxEditClass() {
  return {T::StaticClass(), [](TComponent* AOwner, bool AIsInplace) {
            return TObjectPtr<TcxCustomEdit>(new T(AOwner, AIsInplace));
          }};
}

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

// The registry of properties classes, sorted by description.
TcxRegisteredClasses* GetRegisteredEditProperties();
// Walks the owners from APersistent up to the first component.
TComponent* GetOwnerComponent(TPersistent* APersistent);
bool InternalVarEqualsExact(const Variant& V1, const Variant& V2);
bool IsSpaceChar(char C);
void CheckSize(TSize& ASize, const TSize& AMinSize);
TShiftState ButtonToShift(TMouseButton AButton);
void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState AShift);
void SendKeyPress(TWinControl* AControl, char AKey);
void SendKeyUp(TWinControl* AControl, Word AKey, TShiftState AShift);
void UniteRegions(HRGN ADest, HRGN ASource);
