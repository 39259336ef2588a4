#include "cxCheckStates.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "SysUtils.h"

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Reads a decimal number of at least one digit at APos; false when there is
// no digit or the number exceeds the 32-bit range.
bool ReadNumber(const String& S, size_t& APos, Integer& AValue) {
  if (APos >= S.size() || !IsDigit(S[APos])) return false;
  Int64 value = 0;
  while (APos < S.size() && IsDigit(S[APos])) {
    value = value * 10 + (S[APos] - '0');
    if (value > INT32_MAX) return false;
    ++APos;
  }
  AValue = static_cast<Integer>(value);
  return true;
}

String CaptionOf(IcxCheckItems* AItems, Integer AIndex) {
  return AItems->GetCaption(AIndex);
}

Variant JoinParts(const String& AGrayed, const String& AChecked) {
  return Variant(AChecked.empty() ? AGrayed : AGrayed + ";" + AChecked);
}

bool IsNullOrString(const Variant& V) { return VarIsNull(V) || VarIsStr(V); }

struct TCaptionEntry {
  String Caption;
  TcxCheckBoxState State;
};

bool ParseCaptions(const String& S, std::vector<TCaptionEntry>& AEntries) {
  TcxCheckBoxState part = cbsGrayed;
  bool afterRun = false;
  size_t pos = 0;
  while (pos < S.size()) {
    if (S[pos] == ';') {
      if (part == cbsChecked) return false;
      part = cbsChecked;
      afterRun = false;
      ++pos;
      continue;
    }
    Integer length = 0;
    if (!ReadNumber(S, pos, length)) return false;
    if (pos >= S.size() || S[pos] != ':') return false;
    ++pos;
    if (static_cast<size_t>(length) > S.size() - pos) return false;
    AEntries.push_back({S.substr(pos, length), part});
    pos += length;
    afterRun = true;
  }
  return afterRun;
}

bool CaptionsToStates(const String& S, IcxCheckItems* AItems,
                      TcxCheckStates& AStates) {
  if (S.empty()) return true;
  std::vector<TCaptionEntry> entries;
  if (!ParseCaptions(S, entries)) return false;
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TCaptionEntry& a, const TCaptionEntry& b) {
                     return AnsiCompareText(a.Caption, b.Caption) < 0;
                   });
  for (size_t i = 0; i < AStates.size(); ++i) {
    const String caption = CaptionOf(AItems, static_cast<Integer>(i));
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&caption](const TCaptionEntry& e) {
                                return AnsiSameText(e.Caption, caption);
                              });
    if (found == entries.end()) continue;
    AStates[i] = found->State;
    entries.erase(found);
  }
  return entries.empty();
}

bool IndicesToStates(const String& S, TcxCheckStates& AStates) {
  if (S.empty()) return true;
  TcxCheckBoxState part = cbsGrayed;
  size_t pos = 0;
  while (true) {
    if (pos < S.size() && S[pos] == ';') {
      if (part == cbsChecked) return false;
      part = cbsChecked;
      ++pos;
    }
    Integer index = 0;
    if (!ReadNumber(S, pos, index)) return false;
    if (index >= static_cast<Integer>(AStates.size())) return false;
    AStates[index] = part;
    if (pos < S.size() && S[pos] == ',') ++pos;
    if (pos >= S.size()) return true;
  }
}

bool IntegerToStates(const Variant& AValue, TcxCheckStates& AStates) {
  Int64 bits = 0;
  if (VarIsNull(AValue)) {
    bits = 0;
  } else if (VarIsStr(AValue)) {
    if (!TryStrToInt64(VarToStr(AValue), bits)) return false;
  } else if (VarIsNumeric(AValue) || VarType(AValue) == varDate) {
    try {
      bits = AValue.AsInt64();
    } catch (const EVariantError&) {
      return false;
    }
  } else {
    return false;
  }
  const size_t count = std::min<size_t>(AStates.size(), 64);
  for (size_t i = 0; i < count; ++i) {
    if ((static_cast<std::uint64_t>(bits) >> i) & 1u) AStates[i] = cbsChecked;
  }
  return true;
}

bool StatesStringToStates(const String& S, TcxCheckStates& AStates) {
  const size_t count = std::min(S.size(), AStates.size());
  for (size_t i = 0; i < count; ++i) {
    if (S[i] < '0' || S[i] > '2') return false;
    AStates[i] = static_cast<TcxCheckBoxState>(S[i] - '0');
  }
  return true;
}

}  // namespace

Variant CalculateCheckStatesValue(const TcxCheckStates& AStates,
                                  IcxCheckItems* AItems,
                                  TcxCheckStatesValueFormat AFormat) {
  switch (AFormat) {
    case cvfCaptions:
    case cvfIndices: {
      String parts[3];
      for (size_t i = 0; i < AStates.size(); ++i) {
        if (AStates[i] == cbsUnchecked) continue;
        String& part = parts[AStates[i]];
        if (AFormat == cvfCaptions) {
          const String caption = CaptionOf(AItems, static_cast<Integer>(i));
          part +=
              IntToStr(static_cast<Integer>(caption.size())) + ":" + caption;
        } else {
          if (!part.empty()) part += ",";
          part += IntToStr(static_cast<Integer>(i));
        }
      }
      return JoinParts(parts[cbsGrayed], parts[cbsChecked]);
    }
    case cvfInteger: {
      std::uint64_t bits = 0;
      const size_t count = std::min<size_t>(AStates.size(), 64);
      for (size_t i = 0; i < count; ++i) {
        if (AStates[i] == cbsChecked) bits |= std::uint64_t{1} << i;
      }
      return Variant(static_cast<long long>(bits));
    }
    case cvfStatesString: {
      String result;
      for (TcxCheckBoxState s : AStates) result += static_cast<char>('0' + s);
      return Variant(result);
    }
  }
  return Null();
}

bool CalculateCheckStates(const Variant& AValue, IcxCheckItems* AItems,
                          TcxCheckStatesValueFormat AFormat,
                          TcxCheckStates& ACheckStates) {
  const Integer count = AItems ? std::max(AItems->GetCount(), 0) : 0;
  ACheckStates.assign(count, cbsUnchecked);
  bool valid = false;
  switch (AFormat) {
    case cvfCaptions:
      valid = IsNullOrString(AValue) &&
              CaptionsToStates(VarToStr(AValue), AItems, ACheckStates);
      break;
    case cvfIndices:
      valid = IsNullOrString(AValue) &&
              IndicesToStates(VarToStr(AValue), ACheckStates);
      break;
    case cvfInteger:
      valid = IntegerToStates(AValue, ACheckStates);
      break;
    case cvfStatesString:
      valid = IsNullOrString(AValue) &&
              StatesStringToStates(VarToStr(AValue), ACheckStates);
      break;
  }
  if (!valid) ACheckStates.assign(count, cbsUnchecked);
  return valid;
}

Integer GetEditCheckGlyphIndex(TcxCheckBoxState AState,
                               TcxEditCheckState ACheckState,
                               bool AIsThreeGlyphSets, Integer AGlyphCount) {
  const Integer sets =
      (AIsThreeGlyphSets || AGlyphCount % 3 == 0 || AGlyphCount % 2 != 0) ? 3
                                                                          : 2;
  Integer index = static_cast<Integer>(AState);
  if (ACheckState == ecsPressed) index += sets;
  if (index >= AGlyphCount && index > sets - 1) index %= sets;
  return index;
}
