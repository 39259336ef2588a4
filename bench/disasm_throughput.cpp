// Throughput of the x86 decoder over the code section of an i686 PE file:
// a linear sweep decoding every instruction, once without and once with
// the instruction text. The goals are 50 MB/s decode-only and 20 MB/s with
// text. Figures mean something only in an optimised build without
// sanitizers (-DCMAKE_BUILD_TYPE=Release).
//
//   disasm_throughput [file.exe] [rounds]
//
// Without a file, a MinGW build of this tree's crash_analysis_tests.exe or
// varnel.exe under build/ is used.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "PellorDisAsm.h"
#include "PellorPeFile.h"

namespace {

using Clock = std::chrono::steady_clock;

// The whole image at its base, and the code section's range in it.
struct Image {
  Cardinal base = 0;
  std::vector<Byte> bytes;
  Cardinal codeBegin = 0, codeEnd = 0;
};

bool LoadImage(const std::filesystem::path& file, Image& image) {
  TPeFile pe;
  if (!ReadPeFile(file, pe) || !LayOutPeImage(pe, image.bytes)) return false;
  const TPeSection* code = FindPeSection(pe, ".text");
  if (!code || PeLoadedSize(*code) == 0) return false;
  image.base = pe.imageBase;
  image.codeBegin = pe.imageBase + code->va;
  image.codeEnd = image.codeBegin + PeLoadedSize(*code);
  return true;
}

std::filesystem::path DefaultFile() {
  std::filesystem::path root =
      std::filesystem::path(__FILE__).parent_path() / "..";
  std::error_code ec;
  for (const char* name : {"crash_analysis_tests.exe", "varnel.exe"}) {
    for (auto& dir : std::filesystem::directory_iterator(root / "build", ec)) {
      std::filesystem::path exe = dir.path() / "bin" / name;
      if (std::filesystem::exists(exe, ec)) return exe;
    }
  }
  return {};
}

// One linear sweep; answers the number of instructions.
size_t Sweep(const TDAEnvironment& env, const Image& image, bool withText,
             size_t& textBytes) {
  size_t count = 0;
  String text;
  text.reserve(256);
  TDAInstruction in;
  for (Cardinal at = image.codeBegin; at < image.codeEnd;) {
    if (withText) {
      text.clear();
      DecodeInstructionEx(env, at, &text, nullptr, in);
      textBytes += text.size();
    } else {
      DecodeInstruction(env, at, in);
    }
    at = in.valid && in.next > at ? in.next : at + 1;
    ++count;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path file = argc > 1 ? argv[1] : DefaultFile();
  int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (rounds < 1) rounds = 1;
  Image image;
  if (file.empty() || !LoadImage(file, image)) {
    std::fprintf(stderr, "no i686 PE file to read (give one as argument)\n");
    return 1;
  }
  TDABufferEnvironment env(image.base, image.bytes.data(),
                           Cardinal(image.bytes.size()));
  double megabytes = (image.codeEnd - image.codeBegin) / 1e6;
  std::printf("%s: code section %.2f MB\n", file.string().c_str(), megabytes);
  for (int withText = 0; withText < 2; ++withText) {
    double best = 1e30;
    size_t count = 0, textBytes = 0;
    for (int r = 0; r < rounds; ++r) {
      auto start = Clock::now();
      count = Sweep(env, image, withText != 0, textBytes);
      double seconds =
          std::chrono::duration<double>(Clock::now() - start).count();
      best = std::min(best, seconds);
    }
    std::printf("%-20s %8zu instructions  %7.1f MB/s\n",
                withText ? "decode + text:" : "decode only:", count,
                megabytes / best);
  }
  return 0;
}
