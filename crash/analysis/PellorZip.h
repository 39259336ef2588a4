// The crash-report library's compression unit: one-call raw deflate and
// inflate of memory buffers and of files over zlib, the CRC-32 used throughout
// the library, the packed strings in which its map data travels, and a writer
// of ZIP archives for mail and upload attachments. Nothing here raises.
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

// The cores of CompressBuffer and UncompressBuffer, with the same answers.
// DeflateData also gives the CRC-32 of the input (finished, not to be
// inverted) when crc is not null.
std::size_t DeflateData(const void* source, std::size_t sourceLength,
                        void* destination, std::size_t destinationCapacity,
                        int level = kPellorDeflateLevel,
                        Cardinal* crc = nullptr);
std::size_t InflateData(const void* source, std::size_t sourceLength,
                        void* destination, std::size_t expectedLength);

// The message of the file forms below when the destination cannot be
// written.
inline constexpr const char* kPellorStreamWriteError = "Stream write error.";

// The file forms: the whole of sourceFile, read through windows of 1 MB, into
// destinationFile, which is created anew. The number of bytes written to
// destinationFile (for InflateData: exactly expectedLength, else it fails);
// 0 on any failure, which leaves no destination file behind and sets
// *failure (when not null) to the message of the error that stopped it
// (kPellorStreamWriteError for a failing write), or to "" when the data
// itself was at fault. Nothing raises.
UInt64 DeflateData(const String& sourceFile, const String& destinationFile,
                   int level = kPellorDeflateLevel, Cardinal* crc = nullptr,
                   String* failure = nullptr);
UInt64 InflateData(const String& sourceFile, const String& destinationFile,
                   UInt64 expectedLength, String* failure = nullptr);

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
// writes in local time, clamped to 1980..2107) of files, always anew, each
// file deflated straight into the archive so that memory stays small
// whatever their sizes. An entry's name is storedNames[i] when that exists,
// else the file name without its folder; backslashes in it become forward
// slashes, and a name beyond ASCII is stored as UTF-8 (converted from the
// ANSI code page) and flagged so. A file that cannot be opened or read, or
// whose name is empty or only separators and dots, is left out. True when
// the archive was written with at least one entry; otherwise (also past
// 65,535 entries or 4 GB) no archive is left behind.
bool WriteZipArchive(const String& archive, const std::vector<String>& files,
                     const std::vector<String>& storedNames = {});
