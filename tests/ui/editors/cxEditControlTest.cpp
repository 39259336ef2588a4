// The editor control: the order and count of its change events, the
// repository item check, validation, reset and posting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinApi.h"
#include "cxEdit.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"
#include "cxEditViewInfo.h"

namespace {

// Properties that compare edit values, validate, and can be reset, as the
// text editors' do.
class TTestEditProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TTestEditProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanCompareEditValue() override { return true; }
  bool CanValidate() override { return true; }
  bool IsResetEditClass() override { return true; }
};

class TTestEdit : public TcxCustomEdit {
  VARNEL_CLASS(TTestEdit, TcxCustomEdit)
 public:
  explicit TTestEdit(TComponent* AOwner, bool AIsInplace = false)
      : TcxCustomEdit(AOwner, AIsInplace) {
    CreateProperties();
  }
  TClass GetPropertiesClass() override {
    return TTestEditProperties::StaticClass();
  }
  String GetDisplayValue() override { return VarToStr(EditValue()); }
  void KeepValue() { KeepValueBeforeEditing(); }
};

class TTestRepositoryItem : public TcxEditRepositoryItem {
  VARNEL_CLASS(TTestRepositoryItem, TcxEditRepositoryItem)
 public:
  explicit TTestRepositoryItem(TComponent* AOwner)
      : TcxEditRepositoryItem(AOwner) {
    CreateProperties();
  }
  TClass GetEditPropertiesClass() override {
    return TTestEditProperties::StaticClass();
  }
};

class EditValue : public ::testing::Test {
 protected:
  void SetUp() override { Listen(edit_->Properties()); }
  void Listen(TcxCustomEditProperties* AProps) {
    AProps->OnChange = TNotifyEvent::FromFunction([this](TObject* sender) {
      EXPECT_EQ(sender, edit_.get());
      log_.push_back("change");
    });
    AProps->OnEditValueChanged =
        TNotifyEvent::FromFunction([this](TObject* sender) {
          EXPECT_EQ(sender, edit_.get());
          log_.push_back("value");
        });
  }
  void Set(const Variant& V) { edit_->SetEditValue(V); }
  TObjectPtr<TTestEdit> edit_{new TTestEdit(nullptr)};
  std::vector<std::string> log_;
};

using Log = std::vector<std::string>;

TEST_F(EditValue, TheEditorGetsTheStyleAndViewInfoOfItsProperties) {
  EXPECT_NE(dynamic_cast<TTestEditProperties*>(edit_->Properties()), nullptr);
  EXPECT_NE(dynamic_cast<TcxEditStyle*>(edit_->GetStyle()), nullptr);
  EXPECT_NE(dynamic_cast<TcxCustomEditViewInfo*>(edit_->ViewInfo()), nullptr);
  EXPECT_TRUE(edit_->AutoSize());
  EXPECT_TRUE(VarIsNull(edit_->EditValue()));
}

TEST_F(EditValue, AnotherVariantTypeIsAChangeAndTheSameValueIsNot) {
  Set(Variant(1.0));
  log_.clear();
  Set(Variant(1));
  EXPECT_EQ(log_, (Log{"value", "change"}));
  log_.clear();
  Set(Variant(1));
  EXPECT_EQ(log_, Log{});
  EXPECT_FALSE(edit_->Modified());
}

TEST_F(EditValue, LockedChangesFireEachEventOnceAtTheUnlock) {
  struct Case {
    bool invokeOnUnlock;
    Log expected;
  } cases[] = {{true, {"change", "value"}}, {false, {}}};
  for (const auto& c : cases) {
    log_.clear();
    edit_->LockChangeEvents(true);
    Set(Variant(1));
    Set(Variant(2));
    Set(Variant(3));
    EXPECT_EQ(log_, Log{});
    edit_->LockChangeEvents(false, c.invokeOnUnlock);
    EXPECT_EQ(log_, c.expected);
    Set(Null());
  }
}

TEST_F(EditValue, NestedLocksFireOnlyAtTheOutermostUnlock) {
  edit_->LockChangeEvents(true);
  edit_->LockChangeEvents(true);
  Set(Variant(1));
  edit_->LockChangeEvents(false);
  EXPECT_EQ(log_, Log{});
  edit_->LockChangeEvents(false);
  EXPECT_EQ(log_, (Log{"change", "value"}));
}

TEST_F(EditValue, AForeignRepositoryItemIsRefusedAndTheOldOneStays) {
  TObjectPtr<TTestRepositoryItem> fitting(new TTestRepositoryItem(nullptr));
  TObjectPtr<TcxEditRepositoryItem> foreign(new TcxEditRepositoryItem(nullptr));
  edit_->SetRepositoryItem(fitting.get());
  try {
    edit_->SetRepositoryItem(foreign.get());
    FAIL() << "no error";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.Message(), "The repository item is not acceptable");
  }
  EXPECT_EQ(edit_->RepositoryItem(), fitting.get());
  EXPECT_EQ(edit_->ActiveProperties(), fitting->Properties());
}

TEST_F(EditValue, EventsReachOwnThenRepositoryHandlers) {
  TObjectPtr<TTestRepositoryItem> item(new TTestRepositoryItem(nullptr));
  item->Properties()->OnChange =
      TNotifyEvent::FromFunction([this](TObject*) { log_.push_back("item"); });
  edit_->SetRepositoryItem(item.get());
  Set(Variant(5));
  EXPECT_EQ(log_, (Log{"value", "change", "item"}));
  item.reset();  // freeing the item detaches it
  EXPECT_EQ(edit_->RepositoryItem(), nullptr);
  EXPECT_EQ(edit_->ActiveProperties(), edit_->Properties());
}

TEST_F(EditValue, InPlaceHandlersSeeTheEditorModifiedAndCannotChangeIt) {
  edit_.reset(new TTestEdit(nullptr, true));
  EXPECT_FALSE(edit_->AutoSize());
  bool seen = false;
  edit_->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) {
    seen = edit_->ModifiedAfterEnter() && edit_->Modified();
    edit_->SetModified(false);
  });
  Set(Variant(1));
  EXPECT_TRUE(seen);
  EXPECT_FALSE(edit_->Modified());
  EXPECT_FALSE(edit_->ModifiedAfterEnter());
}

TEST_F(EditValue, AUserChangeCountsAsAModification) {
  edit_->SetUserAction(true);
  Set(Variant(4));
  edit_->SetUserAction(false);
  EXPECT_TRUE(edit_->ModifiedAfterEnter());
  EXPECT_TRUE(edit_->Modified());
  Set(Variant(5));  // a programmatic value is not a modification
  EXPECT_FALSE(edit_->Modified());
  EXPECT_FALSE(edit_->ModifiedAfterEnter());
}

TEST_F(EditValue, ARefusedEditDropsTheUserChange) {
  edit_->OnEditing = TcxEditEditingEvent::FromFunction(
      [](TObject*, bool& CanEdit) { CanEdit = false; });
  edit_->SetUserAction(true);
  Set(Variant(4));
  EXPECT_TRUE(VarIsNull(edit_->EditValue()));
  EXPECT_EQ(log_, Log{});
}

TEST_F(EditValue, ReadOnlyPropertiesRefuseAUserChange) {
  edit_->Properties()->SetReadOnly(true);
  edit_->SetUserAction(true);
  Set(Variant(4));
  edit_->SetUserAction(false);
  EXPECT_TRUE(VarIsNull(edit_->EditValue()));
  EXPECT_FALSE(edit_->ModifiedAfterEnter());
  edit_->Properties()->SetReadOnly(false);
  edit_->SetUserAction(true);
  Set(Variant(4));
  EXPECT_EQ(edit_->EditValue(), Variant(4));
}

TEST_F(EditValue, ResetBringsBackTheValueBeforeEditingWithOneChange) {
  Set(Variant(5));
  edit_->KeepValue();
  edit_->SetUserAction(true);
  Set(Variant(6));
  Set(Variant(7));
  edit_->SetUserAction(false);
  log_.clear();
  edit_->Reset();
  EXPECT_EQ(edit_->EditValue(), Variant(5));
  EXPECT_EQ(log_, (Log{"change", "value"}));
  EXPECT_TRUE(edit_->Modified());
  EXPECT_FALSE(edit_->ModifiedAfterEnter());
  log_.clear();
  edit_->Reset();  // nothing changed since
  EXPECT_EQ(log_, Log{});
}

class Validation : public EditValue {
 protected:
  void SetUp() override {
    EditValue::SetUp();
    edit_->Properties()->OnValidate = TcxEditValidateEvent::FromFunction(
        [this](TObject*, Variant&, String& ErrorText, bool& Error) {
          ++validations_;
          Error = failWith_ != nullptr;
          ErrorText = failWith_ ? failWith_ : "";
        });
  }
  int validations_ = 0;
  const char* failWith_ = nullptr;
};

TEST_F(Validation, AnUnmodifiedEditorIsNotValidated) {
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_EQ(validations_, 0);
}

TEST_F(Validation, APassedValueIsNotValidatedAgainUntilTheUserChangesIt) {
  edit_->SetModifiedAfterEnter(true);
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_EQ(validations_, 1);
  edit_->SetModifiedAfterEnter(true);
  EXPECT_TRUE(edit_->ValidateEdit(true));
  EXPECT_EQ(validations_, 2);
}

TEST_F(Validation, AnErrorTextRaisesAndAnEmptyOneFailsSilently) {
  struct Case {
    const char* text;
    bool raise;
    bool raises;
  } cases[] = {
      {"Too big", true, true}, {"", true, false}, {"Too big", false, false}};
  for (const auto& c : cases) {
    failWith_ = c.text;
    edit_->SetModifiedAfterEnter(true);
    bool raised = false;
    try {
      EXPECT_FALSE(edit_->ValidateEdit(c.raise));
    } catch (const EcxEditValidationError& e) {
      raised = true;
      EXPECT_EQ(e.Message(), c.text);
    }
    EXPECT_EQ(raised, c.raises) << c.text << " " << c.raise;
  }
}

TEST_F(Validation, DisabledValidationPasses) {
  failWith_ = "Too big";
  edit_->SetModifiedAfterEnter(true);
  edit_->DisableValidate();
  EXPECT_TRUE(edit_->ValidateEdit(true));
  edit_->EnableValidate();
  EXPECT_EQ(validations_, 0);
}

TEST_F(Validation, InPlacePostingWritesThroughTheGridAndSwallowsItsErrors) {
  edit_.reset(new TTestEdit(nullptr, true));
  int posts = 0;
  edit_->OnPostEditValue = TNotifyEvent::FromFunction([&](TObject*) {
    ++posts;
    EXPECT_TRUE(edit_->IsPosting());
    throw Exception("the grid refused");
  });
  edit_->SetUserAction(true);
  Set(Variant(3));
  edit_->SetUserAction(false);
  EXPECT_NO_THROW(edit_->PostEditValue());
  EXPECT_EQ(posts, 1);
  EXPECT_FALSE(edit_->IsPosting());
  EXPECT_TRUE(edit_->Modified());  // the failed post leaves it modified
}

TEST_F(Validation, AFailedValidationStopsThePostSilently) {
  edit_.reset(new TTestEdit(nullptr, true));
  int posts = 0;
  edit_->OnPostEditValue =
      TNotifyEvent::FromFunction([&](TObject*) { ++posts; });
  edit_->Properties()->OnValidate = TcxEditValidateEvent::FromFunction(
      [](TObject*, Variant&, String& ErrorText, bool& Error) {
        Error = true;
        ErrorText = "";
      });
  edit_->SetModifiedAfterEnter(true);
  EXPECT_THROW(edit_->PostEditValue(), EAbort);
  EXPECT_EQ(posts, 0);
}

}  // namespace
