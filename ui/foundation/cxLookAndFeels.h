// Look-and-feel: the small settings object every control owns that says in
// which visual kind the control is drawn and which painter draws it. Values
// are assigned locally or inherited along a chain of masters that ends at
// one application-wide root; a controller component writes the root, so one
// setting changes every control of the program.
#pragma once

#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "TypInfo.h"
//
#include "cxClasses.h"
#include "cxLookAndFeelPainters.h"
#include "dxThemeManager.h"

class TcxLookAndFeel;

// Stored as one byte each, in this order.
enum TcxLookAndFeelValue : Byte { lfvKind, lfvNativeStyle, lfvSkinName };
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue>;

inline constexpr TcxLookAndFeelValues cxAllLookAndFeelValues{
    lfvKind, lfvNativeStyle, lfvSkinName};

struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  TdxSkinName SkinName;
};

// Told by a master when a value it passes on changes, and when it goes.
class IcxLookAndFeelNotificationListener : public IInterface {
 public:
  static constexpr TGUID IID{0x205538BF,
                             0xF19E,
                             0x4285,
                             {0xB1, 0x1F, 0xB1, 0x82, 0xD9, 0x63, 0x58, 0x81}};
  virtual TObject* GetObject() = 0;
  virtual void MasterLookAndFeelChanged(
      TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) = 0;
  virtual void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) = 0;

 protected:
  ~IcxLookAndFeelNotificationListener() = default;
};

// A control that owns a look-and-feel.
class IcxLookAndFeelContainer : public IInterface {
 public:
  static constexpr TGUID IID{0x6065B58B,
                             0xC557,
                             0x4464,
                             {0xA6, 0x7D, 0x64, 0x18, 0x3F, 0xD1, 0x3F, 0x25}};
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;

 protected:
  ~IcxLookAndFeelContainer() = default;
};

// A marker: the class supports skins.
class IdxSkinSupport : public IInterface {
 public:
  static constexpr TGUID IID{0xEF3FF483,
                             0x9B69,
                             0x46DF,
                             {0x95, 0xA4, 0xD3, 0xA3, 0x81, 0x0F, 0x63, 0xA5}};

 protected:
  ~IdxSkinSupport() = default;
};

using TcxLookAndFeelChangedEvent =
    TClosure<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

class TcxLookAndFeel : public TcxInterfacedPersistent,
                       public IcxLookAndFeelNotificationListener,
                       public IcxLookAndFeelPainterListener {
  VARNEL_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
 public:
  explicit TcxLookAndFeel(TPersistent* AOwner);
  ~TcxLookAndFeel() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TcxInterfacedPersistent::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  void Assign(TPersistent* Source) override;

  TcxLookAndFeelKind GetKind() const { return current_.Kind; }
  bool GetNativeStyle() const { return current_.NativeStyle; }
  const TdxSkinName& GetSkinName() const { return current_.SkinName; }
  void SetKind(TcxLookAndFeelKind Value);
  void SetNativeStyle(bool Value);
  void SetSkinName(const TdxSkinName& Value);
  TcxLookAndFeelKind Kind() const { return GetKind(); }
  bool NativeStyle() const { return GetNativeStyle(); }
  const TdxSkinName& SkinName() const { return GetSkinName(); }

  // The override when one is set, else the painter chosen for the state.
  TcxLookAndFeelPainterClass GetPainter() const;
  void SetPainter(TcxLookAndFeelPainterClass Value);
  TcxLookAndFeelPainterClass Painter() const { return GetPainter(); }
  // The painter for drawing parts of the given themed object type(s).
  TcxLookAndFeelPainterClass GetAvailablePainter(
      TdxThemedObjectType AType) const;
  TcxLookAndFeelPainterClass GetAvailablePainter(
      TdxThemedObjectTypes ATypes = {}) const;
  TcxLookAndFeelStyle GetActiveStyle() const;
  // The skin painter chosen for the state; null when none.
  TcxLookAndFeelPainterClass SkinPainter() const { return skinPainter_; }

  // Null for the root; else the explicit master or, without one, the root.
  TcxLookAndFeel* GetMasterLookAndFeel() const;
  void SetMasterLookAndFeel(TcxLookAndFeel* Value);
  TcxLookAndFeel* MasterLookAndFeel() const { return GetMasterLookAndFeel(); }

  TcxLookAndFeelValues AssignedValues() const { return assignedValues_; }
  void SetAssignedValues(TcxLookAndFeelValues Value);
  void Reset() { SetAssignedValues({}); }
  void SetStyle(TcxLookAndFeelStyle Value);

  bool IsKindStored() const { return assignedValues_.Contains(lfvKind); }
  bool IsNativeStyleStored() const {
    return assignedValues_.Contains(lfvNativeStyle);
  }
  bool IsSkinNameStored() const {
    return assignedValues_.Contains(lfvSkinName);
  }
  bool IsRoot() const { return isRoot_; }

  void AddChangeListener(IcxLookAndFeelNotificationListener* AListener);
  void RemoveChangeListener(IcxLookAndFeelNotificationListener* AListener);
  Integer ChangeListenerCount() const {
    return static_cast<Integer>(listeners_.size());
  }

  // IcxLookAndFeelNotificationListener
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* Sender,
                                TcxLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) override;
  // IcxLookAndFeelPainterListener
  void PainterChanged(TcxLookAndFeelPainterClass APainter) override;

  TcxLookAndFeelChangedEvent OnChanged;

  // Makes the process-wide root (unit start-up only).
  static void CreateRoot();
  static void DestroyRoot();

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

  virtual TcxLookAndFeelKind InternalGetKind();
  virtual bool InternalGetNativeStyle();
  virtual TdxSkinName InternalGetSkinName();
  virtual TcxLookAndFeelPainterClass InternalGetSkinPainter();
  // True for a non-empty name registered as a skin; APainter is then that
  // painter, or null when skins are switched off.
  virtual bool IsVisualSkinAvailable(const TdxSkinName& AName,
                                     TcxLookAndFeelPainterClass& APainter);
  virtual void SystemPaletteChanged();

  void Changed(TcxLookAndFeelValues AChangedValues);
  void SaveState();
  void CheckStateChanges();

  const TcxLookAndFeelData& OwnData() const { return data_; }

 private:
  // The master whose values are inherited: the explicit one, else the root.
  TcxLookAndFeel* EffectiveMaster() const;
  TcxLookAndFeelData ValuesInForce();
  bool IsControllerListener(IcxLookAndFeelNotificationListener* L);

  TcxLookAndFeelValues assignedValues_;
  std::vector<IcxLookAndFeelNotificationListener*> listeners_;
  TcxLookAndFeelData current_;
  TcxLookAndFeelPainterClass availablePainter_ = nullptr;
  TcxLookAndFeelData data_;
  bool destroying_ = false;
  bool isRoot_ = false;
  TcxLookAndFeel* master_ = nullptr;
  TcxLookAndFeelPainterClass painter_ = nullptr;
  TcxLookAndFeelPainterClass skinPainter_ = nullptr;
  TcxLookAndFeelData previous_;
  TObjectPtr<TcxSystemPaletteChangedNotifier> paletteNotifier_;
  bool painterListenerRegistered_ = false;
};

// Writes the root look-and-feel: one of these on the main form sets the look
// of every control.
class TcxLookAndFeelController : public TComponent,
                                 public IcxLookAndFeelNotificationListener {
  VARNEL_CLASS(TcxLookAndFeelController, TComponent)
 public:
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;
  void BeforeDestruction() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  TdxSkinName SkinName() const;
  void SetSkinName(const TdxSkinName& Value);
  bool IsSkinNameStored() const { return !SkinName().empty(); }

  // IcxLookAndFeelNotificationListener
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* Sender,
                                TcxLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) override;

 private:
  void Unregister();
  bool registered_ = false;
};

// The root look-and-feel; null before unit start-up and after unit exit.
TcxLookAndFeel* RootLookAndFeel();
// The number of controllers the root holds.
Integer cxLookAndFeelControllerCount();

// For the control and every windowed child, depth first: a control that owns
// a look-and-feel takes the given master.
void SetControlLookAndFeel(TWinControl* AControl,
                           TcxLookAndFeel* AMasterLookAndFeel);
// The same walk, setting Kind then NativeStyle.
void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeelKind AKind,
                           bool ANativeStyle);

// When false no skin painter is ever used.
extern bool cxUseSkins;

// The painter class drawing the kind, and the style the kind reports.
TcxLookAndFeelPainterClass cxLookAndFeelKindPainter(TcxLookAndFeelKind AKind);
TcxLookAndFeelStyle cxLookAndFeelKindStyle(TcxLookAndFeelKind AKind);
TcxLookAndFeelKind cxLookAndFeelStyleKind(TcxLookAndFeelStyle AStyle);
