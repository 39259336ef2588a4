#include "cxRegExpr.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "SysConst.h"
#include "SysUtils.h"

// Patterns come from users and stored settings: a pattern of any length and
// content must end in a compiled engine or a clear error. Repetition bounds
// and back references copy parts of the pattern, and nesting makes every
// tree walk deeper, so both are bounded. Beyond these limits the pattern
// fails with the message of the construct that would exceed them.
namespace {
constexpr Integer kMaxItems = 4096;
constexpr Integer kMaxNesting = 256;
}  // namespace

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

String TcxRegExprError::GetFullMessage() const {
  String result;
  if (Line > 0) {
    result = cxGetResourceString(scxRegExprLine) + IntToStr(Line);
    if (Column > 0) {
      result += ", " + cxGetResourceString(scxRegExprChar) + IntToStr(Column);
    }
    result += ": ";
  }
  return result + Message;
}

const TcxRegExprError& TcxRegExprErrors::GetItems(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) {
    throw EListError(SListIndexError, {AIndex});
  }
  return items_[static_cast<std::size_t>(AIndex)];
}

// ---------------------------------------------------------------------------
// Character items, states and the parse tree
// ---------------------------------------------------------------------------

namespace {

enum class TCharKind : Byte {
  Symbol,
  TimeSeparator,
  DateSeparator,
  Subrange,
  Enumeration,
  Digit,
  IdLetter,
  Space,
  All
};

bool IsBlank(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' ||
         c == ' ';
}

char UpperChar(char c) {
  String s = AnsiUpperCase(String(1, c));
  return s.empty() ? c : s[0];
}

// What one position of the pattern accepts.
struct TCharItem {
  TCharKind Kind = TCharKind::All;
  char First = 0;  // the symbol, or the start of a subrange
  char Last = 0;   // the end of a subrange
  bool Inverse = false;
  std::vector<TCharItem> Members;  // of an enumeration

  // With case folding a symbol accepts any character of the same upper
  // case, and AChar then becomes the symbol.
  bool Check(char& AChar, bool ACaseInsensitive) const {
    auto u = [](char c) { return static_cast<unsigned char>(c); };
    switch (Kind) {
      case TCharKind::Symbol:
        if (AChar == First) return true;
        if (ACaseInsensitive && UpperChar(AChar) == UpperChar(First)) {
          AChar = First;
          return true;
        }
        return false;
      case TCharKind::TimeSeparator:
        return AChar == TimeSeparator;
      case TCharKind::DateSeparator:
        return AChar == DateSeparator;
      case TCharKind::Subrange:
        return u(AChar) >= u(First) && u(AChar) <= u(Last);
      case TCharKind::Enumeration: {
        // A member that folds the case must not change AChar when the
        // enumeration as a whole rejects it.
        char probe = AChar;
        bool found = false;
        for (const TCharItem& m : Members) {
          if (m.Check(probe, ACaseInsensitive)) {
            found = true;
            break;
          }
        }
        if (found == Inverse) return false;
        if (!Inverse) AChar = probe;
        return true;
      }
      case TCharKind::Digit:
        return (AChar >= '0' && AChar <= '9') != Inverse;
      case TCharKind::IdLetter:
        return ((AChar >= 'a' && AChar <= 'z') ||
                (AChar >= 'A' && AChar <= 'Z') ||
                (AChar >= '0' && AChar <= '9') || AChar == '_') != Inverse;
      case TCharKind::Space:
        return IsBlank(AChar) != Inverse;
      case TCharKind::All:
        return true;
    }
    return false;
  }

  // The one character this item stands for, if it stands for exactly one.
  bool SingleChar(char& AChar) const {
    switch (Kind) {
      case TCharKind::Symbol:
        AChar = First;
        return true;
      case TCharKind::TimeSeparator:
        AChar = TimeSeparator;
        return true;
      case TCharKind::DateSeparator:
        AChar = DateSeparator;
        return true;
      default:
        return false;
    }
  }
};

TCharItem SymbolItem(char c) {
  TCharItem item;
  item.Kind = TCharKind::Symbol;
  item.First = c;
  return item;
}

TCharItem KindItem(TCharKind kind, bool inverse = false) {
  TCharItem item;
  item.Kind = kind;
  item.Inverse = inverse;
  return item;
}

// A simple state accepts one character through its item (the start state
// has none); a block state is an empty-transition node of a group.
struct TState {
  // The walk that last visited this state (see Reachable).
  mutable std::uint32_t Visit = 0;
  bool Block = false;
  bool Final = false;
  bool HasItem = false;
  TCharItem Item;
  std::vector<TState*> Next;
};

using TStates = std::vector<TState*>;

enum class TQuantifier : Byte { Simple, Question, Star, Plus };

bool CanMissing(TQuantifier q) {
  return q == TQuantifier::Question || q == TQuantifier::Star;
}

bool CanRepeat(TQuantifier q) {
  return q == TQuantifier::Star || q == TQuantifier::Plus;
}

const char* PrintQuantifier(TQuantifier q) {
  switch (q) {
    case TQuantifier::Question:
      return "?";
    case TQuantifier::Star:
      return "*";
    case TQuantifier::Plus:
      return "+";
    case TQuantifier::Simple:
      break;
  }
  return "";
}

struct TParserAlt;

// A simple item (one state) or a group (alternatives between an entry and
// an exit block state), with its quantifier.
struct TParserItem {
  TQuantifier Quantifier = TQuantifier::Simple;
  TState* State = nullptr;
  TState* Entry = nullptr;
  TState* Exit = nullptr;
  std::vector<std::unique_ptr<TParserAlt>> Alts;

  bool IsBlock() const { return Entry != nullptr; }
  TState* InState() const { return IsBlock() ? Entry : State; }
  TState* OutState() const { return IsBlock() ? Exit : State; }
  bool CanMissing() const { return ::CanMissing(Quantifier); }
  bool CanRepeat() const { return ::CanRepeat(Quantifier); }
  bool CanEmpty() const;
  // Items in this subtree, the item itself included.
  Integer ItemCount() const;
  Integer Depth() const;
};

struct TParserAlt {
  std::vector<std::unique_ptr<TParserItem>> Items;

  bool CanMissing() const {
    return std::all_of(Items.begin(), Items.end(),
                       [](const auto& i) { return i->CanMissing(); });
  }
  bool CanEmpty() const {
    return std::all_of(Items.begin(), Items.end(),
                       [](const auto& i) { return i->CanEmpty(); });
  }
};

using TParserAlts = std::vector<std::unique_ptr<TParserAlt>>;

bool TParserItem::CanEmpty() const {
  if (CanMissing()) return true;
  return IsBlock() && std::any_of(Alts.begin(), Alts.end(),
                                  [](const auto& a) { return a->CanEmpty(); });
}

Integer TParserItem::ItemCount() const {
  Integer n = 1;
  for (const auto& alt : Alts) {
    for (const auto& item : alt->Items) n += item->ItemCount();
  }
  return n;
}

Integer TParserItem::Depth() const {
  if (!IsBlock()) return 0;
  Integer deepest = 0;
  for (const auto& alt : Alts) {
    for (const auto& item : alt->Items) {
      deepest = std::max(deepest, item->Depth());
    }
  }
  return deepest + 1;
}

void PrintAlts(const TParserAlts& alts, String& out);

void PrintItem(const TParserItem& item, String& out) {
  if (item.IsBlock()) {
    out += "<Start_Block>\r\n";
    PrintAlts(item.Alts, out);
    out += "<Finish_Block> --> ";
  } else {
    out += "item --> ";
  }
  out += PrintQuantifier(item.Quantifier);
  out += "\r\n";
}

void PrintAlts(const TParserAlts& alts, String& out) {
  for (const auto& alt : alts) {
    out += "<Start_Alt>\r\n";
    for (const auto& item : alt->Items) PrintItem(*item, out);
    out += "<Finish_Alt>\r\n";
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The automaton
// ---------------------------------------------------------------------------

// Owns the parse tree and every state; successor lists only refer to states.
class TcxRegExprAutomat {
 public:
  TcxRegExprAutomat() : start_(NewSimpleState()) {}

  // --- Building ---
  TState* NewSimpleState() {
    states_.push_back(std::make_unique<TState>());
    return states_.back().get();
  }
  TState* NewBlockState() {
    states_.push_back(std::make_unique<TState>());
    states_.back()->Block = true;
    return states_.back().get();
  }
  std::unique_ptr<TParserItem> NewSimpleItem(const TCharItem& charItem) {
    auto item = std::make_unique<TParserItem>();
    item->State = NewSimpleState();
    ++itemCount_;
    item->State->HasItem = true;
    item->State->Item = charItem;
    return item;
  }
  std::unique_ptr<TParserItem> NewBlockItem() {
    auto item = std::make_unique<TParserItem>();
    ++itemCount_;
    item->Entry = NewBlockState();
    item->Exit = NewBlockState();
    return item;
  }
  std::unique_ptr<TParserItem> Clone(const TParserItem& source) {
    std::unique_ptr<TParserItem> copy;
    if (source.IsBlock()) {
      copy = NewBlockItem();
      for (const auto& alt : source.Alts) {
        copy->Alts.push_back(std::make_unique<TParserAlt>());
        for (const auto& item : alt->Items) {
          copy->Alts.back()->Items.push_back(Clone(*item));
        }
      }
    } else {
      copy = NewSimpleItem(source.State->Item);
    }
    copy->Quantifier = source.Quantifier;
    return copy;
  }
  // Parse items made so far, also those that were replaced.
  Integer ItemCount() const { return itemCount_; }
  TParserAlts& Alts() { return alts_; }
  // Items that a repetition replaced: kept alive because the group list of
  // the parser may still refer to them.
  void Retire(std::unique_ptr<TParserItem> item) {
    retired_.push_back(std::move(item));
  }

  void CreateConnections() {
    for (const auto& alt : alts_) {
      ConnectFirst(start_, *alt);
      ConnectAlt(*alt);
      MarkFinalEnds(*alt);
      // A start that may already be complete: a top-level alternative
      // that matches the empty text.
      if (alt->CanEmpty()) start_->Final = true;
    }
    Reset();
  }

  // --- Matching ---
  void Reset() {
    history_.clear();
    current_ = {start_};
  }
  bool IsFinal() const { return SetIsFinal(current_); }
  bool IsStart() const { return !current_.empty() && current_[0] == start_; }

  bool Next(char& AChar, bool ACaseInsensitive) {
    TStates next;
    for (TState* s : Reachable(current_)) {
      if (s->HasItem && s->Item.Check(AChar, ACaseInsensitive)) {
        next.push_back(s);
      }
    }
    if (next.empty()) return false;
    Push(std::move(next));
    return true;
  }

  bool Prev() {
    if (history_.empty()) return false;
    current_ = std::move(history_.back());
    history_.pop_back();
    return true;
  }

  // Inserts the characters the pattern forces from here on.
  void Update(const TcxSymbolUpdateEvent& onUpdate) {
    // A forced run never revisits a state set more often than there are
    // states; the bound only guards against a cycle of forced characters.
    std::size_t guard = states_.size() + 1;
    while (!IsFinal() && guard-- > 0) {
      TStates next = Reachable(current_);
      char c;
      if (!DeterminesOneChar(next, c)) break;
      onUpdate(c);
      Push(std::move(next));
    }
  }

  // Takes back the characters that Update inserted before the current
  // position.
  void ReUpdate(const TcxSymbolDeleteEvent& onDelete) {
    char c;
    while (DeterminesOneChar(current_, c) && !history_.empty()) {
      TStates previous = std::move(history_.back());
      history_.pop_back();
      char forced;
      if (SetIsFinal(previous) ||
          !DeterminesOneChar(Reachable(previous), forced)) {
        history_.push_back(std::move(previous));
        break;
      }
      onDelete();
      current_ = std::move(previous);
    }
  }

  String Print() const {
    String out;
    PrintAlts(alts_, out);
    return out;
  }

 private:
  // Successors of `from` up to and including the first item that cannot
  // be missing.
  static void ConnectFirst(TState* from, const TParserAlt& alt,
                           std::size_t begin = 0) {
    for (std::size_t j = begin; j < alt.Items.size(); ++j) {
      from->Next.push_back(alt.Items[j]->InState());
      if (!alt.Items[j]->CanMissing()) break;
    }
  }

  void ConnectAlt(const TParserAlt& alt) {
    for (std::size_t i = 0; i < alt.Items.size(); ++i) {
      const TParserItem& item = *alt.Items[i];
      ConnectFirst(item.OutState(), alt, i + 1);
      if (item.CanRepeat()) item.OutState()->Next.push_back(item.InState());
      if (item.IsBlock()) ConnectBlock(item);
    }
  }

  void ConnectBlock(const TParserItem& block) {
    for (const auto& alt : block.Alts) {
      ConnectFirst(block.Entry, *alt);
      if (alt->CanMissing()) block.Entry->Next.push_back(block.Exit);
      for (auto it = alt->Items.rbegin(); it != alt->Items.rend(); ++it) {
        (*it)->OutState()->Next.push_back(block.Exit);
        if (!(*it)->CanMissing()) break;
      }
      ConnectAlt(*alt);
    }
  }

  // A state is final when everything after it can match the empty text,
  // also through groups that are not optional themselves but can be empty,
  // so that a(b?) accepts "a".
  static void MarkFinalEnds(const TParserAlt& alt) {
    for (auto it = alt.Items.rbegin(); it != alt.Items.rend(); ++it) {
      const TParserItem& item = **it;
      if (item.IsBlock()) {
        for (const auto& inner : item.Alts) MarkFinalEnds(*inner);
      } else {
        item.State->Final = true;
      }
      if (!item.CanEmpty()) break;
    }
  }

  // The simple states reached from the successors of `from` through block
  // states, each once, in the order they are met.
  TStates Reachable(const TStates& from) const {
    TStates result;
    const std::uint32_t walk = ++walk_;
    auto visited = [walk](const TState* s) {
      if (s->Visit == walk) return true;
      s->Visit = walk;
      return false;
    };
    TStates stack;
    for (TState* s : from) {
      for (auto it = s->Next.rbegin(); it != s->Next.rend(); ++it) {
        stack.push_back(*it);
      }
      while (!stack.empty()) {
        TState* t = stack.back();
        stack.pop_back();
        if (visited(t)) continue;
        if (!t->Block) {
          result.push_back(t);
          continue;
        }
        for (auto it = t->Next.rbegin(); it != t->Next.rend(); ++it) {
          stack.push_back(*it);
        }
      }
    }
    return result;
  }

  static bool SetIsFinal(const TStates& set) {
    return std::any_of(set.begin(), set.end(),
                       [](const TState* s) { return s->Final; });
  }

  static bool DeterminesOneChar(const TStates& set, char& c) {
    if (set.empty()) return false;
    for (std::size_t i = 0; i < set.size(); ++i) {
      char here;
      if (set[i]->Block || !set[i]->HasItem || !set[i]->Item.SingleChar(here)) {
        return false;
      }
      if (i == 0) {
        c = here;
      } else if (here != c) {
        return false;
      }
    }
    return true;
  }

  void Push(TStates next) {
    history_.push_back(std::move(current_));
    current_ = std::move(next);
  }

  std::vector<std::unique_ptr<TState>> states_;
  mutable std::uint32_t walk_ = 0;
  Integer itemCount_ = 0;
  TState* start_;
  TParserAlts alts_;
  std::vector<std::unique_ptr<TParserItem>> retired_;
  TStates current_;
  std::vector<TStates> history_;
};

// ---------------------------------------------------------------------------
// Lexer
// ---------------------------------------------------------------------------

namespace {

enum TLexemCode : Byte {
  relcSymbol,
  relcSpecial,
  relcInteger,
  relcAll,
  relcId,
  relcNotId,
  relcDigit,
  relcNotDigit,
  relcSpace,
  relcNotSpace,
  relcReference,
  relcDateSeparator,
  relcTimeSeparator
};

struct TLexem {
  Integer Column = 0;
  TLexemCode Code = relcSymbol;
  Integer Line = 0;
  String Text;

  bool IsSpecial(char c) const {
    return Code == relcSpecial && Text.size() == 1 && Text[0] == c;
  }
  char FirstChar() const { return Text.empty() ? '\0' : Text[0]; }
};

String Fmt(const TcxResourceString& res, const String& arg) {
  return Format(cxGetResourceString(res), {arg});
}

const char* const kQuoteText = " ' ";

// The letters that, after a backslash, stand for a class of characters or a
// control character, and the lexem each makes. \p (the decimal separator),
// \x (a hexadecimal code) and \1 to \9 (references) are read apart; any
// other character after a backslash stands for itself.
struct TEscape {
  char Letter;
  TLexemCode Code;
  char Text;
};
constexpr TEscape kEscapes[] = {
    {'D', relcNotDigit, 'D'}, {'S', relcNotSpace, 'S'},
    {'W', relcNotId, 'W'},    {'d', relcDigit, 'd'},
    {'s', relcSpace, 's'},    {'w', relcId, 'w'},
    {'a', relcSymbol, '\a'},  {'e', relcSymbol, '\x1B'},
    {'f', relcSymbol, '\f'},  {'n', relcSymbol, '\n'},
    {'r', relcSymbol, '\r'},  {'t', relcSymbol, '\t'}};

// The characters that mean more than themselves outside quotes, classes and
// escapes, and the lexem each makes; any other character is a symbol.
struct TOperator {
  char Char;
  TLexemCode Code;
};
constexpr TOperator kOperators[] = {
    {'(', relcSpecial},       {')', relcSpecial},      {'*', relcSpecial},
    {'+', relcSpecial},       {'?', relcSpecial},      {'|', relcSpecial},
    {'[', relcSpecial},       {'{', relcSpecial},      {'.', relcAll},
    {'/', relcDateSeparator}, {':', relcTimeSeparator}};

constexpr TLexemCode OperatorCode(char c) {
  for (const TOperator& op : kOperators) {
    if (op.Char == c) return op.Code;
  }
  return relcSymbol;
}

class TScanner {
 public:
  TScanner(const String& source, TcxRegExprErrors& errors,
           std::vector<TLexem>& lexems)
      : src_(source), errors_(errors), lexems_(lexems) {}

  void ScanExpr() {
    Integer depth = 0;
    while (More()) {
      char c = GetToken();
      if (IsBlank(c)) continue;
      if (c == '\'') {
        ScanString();
        continue;
      }
      if (c == '\\') {
        ScanEscape();
        continue;
      }
      Add(OperatorCode(c), c);
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        --depth;
      } else if (c == '[') {
        ScanClass();
      } else if (c == '{') {
        ScanQuantifier();
      }
    }
    if (depth > 0) Error(0, 0, Fmt(scxRegExprMissing, ")"));
    if (depth < 0) Error(0, 0, Fmt(scxRegExprUnnecessary, ")"));
  }

 private:
  bool More() const { return index_ < src_.size(); }

  char GetToken() {
    char c = src_[index_++];
    ++column_;
    if (c == '\r') ++line_;
    if (c == '\n') column_ = 0;
    return c;
  }

  // The next character that is not blank, without reading it; false at the
  // end of the pattern.
  bool LookNonBlank(char& c) const {
    for (std::size_t i = index_; i < src_.size(); ++i) {
      if (!IsBlank(src_[i])) {
        c = src_[i];
        return true;
      }
    }
    return false;
  }

  void SkipBlanks() {
    while (More() && IsBlank(src_[index_])) GetToken();
  }

  void Add(TLexemCode code, char c) { AddAt(code, String(1, c), column_); }

  void AddAt(TLexemCode code, const String& text, Integer column) {
    lexems_.push_back({column, code, line_, text});
  }

  void Error(Integer line, Integer column, const String& message) {
    errors_.Add(TcxRegExprError(line, column, message));
  }

  void ErrorHere(const String& message, Integer columnDelta = 0) {
    Error(line_, column_ + columnDelta, message);
  }

  void ScanString() {
    while (true) {
      if (!More()) {
        ErrorHere(Fmt(scxRegExprMissing, kQuoteText), 1);
        return;
      }
      char c = GetToken();
      if (c == '\'') {
        if (More() && src_[index_] == '\'') {
          GetToken();
          Add(relcSymbol, '\'');
          continue;
        }
        return;
      }
      Add(relcSymbol, c);
    }
  }

  void ScanEscape() {
    Integer column = column_;
    if (!More()) return;
    char c = GetToken();
    auto add = [&](TLexemCode code, char text) {
      AddAt(code, String(1, text), column);
    };
    if (c >= '1' && c <= '9') {
      add(relcReference, c);
      return;
    }
    if (IsBlank(c)) {
      ErrorHere(cxGetResourceString(scxRegExprIncorrectSpace));
      return;
    }
    if (c == 'p') {
      add(relcSymbol, DecimalSeparator);
      return;
    }
    if (c == 'x') {
      ScanASCII(column);
      return;
    }
    for (const TEscape& escape : kEscapes) {
      if (escape.Letter == c) {
        add(escape.Code, escape.Text);
        return;
      }
    }
    add(relcSymbol, c);
  }

  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  }

  void ScanASCII(Integer column) {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (!More()) {
        ErrorHere(cxGetResourceString(scxRegExprHexNumberExpected0), 1);
        return;
      }
      char c = GetToken();
      int digit = HexValue(c);
      if (digit < 0) {
        ErrorHere(Fmt(scxRegExprHexNumberExpected, String(1, c)));
        return;
      }
      value = value * 16 + digit;
    }
    AddAt(relcSymbol, String(1, static_cast<char>(value)), column);
  }

  // One character of a class that keeps its meaning there: quotes,
  // separators and escapes; everything else is a symbol.
  void ScanClassChar(char c) {
    switch (c) {
      case '\'':
        ScanString();
        break;
      case '/':
        Add(relcDateSeparator, c);
        break;
      case ':':
        Add(relcTimeSeparator, c);
        break;
      case '\\':
        ScanEscape();
        break;
      default:
        Add(relcSymbol, c);
    }
  }

  void ScanClass() {
    SkipBlanks();
    if (!More()) {
      ErrorHere(Fmt(scxRegExprMissing, "]"), 1);
      return;
    }
    char c = GetToken();
    if (c == '^') {
      Add(relcSpecial, c);
    } else if (c == ']') {
      Add(relcSpecial, c);
      return;
    } else {
      ScanClassChar(c);
    }
    while (true) {
      SkipBlanks();
      if (!More()) {
        ErrorHere(Fmt(scxRegExprMissing, "]"), 1);
        return;
      }
      c = GetToken();
      if (c == '-') {
        char after;
        if (!LookNonBlank(after)) {
          Add(relcSpecial, c);
          ErrorHere(Fmt(scxRegExprMissing, "]"), 1);
          return;
        }
        Add(after == ']' ? relcSymbol : relcSpecial, c);
      } else if (c == ']') {
        Add(relcSpecial, c);
        return;
      } else {
        ScanClassChar(c);
      }
    }
  }

  void ScanQuantifier() {
    while (true) {
      SkipBlanks();
      if (!More()) {
        ErrorHere(Fmt(scxRegExprMissing, "}"), 1);
        return;
      }
      char c = GetToken();
      if (c >= '0' && c <= '9') {
        Integer column = column_;
        String digits(1, c);
        while (More() && src_[index_] >= '0' && src_[index_] <= '9') {
          digits += GetToken();
        }
        AddAt(relcInteger, digits, column);
      } else if (c == ',') {
        Add(relcSpecial, c);
      } else if (c == '}') {
        Add(relcSpecial, c);
        return;
      } else if (c == '\'') {
        ErrorHere(Fmt(scxRegExprIllegalSymbol, kQuoteText));
      } else {
        ErrorHere(Fmt(scxRegExprIllegalSymbol, String(1, c)));
      }
    }
  }

  const String& src_;
  TcxRegExprErrors& errors_;
  std::vector<TLexem>& lexems_;
  std::size_t index_ = 0;
  Integer line_ = 1;
  Integer column_ = 0;
};

// ---------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------

class TParser {
 public:
  TParser(const std::vector<TLexem>& lexems, TcxRegExprErrors& errors,
          TcxRegExprAutomat& automat)
      : lexems_(lexems), errors_(errors), automat_(automat) {}

  void ParseExpr() { ParseAlts(automat_.Alts(), false, 0); }

 private:
  enum class TAltEnd { End, More, Closed };

  bool AtEnd() const { return index_ >= lexems_.size(); }
  const TLexem* Peek(std::size_t offset = 0) const {
    return index_ + offset < lexems_.size() ? &lexems_[index_ + offset]
                                            : nullptr;
  }
  const TLexem& Get() { return lexems_[index_++]; }

  void Error(const TLexem& at, const String& message) {
    errors_.Add(TcxRegExprError(at.Line, at.Column, message));
  }
  void Error(const TLexem& at, const TcxResourceString& res) {
    Error(at, cxGetResourceString(res));
  }

  static bool IsItemLexem(const TLexem& l) {
    return l.Code != relcSpecial && l.Code != relcInteger &&
           l.Code != relcReference;
  }

  static TCharItem ItemOf(const TLexem& l) {
    switch (l.Code) {
      case relcAll:
        return KindItem(TCharKind::All);
      case relcId:
        return KindItem(TCharKind::IdLetter);
      case relcNotId:
        return KindItem(TCharKind::IdLetter, true);
      case relcDigit:
        return KindItem(TCharKind::Digit);
      case relcNotDigit:
        return KindItem(TCharKind::Digit, true);
      case relcSpace:
        return KindItem(TCharKind::Space);
      case relcNotSpace:
        return KindItem(TCharKind::Space, true);
      case relcDateSeparator:
        return KindItem(TCharKind::DateSeparator);
      case relcTimeSeparator:
        return KindItem(TCharKind::TimeSeparator);
      default:
        return SymbolItem(l.FirstChar());
    }
  }

  // Alternatives until the end, or, inside a group, until the one that ends
  // at ")".
  void ParseAlts(TParserAlts& alts, bool inGroup, Integer level) {
    while (true) {
      alts.push_back(std::make_unique<TParserAlt>());
      if (ParseAlt(*alts.back(), inGroup, level) != TAltEnd::More) return;
    }
  }

  TAltEnd ParseAlt(TParserAlt& alt, bool inGroup, Integer level) {
    if (AtEnd()) {
      errors_.Add(TcxRegExprError(
          0, 0, cxGetResourceString(scxRegExprCantCreateEmptyAlt)));
      return TAltEnd::End;
    }
    if (Peek()->IsSpecial('|')) {
      Error(Get(), scxRegExprCantCreateEmptyAlt);
      return TAltEnd::More;
    }
    if (inGroup && Peek()->IsSpecial(')')) {
      Error(Get(), scxRegExprCantCreateEmptyBlock);
      return TAltEnd::Closed;
    }
    while (!AtEnd()) {
      const TLexem& l = Get();
      if (IsItemLexem(l)) {
        AddSimpleItem(alt, l, ItemOf(l));
        continue;
      }
      if (l.Code == relcInteger) {
        Error(l, scxRegExprIllegalIntegerValue);
        continue;
      }
      if (l.Code == relcReference) {
        ParseReference(alt, l);
        continue;
      }
      switch (l.FirstChar()) {
        case '(':
          ParseBlock(alt, l, level);
          break;
        case '[':
          ParseEnumeration(alt, l);
          break;
        case ')':
          if (inGroup) return TAltEnd::Closed;
          Error(l, Fmt(scxRegExprIllegalSymbol, ")"));
          break;
        case '|':
          return TAltEnd::More;
        case ']':
        case '}':
        case '-':
          Error(l, Fmt(scxRegExprIllegalSymbol, l.Text));
          break;
        case '*':
        case '+':
        case '?':
          ParseQuantifier(alt, l);
          break;
        case '{':
          ParseParameterQuantifier(alt, l);
          break;
        default:
          break;  // "," and "^" out of place mean nothing
      }
    }
    return TAltEnd::End;
  }

  void ParseBlock(TParserAlt& alt, const TLexem& open, Integer level) {
    if (level >= kMaxNesting || !HasRoom(1)) {
      Error(open, Fmt(scxRegExprIllegalSymbol, "("));
      SkipGroup();
      return;
    }
    // Numbered and visible to references from its "(" on, so \n inside
    // the group copies what has been read of it so far.
    alt.Items.push_back(automat_.NewBlockItem());
    TParserItem* block = alt.Items.back().get();
    blocks_.push_back(block);
    ParseAlts(block->Alts, true, level + 1);
  }

  // Passes over a group without building it.
  void SkipGroup() {
    Integer depth = 1;
    while (!AtEnd() && depth > 0) {
      const TLexem& l = Get();
      if (l.IsSpecial('(')) ++depth;
      if (l.IsSpecial(')')) --depth;
    }
  }

  void ParseReference(TParserAlt& alt, const TLexem& l) {
    std::size_t n = static_cast<std::size_t>(l.FirstChar() - '0');
    if (n == 0 || n > blocks_.size() || !HasRoom(blocks_[n - 1]->ItemCount())) {
      Error(l, scxRegExprTooBigReferenceNumber);
      return;
    }
    alt.Items.push_back(automat_.Clone(*blocks_[n - 1]));
  }

  bool HasRoom(Int64 items) const {
    return automat_.ItemCount() + items <= kMaxItems;
  }

  static TQuantifier QuantifierOf(char c) {
    switch (c) {
      case '?':
        return TQuantifier::Question;
      case '*':
        return TQuantifier::Star;
      default:
        return TQuantifier::Plus;
    }
  }

  // Gives the item the quantifier, or, when it has one already, wraps it in
  // a group that gets it (a*? is (a*)?). False when the wrap would nest too
  // deep.
  bool Quantify(std::unique_ptr<TParserItem>& item, TQuantifier q) {
    if (item->Quantifier == TQuantifier::Simple) {
      item->Quantifier = q;
      return true;
    }
    if (item->Depth() + 1 > kMaxNesting || !HasRoom(1)) return false;
    auto group = automat_.NewBlockItem();
    group->Quantifier = q;
    group->Alts.push_back(std::make_unique<TParserAlt>());
    group->Alts.back()->Items.push_back(std::move(item));
    item = std::move(group);
    return true;
  }

  void ParseQuantifier(TParserAlt& alt, const TLexem& l) {
    if (alt.Items.empty()) {
      Error(l, Fmt(scxRegExprIllegalQuantifier, l.Text));
      return;
    }
    TQuantifier q = QuantifierOf(l.FirstChar());
    std::unique_ptr<TParserItem>& item = alt.Items.back();
    if (q == TQuantifier::Plus && item->CanEmpty()) {
      Error(l, scxRegExprCantUsePlusQuantifier);
      return;
    }
    if (q == TQuantifier::Star && item->CanEmpty()) {
      Error(l, scxRegExprCantUseStarQuantifier);
      return;
    }
    if (!Quantify(item, q)) {
      Error(l, Fmt(scxRegExprIllegalQuantifier, l.Text));
    }
  }

  static Int64 IntegerOf(const TLexem& l) {
    // Saturates: any bound this large is refused later anyway.
    Int64 value = 0;
    for (char c : l.Text) {
      value = std::min<Int64>(value * 10 + (c - '0'),
                              std::numeric_limits<Integer>::max());
    }
    return value;
  }

  // Reads INT "}" | INT "," "}" | INT "," INT "}" after "{"; on a mismatch
  // reports the offending lexem (or "{" when the pattern ends).
  bool ReadBounds(const TLexem& open, Int64& n, Int64& m, bool& unlimited) {
    unlimited = false;
    const TLexem* l = AtEnd() ? nullptr : &Get();
    if (l && l->Code == relcInteger) {
      n = m = IntegerOf(*l);
      l = AtEnd() ? nullptr : &Get();
      if (l && l->IsSpecial('}')) return true;
      if (l && l->IsSpecial(',')) {
        l = AtEnd() ? nullptr : &Get();
        if (l && l->IsSpecial('}')) {
          unlimited = true;
          return true;
        }
        if (l && l->Code == relcInteger && IntegerOf(*l) >= n) {
          m = IntegerOf(*l);
          l = AtEnd() ? nullptr : &Get();
          if (l && l->IsSpecial('}')) return true;
        }
      }
    }
    // The lexems after the offending one are parsed as usual.
    Error(l ? *l : open, scxRegExprIncorrectParameterQuantifier);
    return false;
  }

  void ParseParameterQuantifier(TParserAlt& alt, const TLexem& open) {
    if (alt.Items.empty()) {
      Error(open, scxRegExprIncorrectParameterQuantifier);
      return;
    }
    Int64 n = 0, m = 0;
    bool unlimited = false;
    if (!ReadBounds(open, n, m, unlimited)) return;
    std::unique_ptr<TParserItem>& item = alt.Items.back();
    if (item->CanMissing()) {
      Error(open, scxRegExprCantUseParameterQuantifier);
      return;
    }
    // The copies, the group around them, and a group per optional copy.
    Int64 copies = unlimited ? n + 1 : m;
    Int64 groups = 1 + (unlimited ? 1 : m - n);
    Int64 nesting = item->Depth() + 2 + (unlimited ? 0 : m - n);
    if (nesting > kMaxNesting ||
        !HasRoom(copies * item->ItemCount() + groups)) {
      Error(open, scxRegExprIncorrectParameterQuantifier);
      return;
    }
    auto group = automat_.NewBlockItem();
    group->Alts.push_back(std::make_unique<TParserAlt>());
    auto& items = group->Alts.back()->Items;
    for (Int64 i = 0; i < n; ++i) items.push_back(automat_.Clone(*item));
    if (unlimited) {
      items.push_back(automat_.Clone(*item));
      Quantify(items.back(), TQuantifier::Star);
    } else if (m > n) {
      items.push_back(Nest(*item, n, m));
    }
    automat_.Retire(std::move(item));
    item = std::move(group);
  }

  // (a (a ... a?)?)? for the optional copies of {n,m}.
  std::unique_ptr<TParserItem> Nest(const TParserItem& item, Int64 depth,
                                    Int64 m) {
    if (depth < m - 1) {
      auto group = automat_.NewBlockItem();
      group->Quantifier = TQuantifier::Question;
      group->Alts.push_back(std::make_unique<TParserAlt>());
      group->Alts.back()->Items.push_back(automat_.Clone(item));
      group->Alts.back()->Items.push_back(Nest(item, depth + 1, m));
      return group;
    }
    auto copy = automat_.Clone(item);
    Quantify(copy, TQuantifier::Question);
    return copy;
  }

  void ParseEnumeration(TParserAlt& alt, const TLexem& open) {
    TCharItem enumeration = KindItem(TCharKind::Enumeration);
    if (!AtEnd() && Peek()->IsSpecial('^')) {
      Get();
      enumeration.Inverse = true;
    }
    if (AtEnd()) return;
    if (Peek()->IsSpecial(']')) {
      Error(Get(), scxRegExprCantCreateEmptyEnum);
      return;
    }
    bool afterRange = false;
    while (!AtEnd()) {
      const TLexem& l = Get();
      if (l.IsSpecial(']')) break;
      if (afterRange && l.IsSpecial('-')) {
        Error(l, Fmt(scxRegExprIllegalSymbol, "-"));
        continue;
      }
      afterRange = false;
      const TLexem* dash = Peek();
      const TLexem* last = Peek(1);
      if (dash && dash->IsSpecial('-') && last && !last->IsSpecial(']')) {
        Get();
        Get();
        auto u = [](char c) { return static_cast<unsigned char>(c); };
        if (u(last->FirstChar()) > u(l.FirstChar())) {
          TCharItem range = KindItem(TCharKind::Subrange);
          range.First = l.FirstChar();
          range.Last = last->FirstChar();
          enumeration.Members.push_back(range);
        } else {
          Error(*last, scxRegExprSubrangeOrder);
        }
        afterRange = true;
        continue;
      }
      enumeration.Members.push_back(ItemOf(l));
    }
    AddSimpleItem(alt, open, enumeration);
  }

  // A pattern longer than the engine's room fails at its first character
  // beyond it, reported once.
  void AddSimpleItem(TParserAlt& alt, const TLexem& l, const TCharItem& item) {
    if (!HasRoom(1)) {
      if (!tooLongReported_) {
        Error(l, Fmt(scxRegExprIllegalSymbol, l.Text));
        tooLongReported_ = true;
      }
      return;
    }
    alt.Items.push_back(automat_.NewSimpleItem(item));
  }

  const std::vector<TLexem>& lexems_;
  TcxRegExprErrors& errors_;
  TcxRegExprAutomat& automat_;
  std::size_t index_ = 0;
  bool tooLongReported_ = false;
  // Groups in the order of their "(", for back references.
  std::vector<TParserItem*> blocks_;
};

}  // namespace

// ---------------------------------------------------------------------------
// TcxRegExpr
// ---------------------------------------------------------------------------

TcxRegExpr::TcxRegExpr() = default;
TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Clear() {
  stream_.reset();
  errors_.Clear();
  automat_.reset();
  compiled_ = false;
}

void TcxRegExpr::RaiseErrors() const { throw EcxRegExprError(errors_); }

void TcxRegExpr::Compile(TStream* AStream) {
  Clear();
  auto stream = std::make_unique<TMemoryStream>();
  bool copied = false;
  if (AStream) {
    try {
      stream->CopyFrom(AStream, 0);
      copied = true;
    } catch (const EStreamError&) {
    }
  }
  if (!copied) {
    errors_.Add(TcxRegExprError(
        0, 0, cxGetResourceString(scxRegExprNotAssignedSourceStream)));
    RaiseErrors();
  }
  String source(static_cast<const char*>(stream->Memory()),
                static_cast<std::size_t>(stream->Size()));
  if (std::all_of(source.begin(), source.end(), IsBlank)) {
    errors_.Add(TcxRegExprError(
        0, 0, cxGetResourceString(scxRegExprEmptySourceStream)));
    RaiseErrors();
  }

  std::vector<TLexem> lexems;
  TScanner(source, errors_, lexems).ScanExpr();
  if (errors_.GetCount() > 0) RaiseErrors();

  auto automat = std::make_unique<TcxRegExprAutomat>();
  TParser(lexems, errors_, *automat).ParseExpr();
  if (errors_.GetCount() > 0) RaiseErrors();

  automat->CreateConnections();
  stream_ = std::move(stream);
  automat_ = std::move(automat);
  compiled_ = true;
  if (updateOn_) automat_->Update(OnSymbolUpdate);
}

TMemoryStream* TcxRegExpr::GetStream() const {
  return compiled_ ? stream_.get() : nullptr;
}

void TcxRegExpr::TestCompiledStatus() const {
  if (!compiled_)
    throw EcxEditError(cxGetResourceString(scxRegExprNotCompiled));
}

bool TcxRegExpr::Next(char& AChar) {
  TestCompiledStatus();
  if (!automat_->Next(AChar, caseInsensitive_)) return false;
  if (updateOn_ && !automat_->IsFinal()) automat_->Update(OnSymbolUpdate);
  return true;
}

String TcxRegExpr::NextEx(const String& AText) {
  TestCompiledStatus();
  String accepted;
  for (char c : AText) {
    char probe = c;
    if (!automat_->Next(probe, caseInsensitive_)) break;
    accepted += c;
  }
  return accepted;
}

bool TcxRegExpr::Prev() {
  TestCompiledStatus();
  if (updateOn_) automat_->ReUpdate(OnSymbolDelete);
  return automat_->Prev();
}

void TcxRegExpr::Reset() {
  TestCompiledStatus();
  automat_->Reset();
}

bool TcxRegExpr::IsFinal() {
  TestCompiledStatus();
  return automat_->IsFinal();
}

bool TcxRegExpr::IsStart() {
  TestCompiledStatus();
  return automat_->IsStart();
}

void TcxRegExpr::SetUpdateOn(bool AValue) {
  updateOn_ = AValue;
  if (updateOn_ && compiled_) automat_->Update(OnSymbolUpdate);
}

String TcxRegExpr::Print() const {
  return compiled_ ? automat_->Print() : String();
}

// ---------------------------------------------------------------------------
// Unit routines
// ---------------------------------------------------------------------------

namespace {

// -1: a character was refused; else whether the end is a complete match.
int FeedText(const String& AText, const String& AMask) {
  TcxRegExpr engine;
  TStringStream source(AMask);
  engine.Compile(&source);
  for (char c : AText) {
    if (!engine.Next(c)) return -1;
  }
  return engine.IsFinal() ? 1 : 0;
}

}  // namespace

namespace cxRegExpr {

bool IsTextFullValid(const String& AText, const String& AMask) {
  return FeedText(AText, AMask) == 1;
}

bool IsTextValid(const String& AText, const String& AMask) {
  return FeedText(AText, AMask) >= 0;
}

}  // namespace cxRegExpr
