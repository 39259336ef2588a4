#include <gtest/gtest.h>

#include "Dialogs.h"
#include "System.h"

// Tests run with every unit started, as the program does. A message box
// that a test did not ask for fails that test instead of waiting for a
// person; tests that expect boxes install their own handler.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InitializeUnits();
  SetMessageBoxHandler([](const String& text, const String& caption,
                          Cardinal) -> Integer {
    ADD_FAILURE() << "unexpected message box \"" << caption << "\": " << text;
    return idCancel;
  });
  int rc = RUN_ALL_TESTS();
  FinalizeUnits();
  return rc;
}
