// Test helper: the lines of a string list as a vector, so that whole lists
// compare in one expectation.
#pragma once

#include <vector>

#include "Classes.h"

inline std::vector<String> ListOf(const TStrings& strings) {
  std::vector<String> out;
  for (Integer i = 0; i < strings.Count(); ++i)
    out.push_back(strings.Strings(i));
  return out;
}

inline std::vector<String> ListOf(const TStrings* strings) {
  return ListOf(*strings);
}
