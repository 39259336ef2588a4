// Fixed-position edit masks: one mask item per character position. The mask
// edit's standard mode and the date and time editors lay texts into a mask,
// turn the shown text into the stored value and test texts for partial or
// complete validity. Platform independent.
//
// Mask syntax, left to right:
//   !        (first character only) fill from the right
//   L l      letter, required / optional (ASCII letters only)
//   A a      letter or digit, required / optional
//   C c      any character, required / optional
//   0 9      digit, required / optional
//   #        digit, "+" or "-", optional
//   > < <>   upper-case, lower-case, keep the case of what follows
//   \x       the literal x (a trailing backslash adds nothing)
//   / :      the date / time separator of the format settings at compile time
//   ;s       at the end, s "0" or "1": whether literals are stored
//   ;s;b     at the end, likewise, and b becomes the blank character
//   other    a literal (";" anywhere else included)
// Positions are 0-based item indexes.
#pragma once

#include <memory>
#include <vector>

#include "System.h"

enum TcxCaseControl { ccUpperCase, ccLowerCase, ccUserCase };

// Declared ahead: it sets a mask's blank character (see the end).
namespace cxStandardMask {
String FormatText(const String& AText, const String& AMask, char ABlank);
}

class TcxStandardMaskCustomItem : public TObject {
  VARNEL_CLASS(TcxStandardMaskCustomItem, TObject)
 public:
  // Whether AChar may stand at this position. May change AChar's case.
  virtual bool Check(char& AChar) const = 0;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
  VARNEL_CLASS(TcxStandardMaskLiteralItem, TcxStandardMaskCustomItem)
 public:
  explicit TcxStandardMaskLiteralItem(char ALiteral) : literal_(ALiteral) {}
  char Literal() const { return literal_; }
  bool Check(char& AChar) const override { return AChar == literal_; }

 private:
  char literal_;
};

// A position the user fills. Check tests the character as given, then
// applies the item's case control to it.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
  VARNEL_CLASS(TcxStandardMaskManyItem, TcxStandardMaskCustomItem)
 public:
  TcxStandardMaskManyItem(TcxCaseControl ACaseControl, bool AOptional)
      : caseControl_(ACaseControl), optional_(AOptional) {}
  TcxCaseControl CaseControl() const { return caseControl_; }
  bool Optional() const { return optional_; }

 protected:
  void DoCaseControl(char& AChar) const;

 private:
  TcxCaseControl caseControl_;
  bool optional_;
};

class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
  VARNEL_CLASS(TcxStandardMaskAlphaItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Check(char& AChar) const override;
};

class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
  VARNEL_CLASS(TcxStandardMaskAlphaNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Check(char& AChar) const override;
};

class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
  VARNEL_CLASS(TcxStandardMaskASCIIItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Check(char& AChar) const override;
};

class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
  VARNEL_CLASS(TcxStandardMaskNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Check(char& AChar) const override;
};

// Always optional.
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
  VARNEL_CLASS(TcxStandardMaskNumericSymbolItem, TcxStandardMaskManyItem)
 public:
  explicit TcxStandardMaskNumericSymbolItem(TcxCaseControl ACaseControl)
      : TcxStandardMaskManyItem(ACaseControl, true) {}
  bool Check(char& AChar) const override;
};

class TcxStandardMask : public TObject {
  VARNEL_CLASS(TcxStandardMask, TObject)
 public:
  TcxStandardMask() = default;

  // Frees the items; blank "_", literals stored, no leading flag, no source.
  void Clear();
  void Compile(const String& AMask);

  // Lays AText into the mask: the full empty string (GetFullEmptyString)
  // filled with AText's characters, each put at the first item from the
  // current one that accepts it (from the right with the leading flag).
  // AUseCheckedChar keeps the case the item gave the character. Without
  // stored literals and without ALiteralsInText, literal items take no
  // characters. A blank or a space fills a many-item position as blank;
  // characters no item takes are dropped.
  void Format(String& AText, bool AUseCheckedChar = true,
              bool ALiteralsInText = true) const;
  // The stored value of a shown text: a space for each blank of a many-item
  // position, literal positions only when literals are stored.
  void Format2(String& AText) const;
  // Every character fits its position (or is a blank or space at a
  // many-item position) and AText is exactly as long as the mask, with
  // every required position filled. Applies the case control to AText.
  bool IsFullValid(String& AText) const;
  // Like IsFullValid for a text no longer than the mask, required positions
  // may be blank.
  bool IsValid(String& AText) const;

  // A space per many item, and the literals when they are stored: the empty
  // stored value.
  String GetEmptyString() const;
  // The literals, with the blank at every many item: what an empty focused
  // editor shows.
  String GetFullEmptyString() const;
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  // Null outside 0..GetCount()-1.
  TcxStandardMaskCustomItem* GetItems(Integer AIndex) const;

  char Blank() const { return blank_; }
  bool SaveLiteralCharacters() const { return saveLiterals_; }
  bool Leading() const { return leading_; }
  const String& Mask() const { return mask_; }

 private:
  friend String cxStandardMask::FormatText(const String& AText,
                                           const String& AMask, char ABlank);
  void DoCompileHead(String& AMask);
  void DoCompileBody(const String& AMask);
  bool IsManyItem(std::size_t AIndex) const;

  char blank_ = '_';
  std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> items_;
  bool leading_ = false;
  bool saveLiterals_ = true;
  String mask_;
};

// The unit's routines, each on a temporary mask compiled from AMask. The
// regular-expression masks have routines of the same names, hence the
// unit's namespace: cxStandardMask::IsTextValid(...).
namespace cxStandardMask {
// The mask's GetEmptyString (ABlank plays no part in it).
String EmptyString(const String& AMask, char ABlank);
// AText laid in with Format(true, true); ABlank replaces the mask's blank
// character unless it is '\0'.
String FormatText(const String& AText, const String& AMask, char ABlank);
bool IsTextFullValid(const String& AText, const String& AMask);
bool IsTextValid(const String& AText, const String& AMask);
char MaskBlank(const String& AMask);
bool SaveLiteralChars(const String& AMask);
}  // namespace cxStandardMask
