// A PE file read from its bytes alone, without the system's loader: the
// headers the build tools need, the section table, and the image laid out
// as the loader would place its sections. Portable (no Windows headers), so
// that host tools and benchmarks can read the Windows build's executables.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

struct TPeSection {
  std::string name;
  std::uint32_t virtualSize = 0, va = 0, rawSize = 0, rawOffset = 0,
                characteristics = 0;
};

struct TPeFile {
  std::string file;         // every byte of it
  std::uint16_t magic = 0;  // of the optional header: 0x10B for PE32
  std::uint32_t imageBase = 0, imageSize = 0, entry = 0, baseOfCode = 0;
  std::uint32_t symbols = 0, symbolCount = 0;  // the COFF symbol table
  std::vector<TPeSection> sections;
};

// Little-endian fields of the file; 0 past its end.
inline std::uint32_t PeU32(const std::string& b, std::size_t at) {
  if (at > b.size() || b.size() - at < 4) return 0;
  return static_cast<std::uint8_t>(b[at]) |
         (static_cast<std::uint8_t>(b[at + 1]) << 8) |
         (static_cast<std::uint8_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3]))
          << 24);
}
inline std::uint16_t PeU16(const std::string& b, std::size_t at) {
  if (at > b.size() || b.size() - at < 2) return 0;
  return static_cast<std::uint16_t>(
      static_cast<std::uint8_t>(b[at]) |
      (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

// Reads the headers and the section table of the file's bytes into pe.
// False when it is no PE file, or its section table runs past its end or
// is empty.
inline bool ParsePeFile(std::string bytes, TPeFile& pe) {
  pe = TPeFile{};
  pe.file = std::move(bytes);
  const std::string& f = pe.file;
  if (f.size() < 0x40 || f.compare(0, 2, "MZ") != 0) return false;
  const std::size_t at = PeU32(f, 0x3C);
  if (PeU32(f, at) != 0x4550) return false;  // "PE\0\0"
  const std::size_t fileHeader = at + 4;
  const std::uint16_t count = PeU16(f, fileHeader + 2);
  pe.symbols = PeU32(f, fileHeader + 8);
  pe.symbolCount = PeU32(f, fileHeader + 12);
  const std::uint16_t optionalSize = PeU16(f, fileHeader + 16);
  const std::size_t optional = fileHeader + 20;
  pe.magic = PeU16(f, optional);
  pe.entry = PeU32(f, optional + 16);
  pe.baseOfCode = PeU32(f, optional + 20);
  pe.imageBase = PeU32(f, optional + 28);
  pe.imageSize = PeU32(f, optional + 56);
  const std::size_t table = optional + optionalSize;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::size_t header = table + 40u * i;
    if (header + 40 > f.size()) return false;
    TPeSection s;
    s.name = std::string(f.data() + header, 8).c_str();
    s.virtualSize = PeU32(f, header + 8);
    s.va = PeU32(f, header + 12);
    s.rawSize = PeU32(f, header + 16);
    s.rawOffset = PeU32(f, header + 20);
    s.characteristics = PeU32(f, header + 36);
    pe.sections.push_back(s);
  }
  return !pe.sections.empty();
}

inline bool ReadPeFile(const std::filesystem::path& name, TPeFile& pe) {
  pe = TPeFile{};
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size < 0) return false;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return false;
  return ParsePeFile(std::move(bytes), pe);
}

// The bytes of a section that the loader maps: no more than its virtual
// size of what the file holds.
inline std::uint32_t PeLoadedSize(const TPeSection& s) {
  return std::min(s.virtualSize, s.rawSize);
}

// The section of that name, or none.
inline const TPeSection* FindPeSection(const TPeFile& pe,
                                       const std::string& name) {
  for (const TPeSection& s : pe.sections)
    if (s.name == name) return &s;
  return nullptr;
}

// The image as loaded at its base: each section's bytes at its address
// relative to the base, the rest zero. False for an image over 256 MB or a
// section outside the file or the image.
inline bool LayOutPeImage(const TPeFile& pe, std::vector<std::uint8_t>& image) {
  image.clear();
  if (pe.imageSize > (256u << 20)) return false;
  image.assign(pe.imageSize, 0);
  for (const TPeSection& s : pe.sections) {
    const std::uint64_t size = PeLoadedSize(s);
    if (s.rawOffset + size > pe.file.size() || s.va + size > pe.imageSize)
      return false;
    std::copy_n(pe.file.data() + s.rawOffset, size, image.data() + s.va);
  }
  return true;
}
