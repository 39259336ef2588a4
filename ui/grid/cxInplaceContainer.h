// The editing-control framework: a control whose items (columns, rows) are
// drawn by edit properties and edited in place by real editor controls,
// with the items' values kept in a data controller. The control owns its
// data controller, its controllers (editing, navigation, hit testing, hot
// tracking), its view info with the painter, and its styles; descendants
// such as the vertical grid supply the geometry through virtual hooks and
// replace sub-objects through the class getters. Windows only.
#pragma once

#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "cxCustomData.h"
#include "cxEdit.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"
#include "cxEditViewData.h"
#include "cxEditViewInfo.h"
#include "cxGraphics.h"
#include "cxInplaceContainerLayout.h"
#include "cxStyles.h"

class TcxEditingControl;
class TcxCustomInplaceEditContainer;
class TcxCustomControlController;
class TcxEditingController;
class TcxCustomHitTestController;
class TcxHotTrackController;
class TcxCustomCellNavigator;
class TcxCustomControlViewInfo;
class TcxCustomControlPainter;
class TcxCustomControlStyles;
class TcxCustomViewInfoItem;
class TcxEditCellViewInfo;
class TcxDragImageHelper;
class TcxCustomDesignSelectionHelper;

// ---------------------------------------------------------------------------
// Shared routines
// ---------------------------------------------------------------------------

bool cxConfirmMessageBox(const String& AText, const String& ACaption);
bool cxPtInViewInfoItem(TcxCustomViewInfoItem* AItem, const TPoint& P);
// The body of an operation a concrete descendant must supply.
[[noreturn]] void cxAbstractError();

// Earlier styles win; the defaults of AStyles fill what none assigns.
void cxStylesToViewParams(TcxStyles* AStyles, Integer AIndex, TObject* AData,
                          const std::vector<TcxStyle*>& AStyleArray,
                          TcxViewParams& AParams);
// Fills the control's shared edit style from a cell before it is measured,
// drawn or given to the in-place editor.
void cxAssignEditStyle(TcxEditCellViewInfo* ACell);

// The control makes its sub-objects through these (class getters).
template <class TBase, class TOwner>
using TcxSubObjectClass = TObjectPtr<TBase> (*)(TOwner* AOwner);
template <class T, class TBase, class TOwner>
TcxSubObjectClass<TBase, TOwner> cxSubObjectClass() {
  return [](TOwner* AOwner) { return TObjectPtr<TBase>(new T(AOwner)); };
}

// ---------------------------------------------------------------------------
// Persistent bases
// ---------------------------------------------------------------------------

class TcxOwnedPersistent : public TPersistent {
  VARNEL_CLASS(TcxOwnedPersistent, TPersistent)
 public:
  explicit TcxOwnedPersistent(TPersistent* AOwner) : owner_(AOwner) {}
  TPersistent* GetOwner() override { return owner_; }
  TPersistent* Owner() const { return owner_; }

 private:
  TPersistent* owner_;
};

// ---------------------------------------------------------------------------
// Value types by name
// ---------------------------------------------------------------------------

class TcxValueTypeClassRepository : public TObject {
  VARNEL_CLASS(TcxValueTypeClassRepository, TObject)
 public:
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxValueTypeClass ValueTypeClass(Integer AIndex) const {
    return items_.at(static_cast<size_t>(AIndex)).second;
  }
  String Description(Integer AIndex) const {
    return items_.at(static_cast<size_t>(AIndex)).first;
  }
  // The first description of a class wins.
  void RegisterValueTypeClass(const String& ADescription,
                              TcxValueTypeClass AClass);
  void UnRegisterValueTypeClass(TcxValueTypeClass AClass);
  String FindByClassType(TcxValueTypeClass AClass) const;
  // Case-insensitive; null when absent.
  TcxValueTypeClass FindByDescription(const String& ADescription) const;

 private:
  std::vector<std::pair<String, TcxValueTypeClass>> items_;
};

TcxValueTypeClassRepository* cxieValueTypeClassRepository();
void cxieRegisterValueTypeClass(const String& ADescription,
                                TcxValueTypeClass AClass);
void cxieUnRegisterValueTypeClass(TcxValueTypeClass AClass);

// The repository item an item of a value type uses when it has neither
// properties nor a repository item of its own. The editors' default items
// per value type come later; until then the check box serves Boolean and
// the text editor every other type.
TcxEditRepositoryItem* cxGetDefaultEditDataRepositoryItem(
    TcxValueTypeClass AValueTypeClass);

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

enum TcxEditItemShowEditButtons : Byte { eisbDefault, eisbNever, eisbAlways };
enum TcxEditingControlEditShowButtons : Byte {
  ecsbAlways,
  ecsbFocused,
  ecsbNever
};

class TcxCustomEditContainerItemOptions : public TcxOwnedPersistent {
  VARNEL_CLASS(TcxCustomEditContainerItemOptions, TcxOwnedPersistent)
 public:
  explicit TcxCustomEditContainerItemOptions(TPersistent* AOwner)
      : TcxOwnedPersistent(AOwner) {}
  void Assign(TPersistent* Source) override;

  bool Editing() const { return editing_; }
  void SetEditing(bool Value);
  bool Filtering() const { return filtering_; }
  void SetFiltering(bool Value);
  bool Focusing() const { return focusing_; }
  void SetFocusing(bool Value);
  bool IncSearch() const { return incSearch_; }
  void SetIncSearch(bool Value);
  TcxEditItemShowEditButtons ShowEditButtons() const {
    return showEditButtons_;
  }
  void SetShowEditButtons(TcxEditItemShowEditButtons Value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value) { tabStop_ = Value; }

 protected:
  virtual void Changed();
  TcxCustomInplaceEditContainer* Item() const;

 private:
  bool editing_ = true;
  bool filtering_ = true;
  bool focusing_ = true;
  bool incSearch_ = true;
  TcxEditItemShowEditButtons showEditButtons_ = eisbDefault;
  bool tabStop_ = true;
};

class TcxControlOptionsView : public TcxOwnedPersistent {
  VARNEL_CLASS(TcxControlOptionsView, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsView(TPersistent* AOwner)
      : TcxOwnedPersistent(AOwner) {}
  void Assign(TPersistent* Source) override;

  bool CellAutoHeight() const { return cellAutoHeight_; }
  void SetCellAutoHeight(bool Value);
  bool CellEndEllipsis() const { return cellEndEllipsis_; }
  void SetCellEndEllipsis(bool Value);
  Integer CellTextMaxLineCount() const { return cellTextMaxLineCount_; }
  void SetCellTextMaxLineCount(Integer Value);
  TScrollStyle ScrollBars() const;
  void SetScrollBars(TScrollStyle Value);
  TcxEditingControlEditShowButtons ShowEditButtons() const {
    return showEditButtons_;
  }
  void SetShowEditButtons(TcxEditingControlEditShowButtons Value);

 protected:
  virtual void Changed();
  TcxEditingControl* Control() const;

 private:
  bool cellAutoHeight_ = false;
  bool cellEndEllipsis_ = false;
  Integer cellTextMaxLineCount_ = 0;
  TcxEditingControlEditShowButtons showEditButtons_ = ecsbNever;
};

class TcxControlOptionsData : public TcxOwnedPersistent {
  VARNEL_CLASS(TcxControlOptionsData, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsData(TPersistent* AOwner)
      : TcxOwnedPersistent(AOwner) {}
  void Assign(TPersistent* Source) override;

  bool CancelOnExit() const { return cancelOnExit_; }
  void SetCancelOnExit(bool Value) { cancelOnExit_ = Value; }
  bool Editing() const { return editing_; }
  void SetEditing(bool Value);

 protected:
  virtual void Changed() {}
  TcxEditingControl* Control() const;

 private:
  bool cancelOnExit_ = true;
  bool editing_ = true;
};

class TcxControlOptionsBehavior : public TcxOwnedPersistent {
  VARNEL_CLASS(TcxControlOptionsBehavior, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsBehavior(TPersistent* AOwner)
      : TcxOwnedPersistent(AOwner) {}
  void Assign(TPersistent* Source) override;

  bool AlwaysShowEditor() const { return alwaysShowEditor_; }
  void SetAlwaysShowEditor(bool Value);
  bool CellHints() const { return cellHints_; }
  void SetCellHints(bool Value);
  bool DragDropImages() const { return dragDropImages_; }
  void SetDragDropImages(bool Value);
  bool FocusCellOnCycle() const { return focusCellOnCycle_; }
  void SetFocusCellOnCycle(bool Value);
  bool FocusFirstCellOnNewRecord() const { return focusFirstCellOnNewRecord_; }
  void SetFocusFirstCellOnNewRecord(bool Value);
  bool GoToNextCellOnEnter() const { return goToNextCellOnEnter_; }
  void SetGoToNextCellOnEnter(bool Value);
  bool GoToNextCellOnTab() const { return goToNextCellOnTab_; }
  void SetGoToNextCellOnTab(bool Value);
  bool ImmediateEditor() const { return immediateEditor_; }
  void SetImmediateEditor(bool Value);
  bool IncSearch() const { return incSearch_; }
  void SetIncSearch(bool Value);
  TcxCustomInplaceEditContainer* IncSearchItem() const {
    return incSearchItem_;
  }
  void SetIncSearchItem(TcxCustomInplaceEditContainer* Value);

 protected:
  virtual void Changed();
  TcxEditingControl* Control() const;

 private:
  template <class T>
  void SetField(T& AField, T Value);

  bool alwaysShowEditor_ = false;
  bool cellHints_ = false;
  bool dragDropImages_ = false;
  bool focusCellOnCycle_ = false;
  bool focusFirstCellOnNewRecord_ = false;
  bool goToNextCellOnEnter_ = false;
  bool goToNextCellOnTab_ = false;
  bool immediateEditor_ = true;
  bool incSearch_ = false;
  TcxCustomInplaceEditContainer* incSearchItem_ = nullptr;
};

// The options the control hands its sub-objects.
class IcxEditingControlOptions {
 public:
  virtual TcxControlOptionsBehavior* GetOptionsBehavior() = 0;
  virtual TcxControlOptionsData* GetOptionsData() = 0;
  virtual TcxControlOptionsView* GetOptionsView() = 0;

 protected:
  ~IcxEditingControlOptions() = default;
};

// ---------------------------------------------------------------------------
// Item styles and data binding
// ---------------------------------------------------------------------------

class TcxEditContainerStyles : public TcxStyles {
  VARNEL_CLASS(TcxEditContainerStyles, TcxStyles)
 public:
  static constexpr Integer ecs_Content = 0;
  explicit TcxEditContainerStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  void Assign(TPersistent* Source) override;
  TcxStyle* Content() { return GetValue(ecs_Content); }
  void SetContent(TcxStyle* Value) { SetValue(ecs_Content, Value); }
  void Changed(Integer AIndex) override;
};

class TcxContainerItemDefaultValuesProvider
    : public TcxCustomEditDefaultValuesProvider {
  VARNEL_CLASS(TcxContainerItemDefaultValuesProvider,
               TcxCustomEditDefaultValuesProvider)
 public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  bool IsDisplayFormatDefined(bool) override { return false; }
};

class TcxCustomItemDataBinding : public TcxOwnedPersistent {
  VARNEL_CLASS(TcxCustomItemDataBinding, TcxOwnedPersistent)
 public:
  explicit TcxCustomItemDataBinding(TcxCustomInplaceEditContainer* AItem);
  ~TcxCustomItemDataBinding() override;

  TcxCustomInplaceEditContainer* Item() const { return item_; }
  virtual TcxEditRepositoryItem* DefaultRepositoryItem();
  virtual String GetDefaultCaption() { return String(); }
  virtual IcxEditDefaultValuesProvider* GetDefaultValuesProvider(
      TcxCustomEditProperties* AProperties);
  virtual TcxValueTypeClass GetValueTypeClass();
  virtual void Init() {}
  virtual void ValueTypeClassChanged();
  bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted);

 private:
  TcxCustomInplaceEditContainer* item_;
  TObjectPtr<TcxCustomEditDefaultValuesProvider> provider_;
};

class TcxItemDataBinding : public TcxCustomItemDataBinding {
  VARNEL_CLASS(TcxItemDataBinding, TcxCustomItemDataBinding)
 public:
  using TcxCustomItemDataBinding::TcxCustomItemDataBinding;
  void Assign(TPersistent* Source) override;
  TcxValueTypeClass GetValueTypeClass() override;
  void SetValueTypeClass(TcxValueTypeClass Value);
  String ValueType();
  void SetValueType(const String& Value);
  virtual bool IsValueTypeStored();

 private:
  TcxValueTypeClass valueTypeClass_ = nullptr;
};

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

using TcxGetEditPropertiesEvent = TClosure<void(
    TObject* Sender, void* AData, TcxCustomEditProperties*& AEditProperties)>;
using TcxecEditingEvent =
    TClosure<void(TObject* Sender, TObject* AItem, bool& Allow)>;
using TcxecInitEditEvent =
    TClosure<void(TObject* Sender, TObject* AItem, TcxCustomEdit* AEdit)>;
using TcxecItemEvent =
    TClosure<void(TObject* Sender, TcxCustomInplaceEditContainer* AItem)>;
using TcxCustomDrawViewInfoItemEvent =
    TClosure<void(TObject* Sender, TcxCanvas* ACanvas,
                  TcxCustomViewInfoItem* AViewInfo, bool& ADone)>;

class TcxCustomInplaceEditContainer : public TComponent,
                                      public IcxEditRepositoryItemListener {
  VARNEL_CLASS(TcxCustomInplaceEditContainer, TComponent)
 public:
  // construction
  explicit TcxCustomInplaceEditContainer(TComponent* AOwner);
  ~TcxCustomInplaceEditContainer() override;
  void BeforeDestruction() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void Assign(TPersistent* Source) override;

  // properties
  TcxCustomItemDataBinding* DataBinding() const { return dataBinding_.get(); }
  TcxEditingControl* EditingControl() const { return editingControl_; }
  virtual void SetEditingControl(TcxEditingControl* Value);
  Integer ItemIndex() const { return itemIndex_; }
  void SetItemIndex(Integer Value) { itemIndex_ = Value; }
  TcxCustomEditContainerItemOptions* Options() const { return options_.get(); }
  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  void SetProperties(TcxCustomEditProperties* Value);
  TClass PropertiesClass() const { return propertiesClass_; }
  void SetPropertiesClass(TClass Value);
  String PropertiesClassName() const;
  void SetPropertiesClassName(const String& Value);
  // The effective properties: own, the repository item's, or the value
  // type's default.
  TcxCustomEditProperties* PropertiesValue() const { return propertiesValue_; }
  TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  TcxEditContainerStyles* Styles() const { return styles_.get(); }
  TcxCustomEditViewData* EditViewData() const { return editViewData_.get(); }
  TcxCustomEditData*& EditData() { return editData_; }
  TcxDataEditValueSource EditValueSource() const { return editValueSource_; }
  void SetEditValueSource(TcxDataEditValueSource Value) {
    editValueSource_ = Value;
  }
  bool Editing() { return GetEditing(); }
  void SetEditing(bool Value);
  bool Focused();
  void SetFocused(bool Value);
  bool IncSearching();
  bool IsDestroying() const;

  TNotifyEvent PropertiesEvents;
  TcxGetEditPropertiesEvent OnGetEditProperties;
  TcxGetEditPropertiesEvent OnGetEditingProperties;

  // methods
  void CancelIncSearching();
  TcxEditCellViewInfo* GetFocusedCellViewInfo();
  bool IsEditPartVisible();
  void InternalPropertiesChanged();
  TcxDataController* DataController();
  TcxCustomControlController* Controller();

  // overridables
  virtual void CalculateEditViewInfo(const Variant& AValue,
                                     TcxEditCellViewInfo* AViewInfo,
                                     const TPoint& AMousePos);
  virtual bool CanEdit();
  virtual bool CanFocus();
  virtual bool CanInitEditing();
  virtual bool CanIncSearch();
  virtual bool CanTabStop();
  virtual void Changed();
  virtual TObjectPtr<TcxCustomEditViewData> CreateEditViewData(
      TcxCustomEditProperties* AProperties, void* AData);
  virtual void DataChanged();
  virtual void DoGetDisplayText(Integer ARecordIndex, String& AText) {
    (void)ARecordIndex, (void)AText;
  }
  virtual TcxCustomEditProperties* DoGetEditProperties(void* AData);
  virtual void DoGetEditingProperties(void* AData,
                                      TcxCustomEditProperties*& AProperties);
  virtual TcxCustomEditProperties* DoGetPropertiesFromEvent(
      const TcxGetEditPropertiesEvent& AEvent, void* AData,
      TcxCustomEditProperties* AProperties);
  virtual void DoOnPropertiesChanged(TObject* Sender);
  virtual TcxCanvas* GetControlCanvas();
  virtual Variant GetCurrentValue();
  virtual TcxCustomEditProperties* GetDefaultEditProperties();
  virtual void GetDisplayValue(TcxCustomEditProperties* AProperties,
                               Integer ARecordIndex, Variant& AValue);
  virtual TcxValueTypeClass GetEditDataValueTypeClass();
  virtual Integer GetEditDefaultHeight(TFont* AFont);
  virtual Integer GetEditHeight(TcxEditCellViewInfo* AViewInfo);
  virtual bool GetEditing();
  virtual TcxCustomEditStyle* GetEditStyle(void* AData);
  virtual Variant GetEditValue();
  virtual Integer GetEditWidth(TcxEditCellViewInfo* AViewInfo);
  virtual Variant GetValue(Integer ARecordIndex);
  virtual Integer GetValueCount();
  virtual bool HasDataTextHandler() { return false; }
  virtual void InitEditViewInfo(TcxEditCellViewInfo* AViewInfo);
  virtual void InitProperties(TcxCustomEditProperties* AProperties);
  virtual void PropertiesChanged() { Changed(); }
  virtual void SetCurrentValue(const Variant& Value);
  virtual void SetEditValue(const Variant& Value);
  virtual void SetValue(Integer ARecordIndex, const Variant& Value);

 protected:
  using TcxDataBindingClass = TcxSubObjectClass<TcxCustomItemDataBinding,
                                                TcxCustomInplaceEditContainer>;
  virtual TcxDataBindingClass GetDataBindingClass();
  virtual TObjectPtr<TcxCustomEditContainerItemOptions> CreateOptions();
  virtual TObjectPtr<TcxEditContainerStyles> CreateStyles();
  void EditViewDataGetDisplayTextHandler(TObject* Sender, String& AText);

 private:
  friend class TcxEditingControl;
  // IcxEditRepositoryItemListener
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override;
  void CreateProperties();
  void DestroyProperties();
  void FreeEditData();

  TcxCustomEditData* editData_ = nullptr;
  TcxEditingControl* editingControl_ = nullptr;
  TObjectPtr<TcxCustomEditViewData> editViewData_;
  TcxDataEditValueSource editValueSource_ = evsValue;
  Integer itemIndex_ = -1;
  TObjectPtr<TcxCustomEditContainerItemOptions> options_;
  TObjectPtr<TcxCustomEditProperties> properties_;
  TClass propertiesClass_ = nullptr;
  TcxCustomEditProperties* propertiesValue_ = nullptr;
  TcxEditRepositoryItem* repositoryItem_ = nullptr;
  TObjectPtr<TcxEditContainerStyles> styles_;
  TObjectPtr<TcxCustomItemDataBinding> dataBinding_;
  bool destroying_ = false;
};

// The data controller of an editing control: its items are the control's.
class TcxControlDataController : public TcxDataController {
  VARNEL_CLASS(TcxControlDataController, TcxDataController)
 public:
  explicit TcxControlDataController(TComponent* AOwner);
  TcxEditingControl* Control() const;
  Integer GetItemID(TObject* AItem) const override;
  void UpdateItemIndexes() override;
  void UpdateData() override;

 protected:
  void UpdateControl(TcxUpdateControlInfo* AInfo) override;
};

// ---------------------------------------------------------------------------
// View info, cells, painter, styles
// ---------------------------------------------------------------------------

class TcxCustomViewInfoItem : public TObject {
  VARNEL_CLASS(TcxCustomViewInfoItem, TObject)
 public:
  explicit TcxCustomViewInfoItem(TObject* AOwner) : owner_(AOwner) {}

  TObject* Owner() const { return owner_; }
  const TRect& ClipRect() const { return clipRect_; }
  const TRect& DisplayRect() const { return displayRect_; }
  bool Visible() const { return visible_; }
  TcxViewParams& ViewParams() { return viewParams_; }

  virtual void CheckClipping(const TRect& ADisplayRect,
                             const TRect& AAvailableRect);
  virtual void CheckClipping(const TRect& ADisplayRect);
  virtual void DoCalculate() { cxAbstractError(); }
  virtual void DoHorzOffset(Integer AOffset) {
    (void)AOffset;
    cxAbstractError();
  }
  virtual void DoVertOffset(Integer AOffset) {
    (void)AOffset;
    cxAbstractError();
  }
  virtual TcxEditingControl* GetControl() { cxAbstractError(); }
  virtual bool IsTransparent();
  virtual void Assign(TcxCustomViewInfoItem* Source);
  void Invalidate(bool ARecalculate);
  void UpdateEditRect() { CheckClipping(displayRect_); }
  TcxCustomControlViewInfo* ControlViewInfo();

 private:
  TObject* owner_;
  TcxViewParams viewParams_;
  bool visible_ = false;
  TRect clipRect_;
  TRect displayRect_;
};

class TcxEditCellViewInfo : public TcxCustomViewInfoItem,
                            public IcxHotTrackElement {
  VARNEL_CLASS(TcxEditCellViewInfo, TcxCustomViewInfoItem)
 public:
  explicit TcxEditCellViewInfo(TObject* AOwner)
      : TcxCustomViewInfoItem(AOwner) {}
  ~TcxEditCellViewInfo() override;
  void BeforeDestruction() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  const TRect& VisibleRect() const { return visibleRect_; }
  const TRect& EditBounds() const { return editBounds_; }
  TcxBorders Borders() const { return borders_; }
  void SetBorders(TcxBorders Value) { borders_ = Value; }
  Variant& Value() { return value_; }
  TcxCustomEditProperties* Properties() const { return properties_; }
  void SetProperties(TcxCustomEditProperties* Value) { properties_ = Value; }
  TcxCustomEditViewInfo* EditViewInfo() const { return editViewInfo_.get(); }
  // Its own view data, or the item's shared one (looked up each time: the
  // item remakes it when its properties change).
  TcxCustomEditViewData* ViewData() const;
  bool ViewDataCreated() const { return ownViewData_ != nullptr; }
  Cardinal CellHeight() const { return cellHeight_; }
  bool Transparent() const;
  void SetTransparent(bool Value);
  TcxCustomInplaceEditContainer* EditContainer() const;

  // methods
  void SetBounds(const TRect& ADisplayRect, const TRect& AAvailableRect);
  Integer CalculateEditHeight();
  // Used by the item while it prepares the cell.
  // AOwned null: the cell draws with its item's shared view data.
  void SetViewData(TObjectPtr<TcxCustomEditViewData> AOwned);
  void SetEditViewInfo(TObjectPtr<TcxCustomEditViewInfo> Value);

  // IcxHotTrackElement
  TPoint GetOrigin() override;
  bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                  bool& AIsMultiLine, TRect& ATextRect,
                  bool& AIsNeedOffsetHint) override;
  void UpdateHotTrackState(const TPoint& P) override;

  // overridables
  void CheckClipping(const TRect& ADisplayRect,
                     const TRect& AAvailableRect) override;
  using TcxCustomViewInfoItem::CheckClipping;
  void DoCalculate() override;
  TcxEditingControl* GetControl() override;
  void Assign(TcxCustomViewInfoItem* Source) override;
  void DoHorzOffset(Integer) override {}
  void DoVertOffset(Integer) override {}
  virtual bool ChangedHeight(Integer AOldHeight, Integer ANewHeight);
  virtual TRect ContentOffset() { return TRect{1, 1, 1, 1}; }
  virtual TcxEditButtonTransparency GetButtonTransparency();
  virtual void GetDisplayValue(Variant& AValue);
  virtual TcxCustomInplaceEditContainer* GetEditContainer();
  virtual void GetEditViewParams(TcxViewParams& AParams);
  virtual bool GetFocused();
  virtual Integer GetMaxLineCount();
  virtual Integer GetRecordIndex() { return 0; }
  virtual TColor GetSelectedTextColor();
  virtual TColor GetSelectedBKColor();
  virtual void* GetViewInfoData();
  virtual bool IsAutoHeight();
  virtual bool IsEndEllipsis();
  virtual bool IsSupportedHotTrack();
  virtual bool Refresh(bool ARecalculate);

 private:
  TRect visibleRect_;
  Cardinal cellHeight_ = 0;
  Variant value_;
  TRect editBounds_;
  TcxBorders borders_;
  TcxCustomEditProperties* properties_ = nullptr;
  TObjectPtr<TcxCustomEditViewInfo> editViewInfo_;
  TObjectPtr<TcxCustomEditViewData> ownViewData_;
  bool usesItemViewData_ = false;
};
using TcxEditCellViewInfoClass =
    TcxSubObjectClass<TcxEditCellViewInfo, TObject>;

class TcxCustomControlPainter : public TObject {
  VARNEL_CLASS(TcxCustomControlPainter, TObject)
 public:
  explicit TcxCustomControlPainter(TcxEditingControl* AControl);
  ~TcxCustomControlPainter() override;

  bool Buffered() const { return buffered_; }
  void SetBuffered(bool Value);
  TcxCanvas* Canvas() const { return canvas_; }
  void SetCanvas(TcxCanvas* Value) { canvas_ = Value; }
  TcxEditingControl* Control() const { return control_; }
  TcxLookAndFeelPainterClass LookAndFeelPainter();

  void Paint();
  bool DoCustomDraw(TcxCustomViewInfoItem* AItem,
                    const TcxCustomDrawViewInfoItemEvent& AEvent);

  virtual void AfterCustomDraw(TcxCustomViewInfoItem* AItem);
  virtual void BeforeCustomDraw(TcxCustomViewInfoItem* AItem);
  virtual void DoPaintEditCell(TcxEditCellViewInfo* ACell,
                               bool AExcludeFromClip = true);
  virtual void DoPaint();

 private:
  TcxViewParams savedViewParams_;
  std::unique_ptr<TFont> savedFont_;
  TColor savedTextColor_ = clDefault;
  TColor savedBackgroundColor_ = clDefault;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TcxCanvas> bitmapCanvas_;
  bool buffered_ = false;
  TcxEditingControl* control_;
  TcxCanvas* canvas_;
};

class TcxCustomControlViewInfo : public TObject {
  VARNEL_CLASS(TcxCustomControlViewInfo, TObject)
 public:
  static constexpr Integer cvis_IsDirty = 1;
  static constexpr Integer cvis_StyleInvalid = 2;

  explicit TcxCustomControlViewInfo(TcxEditingControl* AControl);
  ~TcxCustomControlViewInfo() override;
  void BeforeDestruction() override;

  TcxEditingControl* Control() const { return control_; }
  const TRect& ClientRect() const { return clientRect_; }
  Integer DefaultEditHeight() const { return defaultEditHeight_; }
  Integer CellCount() const { return static_cast<Integer>(cells_.size()); }
  TcxCustomViewInfoItem* Cells(Integer AIndex) const {
    return cells_.at(static_cast<size_t>(AIndex)).get();
  }
  TcxCustomControlPainter* Painter() const { return painter_.get(); }
  TBrush* BackgroundBrush() const { return backgroundBrush_.get(); }
  TBrush* SelectionBrush() const { return selectionBrush_.get(); }
  const TcxViewParams& SelectionParams() const { return selectionParams_; }
  const TcxViewParams& BackgroundParams() const { return backgroundParams_; }
  bool IsDirty() const { return GetState(cvis_IsDirty); }

  void Calculate();
  void Invalidate(bool ARecalculate = false);
  TcxEditCellViewInfo* AddEditCellViewInfo(
      TcxEditCellViewInfoClass AClass, TcxCustomInplaceEditContainer* AItem);
  void RemoveEditCellViewInfo(TcxCustomViewInfoItem* ACell);
  void ClearEditCellViewInfos();
  bool GetState(Integer AMask) const { return (state_ & AMask) == AMask; }
  void SetState(Integer AMask, bool Value);
  TcxLookAndFeelPainterClass LookAndFeelPainter();

  virtual Integer CalculateDefaultEditHeight() { cxAbstractError(); }
  virtual void CalculateDefaultHeights();
  virtual TObjectPtr<TcxCustomControlPainter> CreatePainter();
  virtual void DoCalculate();
  virtual void UpdateSelection();
  void UpdateSelectionParams() { UpdateSelection(); }

 private:
  TcxEditingControl* control_;
  TRect clientRect_;
  Integer defaultEditHeight_ = 0;
  std::vector<TObjectPtr<TcxCustomViewInfoItem>> cells_;
  TObjectPtr<TcxCustomControlPainter> painter_;
  Integer state_ = cvis_StyleInvalid;
  std::unique_ptr<TBrush> backgroundBrush_;
  std::unique_ptr<TBrush> selectionBrush_;
  TcxViewParams selectionParams_;
  TcxViewParams backgroundParams_;
};

using TcxOnGetContentStyleEvent =
    TClosure<void(TObject* Sender, void* AData, TcxStyle*& AStyle)>;

class TcxCustomControlStyles : public TcxStyles {
  VARNEL_CLASS(TcxCustomControlStyles, TcxStyles)
 public:
  static constexpr Integer ecs_Content = 0;
  static constexpr Integer ecs_Background = 1;
  static constexpr Integer ecs_Inactive = 2;
  static constexpr Integer ecs_Selection = 3;

  explicit TcxCustomControlStyles(TPersistent* AOwner);
  ~TcxCustomControlStyles() override;
  void Assign(TPersistent* Source) override;
  void Changed(Integer AIndex) override;
  void GetDefaultViewParams(Integer AIndex, TObject* AData,
                            TcxViewParams& AParams) override;

  TcxStyle* Content() { return GetValue(ecs_Content); }
  void SetContent(TcxStyle* Value) { SetValue(ecs_Content, Value); }
  TcxStyle* Background() { return GetValue(ecs_Background); }
  void SetBackground(TcxStyle* Value) { SetValue(ecs_Background, Value); }
  TcxStyle* Inactive() { return GetValue(ecs_Inactive); }
  void SetInactive(TcxStyle* Value) { SetValue(ecs_Inactive, Value); }
  TcxStyle* Selection() { return GetValue(ecs_Selection); }
  void SetSelection(TcxStyle* Value) { SetValue(ecs_Selection, Value); }
  TcxOnGetContentStyleEvent OnGetContentStyle;

  void GetBackgroundParams(TcxViewParams& AParams);
  void GetSelectionParams(TcxViewParams& AParams);
  TcxStyle* GetDefaultStyle(Integer AIndex, TObject* AData);
  TcxEditingControl* Control();

 private:
  TObjectPtr<TcxStyle> defaultStyle_;
};

// ---------------------------------------------------------------------------
// Editing controller
// ---------------------------------------------------------------------------

class TcxEditingController : public TObject {
  VARNEL_CLASS(TcxEditingController, TObject)
 public:
  explicit TcxEditingController(TcxCustomControlController* AController);
  ~TcxEditingController() override;

  // properties
  TcxCustomControlController* Controller() const { return controller_; }
  TcxCustomEdit* Edit() const { return edit_; }
  TcxInplaceEditList* EditList() const { return editList_.get(); }
  TcxCustomInplaceEditContainer* EditingItem() const { return editingItem_; }
  bool IsEditing() const { return editingItem_ != nullptr; }
  bool EditHiding() const { return editHiding_; }
  bool EditPreparing() const { return editPreparing_; }
  bool IsErrorOnEditExit() const { return errorOnEditExit_; }
  bool EditUpdateNeeded() const { return editUpdateNeeded_; }
  bool EditShowingTimerActive() const { return editShowingTimer_ != nullptr; }
  TcxTimer* EditShowingTimer() const { return editShowingTimer_.get(); }
  TcxEditingControl* EditingControl() const;

  // methods
  TcxCustomEditProperties* GetEditingProperties();
  bool IsDragging();
  void SetEditingItem(TcxCustomInplaceEditContainer* Value);
  void ShowEdit(TcxCustomInplaceEditContainer* AItem = nullptr);
  void ShowEdit(TcxCustomInplaceEditContainer* AItem, char AKey);
  void ShowEdit(TcxCustomInplaceEditContainer* AItem, TShiftState AShift,
                Integer X, Integer Y);
  void StartEditShowingTimer(TcxCustomInplaceEditContainer* AItem);
  void StopEditShowingTimer();
  void UpdateEdit();
  void PostEditUpdate() { editUpdateNeeded_ = true; }
  void CancelEditUpdatePost() { editUpdateNeeded_ = false; }
  void CheckEditUpdatePost();
  void UpdateEditValue();
  void UpdateValue();

  // overridables
  virtual void AfterViewInfoCalculate();
  virtual void BeforeViewInfoCalculate() { editPlaced_ = false; }
  virtual bool CanRemoveEditFocus();
  virtual void AssignEditEvents();
  virtual void UnassignEditEvents();
  virtual bool GetHideEditOnExit();
  virtual bool GetHideEditOnFocusedRecordChange();
  virtual void InitEdit();
  virtual bool PrepareEdit(TcxCustomInplaceEditContainer* AItem,
                           bool AIsMouseEvent);
  virtual void EditAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditChanged(TObject* Sender);
  virtual void EditDblClick(TObject* Sender);
  virtual void EditEditing(TObject* Sender, bool& CanEdit);
  virtual void EditEnter(TObject* Sender);
  virtual void EditExit(TObject* Sender);
  virtual void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditKeyPress(TObject* Sender, char& Key);
  virtual void EditKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditPostEditValue(TObject* Sender);
  virtual void EditValueChanged(TObject* Sender);
  virtual void HideEdit(bool Accept);
  virtual void RemoveEdit(TcxCustomEditProperties* AProperties);

 protected:
  void DoUpdateEdit();
  void HideInplaceEditor();
  void EditShowingTimerHandler(TObject* Sender);

 private:
  TcxCustomControlController* controller_;
  TcxCustomEdit* edit_ = nullptr;
  TObjectPtr<TcxInplaceEditList> editList_;
  TcxCustomInplaceEditContainer* editingItem_ = nullptr;
  bool editingItemSetting_ = false;
  bool editPreparing_ = false;
  bool editHiding_ = false;
  bool initiatingEditing_ = false;
  bool editPlaced_ = false;
  bool editUpdateNeeded_ = false;
  bool errorOnEditExit_ = false;
  std::unique_ptr<TcxTimer> editShowingTimer_;
  TcxCustomInplaceEditContainer* editShowingTimerItem_ = nullptr;
  TNotifyEvent prevEditOnChange_;
  TNotifyEvent prevEditOnEditValueChanged_;
};

// ---------------------------------------------------------------------------
// Control controller and cell navigation
// ---------------------------------------------------------------------------

class TcxCustomCellNavigator : public TObject {
  VARNEL_CLASS(TcxCustomCellNavigator, TObject)
 public:
  explicit TcxCustomCellNavigator(TcxCustomControlController* AController);

  TcxCustomControlController* Controller() const { return controller_; }
  bool EatKeyPress() const { return eatKeyPress_; }
  void SetEatKeyPress(bool Value) { eatKeyPress_ = Value; }
  bool DownOnEnter() const { return downOnEnter_; }
  void SetDownOnEnter(bool Value) { downOnEnter_ = Value; }
  bool DownOnTab() const { return downOnTab_; }
  void SetDownOnTab(bool Value) { downOnTab_ = Value; }
  Integer RowCount() const { return rowCount_; }

  virtual TcxCustomInplaceEditContainer* SelectCell(bool AForward,
                                                    bool ANextRow,
                                                    Integer& ARowIndex,
                                                    Integer& ACellIndex);
  virtual void CalcNextRow(bool AForward, Integer& ARowIndex,
                           Integer& ACellIndex) = 0;
  virtual TcxCustomInplaceEditContainer* GetCellContainer(
      Integer ARowIndex, Integer ACellIndex) = 0;
  virtual Integer GetCount(Integer ARowIndex) = 0;
  virtual void Init(Integer& ARowIndex, Integer& ACellIndex,
                    Integer& ARowCount) = 0;
  virtual bool MayFocusedEmptyRow(Integer ARowIndex) {
    return (void)ARowIndex, false;
  }
  virtual void SetFocusCell(Integer ARowIndex, Integer ACellIndex,
                            TShiftState AShift) = 0;
  virtual void DoKeyPress(char& Key);
  virtual void FocusNextCell(bool AForward, bool ANextRow,
                             TShiftState AShift = {});
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void Refresh() {}

 protected:
  TcxEditingController* EditingController();

 private:
  TcxCustomControlController* controller_;
  bool eatKeyPress_ = false;
  bool downOnEnter_ = false;
  bool downOnTab_ = false;
  Integer rowCount_ = 0;
};
using TcxCellNavigatorClass =
    TcxSubObjectClass<TcxCustomCellNavigator, TcxCustomControlController>;

enum TcxDragSizingDirection : Byte { dsdHorz, dsdVert };

class TcxCustomControlController : public TObject {
  VARNEL_CLASS(TcxCustomControlController, TObject)
 public:
  explicit TcxCustomControlController(TcxEditingControl* AOwner);
  ~TcxCustomControlController() override;

  // properties
  TcxEditingControl* EditingControl() const { return editingControl_; }
  TcxEditingController* EditingController() const {
    return editingController_.get();
  }
  TcxCustomHitTestController* HitTestController() const {
    return hitTestController_.get();
  }
  TcxHotTrackController* HotTrackController() const {
    return hotTrackController_.get();
  }
  TcxCustomCellNavigator* Navigator() const { return navigator_.get(); }
  TcxCustomInplaceEditContainer* FocusedItem() const { return focusedItem_; }
  TcxCustomInplaceEditContainer* EditingItem() const;
  bool IsEditing() const;
  void SetEditingItem(TcxCustomInplaceEditContainer* Value);
  TcxDataController* DataController() const;
  bool AllowCheckEdit() const { return allowCheckEdit_; }
  void SetAllowCheckEdit(bool Value) { allowCheckEdit_ = Value; }
  bool BlockRecordKeyboardHandling() const {
    return blockRecordKeyboardHandling_;
  }
  void SetBlockRecordKeyboardHandling(bool Value) {
    blockRecordKeyboardHandling_ = Value;
  }
  bool DragCancel() const { return dragCancel_; }
  void SetDragCancel(bool Value) { dragCancel_ = Value; }
  TObject* DragItem() const { return dragItem_; }
  void SetDragItem(TObject* Value) { dragItem_ = Value; }
  bool EatKeyPress() const { return eatKeyPress_; }
  void SetEatKeyPress(bool Value) { eatKeyPress_ = Value; }
  bool EditingBeforeDrag() const { return editingBeforeDrag_; }
  void SetEditingBeforeDrag(bool Value) { editingBeforeDrag_ = Value; }
  bool IsDblClick() const { return isDblClick_; }
  bool MousePressed() const { return mousePressed_; }
  void SetMousePressed(bool Value) { mousePressed_ = Value; }
  bool WasFocusedBeforeClick() const { return wasFocusedBeforeClick_; }
  bool CheckEditNeeded() const { return checkEditNeeded_; }
  bool DisableCellsRefresh() const { return disableCellsRefresh_; }
  TcxDragAndDropObject* DragAndDropObject();
  TcxCustomDesignSelectionHelper* DesignSelectionHelper();

  // methods
  void Reset();
  void PostCheckEdit();
  void CancelCheckEditPost() { checkEditNeeded_ = false; }
  void ProcessCheckEditPost();
  void PostShowEdit();
  void InternalSetFocusedItem(TcxCustomInplaceEditContainer* Value) {
    focusedItem_ = Value;
  }
  void SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax,
                        Integer AStep, Integer APage, Integer APos,
                        bool AAllowShow, bool AAllowHide);
  TcxCustomInplaceEditContainer* GetItemForIncSearching();
  void SetIncSearchingText(const String& AText);

  // overridables
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void DoCancelMode() { FocusChanged(); }
  virtual void AfterPaint();
  virtual void BeforeEditKeyDown(Word& Key, TShiftState& Shift) {
    (void)Key, (void)Shift;
  }
  virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift,
                               Integer X, Integer Y);
  virtual void BeforePaint();
  virtual void BeforeShowEdit() {}
  virtual void BehaviorChanged();
  virtual bool CanFocusedRecordIndex(Integer AIndex) {
    return (void)AIndex, true;
  }
  virtual void CheckEdit();
  virtual void DoEditDblClick(TObject* Sender);
  virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                           Integer Y);
  virtual void DoMouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                         Integer Y);
  virtual void DoNextPage(bool AForward, TShiftState Shift) {
    (void)AForward, (void)Shift;
  }
  virtual TcxEditCellViewInfo* GetEditingViewInfo();
  virtual bool GetFocused() { return focused_; }
  virtual TcxEditCellViewInfo* GetFocusedCellViewInfo(
      TcxCustomInplaceEditContainer* AEditContainer) = 0;
  virtual Integer GetFocusedRecordIndex();
  virtual TcxDragSizingDirection GetResizeDirection() { return dsdHorz; }
  virtual void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem);
  virtual void FocusedRecordChanged(Integer APrevFocusedRowIndex,
                                    Integer AFocusedRowIndex);
  virtual bool HasFocusedControls();
  virtual void HideHint();
  virtual Word IncSearchKeyDown(Word AKey, TShiftState AShift);
  virtual bool IsImmediatePost() { return false; }
  virtual bool IsKeyForController(Word AKey, TShiftState AShift);
  virtual void RefreshFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem);
  virtual void RefreshFocusedRecord();
  virtual void SetFocused(bool Value) { focused_ = Value; }
  virtual void SetFocusedItem(TcxCustomInplaceEditContainer* Value);
  virtual void SetFocusedRecordIndex(Integer Value);
  virtual bool GetAlwaysShowEditor();
  virtual bool GetCancelEditingOnExit();
  virtual bool GetFocusCellOnCycle();
  virtual bool GetGoToNextCellOnEnter();
  virtual bool GetGoToNextCellOnTab();
  virtual bool GetImmediateEditor();
  virtual void BeforeStartDrag() {}
  virtual bool CanDrag(Integer X, Integer Y) { return (void)X, (void)Y, false; }
  virtual void DragDrop(TObject* Source, Integer X, Integer Y) {
    (void)Source, (void)X, (void)Y;
  }
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                        bool& Accept);
  virtual void EndDrag(TObject* Target, Integer X, Integer Y);
  virtual TClass GetDragAndDropObjectClass() { return nullptr; }
  virtual bool GetIsDragging() { return false; }
  virtual TcxCellNavigatorClass GetNavigatorClass() = 0;
  virtual void StartDrag(TDragObject*& DragObject) { (void)DragObject; }
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() {
    return mwskNone;
  }
  virtual bool IsPixelScrollBar(TScrollBarKind AKind) {
    return (void)AKind, false;
  }
  virtual void DoEnter() {}
  virtual void DoExit();
  virtual bool MayFocus();
  virtual void FocusChanged();
  virtual void RemoveFocus() {}
  virtual void SetFocus();
  virtual void CancelIncSearching();
  virtual TcxCustomInplaceEditContainer* GetIncSearchingItem();
  virtual String GetIncSearchingText();
  virtual bool GetIsIncSearching();
  virtual void SearchLocate(TcxCustomInplaceEditContainer* AItem,
                            const String& AValue);
  virtual void SearchLocateNext(TcxCustomInplaceEditContainer* AItem,
                                bool AForward);
  virtual void UpdateRecord(Integer ARecordIndex) { (void)ARecordIndex; }
  virtual void Clear();
  virtual void ControlFocusChanged();
  virtual void DblClick() {}
  virtual TCursor GetCursor(Integer X, Integer Y) {
    return (void)X, (void)Y, crDefault;
  }
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift) { (void)Key, (void)Shift; }
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                         Integer Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y) {
    (void)Shift, (void)X, (void)Y;
  }
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                       Integer Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void WndProc(TMessage& Message);
  virtual void BeginDragAndDrop();
  virtual void DragAndDrop(const TPoint& P, bool& Accepted) {
    (void)P, (void)Accepted;
  }
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool StartDragAndDrop(const TPoint& P) { return (void)P, false; }
  virtual void InitScrollBarsParameters() {}
  virtual void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) {
    (void)AKind, (void)ACode, (void)APos;
  }
  virtual void SetFocusedRecordItem(Integer ARecordIndex,
                                    TcxCustomInplaceEditContainer* AItem);
  virtual void MakeFocusedItemVisible() = 0;
  virtual void MakeFocusedRecordVisible() = 0;

 protected:
  // Called by the constructor's owner once the object is whole, so that
  // the sub-objects come from the class getters of the real class.
  friend class TcxEditingControl;
  void CreateSubObjects();

 private:
  bool allowCheckEdit_ = true;
  bool blockRecordKeyboardHandling_ = false;
  bool checkEditNeeded_ = false;
  bool disableCellsRefresh_ = false;
  bool dragCancel_ = false;
  TObject* dragItem_ = nullptr;
  bool eatKeyPress_ = false;
  bool editingBeforeDrag_ = false;
  TObjectPtr<TcxEditingController> editingController_;
  TcxEditingControl* editingControl_;
  bool focused_ = false;
  TcxCustomInplaceEditContainer* focusedItem_ = nullptr;
  TObjectPtr<TcxCustomHitTestController> hitTestController_;
  TObjectPtr<TcxHotTrackController> hotTrackController_;
  bool isDblClick_ = false;
  bool mousePressed_ = false;
  TObjectPtr<TcxCustomCellNavigator> navigator_;
  bool wasFocusedBeforeClick_ = false;
  TcxEditCellViewInfo* hotClickCell_ = nullptr;
};

// ---------------------------------------------------------------------------
// Hit testing, hot tracking, hints
// ---------------------------------------------------------------------------

using TcxHitCode = Int64;
constexpr TcxHitCode echc_IsMouseEvent = 1;

class TcxCustomHitTestController : public TObject {
  VARNEL_CLASS(TcxCustomHitTestController, TObject)
 public:
  explicit TcxCustomHitTestController(TcxCustomControlController* AOwner);

  TcxCustomControlController* Controller() const { return controller_; }
  TcxEditingControl* EditingControl() const;
  const TPoint& HitPoint() const { return hitPoint_; }
  void SetHitPoint(const TPoint& Value) { hitPoint_ = Value; }
  TObject* HitTestItem() const { return hitTestItem_; }
  void SetHitTestItem(TObject* AItem);
  TShiftState Shift() const { return shift_; }
  TcxHitCode HitState() const { return hitState_; }
  bool HasCode(TcxHitCode ACode) const { return (hitState_ & ACode) != 0; }
  void SetHasCode(TcxHitCode ACode, bool Value);
  Integer Coordinate(Integer AIndex) const {
    return AIndex == 0 ? hitPoint_.X : hitPoint_.Y;
  }
  void SetCoordinate(Integer AIndex, Integer Value);
  TcxEditCellViewInfo* EditCellViewInfo() const;
  bool IsItemEditCell() const { return EditCellViewInfo() != nullptr; }

  void ReCalculate();
  void ReCalculate(const TPoint& APoint);
  void RecalculateOnMouseEvent(Integer X, Integer Y, TShiftState AShift);
  void ClearState() { hitState_ &= echc_IsMouseEvent; }
  void DestroyingItem(TcxCustomViewInfoItem* AItem);

  virtual bool AllowDesignMouseEvents(Integer X, Integer Y, TShiftState AShift);
  virtual void DoCalculate();
  virtual TCursor GetCurrentCursor() { return crDefault; }
  virtual void HitCodeChanged(Integer APrevCode) { (void)APrevCode; }
  virtual void HitTestItemChanged(TObject* APrevHitTestItem) {
    (void)APrevHitTestItem;
  }

 private:
  TcxCustomControlController* controller_;
  TPoint hitPoint_{-1, -1};
  TObject* hitTestItem_ = nullptr;
  TShiftState shift_;
  TcxHitCode hitState_ = 0;
};
using TcxHitTestControllerClass =
    TcxSubObjectClass<TcxCustomHitTestController, TcxCustomControlController>;

class TcxHotTrackController : public TObject {
  VARNEL_CLASS(TcxHotTrackController, TObject)
 public:
  explicit TcxHotTrackController(TcxEditingControl* AControl);
  ~TcxHotTrackController() override;

  TcxEditingControl* Control() const { return control_; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value) { showHint_ = Value; }
  const String& HintText() const { return hintText_; }
  bool HintVisible() const { return hintVisible_; }
  const TRect& HintRect() const { return hintRect_; }
  TObject* HintElement() const { return hintElement_; }
  TObject* PrevElement() const { return prevElement_; }
  THintWindow* HintWindow() const { return hintWindow_.get(); }
  TcxTimer* HintTimer() const { return hintTimer_.get(); }

  void CancelHint() { InternalHideHint(); }
  void CheckDestroyingElement(TObject* AElement);
  void Clear();
  void SetHotElement(TObject* AElement, const TPoint& P);
  void ResetTimer();

  virtual void DoHideHint() {}
  virtual void DoShowHint() {}

 protected:
  bool CanShowHint();
  bool HintNeeded();
  void InitTimer(Integer AInterval, bool AEnabled,
                 const TNotifyEvent& AHandler);
  void InternalHideHint(TObject* Sender = nullptr);
  void InternalShowHint(TObject* Sender = nullptr);

 private:
  TcxEditingControl* control_;
  bool showHint_ = false;
  String hintText_;
  bool hintIsMultiLine_ = false;
  std::unique_ptr<TcxTimer> hintTimer_;
  TRect hintRect_;
  bool hintVisible_ = false;
  TObject* hintElement_ = nullptr;
  std::unique_ptr<THintWindow> hintWindow_;
  TPoint prevHitPoint_{-1, -1};
  TObject* prevElement_ = nullptr;
};
using TcxHotTrackControllerClass =
    TcxSubObjectClass<TcxHotTrackController, TcxEditingControl>;

// The bridge to a design environment's selection; a running program
// registers no helper class, so none exists there.
class TcxCustomDesignSelectionHelper : public TObject {
  VARNEL_CLASS(TcxCustomDesignSelectionHelper, TObject)
 public:
  explicit TcxCustomDesignSelectionHelper(TcxEditingControl* AControl)
      : control_(AControl) {}
  TcxEditingControl* Control() const { return control_; }
  virtual bool IsObjectSelected(TPersistent* AObject) = 0;
  virtual void Select(TPersistent* AObject, TShiftState AShift) = 0;
  virtual void UnselectObject(TPersistent* AObject) = 0;

 private:
  TcxEditingControl* control_;
};
using TcxDesignSelectionHelperClass =
    TcxSubObjectClass<TcxCustomDesignSelectionHelper, TcxEditingControl>;
extern TcxDesignSelectionHelperClass cxDesignSelectionHelperClass;

// ---------------------------------------------------------------------------
// Drag and drop, sizing, auto-scrolling, drag images
// ---------------------------------------------------------------------------

class IcxDragSizing : public IInterface {
 public:
  static constexpr TGUID IID{0x3A4C1F2B,
                             0x8D67,
                             0x4E4B,
                             {0x9B, 0x2D, 0x61, 0x05, 0x7E, 0x33, 0x5A, 0x90}};
  virtual bool CanSizing(TcxDragSizingDirection ADirection) = 0;
  virtual TRect GetSizingBoundsRect(TcxDragSizingDirection ADirection) = 0;
  virtual Integer GetSizingIncrement(TcxDragSizingDirection ADirection) = 0;
  virtual bool IsDynamicUpdate() = 0;
  virtual void SetSizeDelta(TcxDragSizingDirection ADirection,
                            Integer ADelta) = 0;

 protected:
  ~IcxDragSizing() = default;
};

// Resizes a row or column by dragging its edge.
class TcxSizingDragAndDropObject : public TcxDragAndDropObject {
  VARNEL_CLASS(TcxSizingDragAndDropObject, TcxDragAndDropObject)
 public:
  explicit TcxSizingDragAndDropObject(TComponent* AControl)
      : TcxDragAndDropObject(AControl) {}

  Integer Delta() const { return delta_; }
  TcxDragSizingDirection Direction() const { return direction_; }
  const TPoint& DragPos() const { return dragPos_; }
  bool DynamicUpdate() const { return dynamicUpdate_; }
  Integer SizeIncrement() const { return sizeIncrement_; }
  const TPoint& StartPos() const { return startPos_; }
  TcxEditingControl* EditingControl() const;
  TcxCustomControlController* Controller() const;
  TObject* DragItem() const;
  IcxDragSizing* DragSizing() const;
  Integer GetDragCoord(const TPoint& P) const {
    return direction_ == dsdHorz ? P.X : P.Y;
  }

  bool GetImmediateStart() override { return true; }
  virtual TPoint GetDragPos(const TPoint& P);
  virtual TRect GetSizingMarkBounds();

 protected:
  void DirtyChanged() override;
  TCursor GetDragAndDropCursor(bool Accepted) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;

 private:
  Integer delta_ = 0;
  TcxDragSizingDirection direction_ = dsdHorz;
  TPoint dragBoundsTopLeft_;
  TPoint dragBoundsBottomRight_;
  TPoint dragPos_;
  bool dynamicUpdate_ = false;
  TPoint startPos_;
  Integer sizeIncrement_ = 1;
};

class TcxBaseDragAndDropObject : public TcxDragAndDropObject {
  VARNEL_CLASS(TcxBaseDragAndDropObject, TcxDragAndDropObject)
 public:
  explicit TcxBaseDragAndDropObject(TComponent* AControl)
      : TcxDragAndDropObject(AControl) {}
  TcxEditingControl* EditingControl() const;

 protected:
  TCursor GetDragAndDropCursor(bool Accepted) override;
};

// This unit's drag image: the foundation's, alpha-blended when it can be.
class TcxEditingControlDragImage : public TcxDragImage {
  VARNEL_CLASS(TcxEditingControlDragImage, TcxDragImage)
 public:
  TcxEditingControlDragImage() = default;
};

class TcxAutoScrollingObject : public TObject {
  VARNEL_CLASS(TcxAutoScrollingObject, TObject)
 public:
  explicit TcxAutoScrollingObject(TObject* AOwner);
  ~TcxAutoScrollingObject() override;

  TObject* Owner() const { return owner_; }
  const TRect& Area() const { return area_; }
  Integer Increment() const { return increment_; }
  TScrollBarKind Kind() const { return kind_; }
  TScrollCode Code() const { return code_; }
  TcxTimer* Timer() const { return timer_.get(); }
  bool Active() const { return timer_->Enabled(); }

  void SetParams(const TRect& AArea, TScrollBarKind AKind, TScrollCode ACode,
                 Integer AIncrement);
  bool Check(const TPoint& P);
  void Stop() { timer_->SetEnabled(false); }

  virtual void DoScrollInspectingControl();
  virtual TcxEditingControl* GetControl() { return nullptr; }
  virtual TcxControlScrollBar* GetScrollBar(TScrollBarKind AKind);
  void TimerHandler(TObject* Sender) {
    (void)Sender;
    DoScrollInspectingControl();
  }

 protected:
  // Moves the bar of AKind by ADelta within its range; True when it moved.
  bool ScrollBy(TScrollBarKind AKind, TScrollCode ACode, Integer ADelta);

 private:
  TRect area_;
  TScrollCode code_ = scLineDown;
  Integer increment_ = 1;
  TScrollBarKind kind_ = sbVertical;
  TObject* owner_;
  std::unique_ptr<TcxTimer> timer_;
};

class TcxDragDropObjectAutoScrollingObject : public TcxAutoScrollingObject {
  VARNEL_CLASS(TcxDragDropObjectAutoScrollingObject, TcxAutoScrollingObject)
 public:
  using TcxAutoScrollingObject::TcxAutoScrollingObject;
  TcxEditingControl* GetControl() override;
};

class TcxControllerAutoScrollingObject : public TcxAutoScrollingObject {
  VARNEL_CLASS(TcxControllerAutoScrollingObject, TcxAutoScrollingObject)
 public:
  using TcxAutoScrollingObject::TcxAutoScrollingObject;
  TcxEditingControl* GetControl() override;
  void SetBoundsParams(const TRect& AClientArea, bool ACheckHorz,
                       bool ACheckVert, Integer AIncrement);
  bool CheckBounds(const TPoint& P);
  Byte Directions() const { return directions_; }
  void DoScrollInspectingControl() override;

 private:
  bool boundsMode_ = false;
  bool checkHorz_ = false;
  bool checkVert_ = false;
  Byte directions_ = 0;
};
using TcxAutoScrollingObjectClass =
    TcxSubObjectClass<TcxAutoScrollingObject, TObject>;

// Moves an element with a floating image of it and scrolls the control
// near its edges.
class TcxCustomControlDragAndDropObject : public TcxBaseDragAndDropObject {
  VARNEL_CLASS(TcxCustomControlDragAndDropObject, TcxBaseDragAndDropObject)
 public:
  explicit TcxCustomControlDragAndDropObject(TComponent* AControl);
  ~TcxCustomControlDragAndDropObject() override;

  bool CanDrop() const { return canDrop_; }
  TcxEditingControlDragImage* DragImage() const { return dragImage_.get(); }
  const TPoint& HotSpot() const { return hotSpot_; }
  Integer AutoScrollObjectCount() const {
    return static_cast<Integer>(autoScrollObjects_.size());
  }
  TcxAutoScrollingObject* AutoScrollObjects(Integer AIndex) const {
    return autoScrollObjects_.at(static_cast<size_t>(AIndex)).get();
  }
  TcxCustomHitTestController* HitTestController() const;

  void AddAutoScrollingObject(const TRect& AArea, TScrollBarKind AKind,
                              TScrollCode ACode);
  bool CheckScrolling(const TPoint& P);
  void StopScrolling();
  void DrawImage(const TPoint& P);

  virtual void DrawDragImage();
  virtual TRect GetAcceptedRect() { return TRect{}; }
  virtual TcxAutoScrollingObjectClass GetAutoScrollingObjectClass();
  virtual TRect GetDisplayRect() = 0;
  virtual Integer GetHorzScrollInc() { return 1; }
  virtual Integer GetVertScrollInc() { return 1; }
  virtual void OwnerImageChanged();
  virtual void OwnerImageChanging() {}
  virtual void Paint() = 0;

 protected:
  TCursor GetDragAndDropCursor(bool Accepted) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;

 private:
  TPoint ImagePosition() const;

  std::vector<TObjectPtr<TcxAutoScrollingObject>> autoScrollObjects_;
  bool canDrop_ = false;
  TObjectPtr<TcxEditingControlDragImage> dragImage_;
  TPoint hotSpot_;
  TPoint originOffset_;
  TRect imageRect_;
};

// Moves an image of the dragged element while a class-library drag runs.
class TcxDragImageHelper : public TObject {
  VARNEL_CLASS(TcxDragImageHelper, TObject)
 public:
  TcxDragImageHelper(TcxEditingControl* AControl, const TPoint& ADragPos);
  ~TcxDragImageHelper() override;

  TcxEditingControl* DragControl() const { return dragControl_; }
  TcxEditingControlDragImage* DragImage() const { return dragImage_.get(); }
  bool DragImageVisible() const { return dragImageVisible_; }
  void SetDragImageVisible(bool Value);
  const TPoint& HotSpot() const { return hotSpot_; }
  const TPoint& MousePos() const { return mousePos_; }
  TRect GetImageRect() const;

  virtual void DragAndDrop(const TPoint& P);
  virtual TRect GetDisplayRect();
  virtual void InitDragImage();
  virtual void DrawImage(const TPoint& P);
  virtual void Hide();
  virtual void Show();

 private:
  TcxEditingControl* dragControl_;
  bool dragImageVisible_ = false;
  TPoint dragStartPoint_;
  TObjectPtr<TcxEditingControlDragImage> dragImage_;
  TPoint hotSpot_;
  TRect imageBounds_;
  TPoint mousePos_;
};
using TcxDragImageHelperClass = TObjectPtr<TcxDragImageHelper> (*)(
    TcxEditingControl* AControl, const TPoint& ADragPos);

// The pair of arrows that marks where a dragged element will go.
class TcxPlaceArrows : public TcxEditingControlDragImage {
  VARNEL_CLASS(TcxPlaceArrows, TcxEditingControlDragImage)
 public:
  TcxPlaceArrows(TColor AFirstColor, TColor ASecondColor);
  ~TcxPlaceArrows() override;

  // False when the arrows already show there.
  bool MoveTo(const TRect& ARect, TcxBorder ASide);
  using TcxDragImage::MoveTo;
  const TRect& CurrentRect() const { return currentRect_; }
  TcxBorder PrevSide() const { return prevSide_; }
  HRGN WindowRegion() const { return windowRegion_; }

 protected:
  HRGN CreateArrowsRgns(const TRect& ARect, TcxBorder ASide);
  void SetWindowRegion(HRGN ARegion);

 private:
  TColor firstColor_;
  TColor secondColor_;
  TRect currentRect_;
  TcxBorder prevSide_ = bLeft;
  HRGN windowRegion_ = nullptr;
};

// ---------------------------------------------------------------------------
// The control
// ---------------------------------------------------------------------------

class TcxEditingControl : public TcxControl, public IcxMouseTrackingCaller {
  VARNEL_CLASS(TcxEditingControl, TcxControl)
 public:
  // construction
  explicit TcxEditingControl(TComponent* AOwner);
  ~TcxEditingControl() override;
  void BeforeDestruction() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  bool BufferedPaint() const;
  void SetBufferedPaint(bool Value);
  TcxCustomControlController* Controller() const { return controller_.get(); }
  TcxControlDataController* DataController() const {
    return dataController_.get();
  }
  TcxCustomDesignSelectionHelper* DesignSelectionHelper() const {
    return designSelectionHelper_.get();
  }
  TcxDragImageHelper* DragImageHelper() const { return dragImageHelper_.get(); }
  const TPoint& DragPos() const { return dragPos_; }
  // Where a drag that starts outside the control (a customization form's
  // list) holds the dragged item.
  void SetDragPos(const TPoint& Value) { dragPos_ = Value; }
  TcxCustomEditStyle* EditStyle() const { return editStyle_.get(); }
  void SetEditStyle(TcxCustomEditStyle* Value) { editStyle_->Assign(Value); }
  TcxEditingController* EditingController() const;
  TcxCustomHitTestController* HitTestController() const;
  Integer ItemCount() const { return static_cast<Integer>(items_.size()); }
  TcxCustomInplaceEditContainer* Items(Integer AIndex) const {
    return items_.at(static_cast<size_t>(AIndex));
  }
  bool LayoutChangedFlag() const { return layoutChangedFlag_; }
  void SetLayoutChangedFlag(bool Value) { layoutChangedFlag_ = Value; }
  Integer LockCount() const { return lockCount_; }
  TcxCustomControlPainter* Painter() const;
  TcxCustomControlStyles* Styles() const { return styles_.get(); }
  void SetStyles(TcxCustomControlStyles* Value) { styles_->Assign(Value); }
  TcxCustomControlViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TcxBrushCache* BrushCache() const { return brushCache_.get(); }

  TcxCustomDrawViewInfoItemEvent OnDrawValue;
  TcxecItemEvent OnEditChanged;
  TcxecItemEvent OnEdited;
  TcxecEditingEvent OnEditing;
  TcxecItemEvent OnEditValueChanged;
  TcxecInitEditEvent OnInitEdit;

  // methods
  void BeginUpdate() { DoBeginUpdate(); }
  void EndUpdate() { DoEndUpdate(); }
  void CancelUpdate();
  [[nodiscard]] auto UpdateScope() {
    return MakeBracket(this, &TcxEditingControl::BeginUpdate,
                       &TcxEditingControl::EndUpdate);
  }
  void LayoutChanged();
  void UpdateViewStyles();
  void UpdateIndexes();
  void FinishDragImages();
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // IcxMouseTrackingCaller
  void MouseLeave() override { DoMouseLeave(); }
  void DoMouseLeave() { MouseLeave(this); }

  // overridables introduced here
  virtual void AfterLayoutChanged() {}
  virtual void BeforeUpdate() {}
  virtual void CheckCreateDesignSelectionHelper();
  virtual void CreateSubClasses();
  virtual void ControlUpdateData(TcxUpdateControlInfo* AInfo);
  virtual void DataChanged();
  virtual void DataLayoutChanged();
  virtual void DestroySubClasses();
  virtual void DoBeginUpdate();
  virtual void DoEndUpdate();
  virtual void DoEditChanged(TcxCustomInplaceEditContainer* AItem);
  virtual void DoEdited(TcxCustomInplaceEditContainer* AItem);
  virtual bool DoEditing(TcxCustomInplaceEditContainer* AItem);
  virtual void DoEditValueChanged(TcxCustomInplaceEditContainer* AItem);
  virtual void DoInitEdit(TcxCustomInplaceEditContainer* AItem,
                          TcxCustomEdit* AEdit);
  virtual void DoInplaceEditContainerItemAdded(
      TcxCustomInplaceEditContainer* AItem);
  virtual void DoInplaceEditContainerItemRemoved(
      TcxCustomInplaceEditContainer* AItem);
  virtual void DoLayoutChanged();
  using TcxControllerClass =
      TcxSubObjectClass<TcxCustomControlController, TcxEditingControl>;
  using TcxControlStylesClass =
      TcxSubObjectClass<TcxCustomControlStyles, TPersistent>;
  using TcxDataControllerClass =
      TcxSubObjectClass<TcxControlDataController, TComponent>;
  using TcxEditStyleClass = TObjectPtr<TcxCustomEditStyle> (*)(
      TPersistent* AOwner, bool ADirectAccessMode);
  using TcxEditingControllerClass =
      TcxSubObjectClass<TcxEditingController, TcxCustomControlController>;
  using TcxViewInfoClass =
      TcxSubObjectClass<TcxCustomControlViewInfo, TcxEditingControl>;
  using TcxPainterClass =
      TcxSubObjectClass<TcxCustomControlPainter, TcxEditingControl>;
  virtual TcxControllerClass GetControllerClass() = 0;
  virtual TcxControlStylesClass GetControlStylesClass();
  virtual TcxDataControllerClass GetDataControllerClass();
  virtual TcxDragImageHelperClass GetDragImageHelperClass();
  virtual TcxEditStyleClass GetEditStyleClass();
  virtual TcxEditingControllerClass GetEditingControllerClass();
  virtual TcxHitTestControllerClass GetHitTestControllerClass();
  virtual TcxHotTrackControllerClass GetHotTrackControllerClass();
  virtual TcxViewInfoClass GetViewInfoClass() = 0;
  virtual IcxEditingControlOptions* GetOptions() = 0;
  virtual TcxPainterClass GetPainterClass();
  virtual bool IsLocked();
  virtual void RecreateViewInfo();
  virtual void SelectionChanged(TcxSelectionChangedInfo* AInfo) { (void)AInfo; }
  virtual void UpdateData();
  virtual TRect DragDropImageDisplayRect() { return TRect{}; }
  virtual void DrawDragDropImage(TBitmap* ABitmap, TcxCanvas* ACanvas) {
    (void)ABitmap, (void)ACanvas;
  }
  virtual bool HasDragDropImages();

  // overrides of the control base and the class library
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) override;
  TCursor GetCursor(Integer X, Integer Y) override;
  bool GetIsFocused() override;
  TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override;
  void InitControl() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  void InitScrollBarsParameters() override;
  bool IsPixelScrollBar(TScrollBarKind AKind) override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode,
              Integer& AScrollPos) override;
  TClass GetDragAndDropObjectClass() override;
  void BoundsChanged() override;
  void FontChanged() override;
  bool MayFocus() override;
  bool CanDrag(Integer X, Integer Y) override;
  void DoCancelMode() override;
  bool GetDesignHitTest(Integer X, Integer Y, TShiftState Shift) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void FocusChanged() override;
  void DoExit() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  virtual void BeginAutoDrag();
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;
  bool StartDragAndDrop(const TPoint& P) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;

 private:
  friend class TcxCustomInplaceEditContainer;
  // Owned items outlive the control's body; they are cut loose first.
  void DetachItems();
  std::unique_ptr<TcxBrushCache> brushCache_;
  Integer layoutNestingCount_ = 0;
  std::vector<TcxCustomInplaceEditContainer*> items_;
  TObjectPtr<TcxCustomDesignSelectionHelper> designSelectionHelper_;
  TObjectPtr<TcxDragImageHelper> dragImageHelper_;
  TPoint dragPos_;
  TObjectPtr<TcxCustomEditStyle> editStyle_;
  bool layoutChangedFlag_ = false;
  TObjectPtr<TcxCustomControlStyles> styles_;
  TObjectPtr<TcxCustomControlViewInfo> viewInfo_;
  TObjectPtr<TcxCustomControlController> controller_;
  TObjectPtr<TcxControlDataController> dataController_;
  Integer lockCount_ = 0;
  bool subClassesCreated_ = false;
};

// Adds the three option objects.
class TcxExtEditingControl : public TcxEditingControl,
                             public IcxEditingControlOptions {
  VARNEL_CLASS(TcxExtEditingControl, TcxEditingControl)
 public:
  explicit TcxExtEditingControl(TComponent* AOwner);
  ~TcxExtEditingControl() override;

  TcxControlOptionsBehavior* OptionsBehavior() const {
    return optionsBehavior_.get();
  }
  void SetOptionsBehavior(TcxControlOptionsBehavior* Value) {
    optionsBehavior_->Assign(Value);
  }
  TcxControlOptionsData* OptionsData() const { return optionsData_.get(); }
  void SetOptionsData(TcxControlOptionsData* Value) {
    optionsData_->Assign(Value);
  }
  TcxControlOptionsView* OptionsView() const { return optionsView_.get(); }
  void SetOptionsView(TcxControlOptionsView* Value) {
    optionsView_->Assign(Value);
  }

  // IcxEditingControlOptions
  TcxControlOptionsBehavior* GetOptionsBehavior() override {
    return optionsBehavior_.get();
  }
  TcxControlOptionsData* GetOptionsData() override {
    return optionsData_.get();
  }
  TcxControlOptionsView* GetOptionsView() override {
    return optionsView_.get();
  }
  IcxEditingControlOptions* GetOptions() override { return this; }
  void CreateSubClasses() override;
  void DestroySubClasses() override;

 protected:
  virtual TObjectPtr<TcxControlOptionsBehavior> CreateOptionsBehavior();
  virtual TObjectPtr<TcxControlOptionsData> CreateOptionsData();
  virtual TObjectPtr<TcxControlOptionsView> CreateOptionsView();

 private:
  TObjectPtr<TcxControlOptionsBehavior> optionsBehavior_;
  TObjectPtr<TcxControlOptionsData> optionsData_;
  TObjectPtr<TcxControlOptionsView> optionsView_;
};
