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

// ---------------------------------------------------------------------------
// Vocabulary
// ---------------------------------------------------------------------------

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
enum TcxDataEditValueSource : Byte { evsValue, evsText, evsKey };

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

 protected:
  TcxEditAlignment* StoredAlignment() const { return storedAlignment_.get(); }

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
