// Throughput of the ZIP writer on a few MB of bug-report text, as a ratio
// to zlib's raw deflate of the same bytes at the same level in the same
// run. The writer reads the file, checks it with a CRC, deflates it and
// writes the archive; the goal is at least 0.95 of bare deflate. Figures
// mean something only in an optimised build without sanitizers
// (-DCMAKE_BUILD_TYPE=Release).
//
//   zip_throughput [megabytes] [rounds]
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "PellorZip.h"

namespace {

using Clock = std::chrono::steady_clock;

// Lines like those of a bug report: stack entries, registers, module list.
String ReportText(std::size_t size) {
  std::mt19937 random(42);
  const char* units[] = {"main.pas",       "Tarvik.dpr", "uPlacesEx.pas",
                         "cxControls.pas", "dxBar.pas",  "cxVGrid.pas"};
  const char* methods[] = {"TwndMain.GRID_drag_drop", "TdxBarManager.Loaded",
                           "TcxCustomEdit.KeyDown", "TPlaceGroups.Save",
                           "TcxControl.WndProc"};
  std::ostringstream out;
  char line[160];
  while (out.tellp() < static_cast<std::streamoff>(size)) {
    switch (random() % 4) {
      case 0:
        std::snprintf(line, sizeof line,
                      "eax = %08x  ebx = %08x  ecx = %08x  edx = %08x\r\n",
                      static_cast<unsigned>(random()),
                      static_cast<unsigned>(random()),
                      static_cast<unsigned>(random() % 0x10000),
                      static_cast<unsigned>(random() % 0x400));
        break;
      case 1:
        std::snprintf(
            line, sizeof line, "%08x  +%03x  Varnel.exe  00%06x  %s\r\n",
            static_cast<unsigned>(0x400000 + random() % 0x200000),
            static_cast<unsigned>(random() % 0x400),
            static_cast<unsigned>(random() % 0x1000000), units[random() % 6]);
        break;
      default:
        std::snprintf(
            line, sizeof line, "%08x  Varnel.exe  %-15s %5u  +%3u  %s\r\n",
            static_cast<unsigned>(0x400000 + random() % 0x200000),
            units[random() % 6], static_cast<unsigned>(random() % 9000),
            static_cast<unsigned>(random() % 200), methods[random() % 5]);
        break;
    }
    out << line;
  }
  String s = out.str();
  s.resize(size);
  return s;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// zlib's raw deflate of the whole buffer at the writer's level and memory
// settings; the compressed size.
std::size_t BareDeflate(const String& data, std::vector<Byte>& out) {
  z_stream z{};
  deflateInit2(&z, kPellorDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int status = deflate(&z, Z_FINISH);
  std::size_t n = out.size() - z.avail_out;
  deflateEnd(&z);
  return status == Z_STREAM_END ? n : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 4;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
  if (megabytes == 0 || rounds <= 0) {
    std::fprintf(stderr, "usage: zip_throughput [megabytes] [rounds]\n");
    return 2;
  }
  const String text = ReportText(megabytes << 20);

  auto dir = std::filesystem::temp_directory_path() /
             ("varnel_bench_" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(dir);
  const String source = (dir / "bugreport.txt").string();
  // A new archive each round, as each report gets its own; the old one is
  // removed outside the timing.
  auto archiveOf = [&](int round) {
    return (dir / ("bugreport" + std::to_string(round + 1) + ".zip")).string();
  };
  std::ofstream(source, std::ios::binary) << text;

  std::vector<Byte> out(text.size() + text.size() / 10 + 64);
  double bestZip = 1e9, bestDeflate = 1e9;
  std::size_t deflated = 0;
  bool ok = true;
  // One untimed round first; then the two alternate so that drift of the
  // machine falls on both alike. The best round of each counts.
  for (int round = -1; round < rounds; ++round) {
    const String archive = archiveOf(round);
    auto t0 = Clock::now();
    ok = WriteZipArchive(archive, {source}) && ok;
    auto t1 = Clock::now();
    if (round + 1 < rounds) std::filesystem::remove(archive);
    deflated = BareDeflate(text, out);
    auto t2 = Clock::now();
    if (round >= 0) {
      bestZip = std::min(bestZip, Seconds(t1 - t0));
      bestDeflate = std::min(bestDeflate, Seconds(t2 - t1));
    }
  }
  std::uintmax_t zipSize = std::filesystem::file_size(archiveOf(rounds - 1));
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  if (!ok || deflated == 0) {
    std::fprintf(stderr, "zip_throughput: writing failed\n");
    return 1;
  }

  double mb = static_cast<double>(text.size()) / (1 << 20);
  double ratio = bestDeflate / bestZip;
  std::printf("input:            %.1f MB of report text, best of %d rounds\n",
              mb, rounds);
  std::printf("zlib raw deflate: %8.1f MB/s  (level %d, %zu bytes)\n",
              mb / bestDeflate, kPellorDeflateLevel, deflated);
  std::printf("ZIP writer:       %8.1f MB/s  (%ju-byte archive)\n",
              mb / bestZip, zipSize);
  std::printf("ratio:            %.3f  (goal: at least 0.95)%s\n", ratio,
              ratio >= 0.95 ? "" : "  BELOW GOAL");
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer's allocator maps fresh pages for every large buffer and
  // instruments this program's code but not zlib's.
  std::printf(
      "note: built with AddressSanitizer; measure an optimised build "
      "without sanitizers\n");
#endif
  return 0;
}
