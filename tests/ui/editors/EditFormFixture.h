// A shown form holding a second editor that can take the focus away, for
// the windowed editor tests: the form is captioned after the test suite and
// freed, with every held button released, after each test.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverWin.h"

template <class TOtherEdit>
class TEditFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 320);
    form_->SetCaption(::testing::UnitTest::GetInstance()
                          ->current_test_info()
                          ->test_suite_name());
    other_ = new TOtherEdit(form_.get());
    other_->SetParent(form_.get());
    other_->SetBounds(20, 250, 100, 24);
    BeforeShow();
    form_->Show();
    ASSERT_TRUE(ui_test::WaitUntil(
        [&] { return ::IsWindowVisible(form_->Handle()); }, "form shown"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    ui_test::ReleaseHeldButtons();
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  // Editors the test wants on the form before it is shown.
  virtual void BeforeShow() {}

  TObjectPtr<TForm> form_;
  TOtherEdit* other_ = nullptr;
};
