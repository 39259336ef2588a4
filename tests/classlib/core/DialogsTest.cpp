#include <gtest/gtest.h>

#include <vector>

#include "Dialogs.h"

namespace {

struct TBoxCall {
  String Text;
  String Caption;
  Cardinal Flags;
};

// Records every box instead of showing it; puts the previous handler back.
class TRecordingBoxes {
 public:
  explicit TRecordingBoxes(Integer answer = idOK) {
    previous_ = SetMessageBoxHandler([this, answer](const String& text,
                                                    const String& caption,
                                                    Cardinal flags) {
      calls.push_back({text, caption, flags});
      return answer;
    });
  }
  ~TRecordingBoxes() { SetMessageBoxHandler(previous_); }
  std::vector<TBoxCall> calls;

 private:
  TMessageBoxHandler previous_;
};

TEST(DialogsTest, ShowMessageGoesThroughTheHandler) {
  TRecordingBoxes boxes;
  ShowMessage(" Invalid Office Version! ");
  ShowMessageFmt("Error store %s object", {"Grid/Row1"});
  ASSERT_EQ(boxes.calls.size(), 2u);
  EXPECT_EQ(boxes.calls[0].Text, " Invalid Office Version! ");
  EXPECT_EQ(boxes.calls[0].Caption, "");
  EXPECT_EQ(boxes.calls[0].Flags, mbOK);
  EXPECT_EQ(boxes.calls[1].Text, "Error store Grid/Row1 object");
}

TEST(DialogsTest, MessageBoxSeamReturnsTheHandlersAnswer) {
  TRecordingBoxes boxes(idCancel);
  EXPECT_EQ(MessageBoxSeam("Delete?", "Varnel", mbOKCancel | mbIconWarning),
            idCancel);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].Caption, "Varnel");
  EXPECT_EQ(boxes.calls[0].Flags, mbOKCancel | mbIconWarning);
}

TEST(DialogsTest, HandlersNestAndRestore) {
  TRecordingBoxes outer;
  {
    TRecordingBoxes inner;
    ShowMessage("inner");
    EXPECT_EQ(inner.calls.size(), 1u);
  }
  ShowMessage("outer");
  ASSERT_EQ(outer.calls.size(), 1u);
  EXPECT_EQ(outer.calls[0].Text, "outer");
}

TEST(DialogsTest, ReplacingTheDefaultReturnsACallableDefault) {
  TMessageBoxHandler previous = SetMessageBoxHandler(nullptr);
  // Whatever was installed before, what comes back can be called: an
  // empty slot hands out the platform default.
  EXPECT_TRUE(static_cast<bool>(previous));
  SetMessageBoxHandler(previous);
}

}  // namespace
