// LIKE patterns and texts of any content. The matcher must end quickly,
// and agree with a plain dynamic-programming matcher of the same dialect.
// Input: byte 0 is the escape character (0 = none), then pattern and text
// separated by the first 0xFF byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cxLike.h"

namespace {

bool Reference(const std::vector<char>& T, const std::vector<char>& P,
               char AEscape) {
  // Tokens: 0 literal, 1 any run, 2 one character.
  struct Tok {
    int Kind;
    char C;
  };
  std::vector<Tok> toks;
  for (std::size_t i = 0; i < P.size(); ++i) {
    if (AEscape != 0 && P[i] == AEscape) {
      if (i + 1 < P.size()) toks.push_back({0, P[++i]});
      continue;
    }
    if (P[i] == '%')
      toks.push_back({1, 0});
    else if (P[i] == '_')
      toks.push_back({2, 0});
    else
      toks.push_back({0, P[i]});
  }
  // m[j]: the first j tokens match the text read so far.
  std::vector<char> m(toks.size() + 1, 0), next(toks.size() + 1, 0);
  m[0] = 1;
  for (std::size_t j = 1; j <= toks.size(); ++j)
    m[j] = m[j - 1] && toks[j - 1].Kind == 1;
  for (char c : T) {
    next[0] = 0;
    for (std::size_t j = 1; j <= toks.size(); ++j) {
      const Tok& k = toks[j - 1];
      if (k.Kind == 1)
        next[j] = next[j - 1] || m[j];
      else
        next[j] = m[j - 1] && (k.Kind == 2 || k.C == c);
    }
    m.swap(next);
  }
  return m[toks.size()] != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  char escape = static_cast<char>(data[0]);
  if (escape == '%' || escape == '_') escape = 0;
  std::vector<char> pattern, text;
  std::size_t i = 1;
  for (; i < size && data[i] != 0xFF; ++i)
    pattern.push_back(static_cast<char>(data[i]));
  for (++i; i < size; ++i) text.push_back(static_cast<char>(data[i]));
  bool got = LikeMatchChars(text.data(), static_cast<Integer>(text.size()),
                            pattern.data(), escape, '_', '%',
                            static_cast<Integer>(pattern.size()));
  if (got != Reference(text, pattern, escape)) std::abort();
  return 0;
}
