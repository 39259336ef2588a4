// Helpers shared by the sources of the SysUtils unit; not for other units.
#pragma once

namespace sysutils_detail {

// ASCII only: the invariant upper case of names and format tokens.
inline char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace sysutils_detail
