// Exact equality of two variants for test assertions: the same type and the
// same value, with both printed when they differ.
#pragma once

#include <gtest/gtest.h>

#include "Variants.h"

inline ::testing::AssertionResult SameVariant(const Variant& A,
                                              const Variant& B) {
  if (VarType(A) == VarType(B) && VarCompare(A, B) == 0) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << VarTypeAsText(VarType(A)) << " " << VarToStr(A) << " vs "
         << VarTypeAsText(VarType(B)) << " " << VarToStr(B);
}
