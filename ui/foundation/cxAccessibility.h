// Accessible objects for controls: one implementation of the system's
// accessibility interface on top of a few virtual operations that each kind
// of described object (a control, a bar, a bar item) overrides. The
// accessibility library is loaded at run time, so the program also starts
// where it is missing.
#pragma once

#include <oleacc.h>

#include <memory>

#include "Classes.h"
#include "Messages.h"
#include "SysUtils.h"
#include "Types.h"

class TcxAccessibilityHelper;

enum TcxAccessibleObjectProperty : Byte {
  aopDefaultAction,
  aopDescription,
  aopFocus,
  aopLocation,
  aopShortcut,
  aopValue
};
using TcxAccessibleObjectProperties = TSet<TcxAccessibleObjectProperty>;

enum TcxAccessibleObjectHitTest : Byte { aohtNone, aohtSelf, aohtChild };

enum TcxAccessibilityNavigationDirection : Byte {
  andLeft,
  andUp,
  andRight,
  andDown,
  andPrev,
  andNext
};

class IcxAccessibilityHelper : public IInterface {
 public:
  static constexpr TGUID IID{0xD4890860,
                             0x09B2,
                             0x4648,
                             {0xBD, 0x9E, 0xDF, 0xFB, 0xD1, 0x40, 0xE5, 0xF1}};
  virtual TcxAccessibilityHelper* GetHelper() = 0;

 protected:
  ~IcxAccessibilityHelper() = default;
};

// Freed when the last reference (ours or an accessibility client's) goes.
class TcxAccessibilityHelper : public TInterfacedObject,
                               public IcxAccessibilityHelper {
  VARNEL_CLASS(TcxAccessibilityHelper, TInterfacedObject)
 public:
  explicit TcxAccessibilityHelper(TObject* AOwnerObject);
  ~TcxAccessibilityHelper() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }
  TcxAccessibilityHelper* GetHelper() override { return this; }

  // The system interface, with a counted reference for the caller.
  IAccessible* GetIAccessible();
  TObject* OwnerObject() const { return ownerObject_; }
  bool IsOwnerObjectLive() const { return ownerObjectLive_; }

  virtual void OwnerObjectDestroyed();
  virtual bool ChildIsSimpleElement(Integer AIndex);
  virtual void DoDefaultAction(Integer AElement);
  virtual bool Focused(bool& AIsChildFocused, Integer& AFocusedChildIndex);
  virtual TcxAccessibilityHelper* GetChild(Integer AIndex);
  virtual Integer GetChildCount();
  virtual Integer GetChildIndex(TcxAccessibilityHelper* AChild);
  virtual String GetDefaultActionDescription(Integer AElement);
  virtual String GetDescription(Integer AElement);
  virtual TcxAccessibleObjectHitTest GetHitTest(Integer AScreenX,
                                                Integer AScreenY,
                                                Integer& AChildIndex);
  virtual void GetKeyboardAccessParameters(Integer AElement,
                                           TShortCut& AShortCut,
                                           String& ACaptionWithAccelChars);
  virtual String GetName(Integer AElement);
  virtual HWND GetOwnerObjectWindow();
  virtual TcxAccessibilityHelper* GetParent();
  virtual Cardinal GetRole(Integer AElement);
  virtual TRect GetScreenBounds(Integer AElement);
  virtual bool GetSelectable();
  virtual Integer GetState(Integer AElement);
  virtual TcxAccessibleObjectProperties GetSupportedProperties(
      Integer AElement);
  virtual String GetValue(Integer AElement);
  virtual Integer NavigateToChild(Integer ACurrentChildIndex,
                                  TcxAccessibilityNavigationDirection ADir);
  virtual void SetValue(Integer AElement, const String& AValue);

  Integer GetNextSelectableChildIndex(Integer AStartIndex, bool AGoForward);
  bool GetVisible();
  bool CheckIsOwnerObjectLive(HRESULT& AErrorCode);

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

 private:
  class TAccessible;
  friend class TAccessible;

  TObject* ownerObject_;
  bool ownerObjectLive_ = true;
  std::unique_ptr<TAccessible> accessible_;
};

bool IsAccessibilitySupported();
bool CanReturnAccessibleObject(const TMessage& AMessage);
LRESULT WMGetObjectResultFromIAccessibilityHelper(
    const TMessage& AMessage, TcxAccessibilityHelper* AHelper);
// The system's object for a window (AccessibleObjectFromWindow); null when
// the library is missing or the call fails.
IAccessible* cxAccessibleObjectFromWindow(HWND AWnd, DWORD AObjectID);
