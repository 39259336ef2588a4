#include <gtest/gtest.h>

#include "System.h"

// Tests run with every unit started, as the program does.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InitializeUnits();
  int rc = RUN_ALL_TESTS();
  FinalizeUnits();
  return rc;
}
