// Build tool: gives our executables their packed map data.
//
//   mapgen link --objdump PATH --windres PATH -- LINK COMMAND...
//
// runs as the link launcher of a target: it links the objects once to
// "<output>.unmapped.exe", reads that unstripped executable (the functions
// of its COFF symbol table with demangled names, each under the source file
// of its object as unit, and the DWARF line table through objdump), packs
// the map data, compiles it as resource type "PELLOR", name "EXCEPT", and
// links the same objects again with it. The code section of both links
// must be identical (same place, same bytes); otherwise the output is
// removed and the build fails.
//
//   mapgen pack EXE OUT [OBJDUMP]   writes the packed map data of EXE.
#include <cxxabi.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PellorMapSources.h"
#include "PellorPeFile.h"

namespace {

using Bytes = std::string;

bool WriteFile(const std::string& name, const Bytes& data) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

// The headers and section table of a PE32 file.
bool ParseImage(const std::string& name, TPeFile& img) {
  return ReadPeFile(name, img) && img.magic == 0x10B;
}

// Where the reader puts the start of code: the first section when it is
// code, else the optional header's base of code.
std::uint32_t CodeStartRva(const TPeFile& img) {
  return (img.sections[0].characteristics & 0x20) ? img.sections[0].va
                                                  : img.baseOfCode;
}

std::string BaseName(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A readable name: the target's underscore prefix goes, C++ names are
// demangled without their parameter list, stdcall suffixes go.
std::string ReadableName(std::string name) {
  if (!name.empty() && name[0] == '_') name.erase(0, 1);
  // The stdcall suffix comes off first: a mangled name that carries one does
  // not demangle.
  const std::size_t at = name.rfind('@');
  if (at != std::string::npos && at > 0 &&
      name.find_first_not_of("0123456789", at + 1) == std::string::npos)
    name.resize(at);
  if (name.compare(0, 2, "_Z") == 0) {
    int status = 0;
    char* out = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    if (status == 0 && out) {
      std::string d = out;
      std::free(out);
      for (const char* q : {" const", " volatile", " &&", " &"})
        while (d.size() > std::strlen(q) &&
               d.compare(d.size() - std::strlen(q), std::string::npos, q) == 0)
          d.resize(d.size() - std::strlen(q));
      if (!d.empty() && d.back() == ')') {
        int depth = 0;
        for (std::size_t i = d.size(); i-- > 0;) {
          if (d[i] == ')') ++depth;
          if (d[i] == '(' && --depth == 0) {
            if (i > 0) d.resize(i);
            break;
          }
        }
      }
      return d;
    }
    std::free(out);
  }
  return name;
}

struct Function {
  std::uint32_t address;  // absolute
  std::string name;
  std::string unit;
};

// The functions of the first (code) section from the COFF symbol table.
std::vector<Function> ReadFunctions(const TPeFile& img) {
  std::vector<Function> out;
  const Bytes& f = img.file;
  const std::size_t table = img.symbols;
  const std::size_t strings = table + 18u * img.symbolCount;
  if (!table || strings > f.size()) return out;
  auto stringAt = [&](std::uint32_t offset) {
    const std::size_t at = strings + offset;
    return at < f.size() ? std::string(f.c_str() + at) : std::string();
  };
  const std::uint32_t codeVa = img.imageBase + img.sections[0].va;
  std::string unit;
  for (std::uint32_t i = 0; i < img.symbolCount; ++i) {
    const std::size_t at = table + 18u * i;
    const std::uint8_t aux = static_cast<std::uint8_t>(f[at + 17]);
    const std::uint8_t storage = static_cast<std::uint8_t>(f[at + 16]);
    const auto section = static_cast<std::int16_t>(PeU16(f, at + 12));
    const std::uint16_t type = PeU16(f, at + 14);
    std::string name = PeU32(f, at) == 0
                           ? stringAt(PeU32(f, at + 4))
                           : std::string(f.data() + at, 8).c_str();
    if (storage == 103 && aux > 0) {  // .file: the name fills the aux records
      const std::size_t a = at + 18;
      if (PeU32(f, a) == 0)
        unit = BaseName(stringAt(PeU32(f, a + 4)));
      else
        unit = BaseName(std::string(f.data() + a, 18u * aux).c_str());
    } else if ((storage == 2 || storage == 3) && section == 1 &&
               (type & 0x30) == 0x20) {
      out.push_back({codeVa + PeU32(f, at + 8), ReadableName(name), unit});
    }
    i += aux;
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Function& a, const Function& b) {
                     return a.address < b.address;
                   });
  return out;
}

// Runs a program; its exit code (-1 when it could not run).
int Run(const std::vector<std::string>& args, const std::string& output = "") {
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (!output.empty() && !std::freopen(output.c_str(), "w", stdout))
      _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Row {
  std::string file;
  int line;
  std::uint32_t address;
};

// The rows of objdump's decoded DWARF line table.
std::vector<Row> ReadLineRows(const std::string& objdump,
                              const std::string& exe,
                              const std::string& scratch) {
  std::vector<Row> rows;
  if (objdump.empty()) return rows;
  if (Run({objdump, "--dwarf=decodedline", exe}, scratch) != 0) return rows;
  std::ifstream in(scratch);
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream s(text);
    std::string file, line, address;
    if (!(s >> file >> line >> address)) continue;
    if (line.find_first_not_of("0123456789") != std::string::npos ||
        address.compare(0, 2, "0x") != 0)
      continue;
    rows.push_back({BaseName(file), std::atoi(line.c_str()),
                    static_cast<std::uint32_t>(
                        std::strtoul(address.c_str() + 2, nullptr, 16))});
  }
  std::remove(scratch.c_str());
  return rows;
}

bool SameFileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool Pack(const std::string& exe, const std::string& out,
          const std::string& objdump) {
  TPeFile img;
  if (!ParseImage(exe, img)) {
    std::fprintf(stderr, "mapgen: %s is no PE32 image\n", exe.c_str());
    return false;
  }
  const std::uint32_t codeStart = img.imageBase + CodeStartRva(img);
  const std::uint32_t codeEnd =
      img.imageBase + img.sections[0].va + img.sections[0].virtualSize;
  const std::vector<Function> functions = ReadFunctions(img);
  if (functions.empty())
    std::fprintf(stderr, "mapgen: warning: %s has no function symbols\n",
                 exe.c_str());

  // Segments: runs of functions of one unit, each reaching the next.
  std::vector<TMfSegment> segments;
  std::vector<TMfPublic> publics;
  for (std::size_t i = 0; i < functions.size(); ++i) {
    const Function& fn = functions[i];
    if (fn.address < codeStart || fn.address >= codeEnd) continue;
    const std::uint32_t end =
        i + 1 < functions.size() ? functions[i + 1].address : codeEnd;
    TMfPublic pub;
    pub.valid = pub.isCode = true;
    pub.name = fn.name;
    pub.address = reinterpret_cast<const void*>(std::uintptr_t{fn.address});
    publics.push_back(pub);
    if (!segments.empty() && segments.back().unitName == fn.unit) {
      segments.back().size =
          end - static_cast<std::uint32_t>(
                    reinterpret_cast<std::uintptr_t>(segments.back().start));
      continue;
    }
    TMfSegment seg;
    seg.valid = seg.isCode = true;
    seg.start = pub.address;
    seg.size = end - fn.address;
    seg.unitName = fn.unit;
    segments.push_back(seg);
  }

  // Lines: only those of the unit's own source file (code inlined from a
  // header keeps the line of the unit that holds it), one per address, and
  // none that repeats the line before it.
  std::vector<Row> rows = ReadLineRows(objdump, exe, out + ".lines.txt");
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.address < b.address;
  });
  std::vector<TMfLine> lines;
  std::size_t fi = 0;
  for (const Row& row : rows) {
    if (row.address < codeStart || row.address >= codeEnd || row.line <= 0)
      continue;
    while (fi + 1 < functions.size() &&
           functions[fi + 1].address <= row.address)
      ++fi;
    if (functions.empty() || functions[fi].address > row.address ||
        !SameFileName(row.file, functions[fi].unit))
      continue;
    const void* address =
        reinterpret_cast<const void*>(std::uintptr_t{row.address});
    if (!lines.empty() && lines.back().address == address) continue;
    if (!lines.empty() && lines.back().line == row.line) continue;
    lines.push_back({row.line, address});
  }
  const String data = BuildPackedMap(segments, publics, lines, codeStart,
                                     img.imageBase + img.entry);
  if (data.empty() || !WriteFile(out, data)) {
    std::fprintf(stderr, "mapgen: cannot write %s\n", out.c_str());
    return false;
  }
  return true;
}

// The code section of both links must be the same: same place, same size,
// same bytes.
bool SameCode(const std::string& first, const std::string& second) {
  TPeFile a, b;
  if (!ParseImage(first, a) || !ParseImage(second, b)) return false;
  const TPeSection& x = a.sections[0];
  const TPeSection& y = b.sections[0];
  if (a.imageBase != b.imageBase || x.name != y.name || x.va != y.va ||
      x.virtualSize != y.virtualSize || x.rawSize != y.rawSize)
    return false;
  const std::size_t n = std::min(x.virtualSize, x.rawSize);
  if (x.rawOffset + n > a.file.size() || y.rawOffset + n > b.file.size())
    return false;
  return a.file.compare(x.rawOffset, n, b.file, y.rawOffset, n) == 0;
}

int Link(const std::string& objdump, const std::string& windres,
         std::vector<std::string> command) {
  auto o = std::find(command.begin(), command.end(), "-o");
  if (o == command.end() || o + 1 == command.end()) {
    std::fprintf(stderr, "mapgen: the link command names no output\n");
    return 1;
  }
  const std::string output = *(o + 1);
  const std::string unmapped = output + ".unmapped.exe";
  const std::string packed = output + ".mapdata";
  const std::string rc = output + ".mapdata.rc";
  const std::string res = output + ".mapdata.o";

  std::vector<std::string> first = command;
  first[o - command.begin() + 1] = unmapped;
  if (Run(first) != 0) return 1;
  if (!Pack(unmapped, packed, objdump)) return 1;
  std::string quoted;
  for (char c : packed) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  if (!WriteFile(rc, "EXCEPT PELLOR \"" + quoted + "\"\n")) return 1;
  if (Run({windres, "-i", rc, "-o", res}) != 0) {
    std::fprintf(stderr, "mapgen: windres failed on %s\n", rc.c_str());
    return 1;
  }
  command.push_back(res);
  if (Run(command) != 0) return 1;
  if (!SameCode(unmapped, output)) {
    std::fprintf(stderr,
                 "mapgen: the code section of %s moved or changed when the "
                 "map data was linked in\n",
                 output.c_str());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: mapgen link --objdump PATH --windres PATH -- LINK...\n"
               "       mapgen pack EXE OUT [OBJDUMP]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (args[0] == "pack" && (args.size() == 3 || args.size() == 4))
    return Pack(args[1], args[2], args.size() == 4 ? args[3] : "") ? 0 : 1;
  if (args[0] != "link") return Usage();
  std::string objdump, windres;
  std::size_t i = 1;
  for (; i < args.size() && args[i] != "--"; ++i) {
    if (args[i] == "--objdump" && i + 1 < args.size())
      objdump = args[++i];
    else if (args[i] == "--windres" && i + 1 < args.size())
      windres = args[++i];
    else
      return Usage();
  }
  if (i >= args.size() || windres.empty()) return Usage();
  std::vector<std::string> command(args.begin() + i + 1, args.end());
  if (command.empty()) return Usage();
  return Link(objdump, windres, command);
}
