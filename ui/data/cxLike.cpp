#include "cxLike.h"

namespace {

enum class TokenKind { Literal, Any, One, End };

struct Token {
  TokenKind Kind;
  unsigned char Char;
  Integer Length;
};

Token ReadToken(const char* APattern, Integer APos, Integer ALength,
                char AEscape, char AUnderscore, char APercent) {
  char c = APattern[APos];
  if (AEscape != 0 && c == AEscape) {
    // A dangling escape stands for nothing.
    if (APos + 1 >= ALength) return {TokenKind::End, 0, 1};
    return {TokenKind::Literal, static_cast<unsigned char>(APattern[APos + 1]),
            2};
  }
  if (c == APercent) return {TokenKind::Any, 0, 1};
  if (c == AUnderscore) return {TokenKind::One, 0, 1};
  return {TokenKind::Literal, static_cast<unsigned char>(c), 1};
}

}  // namespace

// Greedy matching that remembers only the last percent sign: a later
// percent subsumes every choice made for earlier ones, so retrying from the
// last one alone is enough, and each retry advances the text start by one.
bool LikeMatchChars(const char* AText, Integer ATextLength,
                    const char* APattern, char AEscape, char AUnderscore,
                    char APercent, Integer APatternLength) {
  Integer t = 0;
  Integer p = 0;
  Integer starP = -1;  // pattern position just after the last percent
  Integer starT = 0;   // text position that percent's run ends at
  while (t < ATextLength) {
    if (p < APatternLength) {
      Token tok = ReadToken(APattern, p, APatternLength, AEscape, AUnderscore,
                            APercent);
      if (tok.Kind == TokenKind::Any) {
        p += tok.Length;
        starP = p;
        starT = t;
        continue;
      }
      if (tok.Kind == TokenKind::One ||
          (tok.Kind == TokenKind::Literal &&
           tok.Char == static_cast<unsigned char>(AText[t]))) {
        p += tok.Length;
        ++t;
        continue;
      }
    }
    if (starP < 0) return false;
    p = starP;
    t = ++starT;
  }
  while (p < APatternLength) {
    Token tok =
        ReadToken(APattern, p, APatternLength, AEscape, AUnderscore, APercent);
    if (tok.Kind != TokenKind::Any && tok.Kind != TokenKind::End) return false;
    p += tok.Length;
  }
  return true;
}

bool LikeStr(const String& AText, const String& APattern, char APercent,
             char AUnderscore) {
  return LikeMatchChars(AText.data(), static_cast<Integer>(AText.size()),
                        APattern.data(), 0, AUnderscore, APercent,
                        static_cast<Integer>(APattern.size()));
}

void CollapseDoubledWildcard(String& APattern, char AWildcard) {
  String result;
  result.reserve(APattern.size());
  for (char c : APattern) {
    if (c == AWildcard && !result.empty() && result.back() == AWildcard)
      continue;
    result.push_back(c);
  }
  APattern = std::move(result);
}

cxLike::TcxFilterLikeOperator LikeOperatorByPattern(String& APattern,
                                                    char AWildcard) {
  CollapseDoubledWildcard(APattern, AWildcard);
  if (APattern.size() <= 1) return cxLike::floLike;
  bool ends = APattern.back() == AWildcard;
  if (APattern.front() != AWildcard) {
    if (!ends) return cxLike::floLike;
    APattern.pop_back();
    return cxLike::floBeginsWith;
  }
  APattern.erase(0, 1);
  if (!ends) return cxLike::floEndsWith;
  APattern.pop_back();
  return cxLike::floContains;
}
