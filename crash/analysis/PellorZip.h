// The crash-report library's compression unit: one-call raw deflate and
// inflate of memory buffers over zlib, the CRC-32 used throughout the
// library, the packed strings in which its map data travels, and a writer of
// ZIP archives for mail and upload attachments. Nothing here raises.
#pragma once

#include <cstddef>
#include <vector>

#include "System.h"

// The ZIP/PNG CRC-32 (reflected polynomial 0xEDB88320) updated with length
// bytes. Callers start at 0xFFFFFFFF and invert the final value.
Cardinal AccumulateCrc32(Cardinal crc, const void* buffer, std::size_t length);

// The zlib compression level of CompressBuffer: the greedy matcher without
// lazy evaluation, which inserts every position of matches of up to 5
// bytes into the hash. Attachments are made while the user waits.
constexpr int kPellorDeflateLevel = 2;

// Raw deflate (no zlib header or trailer) of source into destination at
// zlib level (1..9; others give kPellorDeflateLevel). The output length; 0
// when it does not fit or on any failure. An output that exactly fills the
// destination is a success.
std::size_t CompressBuffer(const void* source, void* destination,
                           std::size_t sourceLength,
                           std::size_t destinationCapacity,
                           int level = kPellorDeflateLevel);

// Raw inflate of source into destination. The output length when the whole
// source was consumed and it inflated to exactly expectedLength bytes;
// otherwise 0.
std::size_t UncompressBuffer(const void* source, void* destination,
                             std::size_t sourceLength,
                             std::size_t expectedLength);

// A packed string is: unpacked length (4 bytes, little-endian), 4 unused
// bytes, CRC-32 of the unpacked data (4 bytes, little-endian), then the raw
// deflate stream. The unpacked data; empty for short input, a broken
// stream, a wrong length or a CRC mismatch.
String PackedStrToStr(const String& packed);

// Writes a ZIP archive (deflated entries, DOS times of the files' last
// writes in local time) of files, always anew. An entry's name is
// storedNames[i] when that exists, else the file name without its folder.
// A file that cannot be opened or read is left out. True when the archive
// was written with at least one entry; otherwise no archive is left behind.
bool WriteZipArchive(const String& archive, const std::vector<String>& files,
                     const std::vector<String>& storedNames = {});
