// Throughput of the ZIP writer as a ratio to zlib's raw deflate of the same
// bytes at the same level in the same run, on two attachments sets: a few
// MB of bug-report text, and that text with a large BMP screenshot beside
// it. The writer reads each file, checks it with a CRC, deflates it and
// writes the archive; the goal is at least 0.9 of bare deflate. Figures
// mean something only in an optimised build without sanitizers
// (-DCMAKE_BUILD_TYPE=Release).
//
//   zip_throughput [megabytes of text] [rounds]
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

void Put(String& s, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(value >> (8 * i));
}

// A 24-bit BMP of a desktop as a screenshot shows it: a gradient
// background, flat windows with title bars and lines of glyph-like
// speckles, and a photo-like noisy picture in one of them.
String ScreenshotBmp(int width, int height) {
  std::mt19937 random(7);
  std::vector<Byte> rgb(static_cast<std::size_t>(width) * height * 3);
  auto pixel = [&](int x, int y, Byte r, Byte g, Byte b) {
    Byte* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    p[0] = b;
    p[1] = g;
    p[2] = r;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixel(x, y, static_cast<Byte>(20 + y * 60 / height),
            static_cast<Byte>(60 + x * 80 / width), 140);
    }
  }
  for (int w = 0; w < 9; ++w) {
    int left = static_cast<int>(random() % (width * 2 / 3));
    int top = static_cast<int>(random() % (height * 2 / 3));
    int right = std::min(width, left + 300 + static_cast<int>(random() % 700));
    int bottom = std::min(height, top + 200 + static_cast<int>(random() % 500));
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        bool title = y < top + 24;
        bool glyph = !title && (y - top) % 18 < 11 && x > left + 8 &&
                     x < right - 8 && random() % 5 == 0;
        if (title) {
          pixel(x, y, 0, 84, 227);
        } else if (glyph) {
          pixel(x, y, 0, 0, 0);
        } else {
          pixel(x, y, 236, 233, 216);
        }
      }
    }
    if (w == 4) {
      // A photo: smooth colour with noise, which deflate barely shrinks.
      for (int y = top + 30; y < bottom - 10; ++y) {
        for (int x = left + 10; x < right - 10; ++x) {
          pixel(x, y, static_cast<Byte>(x + random() % 32),
                static_cast<Byte>(y + random() % 32),
                static_cast<Byte>(x + y + random() % 32));
        }
      }
    }
  }
  const int stride = (width * 3 + 3) & ~3;
  const unsigned imageSize = static_cast<unsigned>(stride) * height;
  String bmp = "BM";
  Put(bmp, 54 + imageSize, 4);
  Put(bmp, 0, 4);
  Put(bmp, 54, 4);
  Put(bmp, 40, 4);
  Put(bmp, static_cast<unsigned>(width), 4);
  Put(bmp, static_cast<unsigned>(height), 4);
  Put(bmp, 1, 2);
  Put(bmp, 24, 2);
  Put(bmp, 0, 4);
  Put(bmp, imageSize, 4);
  Put(bmp, 2835, 4);
  Put(bmp, 2835, 4);
  Put(bmp, 0, 8);
  for (int y = height - 1; y >= 0; --y) {
    bmp.append(reinterpret_cast<const char*>(
                   &rgb[static_cast<std::size_t>(y) * width * 3]),
               static_cast<std::size_t>(width) * 3);
    bmp.append(static_cast<std::size_t>(stride - width * 3), '\0');
  }
  return bmp;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// zlib's raw deflate of one buffer at the writer's level and memory
// settings; the compressed size.
std::size_t BareDeflate(const String& data, std::vector<Byte>& out) {
  z_stream z{};
  deflateInit2(&z, kPellorDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int status = deflate(&z, Z_FINISH);
  std::size_t n = out.size() - z.avail_out;
  deflateEnd(&z);
  return status == Z_STREAM_END ? n : 0;
}

struct TWorkload {
  const char* Title;
  std::vector<String> Contents;
};

// Best times of the writer and of bare deflate over rounds; false when
// writing failed.
bool Measure(const TWorkload& work, const std::filesystem::path& dir,
             int rounds) {
  std::vector<String> files;
  std::size_t total = 0;
  for (std::size_t i = 0; i < work.Contents.size(); ++i) {
    files.push_back((dir / ("attachment" + std::to_string(i))).string());
    std::ofstream(files.back(), std::ios::binary) << work.Contents[i];
    total += work.Contents[i].size();
  }
  // A new archive each round, as each report gets its own; the old one is
  // removed outside the timing.
  const String archive = (dir / "report.zip").string();
  std::vector<Byte> out;
  double bestZip = 1e9, bestDeflate = 1e9;
  std::size_t deflated = 0;
  std::uintmax_t zipSize = 0;
  bool ok = true;
  // One untimed round first; then the two alternate so that drift of the
  // machine falls on both alike. The best round of each counts.
  for (int round = -1; round < rounds; ++round) {
    std::error_code ignored;
    std::filesystem::remove(archive, ignored);
    auto t0 = Clock::now();
    ok = WriteZipArchive(archive, files) && ok;
    auto t1 = Clock::now();
    deflated = 0;
    for (const String& data : work.Contents) {
      std::size_t n = BareDeflate(data, out);
      ok = n != 0 && ok;
      deflated += n;
    }
    auto t2 = Clock::now();
    if (round >= 0) {
      bestZip = std::min(bestZip, Seconds(t1 - t0));
      bestDeflate = std::min(bestDeflate, Seconds(t2 - t1));
    }
  }
  if (ok) zipSize = std::filesystem::file_size(archive);
  if (!ok) {
    std::fprintf(stderr, "zip_throughput: writing failed\n");
    return false;
  }
  double mb = static_cast<double>(total) / (1 << 20);
  double ratio = bestDeflate / bestZip;
  std::printf("%s: %.1f MB, best of %d rounds\n", work.Title, mb, rounds);
  std::printf("  zlib raw deflate: %8.1f MB/s  (level %d, %zu bytes)\n",
              mb / bestDeflate, kPellorDeflateLevel, deflated);
  std::printf("  ZIP writer:       %8.1f MB/s  (%ju-byte archive)\n",
              mb / bestZip, zipSize);
  std::printf("  ratio:            %.3f  (goal: at least 0.9)%s\n", ratio,
              ratio >= 0.9 ? "" : "  BELOW GOAL");
  return true;
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
  const TWorkload workloads[] = {
      {"report text", {text}},
      {"report text and a 2560x1440 BMP screenshot",
       {text, ScreenshotBmp(2560, 1440)}},
  };

  auto dir = std::filesystem::temp_directory_path() /
             ("varnel_bench_" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(dir);
  bool ok = true;
  for (const TWorkload& work : workloads) ok = Measure(work, dir, rounds) && ok;
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);

#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer's allocator maps fresh pages for every large buffer and
  // instruments this program's code but not zlib's.
  std::printf(
      "note: built with AddressSanitizer; measure an optimised build "
      "without sanitizers\n");
#endif
  return ok ? 0 : 1;
}
