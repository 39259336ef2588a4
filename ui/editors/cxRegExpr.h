// The mask edit's regular-expression engine. A pattern describes the whole
// input from its first character (no search, no anchors, no captures); it is
// compiled into a nondeterministic automaton that the editor drives one
// character at a time: may this character come next, step back, is the text
// complete, and which characters does the pattern force here
// (auto-completion). Platform independent.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "cxClasses.h"

// The editors' exception base.
class EcxEditError : public Exception {
  VARNEL_CLASS(EcxEditError, Exception)
 public:
  using Exception::Exception;
  EcxEditError() = default;
};

// Engine messages.
inline constexpr TcxResourceString scxRegExprLine{65078, "Line"};
inline constexpr TcxResourceString scxRegExprChar{65079, "Char"};
inline constexpr TcxResourceString scxRegExprNotAssignedSourceStream{
    65080, "The source stream is not assigned"};
inline constexpr TcxResourceString scxRegExprEmptySourceStream{
    65081, "The source stream is empty"};
inline constexpr TcxResourceString scxRegExprCantUsePlusQuantifier{
    65082, "The '+' quantifier cannot be applied here"};
inline constexpr TcxResourceString scxRegExprCantUseStarQuantifier{
    65083, "The '*' quantifier cannot be applied here"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyAlt{
    65084, "The alternative should not be empty"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyBlock{
    65085, "The block should not be empty"};
inline constexpr TcxResourceString scxRegExprIllegalSymbol{65086,
                                                           "Illegal '%s'"};
inline constexpr TcxResourceString scxRegExprIllegalQuantifier{
    65087, "Illegal quantifier '%s'"};
inline constexpr TcxResourceString scxRegExprNotSupportQuantifier{
    65056, "The parameter quantifiers are not supported"};
inline constexpr TcxResourceString scxRegExprIllegalIntegerValue{
    65057, "Illegal integer value"};
inline constexpr TcxResourceString scxRegExprTooBigReferenceNumber{
    65058, "Too big reference number"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyEnum{
    65059, "Can't create empty enumeration"};
inline constexpr TcxResourceString scxRegExprSubrangeOrder{
    65060,
    "The starting character of the subrange must be less than the finishing "
    "one"};
inline constexpr TcxResourceString scxRegExprHexNumberExpected0{
    65061, "Hexadecimal number expected"};
inline constexpr TcxResourceString scxRegExprHexNumberExpected{
    65062, "Hexadecimal number expected but '%s' found"};
inline constexpr TcxResourceString scxRegExprMissing{65063, "Missing '%s'"};
inline constexpr TcxResourceString scxRegExprUnnecessary{65064,
                                                         "Unnecessary '%s'"};
inline constexpr TcxResourceString scxRegExprIncorrectSpace{
    65065, "The space character is not allowed after '\\'"};
inline constexpr TcxResourceString scxRegExprNotCompiled{
    65066, "Regular expression is not compiled"};
inline constexpr TcxResourceString scxRegExprIncorrectParameterQuantifier{
    65067, "Incorrect parameter quantifier"};
inline constexpr TcxResourceString scxRegExprCantUseParameterQuantifier{
    65068, "The parameter quantifier cannot be applied here"};

// One compile error. Line 0 means the error has no position.
class TcxRegExprError {
 public:
  TcxRegExprError(Integer ALine, Integer AColumn, const String& AMessage)
      : Column(AColumn), Line(ALine), Message(AMessage) {}
  // "Line<n>, Char<m>: <message>"; the position parts only where they are
  // above 0.
  String GetFullMessage() const;

  Integer Column;
  Integer Line;
  String Message;
};

class TcxRegExprErrors {
 public:
  void Add(const TcxRegExprError& AError) { items_.push_back(AError); }
  void Clear() { items_.clear(); }
  std::unique_ptr<TcxRegExprErrors> Clone() const {
    return std::make_unique<TcxRegExprErrors>(*this);
  }
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  Integer Count() const { return GetCount(); }
  // Raises EListError for an index out of range.
  const TcxRegExprError& GetItems(Integer AIndex) const;
  const TcxRegExprError& operator[](Integer AIndex) const {
    return GetItems(AIndex);
  }

 private:
  std::vector<TcxRegExprError> items_;
};

// A failed compile. Carries its own copy of the errors, so it stays valid
// after the engine that raised it is gone. It has no message of its own.
class EcxRegExprError : public EcxEditError {
  VARNEL_CLASS(EcxRegExprError, EcxEditError)
 public:
  explicit EcxRegExprError(const TcxRegExprErrors& AErrors)
      : errors_(std::make_shared<TcxRegExprErrors>(AErrors)) {}
  const TcxRegExprErrors& Errors() const { return *errors_; }

 private:
  std::shared_ptr<const TcxRegExprErrors> errors_;
};

using TcxSymbolDeleteEvent = TClosure<void()>;
using TcxSymbolUpdateEvent = TClosure<void(char ASymbol)>;

class TcxRegExprAutomat;

// Pattern syntax (blanks outside quotes are ignored):
//   'text'  literal ('' is one quote)      .  any character
//   /  :    locale date / time separator   [..] [^..] a-b  character class
//   (..)    group, numbered by "("         a|b  alternatives
//   ? * +   quantifiers                    {n} {n,} {n,m}  repetition
//   \1..\9  a copy of group n's pattern    \d \D \w \W \s \S  classes
//   \a \e \f \n \r \t  control characters  \p  decimal separator
//   \xHH    character by code; \ before anything else: that character
class TcxRegExpr : public TObject {
  VARNEL_CLASS(TcxRegExpr, TObject)
 public:
  TcxRegExpr();
  ~TcxRegExpr() override;

  // Compiles the whole stream (from its start). Raises EcxRegExprError with
  // every error found; the engine is then uncompiled until the next Compile.
  void Compile(TStream* AStream);
  bool IsCompiled() const { return compiled_; }
  // The compiled source; null when not compiled.
  TMemoryStream* GetStream() const;

  // The rest raise EcxEditError "Regular expression is not compiled" on an
  // uncompiled engine.

  // Accepts AChar as the next character (with CaseInsensitive it may turn
  // into the pattern's case). False, and nothing changes, when it cannot
  // come next. With auto-completion on, forced characters follow through
  // OnSymbolUpdate.
  bool Next(char& AChar);
  // Feeds AText without auto-completion; the accepted leading characters.
  String NextEx(const String& AText);
  // Steps back one character (with auto-completion on, first takes back the
  // forced characters through OnSymbolDelete); false at the start.
  bool Prev();
  void Reset();
  // Whether the input so far is a complete match.
  bool IsFinal();
  bool IsStart();

  bool UpdateOn() const { return updateOn_; }
  // Turning auto-completion on runs it at once on a compiled engine.
  void SetUpdateOn(bool AValue);
  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool AValue) { caseInsensitive_ = AValue; }

  // The errors of the last Compile.
  const TcxRegExprErrors& Errors() const { return errors_; }
  // The parse tree as text ("" when not compiled).
  String Print() const;

  TcxSymbolDeleteEvent OnSymbolDelete;
  TcxSymbolUpdateEvent OnSymbolUpdate;

 private:
  void Clear();
  void TestCompiledStatus() const;
  [[noreturn]] void RaiseErrors() const;

  std::unique_ptr<TMemoryStream> stream_;
  TcxRegExprErrors errors_;
  std::unique_ptr<TcxRegExprAutomat> automat_;
  bool compiled_ = false;
  bool updateOn_ = false;
  bool caseInsensitive_ = false;
};

// The unit's routines. Other mask units have routines of the same names,
// hence the unit's namespace: cxRegExpr::IsTextValid(...).
namespace cxRegExpr {
// Compile AMask (case-sensitive) and feed AText: IsTextFullValid needs every
// character accepted and a complete match at the end, IsTextValid only the
// former. A bad mask raises EcxRegExprError.
bool IsTextFullValid(const String& AText, const String& AMask);
bool IsTextValid(const String& AText, const String& AMask);
}  // namespace cxRegExpr
