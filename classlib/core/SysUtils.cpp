// Placeholder until the full routines land: a minimal Format so the layer links.
#include "System.h"

String Format(const String& fmt, const TVarRec* args, std::size_t count) {
  String out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] == '%' && i + 1 < fmt.size()) {
      char spec = fmt[++i];
      if (spec == '%') { out += '%'; continue; }
      if (next < count) {
        const TVarRec& a = args[next++];
        switch (a.VType) {
          case vtInteger: out += std::to_string(a.VInteger); break;
          case vtInt64: out += std::to_string(a.VInt64); break;
          case vtAnsiString: out += *a.VAnsiString; break;
          case vtPChar: out += a.VPChar ? a.VPChar : ""; break;
          case vtChar: out += a.VChar; break;
          default: break;
        }
      }
      continue;
    }
    out += fmt[i];
  }
  return out;
}

String Format(const String& fmt, TVarRecs args) {
  return Format(fmt, args.begin(), args.size());
}
