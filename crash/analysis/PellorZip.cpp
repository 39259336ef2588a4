#include "PellorZip.h"

#include <zlib.h>

#ifdef _WIN32
#include <share.h>
#endif

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "Classes.h"
#include "Platform.h"
#include "SysUtils.h"

namespace {

// zlib counts in uInt; larger buffers are refused rather than cut.
bool FitsZlib(std::size_t length) { return length <= UINT_MAX; }

Cardinal Crc32Of(const void* buffer, std::size_t length) {
  return ~AccumulateCrc32(0xFFFFFFFFu, buffer, length);
}

#if defined(__i386__) || defined(__x86_64__)
bool HasCarryLessMultiply() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  }();
  return has;
}

__attribute__((target("sse2"))) inline __m128i Load16(const Byte* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x times k (both halves), added to the next 16 bytes.
__attribute__((target("pclmul,sse2"))) inline __m128i Fold16(__m128i x,
                                                             __m128i k,
                                                             __m128i next) {
  __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
  __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// The CRC register (not inverted) updated with length bytes, length a
// multiple of 16 and at least 64: four lanes folded 64 bytes at a time,
// then one lane, then a Barrett reduction. The constants are powers of x
// modulo the reflected polynomial.
__attribute__((target("pclmul,sse2"))) Cardinal FoldCrc32(Cardinal crc,
                                                          const Byte* p,
                                                          std::size_t length) {
  const __m128i k1k2 = _mm_set_epi64x(0x01C6E41596, 0x0154442BD4);
  const __m128i k3k4 = _mm_set_epi64x(0x00CCAA009E, 0x01751997D0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163CD6124);
  const __m128i poly = _mm_set_epi64x(0x01F7011641, 0x01DB710641);
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);

  __m128i x1 =
      _mm_xor_si128(Load16(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load16(p + 16), x3 = Load16(p + 32), x4 = Load16(p + 48);
  p += 64;
  length -= 64;
  for (; length >= 64; p += 64, length -= 64) {
    x1 = Fold16(x1, k1k2, Load16(p));
    x2 = Fold16(x2, k1k2, Load16(p + 16));
    x3 = Fold16(x3, k1k2, Load16(p + 32));
    x4 = Fold16(x4, k1k2, Load16(p + 48));
  }
  x1 = Fold16(x1, k3k4, x2);
  x1 = Fold16(x1, k3k4, x3);
  x1 = Fold16(x1, k3k4, x4);
  for (; length >= 16; p += 16, length -= 16) x1 = Fold16(x1, k3k4, Load16(p));

  // 128 bits to 64, then to 32 by Barrett reduction.
  __m128i x = _mm_xor_si128(_mm_srli_si128(x1, 8),
                            _mm_clmulepi64_si128(x1, k3k4, 0x10));
  x = _mm_xor_si128(_mm_srli_si128(x, 4),
                    _mm_clmulepi64_si128(_mm_and_si128(x, low32), k5, 0x00));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
  x = _mm_xor_si128(x, t);
  return static_cast<Cardinal>(_mm_cvtsi128_si32(_mm_srli_si128(x, 4)));
}
#endif

Cardinal LoadLittle32(const String& s, std::size_t at) {
  const auto* p = reinterpret_cast<const Byte*>(s.data() + at);
  return Cardinal{p[0]} | Cardinal{p[1]} << 8 | Cardinal{p[2]} << 16 |
         Cardinal{p[3]} << 24;
}

void Put16(String& out, Cardinal v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(String& out, Cardinal v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// ZIP record signatures and the fields this writer fixes.
constexpr Cardinal kLocalHeaderSignature = 0x04034B50;
constexpr Cardinal kCentralEntrySignature = 0x02014B50;
constexpr Cardinal kEndRecordSignature = 0x06054B50;
constexpr Cardinal kZipVersion = 20;
constexpr Cardinal kMethodDeflate = 8;
// 1980-01-01 00:00, the earliest DOS time, for a file whose time is unknown.
constexpr Cardinal kEarliestDosDateTime = 0x00210000;

// Files are read and deflated through windows of fixed size: a source
// file is never held whole, and the windows stay warm in the cache.
constexpr std::size_t kReadWindow = 1 << 20;
constexpr std::size_t kDeflateWindow = 256 << 10;
// Sizes and offsets of this archive format are 32-bit; a file must also
// fit one stream read.
constexpr Int64 kMaxFileSize = INT_MAX;

struct TZipEntry {
  String Name;
  // The 24 bytes that the local header and the central directory entry
  // share: version needed to extract up to the name length.
  String Shared;
  Cardinal Attributes = 0;
  Cardinal Offset = 0;
};

struct TWindows {
  std::unique_ptr<Byte[]> Read =
      std::make_unique_for_overwrite<Byte[]>(kReadWindow);
  std::unique_ptr<Byte[]> Deflated =
      std::make_unique_for_overwrite<Byte[]>(kDeflateWindow);
};

// A raw-deflate stream with the settings of CompressBuffer, ended when it
// goes.
struct TDeflater {
  z_stream Z{};
  bool Ready;
  TDeflater()
      : Ready(deflateInit2(&Z, kPellorDeflateLevel, Z_DEFLATED, -15, 8,
                           Z_DEFAULT_STRATEGY) == Z_OK) {}
  ~TDeflater() {
    if (Ready) deflateEnd(&Z);
  }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;
};

String StoredNameOf(const String& path) {
#ifdef _WIN32
  const char* delimiters = "\\";
#else
  // Off Windows the host's own separator is understood as well.
  const char* delimiters = "\\/";
#endif
  std::size_t at = path.find_last_of(delimiters);
  return at == String::npos ? path : path.substr(at + 1);
}

// Appends the deflated contents of file (size bytes from its start) to zip
// and gives their CRC-32; false when the file cannot be read whole.
bool AppendDeflated(TFileStream& file, Int64 size, TWindows& windows,
                    String& zip, Cardinal& crc) {
  TDeflater deflater;
  if (!deflater.Ready) return false;
  z_stream& z = deflater.Z;
  crc = 0xFFFFFFFF;
  int flush, status;
  do {
    Integer chunk =
        static_cast<Integer>(std::min<Int64>(size, Int64{kReadWindow}));
    if (chunk > 0 && file.Read(windows.Read.get(), chunk) != chunk) {
      return false;
    }
    crc = AccumulateCrc32(crc, windows.Read.get(), chunk);
    size -= chunk;
    flush = size == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = windows.Read.get();
    z.avail_in = static_cast<uInt>(chunk);
    do {
      z.next_out = windows.Deflated.get();
      z.avail_out = kDeflateWindow;
      status = deflate(&z, flush);
      if (status == Z_STREAM_ERROR) return false;
      zip.append(reinterpret_cast<const char*>(windows.Deflated.get()),
                 kDeflateWindow - z.avail_out);
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
  crc = ~crc;
  return status == Z_STREAM_END;
}

// Appends the local header, name and deflated contents of one file to zip
// and records its entry. A file that cannot be opened or read whole adds
// nothing.
void AppendEntry(String& zip, const String& path, const String& name,
                 TWindows& windows, std::vector<TZipEntry>& entries) {
  Integer attributes = Platform::FileAttributes(path);
  if (attributes == -1 || (attributes & faDirectory) || name.size() > 0xFFFF ||
      zip.size() > 0xFFFFFFFFu) {
    return;
  }
  const std::size_t start = zip.size();
  try {
    TFileStream file(path, fmOpenRead | fmShareDenyNone);
    Int64 size = file.Size();
    if (size < 0 || size > kMaxFileSize) return;
    file.SetPosition(0);
    Integer age = FileAge(path);
    Cardinal dosTime =
        age == -1 ? kEarliestDosDateTime : static_cast<Cardinal>(age);

    // The header first, its CRC and sizes filled in once known.
    Put32(zip, kLocalHeaderSignature);
    zip.append(24, '\0');
    Put16(zip, 0);  // extra field length
    zip += name;
    const std::size_t dataStart = zip.size();
    // Room for the deflated data of all but incompressible files, so that
    // the archive is not copied over and over as it grows. Only a hint: a
    // file too large for it may still fit as it is deflated.
    try {
      zip.reserve(dataStart + static_cast<std::size_t>(size) + 64);
    } catch (const std::exception&) {
    }
    Cardinal crc;
    if (!AppendDeflated(file, size, windows, zip, crc) ||
        zip.size() - dataStart > 0xFFFFFFFFu) {
      zip.resize(start);
      return;
    }

    TZipEntry entry;
    entry.Name = name;
    entry.Offset = static_cast<Cardinal>(start);
    entry.Attributes = static_cast<Cardinal>(attributes);
    Put16(entry.Shared, kZipVersion);
    Put16(entry.Shared, 0);  // flags
    Put16(entry.Shared, kMethodDeflate);
    Put16(entry.Shared, dosTime & 0xFFFF);
    Put16(entry.Shared, dosTime >> 16);
    Put32(entry.Shared, crc);
    Put32(entry.Shared, static_cast<Cardinal>(zip.size() - dataStart));
    Put32(entry.Shared, static_cast<Cardinal>(size));
    Put16(entry.Shared, static_cast<Cardinal>(name.size()));
    zip.replace(start + 4, entry.Shared.size(), entry.Shared);
    entries.push_back(std::move(entry));
  } catch (...) {
    // Cannot be opened, or no memory for it: left out.
    zip.resize(start);
  }
}

// The whole archive in memory; empty when no file could be added or the
// archive outgrows the format.
String BuildArchive(const std::vector<String>& files,
                    const std::vector<String>& storedNames) {
  String zip;
  std::vector<TZipEntry> entries;
  TWindows windows;
  for (std::size_t i = 0; i < files.size(); ++i) {
    String name =
        i < storedNames.size() ? storedNames[i] : StoredNameOf(files[i]);
    AppendEntry(zip, files[i], name, windows, entries);
  }
  const std::size_t directoryStart = zip.size();
  if (entries.empty() || entries.size() > 0xFFFF ||
      directoryStart > 0xFFFFFFFFu) {
    return String();
  }
  for (const TZipEntry& entry : entries) {
    Put32(zip, kCentralEntrySignature);
    Put16(zip, kZipVersion);  // version made by
    zip += entry.Shared;
    Put16(zip, 0);  // extra field length
    Put16(zip, 0);  // comment length
    Put16(zip, 0);  // disk number
    Put16(zip, 0);  // internal attributes
    Put32(zip, entry.Attributes);
    Put32(zip, entry.Offset);
    zip += entry.Name;
  }
  const std::size_t directorySize = zip.size() - directoryStart;
  Put32(zip, kEndRecordSignature);
  Put16(zip, 0);  // this disk
  Put16(zip, 0);  // disk of the directory
  Put16(zip, static_cast<Cardinal>(entries.size()));
  Put16(zip, static_cast<Cardinal>(entries.size()));
  Put32(zip, static_cast<Cardinal>(directorySize));
  Put32(zip, static_cast<Cardinal>(directoryStart));
  Put16(zip, 0);  // comment length
  return zip;
}

}  // namespace

Cardinal AccumulateCrc32(Cardinal crc, const void* buffer, std::size_t length) {
  if (!buffer || length == 0) return crc;
  const Byte* bytes = static_cast<const Byte*>(buffer);
#if defined(__i386__) || defined(__x86_64__)
  // Attachments are megabytes: the carry-less multiply folds 64 bytes a
  // step, several times the speed of tables.
  if (length >= 64 && HasCarryLessMultiply()) {
    std::size_t folded = length & ~std::size_t{15};
    crc = FoldCrc32(crc, bytes, folded);
    bytes += folded;
    length -= folded;
    if (length == 0) return crc;
  }
#endif
  // zlib inverts the running value on the way in and out; undo both.
  return ~static_cast<Cardinal>(crc32_z(~crc & 0xFFFFFFFFu, bytes, length));
}

std::size_t CompressBuffer(const void* source, void* destination,
                           std::size_t sourceLength,
                           std::size_t destinationCapacity, int level) {
  if (level < 1 || level > 9) level = kPellorDeflateLevel;
  if ((!source && sourceLength) || !destination || destinationCapacity == 0 ||
      !FitsZlib(sourceLength) || !FitsZlib(destinationCapacity)) {
    return 0;
  }
  z_stream z{};
  // Raw deflate (negative window bits), a 32 KB window; memory level 8
  // gives a hash of 15 bits, 16384 literals per block and a 64 KB pending
  // buffer.
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    return 0;
  }
  z.next_in = static_cast<Bytef*>(const_cast<void*>(source));
  z.avail_in = static_cast<uInt>(sourceLength);
  z.next_out = static_cast<Bytef*>(destination);
  z.avail_out = static_cast<uInt>(destinationCapacity);
  int status = deflate(&z, Z_FINISH);
  std::size_t written = destinationCapacity - z.avail_out;
  if (status == Z_OK && z.avail_out == 0) {
    // zlib cannot tell a stream that exactly fills the destination from
    // one that does not fit until it is asked again: the end of the stream
    // without another byte means that it fitted.
    Byte more;
    z.next_out = &more;
    z.avail_out = 1;
    status = deflate(&z, Z_FINISH);
    if (z.avail_out == 0) status = Z_BUF_ERROR;
  }
  deflateEnd(&z);
  return status == Z_STREAM_END ? written : 0;
}

std::size_t UncompressBuffer(const void* source, void* destination,
                             std::size_t sourceLength,
                             std::size_t expectedLength) {
  if (!source || sourceLength == 0 || (!destination && expectedLength) ||
      !FitsZlib(sourceLength) || !FitsZlib(expectedLength)) {
    return 0;
  }
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return 0;
  Byte none = 0;
  z.next_in = static_cast<Bytef*>(const_cast<void*>(source));
  z.avail_in = static_cast<uInt>(sourceLength);
  z.next_out = expectedLength ? static_cast<Bytef*>(destination) : &none;
  z.avail_out = static_cast<uInt>(expectedLength);
  int status;
  do {
    status = inflate(&z, Z_NO_FLUSH);
  } while (status == Z_OK && z.avail_in > 0 && z.avail_out > 0);
  std::size_t produced = expectedLength - z.avail_out;
  bool consumed = z.avail_in == 0;
  if (status == Z_OK && consumed && produced == expectedLength) {
    // The output is full but the stream has not ended: it may still hold
    // bytes (the rest of a match) beyond what the caller expects, and a
    // cut-off result must not pass for the whole.
    Byte more;
    z.next_out = &more;
    z.avail_out = 1;
    int probe = inflate(&z, Z_NO_FLUSH);
    if ((probe == Z_OK || probe == Z_STREAM_END) && z.avail_out == 0) {
      status = Z_DATA_ERROR;
    }
  }
  inflateEnd(&z);
  if ((status != Z_OK && status != Z_STREAM_END) || !consumed ||
      produced != expectedLength) {
    return 0;
  }
  return produced;
}

String PackedStrToStr(const String& packed) {
  constexpr std::size_t kHeaderSize = 12;
  if (packed.size() <= kHeaderSize) return String();
  Cardinal length = LoadLittle32(packed, 0);
  Cardinal crc = LoadLittle32(packed, 8);
  std::size_t streamLength = packed.size() - kHeaderSize;
  // A deflate stream cannot grow more than 1032-fold; a header that claims
  // more is corrupt, and believing it would reserve gigabytes.
  if (length == 0 || UInt64{length} > UInt64{streamLength} * 1032) {
    return String();
  }
  String out;
  try {
    out.resize(length);
  } catch (const std::bad_alloc&) {
    return String();
  }
  out.resize(UncompressBuffer(packed.data() + kHeaderSize, out.data(),
                              streamLength, length));
  if (!out.empty() && Crc32Of(out.data(), out.size()) != crc) return String();
  return out;
}

bool WriteZipArchive(const String& archive, const std::vector<String>& files,
                     const std::vector<String>& storedNames) {
  // The C library's file, not a stream object: its closing flush is where
  // a full disk shows, and that must fail the archive too.
#ifdef _WIN32
  // Nobody else writes to or reads from a half-written archive.
  std::FILE* out = _fsopen(archive.c_str(), "wb", _SH_DENYRW);
#else
  std::FILE* out = std::fopen(archive.c_str(), "wb");
#endif
  if (!out) return false;
  String zip;
  try {
    zip = BuildArchive(files, storedNames);
  } catch (...) {
    zip.clear();
  }
  bool written =
      !zip.empty() && std::fwrite(zip.data(), 1, zip.size(), out) == zip.size();
  if (std::fclose(out) != 0) written = false;
  if (!written) DeleteFile(archive);
  return written;
}
