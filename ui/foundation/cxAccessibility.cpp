#include "cxAccessibility.h"

#include "Handles.h"
#include "SysUtils.h"

namespace {

using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using TAccessibleObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID,
                                                     void**);

TModuleHandle gOleAcc;
TLresultFromObject gLresultFromObject = nullptr;
TAccessibleObjectFromWindow gAccessibleObjectFromWindow = nullptr;

BSTR ToBSTR(const String& AText) {
  const int length = ::MultiByteToWideChar(
      CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0);
  BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (result && length > 0)
    ::MultiByteToWideChar(CP_ACP, 0, AText.data(),
                          static_cast<int>(AText.size()), result, length);
  return result;
}

String FromBSTR(BSTR AText) {
  if (!AText) return String();
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, AText, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return String();
  String result(static_cast<size_t>(length - 1), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, AText, -1, result.data(), length, nullptr,
                        nullptr);
  return result;
}

// The character after the first single "&", upper-cased; 0 for none.
char AccelChar(const String& ACaption) {
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != '&') continue;
    if (ACaption[i + 1] != '&') {
      char c = ACaption[i + 1];
      ::CharUpperBuffA(&c, 1);
      return c;
    }
    ++i;
  }
  return 0;
}

void SetI4(VARIANT* AVar, LONG AValue) {
  ::VariantInit(AVar);
  AVar->vt = VT_I4;
  AVar->lVal = AValue;
}

}  // namespace

// ---------------------------------------------------------------------------
// The object clients see. Its references are the helper's.

class TcxAccessibilityHelper::TAccessible final : public IAccessible,
                                                  public IOleWindow {
 public:
  explicit TAccessible(TcxAccessibilityHelper* AHelper) : helper_(AHelper) {}
  virtual ~TAccessible() = default;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(const ::IID& riid,
                                           void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible))
      *ppv = static_cast<IAccessible*>(this);
    else if (riid == __uuidof(IOleWindow))
      *ppv = static_cast<IOleWindow*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(helper_->_AddRef());
  }
  ULONG STDMETHODCALLTYPE Release() override {
    return static_cast<ULONG>(helper_->_Release());
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(const ::IID&, LPOLESTR*, UINT, LCID,
                                          DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, const ::IID&, LCID, WORD,
                                   DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
    if (!phwnd) return E_POINTER;
    *phwnd = nullptr;
    HRESULT code;
    if (!helper_->CheckIsOwnerObjectLive(code)) return code;
    *phwnd = helper_->GetOwnerObjectWindow();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* pcountChildren) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild,
                                         IDispatch** ppdispChild) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild,
                                        BSTR* pszName) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild,
                                         BSTR* pszValue) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild,
                                               BSTR* pszDescription) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild,
                                        VARIANT* pvarRole) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild,
                                         VARIANT* pvarState) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* pszHelp) override {
    return Unsupported(pszHelp);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT,
                                             long* pidTopic) override {
    if (pidTopic) *pidTopic = 0;
    return Unsupported(pszHelpFile);
  }
  HRESULT STDMETHODCALLTYPE
  get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override {
    if (pvarChildren) ::VariantInit(pvarChildren);
    HRESULT code;
    if (!helper_->CheckIsOwnerObjectLive(code)) return code;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE
  get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override {
    HRESULT code;
    if (!helper_->CheckIsOwnerObjectLive(code)) return code;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* pxLeft, long* pyTop,
                                        long* pcxWidth, long* pcyHeight,
                                        VARIANT varChild) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long navDir, VARIANT varStart,
                                        VARIANT* pvarEndUpAt) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long xLeft, long yTop,
                                       VARIANT* pvarChild) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override {
    HRESULT code;
    if (!helper_->CheckIsOwnerObjectLive(code)) return code;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild,
                                         BSTR szValue) override;

 private:
  HRESULT Unsupported(BSTR* AOut) {
    if (AOut) *AOut = nullptr;
    HRESULT code;
    if (!helper_->CheckIsOwnerObjectLive(code)) return code;
    return DISP_E_MEMBERNOTFOUND;
  }
  // Element 0 for the object itself, the child's index for a simple child.
  bool GetSimpleChildElementID(const VARIANT& AChildID, Integer& AElement,
                               HRESULT& AErrorCode);
  bool Supports(Integer AElement, TcxAccessibleObjectProperty AProperty) {
    return helper_->GetSupportedProperties(AElement).Contains(AProperty);
  }
  // A text answer: S_OK when not empty, S_FALSE when empty.
  static HRESULT TextResult(const String& AText, BSTR* AOut) {
    *AOut = AText.empty() ? nullptr : ToBSTR(AText);
    return AText.empty() ? S_FALSE : S_OK;
  }
  void CheckSimpleChildElementToBeReturned(VARIANT* AChild);

  TcxAccessibilityHelper* helper_;
};

bool TcxAccessibilityHelper::TAccessible::GetSimpleChildElementID(
    const VARIANT& AChildID, Integer& AElement, HRESULT& AErrorCode) {
  AElement = 0;
  if (!helper_->CheckIsOwnerObjectLive(AErrorCode)) return false;
  if (AChildID.vt != VT_I4 || AChildID.lVal < 0) {
    AErrorCode = E_INVALIDARG;
    return false;
  }
  const LONG id = AChildID.lVal;
  if (id == CHILDID_SELF) return true;
  if (id > helper_->GetChildCount() || !helper_->ChildIsSimpleElement(id - 1)) {
    AErrorCode = E_INVALIDARG;
    return false;
  }
  AElement = id - 1;
  return true;
}

void TcxAccessibilityHelper::TAccessible::CheckSimpleChildElementToBeReturned(
    VARIANT* AChild) {
  if (AChild->vt != VT_I4 || AChild->lVal == CHILDID_SELF) return;
  const Integer index = AChild->lVal - 1;
  if (helper_->ChildIsSimpleElement(index)) return;
  TcxAccessibilityHelper* child = helper_->GetChild(index);
  if (!child) return;
  AChild->vt = VT_DISPATCH;
  AChild->pdispVal = child->GetIAccessible();
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accParent(IDispatch** ppdispParent) {
  if (!ppdispParent) return E_POINTER;
  *ppdispParent = nullptr;
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  if (TcxAccessibilityHelper* parent = helper_->GetParent()) {
    *ppdispParent = parent->GetIAccessible();
  } else if (HWND wnd = helper_->GetOwnerObjectWindow()) {
    HWND parentWnd = (::GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)
                         ? ::GetParent(wnd)
                         : ::GetDesktopWindow();
    *ppdispParent = cxAccessibleObjectFromWindow(parentWnd, OBJID_WINDOW);
  }
  return *ppdispParent ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accChildCount(long* pcountChildren) {
  if (!pcountChildren) return E_POINTER;
  *pcountChildren = 0;
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  *pcountChildren = helper_->GetChildCount();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::get_accChild(
    VARIANT varChild, IDispatch** ppdispChild) {
  if (!ppdispChild) return E_POINTER;
  *ppdispChild = nullptr;
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  if (varChild.vt != VT_I4 || varChild.lVal < 1 ||
      varChild.lVal > helper_->GetChildCount())
    return E_INVALIDARG;
  const Integer index = varChild.lVal - 1;
  if (helper_->ChildIsSimpleElement(index)) return S_FALSE;
  TcxAccessibilityHelper* child = helper_->GetChild(index);
  if (!child) return S_FALSE;
  *ppdispChild = child->GetIAccessible();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::get_accName(
    VARIANT varChild, BSTR* pszName) {
  if (!pszName) return E_POINTER;
  *pszName = nullptr;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  return TextResult(helper_->GetName(element), pszName);
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::get_accValue(
    VARIANT varChild, BSTR* pszValue) {
  if (!pszValue) return E_POINTER;
  *pszValue = nullptr;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopValue)) return DISP_E_MEMBERNOTFOUND;
  *pszValue = ToBSTR(helper_->GetValue(element));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accDescription(VARIANT varChild,
                                                        BSTR* pszDescription) {
  if (!pszDescription) return E_POINTER;
  *pszDescription = nullptr;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopDescription)) return DISP_E_MEMBERNOTFOUND;
  return TextResult(helper_->GetDescription(element), pszDescription);
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::get_accRole(
    VARIANT varChild, VARIANT* pvarRole) {
  if (!pvarRole) return E_POINTER;
  ::VariantInit(pvarRole);
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  SetI4(pvarRole, static_cast<LONG>(helper_->GetRole(element)));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::get_accState(
    VARIANT varChild, VARIANT* pvarState) {
  if (!pvarState) return E_POINTER;
  ::VariantInit(pvarState);
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  SetI4(pvarState, helper_->GetState(element));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accKeyboardShortcut(
    VARIANT varChild, BSTR* pszKeyboardShortcut) {
  if (!pszKeyboardShortcut) return E_POINTER;
  *pszKeyboardShortcut = nullptr;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopShortcut)) return DISP_E_MEMBERNOTFOUND;
  TShortCut shortCut = 0;
  String caption;
  helper_->GetKeyboardAccessParameters(element, shortCut, caption);
  const char accel = AccelChar(caption);
  return TextResult(accel ? String(1, accel) : ShortCutToText(shortCut),
                    pszKeyboardShortcut);
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accFocus(VARIANT* pvarChild) {
  if (!pvarChild) return E_POINTER;
  ::VariantInit(pvarChild);
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  if (!Supports(0, aopFocus)) return DISP_E_MEMBERNOTFOUND;
  bool childFocused = false;
  Integer childIndex = -1;
  if (!helper_->Focused(childFocused, childIndex)) return S_FALSE;
  SetI4(pvarChild, childFocused ? childIndex + 1 : CHILDID_SELF);
  CheckSimpleChildElementToBeReturned(pvarChild);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::get_accDefaultAction(
    VARIANT varChild, BSTR* pszDefaultAction) {
  if (!pszDefaultAction) return E_POINTER;
  *pszDefaultAction = nullptr;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopDefaultAction)) return DISP_E_MEMBERNOTFOUND;
  *pszDefaultAction = ToBSTR(helper_->GetDefaultActionDescription(element));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::accLocation(
    long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
    VARIANT varChild) {
  if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight) return E_POINTER;
  *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(0, aopLocation)) return DISP_E_MEMBERNOTFOUND;
  const TRect r = helper_->GetScreenBounds(element);
  *pxLeft = r.Left;
  *pyTop = r.Top;
  *pcxWidth = r.Right - r.Left;
  *pcyHeight = r.Bottom - r.Top;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::accNavigate(
    long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
  if (!pvarEndUpAt) return E_POINTER;
  ::VariantInit(pvarEndUpAt);
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  if (varStart.vt != VT_I4 || varStart.lVal < 0) return E_INVALIDARG;
  const LONG start = varStart.lVal;
  HRESULT result;
  if (navDir == NAVDIR_FIRSTCHILD || navDir == NAVDIR_LASTCHILD) {
    if (start != CHILDID_SELF) return E_INVALIDARG;
    if (!Supports(0, aopLocation)) return DISP_E_MEMBERNOTFOUND;
    const Integer count = helper_->GetChildCount();
    if (count == 0) return S_FALSE;
    SetI4(pvarEndUpAt, navDir == NAVDIR_FIRSTCHILD ? 1 : count);
    result = S_OK;
  } else if (start == CHILDID_SELF) {
    TcxAccessibilityHelper* parent = helper_->GetParent();
    if (!parent || !parent->IsOwnerObjectLive() ||
        !parent->GetSupportedProperties(0).Contains(aopLocation))
      return S_FALSE;
    VARIANT from;
    SetI4(&from, parent->GetChildIndex(helper_) + 1);
    IAccessible* parentAccessible = parent->GetIAccessible();
    result = parentAccessible->accNavigate(navDir, from, pvarEndUpAt);
    parentAccessible->Release();
    // The parent already turned an object child into its object.
    return result == S_OK ? S_OK : S_FALSE;
  } else {
    if (start > helper_->GetChildCount()) return E_INVALIDARG;
    if (!Supports(0, aopLocation)) return DISP_E_MEMBERNOTFOUND;
    TcxAccessibilityNavigationDirection direction;
    switch (navDir) {
      case NAVDIR_UP:
        direction = andUp;
        break;
      case NAVDIR_DOWN:
        direction = andDown;
        break;
      case NAVDIR_LEFT:
        direction = andLeft;
        break;
      case NAVDIR_RIGHT:
        direction = andRight;
        break;
      case NAVDIR_NEXT:
        direction = andNext;
        break;
      case NAVDIR_PREVIOUS:
        direction = andPrev;
        break;
      default:
        return E_INVALIDARG;
    }
    const Integer index = helper_->NavigateToChild(start - 1, direction);
    if (index == start - 1) return S_FALSE;
    SetI4(pvarEndUpAt, index + 1);
    result = S_OK;
  }
  CheckSimpleChildElementToBeReturned(pvarEndUpAt);
  return result;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::accHitTest(
    long xLeft, long yTop, VARIANT* pvarChild) {
  if (!pvarChild) return E_POINTER;
  ::VariantInit(pvarChild);
  HRESULT code;
  if (!helper_->CheckIsOwnerObjectLive(code)) return code;
  if (!Supports(0, aopLocation)) return DISP_E_MEMBERNOTFOUND;
  const TRect r = helper_->GetScreenBounds(0);
  if (xLeft < r.Left || xLeft >= r.Right || yTop < r.Top || yTop >= r.Bottom)
    return S_FALSE;
  Integer childIndex = -1;
  switch (helper_->GetHitTest(xLeft, yTop, childIndex)) {
    case aohtSelf:
      SetI4(pvarChild, CHILDID_SELF);
      return S_OK;
    case aohtChild:
      SetI4(pvarChild, childIndex + 1);
      CheckSimpleChildElementToBeReturned(pvarChild);
      return S_OK;
    default:
      return S_FALSE;
  }
}

HRESULT STDMETHODCALLTYPE
TcxAccessibilityHelper::TAccessible::accDoDefaultAction(VARIANT varChild) {
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopDefaultAction)) return DISP_E_MEMBERNOTFOUND;
  helper_->DoDefaultAction(element);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TcxAccessibilityHelper::TAccessible::put_accValue(
    VARIANT varChild, BSTR szValue) {
  Integer element;
  HRESULT code = S_OK;
  if (!GetSimpleChildElementID(varChild, element, code)) return code;
  if (!Supports(element, aopValue)) return DISP_E_MEMBERNOTFOUND;
  helper_->SetValue(element, FromBSTR(szValue));
  return S_OK;
}

// ---------------------------------------------------------------------------
// TcxAccessibilityHelper

TcxAccessibilityHelper::TcxAccessibilityHelper(TObject* AOwnerObject)
    : ownerObject_(AOwnerObject), accessible_(new TAccessible(this)) {}

TcxAccessibilityHelper::~TcxAccessibilityHelper() = default;

void* TcxAccessibilityHelper::GetInterfaceFor(const TGUID& iid) {
  if (iid == IcxAccessibilityHelper::IID)
    return static_cast<IcxAccessibilityHelper*>(this);
  return inherited::GetInterfaceFor(iid);
}

IAccessible* TcxAccessibilityHelper::GetIAccessible() {
  accessible_->AddRef();
  return accessible_.get();
}

void TcxAccessibilityHelper::OwnerObjectDestroyed() {
  ownerObjectLive_ = false;
}

bool TcxAccessibilityHelper::ChildIsSimpleElement(Integer) {
  throw Exception("");
}
void TcxAccessibilityHelper::DoDefaultAction(Integer) {}
bool TcxAccessibilityHelper::Focused(bool& AIsChildFocused,
                                     Integer& AFocusedChildIndex) {
  AIsChildFocused = false;
  AFocusedChildIndex = -1;
  return false;
}
TcxAccessibilityHelper* TcxAccessibilityHelper::GetChild(Integer) {
  return nullptr;
}
Integer TcxAccessibilityHelper::GetChildCount() { return 0; }
Integer TcxAccessibilityHelper::GetChildIndex(TcxAccessibilityHelper*) {
  throw Exception("");
}
String TcxAccessibilityHelper::GetDefaultActionDescription(Integer) {
  return String();
}
String TcxAccessibilityHelper::GetDescription(Integer) { return String(); }
TcxAccessibleObjectHitTest TcxAccessibilityHelper::GetHitTest(
    Integer, Integer, Integer& AChildIndex) {
  AChildIndex = -1;
  return aohtNone;
}
void TcxAccessibilityHelper::GetKeyboardAccessParameters(
    Integer, TShortCut& AShortCut, String& ACaptionWithAccelChars) {
  AShortCut = 0;
  ACaptionWithAccelChars.clear();
}
String TcxAccessibilityHelper::GetName(Integer) { return String(); }
HWND TcxAccessibilityHelper::GetOwnerObjectWindow() { return nullptr; }
TcxAccessibilityHelper* TcxAccessibilityHelper::GetParent() { return nullptr; }
Cardinal TcxAccessibilityHelper::GetRole(Integer) { return 0; }
TRect TcxAccessibilityHelper::GetScreenBounds(Integer) {
  return TRect{0, 0, 0, 0};
}
bool TcxAccessibilityHelper::GetSelectable() { return false; }
Integer TcxAccessibilityHelper::GetState(Integer) { return 0; }
TcxAccessibleObjectProperties TcxAccessibilityHelper::GetSupportedProperties(
    Integer) {
  return {};
}
String TcxAccessibilityHelper::GetValue(Integer) { throw Exception(""); }
Integer TcxAccessibilityHelper::NavigateToChild(
    Integer, TcxAccessibilityNavigationDirection) {
  throw Exception("");
}
void TcxAccessibilityHelper::SetValue(Integer, const String&) {}

Integer TcxAccessibilityHelper::GetNextSelectableChildIndex(Integer AStartIndex,
                                                            bool AGoForward) {
  const Integer count = GetChildCount();
  if (AStartIndex >= count) throw Exception("");
  Integer index = AStartIndex < 0 ? (AGoForward ? -1 : count) : AStartIndex;
  for (;;) {
    index += AGoForward ? 1 : -1;
    if (index < 0 || index >= count) return -1;
    TcxAccessibilityHelper* child = GetChild(index);
    if (child && child->GetSelectable()) return index;
  }
}

bool TcxAccessibilityHelper::GetVisible() {
  return (GetState(0) & STATE_SYSTEM_INVISIBLE) == 0;
}

bool TcxAccessibilityHelper::CheckIsOwnerObjectLive(HRESULT& AErrorCode) {
  AErrorCode = S_OK;
  return ownerObjectLive_;
}

// ---------------------------------------------------------------------------
// Routines

bool IsAccessibilitySupported() { return gLresultFromObject != nullptr; }

bool CanReturnAccessibleObject(const TMessage& AMessage) {
  return IsAccessibilitySupported() &&
         static_cast<LONG>(AMessage.LParam) == OBJID_CLIENT;
}

LRESULT WMGetObjectResultFromIAccessibilityHelper(
    const TMessage& AMessage, TcxAccessibilityHelper* AHelper) {
  if (!gLresultFromObject || !AHelper) return 0;
  IAccessible* accessible = AHelper->GetIAccessible();
  const LRESULT result =
      gLresultFromObject(__uuidof(IAccessible), AMessage.WParam, accessible);
  accessible->Release();
  return result;
}

IAccessible* cxAccessibleObjectFromWindow(HWND AWnd, DWORD AObjectID) {
  if (!gAccessibleObjectFromWindow) return nullptr;
  void* result = nullptr;
  if (FAILED(gAccessibleObjectFromWindow(AWnd, AObjectID, __uuidof(IAccessible),
                                         &result)))
    return nullptr;
  return static_cast<IAccessible*>(result);
}

namespace {

template <class F>
F LookUp(HMODULE AModule, const char* AName) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(::GetProcAddress(AModule, AName)));
}

void AccessibilityStartup() {
  gOleAcc.reset(::LoadLibraryA("oleacc.dll"));
  if (!gOleAcc) return;
  gAccessibleObjectFromWindow = LookUp<TAccessibleObjectFromWindow>(
      gOleAcc.get(), "AccessibleObjectFromWindow");
  gLresultFromObject =
      LookUp<TLresultFromObject>(gOleAcc.get(), "LresultFromObject");
}

void AccessibilityShutdown() {
  gLresultFromObject = nullptr;
  gAccessibleObjectFromWindow = nullptr;
  gOleAcc.reset();
}

}  // namespace

VARNEL_UNIT(cxAccessibility, ({"SysUtils"}), &AccessibilityStartup,
            &AccessibilityShutdown);
