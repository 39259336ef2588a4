// The accessible object behind controls: result codes of the interface,
// simple children against child objects, a dead owner, and a client that
// finds a control's object through the window message; and the
// desktop-composition binding.
#include <gtest/gtest.h>

#include <functional>

#include "Forms.h"
#include "ScopeGuard.h"
#include "cxAccessibility.h"
#include "cxControls.h"
#include "cxDWMApi.h"

namespace {

VARIANT Child(LONG AId) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = AId;
  return v;
}

String Text(BSTR AText) {
  String s;
  for (const wchar_t* p = AText; p && *p; ++p) s += static_cast<char>(*p);
  return s;
}

// An object with three children: 0 and 2 simple elements, 1 an object.
class TTestHelper : public TcxAccessibilityHelper {
 public:
  explicit TTestHelper(TObject* AOwner, TTestHelper* AParent = nullptr)
      : TcxAccessibilityHelper(AOwner), parent_(AParent) {}
  String Name;
  Integer Children = 0;
  TcxAccessibilityHelper* ChildObject = nullptr;
  std::vector<bool> Selectable;

  bool ChildIsSimpleElement(Integer AIndex) override { return AIndex != 1; }
  TcxAccessibilityHelper* GetChild(Integer AIndex) override {
    return AIndex == 1 ? ChildObject : this;
  }
  Integer GetChildCount() override { return Children; }
  Integer GetChildIndex(TcxAccessibilityHelper*) override { return 1; }
  String GetName(Integer AElement) override {
    return AElement == 0 ? Name : "child" + IntToStr(AElement);
  }
  Cardinal GetRole(Integer) override { return ROLE_SYSTEM_CLIENT; }
  bool GetSelectable() override {
    return Index < Selectable.size() && Selectable[Index];
  }
  TcxAccessibilityHelper* GetParent() override { return parent_; }
  TcxAccessibleObjectProperties GetSupportedProperties(Integer) override {
    return {aopLocation, aopDescription};
  }
  Integer NavigateToChild(Integer ACurrent,
                          TcxAccessibilityNavigationDirection ADir) override {
    return ADir == andNext ? std::min(ACurrent + 1, Children - 1) : ACurrent;
  }
  size_t Index = 0;

 private:
  TTestHelper* parent_;
};

struct AccessibilityTest : ::testing::Test {
  void SetUp() override {
    helper = new TTestHelper(nullptr);
    ref = helper;
    childHelper = new TTestHelper(nullptr, helper);
    childRef = childHelper;
    helper->ChildObject = childHelper;
    helper->Children = 3;
    acc = helper->GetIAccessible();
  }
  void TearDown() override { acc->Release(); }
  TTestHelper* helper;
  TIntfPtr<IcxAccessibilityHelper> ref;
  TTestHelper* childHelper;
  TIntfPtr<IcxAccessibilityHelper> childRef;
  IAccessible* acc = nullptr;
};

TEST_F(AccessibilityTest, NamesAnswerByElement) {
  BSTR name = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(acc->get_accName(Child(CHILDID_SELF), &name), S_FALSE);
  EXPECT_EQ(name, nullptr);
  helper->Name = "Grid";
  ASSERT_EQ(acc->get_accName(Child(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(Text(name), "Grid");
  ::SysFreeString(name);
  ASSERT_EQ(acc->get_accName(Child(3), &name), S_OK);
  EXPECT_EQ(Text(name), "child2");
  ::SysFreeString(name);

  struct Case {
    LONG Id;
    HRESULT Expected;
  } cases[] = {{4, E_INVALIDARG}, {2, E_INVALIDARG}, {-1, E_INVALIDARG}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    EXPECT_EQ(acc->get_accName(Child(c.Id), &name), c.Expected);
    EXPECT_EQ(name, nullptr);
  }
}

TEST_F(AccessibilityTest, ChildrenAreObjectsOnlyWhenNotSimple) {
  IDispatch* child = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(acc->get_accChild(Child(4), &child), E_INVALIDARG);
  EXPECT_EQ(child, nullptr);
  VARIANT empty;
  ::VariantInit(&empty);
  EXPECT_EQ(acc->get_accChild(empty, &child), E_INVALIDARG);
  EXPECT_EQ(acc->get_accChild(Child(1), &child), S_FALSE);
  ASSERT_EQ(acc->get_accChild(Child(2), &child), S_OK);
  IAccessible* childAcc = childHelper->GetIAccessible();
  EXPECT_EQ(child, static_cast<IDispatch*>(childAcc));
  childAcc->Release();
  child->Release();

  long count = -1;
  EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
}

TEST_F(AccessibilityTest, NavigationStaysAmongTheChildren) {
  VARIANT end;
  EXPECT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, Child(1), &end), E_INVALIDARG);
  ASSERT_EQ(acc->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &end),
            S_OK);
  EXPECT_EQ(end.vt, VT_I4);
  EXPECT_EQ(end.lVal, 3);
  // The next of child 1 is the object child 2: handed out as its object.
  ASSERT_EQ(acc->accNavigate(NAVDIR_NEXT, Child(1), &end), S_OK);
  ASSERT_EQ(end.vt, VT_DISPATCH);
  ::VariantClear(&end);
  EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Child(3), &end), S_FALSE);
  EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Child(4), &end), E_INVALIDARG);
  // The child object moves among its siblings through its parent.
  IAccessible* childAcc = childHelper->GetIAccessible();
  ASSERT_EQ(childAcc->accNavigate(NAVDIR_NEXT, Child(CHILDID_SELF), &end),
            S_OK);
  EXPECT_EQ(end.vt, VT_I4);
  EXPECT_EQ(end.lVal, 3);
  childAcc->Release();
}

TEST_F(AccessibilityTest, OptionalPropertiesAnswerMemberNotFound) {
  BSTR text = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(acc->get_accValue(Child(0), &text), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(acc->get_accHelp(Child(0), &text), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(acc->get_accDescription(Child(0), &text), S_FALSE);
  VARIANT role;
  ASSERT_EQ(acc->get_accRole(Child(0), &role), S_OK);
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
  UINT count = 7;
  EXPECT_EQ(acc->GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST_F(AccessibilityTest, ADeadOwnerAnswersAtOnceWithClearedOutputs) {
  helper->Name = "Grid";
  helper->OwnerObjectDestroyed();
  BSTR name = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(acc->get_accName(Child(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(name, nullptr);
  long x = 5, y = 5, w = 5, h = 5;
  EXPECT_EQ(acc->accLocation(&x, &y, &w, &h, Child(0)), S_OK);
  EXPECT_EQ(x | y | w | h, 0);
  long topic = 9;
  BSTR file = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(acc->get_accHelpTopic(&file, Child(0), &topic), S_OK);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(topic, 0);
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = 3;
  EXPECT_EQ(acc->get_accRole(Child(0), &v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  long count = 4;
  EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 0);
}

TEST_F(AccessibilityTest, NextSelectableChild) {
  helper->Selectable = {false, true, false};
  childHelper->Index = 1;
  childHelper->Selectable = {false, true};
  EXPECT_EQ(helper->GetNextSelectableChildIndex(-1, true), 1);
  EXPECT_EQ(helper->GetNextSelectableChildIndex(1, true), -1);
  EXPECT_THROW(helper->GetNextSelectableChildIndex(3, true), Exception);
  EXPECT_THROW(TcxAccessibilityHelper(nullptr).ChildIsSimpleElement(0),
               Exception);
}

// --- Through the window message ----------------------------------------------

class TControlHelper : public TcxAccessibilityHelper {
 public:
  explicit TControlHelper(TWinControl* AControl)
      : TcxAccessibilityHelper(AControl), control_(AControl) {}
  String GetName(Integer) override { return control_->Name(); }
  Cardinal GetRole(Integer) override { return ROLE_SYSTEM_OUTLINE; }
  HWND GetOwnerObjectWindow() override { return control_->Handle(); }

 private:
  TWinControl* control_;
};

class TAccessibleControl : public TcxControl {
 public:
  explicit TAccessibleControl(TComponent* AOwner)
      : TcxControl(AOwner), helper_(new TControlHelper(this)) {}
  ~TAccessibleControl() override {
    helper_->GetHelper()->OwnerObjectDestroyed();
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_GETOBJECT && CanReturnAccessibleObject(Message)) {
      Message.Result = WMGetObjectResultFromIAccessibilityHelper(
          Message, helper_->GetHelper());
      return;
    }
    TcxControl::WndProc(Message);
  }

 private:
  TIntfPtr<IcxAccessibilityHelper> helper_;
};

TEST(AccessibilityWindowTest, AClientReadsAControlsNameAndRole) {
  ASSERT_TRUE(IsAccessibilitySupported());
  ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
  TScopeGuard uninit([] { ::CoUninitialize(); });
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(50, 50, 300, 200);
  auto* control = new TAccessibleControl(form.get());
  control->SetName("GroupList");
  control->SetParent(form.get());
  control->SetBounds(10, 10, 100, 80);
  form->Show();

  IAccessible* client =
      cxAccessibleObjectFromWindow(control->Handle(), OBJID_CLIENT);
  ASSERT_NE(client, nullptr);
  TScopeGuard release([&] { client->Release(); });
  BSTR name = nullptr;
  ASSERT_EQ(client->get_accName(Child(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(Text(name), "GroupList");
  ::SysFreeString(name);
  VARIANT role;
  ASSERT_EQ(client->get_accRole(Child(CHILDID_SELF), &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_OUTLINE);
  // The window the control sits in is the parent.
  IDispatch* parent = nullptr;
  EXPECT_EQ(client->get_accParent(&parent), S_OK);
  if (parent) parent->Release();
}

// --- Desktop composition
// -------------------------------------------------------

TEST(DwmApiTest, AMissingLibraryLeavesCompositionOff) {
  TScopeGuard restore([] { cxBindDwmApi("dwmapi.dll"); });
  EXPECT_FALSE(cxBindDwmApi("varnel-no-such-library.dll"));
  EXPECT_FALSE(IsDwmPresent());
  EXPECT_FALSE(IsCompositionEnabled());
  EXPECT_EQ(DwmIsCompositionEnabled, nullptr);
  EXPECT_EQ(DwmSetWindowAttribute, nullptr);
  // A library without the functions binds none of them.
  EXPECT_TRUE(cxBindDwmApi("kernel32.dll"));
  EXPECT_TRUE(IsDwmPresent());
  EXPECT_EQ(DwmIsCompositionEnabled, nullptr);
  EXPECT_FALSE(IsCompositionEnabled());
}

}  // namespace
