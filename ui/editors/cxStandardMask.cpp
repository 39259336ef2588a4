#include "cxStandardMask.h"

#include <algorithm>

#include "SysUtils.h"

VARNEL_UNIT(cxStandardMask, ({"SysUtils"}), nullptr, nullptr);

namespace {

// ASCII only: accented letters are neither letters nor changed in case.
bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

void TcxStandardMaskManyItem::DoCaseControl(char& AChar) const {
  switch (caseControl_) {
    case ccUpperCase:
      if (AChar >= 'a' && AChar <= 'z') AChar = static_cast<char>(AChar - 32);
      break;
    case ccLowerCase:
      if (AChar >= 'A' && AChar <= 'Z') AChar = static_cast<char>(AChar + 32);
      break;
    case ccUserCase:
      break;
  }
}

bool TcxStandardMaskAlphaItem::Check(char& AChar) const {
  const bool result = IsAsciiLetter(AChar);
  DoCaseControl(AChar);
  return result;
}

bool TcxStandardMaskAlphaNumericItem::Check(char& AChar) const {
  const bool result = IsAsciiLetter(AChar) || IsDigit(AChar);
  DoCaseControl(AChar);
  return result;
}

bool TcxStandardMaskASCIIItem::Check(char& AChar) const {
  DoCaseControl(AChar);
  return true;
}

bool TcxStandardMaskNumericItem::Check(char& AChar) const {
  const bool result = IsDigit(AChar);
  DoCaseControl(AChar);
  return result;
}

bool TcxStandardMaskNumericSymbolItem::Check(char& AChar) const {
  const bool result = IsDigit(AChar) || AChar == '+' || AChar == '-';
  DoCaseControl(AChar);
  return result;
}

// ---------------------------------------------------------------------------
// Compiling
// ---------------------------------------------------------------------------

void TcxStandardMask::Clear() {
  items_.clear();
  blank_ = '_';
  leading_ = false;
  saveLiterals_ = true;
  mask_.clear();
}

void TcxStandardMask::Compile(const String& AMask) {
  // A copy first: AMask may be this mask's own source, which Clear empties.
  String body = AMask;
  Clear();
  mask_ = body;
  DoCompileHead(body);
  DoCompileBody(body);
}

void TcxStandardMask::DoCompileHead(String& AMask) {
  if (!AMask.empty() && AMask[0] == '!') {
    leading_ = true;
    AMask.erase(0, 1);
  }
}

void TcxStandardMask::DoCompileBody(const String& AMask) {
  TcxCaseControl caseControl = ccUserCase;
  auto literal = [this](char c) {
    items_.push_back(std::make_unique<TcxStandardMaskLiteralItem>(c));
  };
  auto add = [this](std::unique_ptr<TcxStandardMaskCustomItem> item) {
    items_.push_back(std::move(item));
  };
  const std::size_t n = AMask.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = AMask[i];
    switch (c) {
      case 'L':
      case 'l':
        add(std::make_unique<TcxStandardMaskAlphaItem>(caseControl, c == 'l'));
        break;
      case 'A':
      case 'a':
        add(std::make_unique<TcxStandardMaskAlphaNumericItem>(caseControl,
                                                              c == 'a'));
        break;
      case 'C':
      case 'c':
        add(std::make_unique<TcxStandardMaskASCIIItem>(caseControl, c == 'c'));
        break;
      case '0':
      case '9':
        add(std::make_unique<TcxStandardMaskNumericItem>(caseControl,
                                                         c == '9'));
        break;
      case '#':
        add(std::make_unique<TcxStandardMaskNumericSymbolItem>(caseControl));
        break;
      case '>':
        caseControl = ccUpperCase;
        break;
      case '<':
        if (i + 1 < n && AMask[i + 1] == '>') {
          caseControl = ccUserCase;
          ++i;
        } else {
          caseControl = ccLowerCase;
        }
        break;
      case '\\':
        if (i + 1 < n) literal(AMask[++i]);
        break;
      case '/':
        literal(FormatSettings.DateSeparator);
        break;
      case ':':
        literal(FormatSettings.TimeSeparator);
        break;
      case ';': {
        // The tail: ";s" or ";s;b" ending the mask, s being 0 or 1.
        const std::size_t rest = n - i - 1;
        const char s = rest >= 1 ? AMask[i + 1] : '\0';
        if (rest == 1 && (s == '0' || s == '1')) {
          saveLiterals_ = s != '0';
          return;
        }
        if (rest == 3 && (s == '0' || s == '1') && AMask[i + 2] == ';') {
          saveLiterals_ = s != '0';
          blank_ = AMask[i + 3];
          return;
        }
        literal(c);
        break;
      }
      default:
        literal(c);
        break;
    }
  }
}

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

bool TcxStandardMask::IsManyItem(std::size_t AIndex) const {
  return dynamic_cast<const TcxStandardMaskManyItem*>(items_[AIndex].get()) !=
         nullptr;
}

TcxStandardMaskCustomItem* TcxStandardMask::GetItems(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) return nullptr;
  return items_[static_cast<std::size_t>(AIndex)].get();
}

String TcxStandardMask::GetFullEmptyString() const {
  String s;
  s.reserve(items_.size());
  for (const auto& item : items_) {
    if (auto* lit = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get()))
      s += lit->Literal();
    else
      s += blank_;
  }
  return s;
}

String TcxStandardMask::GetEmptyString() const {
  String s;
  for (const auto& item : items_) {
    if (auto* lit =
            dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get())) {
      if (saveLiterals_) s += lit->Literal();
    } else {
      s += ' ';
    }
  }
  return s;
}

void TcxStandardMask::Format(String& AText, bool AUseCheckedChar,
                             bool ALiteralsInText) const {
  String result = GetFullEmptyString();
  const Integer count = GetCount();
  const Integer textLength = static_cast<Integer>(AText.size());
  const Integer step = leading_ ? -1 : 1;
  Integer item = leading_ ? count - 1 : 0;
  const bool skipLiterals = !saveLiterals_ && !ALiteralsInText;
  for (Integer k = 0; k < textLength; ++k) {
    const char given =
        AText[static_cast<std::size_t>(leading_ ? textLength - 1 - k : k)];
    for (Integer j = item; j >= 0 && j < count; j += step) {
      const std::size_t pos = static_cast<std::size_t>(j);
      const bool many = IsManyItem(pos);
      if (skipLiterals && !many) continue;
      // Each item sees the character as given: a case change by an item
      // that refused it must not decide what the next item sees.
      char checked = given;
      if (items_[pos]->Check(checked)) {
        result[pos] = AUseCheckedChar ? checked : given;
        item = j + step;
        break;
      }
      if (many && (given == blank_ || given == ' ')) {
        item = j + step;
        break;
      }
    }
  }
  AText = result;
}

void TcxStandardMask::Format2(String& AText) const {
  String result;
  const std::size_t n = std::min(AText.size(), items_.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (IsManyItem(i)) {
      result += AText[i] == blank_ ? ' ' : AText[i];
    } else if (saveLiterals_) {
      result += AText[i];
    }
  }
  AText = result;
}

bool TcxStandardMask::IsValid(String& AText) const {
  if (AText.size() > items_.size()) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    char& c = AText[i];
    if (items_[i]->Check(c)) continue;
    if (IsManyItem(i) && (c == blank_ || c == ' ')) continue;
    return false;
  }
  return true;
}

bool TcxStandardMask::IsFullValid(String& AText) const {
  if (AText.size() != items_.size()) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    char& c = AText[i];
    if (items_[i]->Check(c)) continue;
    auto* many = dynamic_cast<const TcxStandardMaskManyItem*>(items_[i].get());
    if (many && many->Optional() && (c == blank_ || c == ' ')) continue;
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Routines on a temporary mask
// ---------------------------------------------------------------------------

namespace cxStandardMask {

String EmptyString(const String& AMask, char /*ABlank*/) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  return mask.GetEmptyString();
}

String FormatText(const String& AText, const String& AMask, char ABlank) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  if (ABlank != '\0') mask.blank_ = ABlank;
  String text = AText;
  mask.Format(text, true, true);
  return text;
}

bool IsTextFullValid(const String& AText, const String& AMask) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  String text = AText;
  return mask.IsFullValid(text);
}

bool IsTextValid(const String& AText, const String& AMask) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  String text = AText;
  return mask.IsValid(text);
}

char MaskBlank(const String& AMask) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  return mask.Blank();
}

bool SaveLiteralChars(const String& AMask) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  return mask.SaveLiteralCharacters();
}

}  // namespace cxStandardMask
