// Wildcard matching of the filter's LIKE conditions and the classification
// of simple patterns into "begins with", "ends with" and "contains" for
// captions. Byte-wise and case-sensitive: callers that filter without case
// upper-case text and pattern first. Platform independent.
#pragma once

#include "System.h"

// The enumeration shares its name with the LIKE operator class of the filter
// unit, so it lives in a namespace of its own.
namespace cxLike {
enum TcxFilterLikeOperator : Byte {
  floLike,
  floBeginsWith,
  floEndsWith,
  floContains
};
}  // namespace cxLike

// The whole text against the whole pattern, no escape character.
bool LikeStr(const String& AText, const String& APattern, char APercent,
             char AUnderscore);
// The matcher. APercent matches any run of characters (the empty one too),
// AUnderscore exactly one; an escape character (0 = none) makes the next
// pattern character literal, and a trailing escape is ignored. Runs in time
// bounded by text length times pattern length and allocates nothing.
bool LikeMatchChars(const char* AText, Integer ATextLength,
                    const char* APattern, char AEscape, char AUnderscore,
                    char APercent, Integer APatternLength);
// Classifies APattern by its first and last character and strips the
// wildcards it classified by (runs of AWildcard are collapsed first).
cxLike::TcxFilterLikeOperator LikeOperatorByPattern(String& APattern,
                                                    char AWildcard);
// Collapses every run of AWildcard into a single one.
void CollapseDoubledWildcard(String& APattern, char AWildcard);
