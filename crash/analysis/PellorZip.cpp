#include "PellorZip.h"

#include <zlib.h>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
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
#include "FormStreams.h"
#include "PellorTypes.h"
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
// General-purpose flag: the name is UTF-8.
constexpr Cardinal kFlagUtf8Name = 0x0800;
// 1980-01-01 00:00, the earliest DOS time, for a file whose time is unknown
// or earlier; 2107-12-31 23:59:58, the latest, for later ones.
constexpr Cardinal kEarliestDosDateTime = 0x00210000;
constexpr Cardinal kLatestDosDateTime = 0xFF9FBF7D;

// Files are read and deflated through windows of fixed size: a source
// file is never held whole, and the windows stay warm in the cache.
constexpr std::size_t kReadWindow = 1 << 20;
constexpr std::size_t kDeflateWindow = 256 << 10;
// Sizes and offsets of this archive format are 32-bit.
constexpr UInt64 kMaxZipSize = 0xFFFFFFFFu;
constexpr std::size_t kMaxZipEntries = 0xFFFF;

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

// A raw-deflate stream with the memory settings of CompressBuffer, ended
// when it goes. One serves every entry of an archive.
struct TDeflater {
  z_stream Z{};
  bool Ready;
  explicit TDeflater(int level)
      : Ready(deflateInit2(&Z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) ==
              Z_OK) {}
  ~TDeflater() {
    if (Ready) deflateEnd(&Z);
  }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;
};

// A file written from its start, created anew and shared with no one while
// it is written. A failing write raises PellorException with
// kPellorStreamWriteError. Unless Close succeeds, the file is removed when
// this goes: nobody finds half a file.
class TOutputFile {
 public:
  explicit TOutputFile(const String& path) : path_(path) {
#ifdef _WIN32
    file_ = _fsopen(path.c_str(), "wb", _SH_DENYRW);
#else
    file_ = std::fopen(path.c_str(), "wb");
#endif
    if (!file_) {
      throw EFCreateError("Cannot create file \"%s\"", {path});
    }
  }
  ~TOutputFile() {
    if (file_) {
      std::fclose(file_);
      DeleteFile(path_);
    }
  }
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Bytes written so far; writing always goes on at the end.
  UInt64 Size() const { return size_; }

  void Write(const void* data, std::size_t length) {
    if (length && std::fwrite(data, 1, length, file_) != length) Fail();
    size_ += length;
  }
  void Write(const String& bytes) { Write(bytes.data(), bytes.size()); }

  // Overwrites bytes written before, at offset at.
  void Patch(UInt64 at, const String& bytes) {
    if (!SeekTo(at) ||
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
        !SeekTo(size_)) {
      Fail();
    }
  }

  // Drops everything from size on.
  void CutTo(UInt64 size) {
    if (std::fflush(file_) != 0) Fail();
#ifdef _WIN32
    bool cut = _chsize_s(_fileno(file_), static_cast<Int64>(size)) == 0;
#else
    bool cut = ftruncate(fileno(file_), static_cast<off_t>(size)) == 0;
#endif
    size_ = size;
    if (!cut || !SeekTo(size)) Fail();
  }

  // The closing flush is where a full disk shows last.
  void Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) {
      DeleteFile(path_);
      Fail();
    }
  }

 private:
  [[noreturn]] static void Fail() {
    throw PellorException(kPellorStreamWriteError);
  }
  bool SeekTo(UInt64 at) {
#ifdef _WIN32
    return _fseeki64(file_, static_cast<Int64>(at), SEEK_SET) == 0;
#else
    return fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0;
#endif
  }

  String path_;
  std::FILE* file_ = nullptr;
  UInt64 size_ = 0;
};

// Deflates what read gives, a window at a time until it gives nothing, and
// hands the stream to write piece by piece. The CRC-32 of what was read;
// false when the deflater fails.
template <class TRead, class TWrite>
bool DeflateStream(z_stream& z, TWindows& windows, TRead&& read, TWrite&& write,
                   Cardinal& crc) {
  crc = 0xFFFFFFFF;
  int flush, status;
  do {
    std::size_t chunk = read(windows.Read.get(), kReadWindow);
    crc = AccumulateCrc32(crc, windows.Read.get(), chunk);
    flush = chunk == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = windows.Read.get();
    z.avail_in = static_cast<uInt>(chunk);
    do {
      z.next_out = windows.Deflated.get();
      z.avail_out = kDeflateWindow;
      status = deflate(&z, flush);
      if (status == Z_STREAM_ERROR) return false;
      write(windows.Deflated.get(), kDeflateWindow - z.avail_out);
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
  crc = ~crc;
  return status == Z_STREAM_END;
}

// Up to capacity bytes of file into buffer; 0 at its end.
std::size_t ReadWindow(TFileStream& file, Byte* buffer, std::size_t capacity) {
  Integer n = file.Read(buffer, static_cast<Integer>(capacity));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// Runs a file form: body gets the opened source, the created destination
// and the windows, and answers false when the data is at fault. 0 and the
// failure's message unless body succeeded and the destination was closed
// whole.
template <class TBody>
UInt64 FileToFile(const String& sourceFile, const String& destinationFile,
                  String* failure, TBody&& body) {
  String message;
  try {
    TFileStream source(sourceFile, fmOpenRead | fmShareDenyNone);
    TOutputFile destination(destinationFile);
    TWindows windows;
    if (body(source, destination, windows)) {
      destination.Close();
      if (failure) failure->clear();
      return destination.Size();
    }
  } catch (const PellorException& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    // The class library's exceptions (a file that cannot be opened or
    // created) and running out of memory.
    const Exception* own = dynamic_cast<const Exception*>(&e);
    message = own ? own->Message() : String(e.what());
  } catch (...) {
  }
  if (failure) *failure = message;
  return 0;
}

String StoredNameOf(const String& path) {
  // Forward slashes separate folders on Windows too.
  std::size_t at = path.find_last_of("\\/");
  return at == String::npos ? path : path.substr(at + 1);
}

String AnsiToUtf8(const String& ansi) {
  WideString wide = Platform::AnsiToWide(ansi);
#ifdef _WIN32
  const auto* text = reinterpret_cast<const wchar_t*>(wide.data());
  const int length = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr,
                              nullptr);
  String utf8(static_cast<std::size_t>(std::max(n, 0)), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), n, nullptr,
                        nullptr);
  }
  return utf8;
#else
  return formstreams_detail::WideToUtf8(wide);
#endif
}

// The name as the archive stores it: UTF-8 (flagged) when it holds more
// than ASCII, folders separated by forward slashes. Empty when it names no
// file: readers extract such an entry over another one or nowhere.
String ZipNameOf(const String& name, Cardinal& flags) {
  flags = 0;
  String stored = name;
  if (std::any_of(name.begin(), name.end(),
                  [](char c) { return static_cast<Byte>(c) >= 0x80; })) {
    // Converted before the backslashes are replaced: in a double-byte code
    // page the byte of a backslash can be half of another character.
    stored = AnsiToUtf8(name);
    flags = kFlagUtf8Name;
  }
  std::replace(stored.begin(), stored.end(), '\\', '/');
  if (stored.find_first_not_of("/.") == String::npos) return String();
  return stored;
}

// The DOS date (high word) and time of a file's last write in local time,
// clamped to the years that DOS times can hold.
Cardinal DosDateTimeOf(const String& path) {
  TSystemTime t;
  if (!Platform::LastWriteLocalTime(path, t) || t.wYear < 1980) {
    return kEarliestDosDateTime;
  }
  if (t.wYear > 2107) return kLatestDosDateTime;
  Cardinal date = Cardinal(t.wYear - 1980) << 9 | Cardinal(t.wMonth) << 5 |
                  Cardinal(t.wDay);
  Cardinal time = Cardinal(t.wHour) << 11 | Cardinal(t.wMinute) << 5 |
                  Cardinal(t.wSecond / 2);
  return date << 16 | time;
}

// Raised when the archive would outgrow the format's 32-bit offsets.
struct TZipTooLarge {};

// Writes the local header, name and deflated contents of one file at the
// end of the archive and records its entry. A file that cannot be opened or
// read whole leaves the archive as it was and answers false; a failing
// write raises.
bool AddEntry(TOutputFile& zip, const String& path, const String& name,
              Cardinal flags, TWindows& windows, TDeflater& deflater,
              std::vector<TZipEntry>& entries) {
  Integer attributes = Platform::FileAttributes(path);
  if (attributes == -1 || (attributes & faDirectory) || name.size() > 0xFFFF) {
    return false;
  }
  const UInt64 start = zip.Size();
  if (start > kMaxZipSize) throw TZipTooLarge();
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyNone);
  } catch (const Exception&) {
    return false;
  }
  Int64 size = file->Size();
  if (size < 0 || UInt64(size) > kMaxZipSize) return false;
  file->SetPosition(0);
  const Cardinal dosTime = DosDateTimeOf(path);

  String header;
  Put32(header, kLocalHeaderSignature);
  header.append(24, '\0');
  Put16(header, 0);  // extra field length
  header += name;

  // Exactly the size found at the start: a file that reads short (or is
  // cut meanwhile) is taken back out.
  Int64 left = size;
  bool whole = true;
  auto read = [&](Byte* buffer, std::size_t capacity) -> std::size_t {
    std::size_t want =
        static_cast<std::size_t>(std::min<Int64>(left, Int64(capacity)));
    std::size_t n = want ? ReadWindow(*file, buffer, want) : 0;
    if (n != want) {
      whole = false;
      return 0;
    }
    left -= Int64(n);
    return n;
  };
  auto emit = [&](const void* data, std::size_t length) {
    if (zip.Size() + length > kMaxZipSize) throw TZipTooLarge();
    zip.Write(data, length);
  };
  // The stream of a small file (most attachments) is held until it is
  // complete, so that its header goes out whole; a larger one follows its
  // header at once and the header's CRC and sizes are patched in after.
  String held;
  bool streaming = false;
  UInt64 packedSize = 0;
  auto write = [&](const Byte* data, std::size_t length) {
    packedSize += length;
    if (!streaming) {
      if (held.size() + length <= kDeflateWindow) {
        held.append(reinterpret_cast<const char*>(data), length);
        return;
      }
      streaming = true;
      emit(header.data(), header.size());
      emit(held.data(), held.size());
      String().swap(held);
    }
    emit(data, length);
  };
  Cardinal crc;
  if (deflateReset(&deflater.Z) != Z_OK ||
      !DeflateStream(deflater.Z, windows, read, write, crc) || !whole) {
    if (streaming) zip.CutTo(start);
    return false;
  }

  TZipEntry entry;
  entry.Name = name;
  entry.Offset = static_cast<Cardinal>(start);
  entry.Attributes = static_cast<Cardinal>(attributes);
  Put16(entry.Shared, kZipVersion);
  Put16(entry.Shared, flags);
  Put16(entry.Shared, kMethodDeflate);
  Put16(entry.Shared, dosTime & 0xFFFF);
  Put16(entry.Shared, dosTime >> 16);
  Put32(entry.Shared, crc);
  Put32(entry.Shared, static_cast<Cardinal>(packedSize));
  Put32(entry.Shared, static_cast<Cardinal>(size));
  Put16(entry.Shared, static_cast<Cardinal>(name.size()));
  if (streaming) {
    zip.Patch(start + 4, entry.Shared);
  } else {
    header.replace(4, entry.Shared.size(), entry.Shared);
    emit(header.data(), header.size());
    emit(held.data(), held.size());
  }
  entries.push_back(std::move(entry));
  return true;
}

// The central directory and the end record after the entries.
void WriteDirectory(TOutputFile& zip, const std::vector<TZipEntry>& entries) {
  const UInt64 directoryStart = zip.Size();
  // Written in pieces: thousands of entries need no second copy in memory.
  String piece;
  for (const TZipEntry& entry : entries) {
    Put32(piece, kCentralEntrySignature);
    Put16(piece, kZipVersion);  // version made by
    piece += entry.Shared;
    Put16(piece, 0);  // extra field length
    Put16(piece, 0);  // comment length
    Put16(piece, 0);  // disk number
    Put16(piece, 0);  // internal attributes
    Put32(piece, entry.Attributes);
    Put32(piece, entry.Offset);
    piece += entry.Name;
    if (piece.size() >= kDeflateWindow) {
      zip.Write(piece);
      piece.clear();
    }
  }
  zip.Write(piece);
  const UInt64 directorySize = zip.Size() - directoryStart;
  String end;
  Put32(end, kEndRecordSignature);
  Put16(end, 0);  // this disk
  Put16(end, 0);  // disk of the directory
  Put16(end, static_cast<Cardinal>(entries.size()));
  Put16(end, static_cast<Cardinal>(entries.size()));
  Put32(end, static_cast<Cardinal>(directorySize));
  Put32(end, static_cast<Cardinal>(directoryStart));
  Put16(end, 0);  // comment length
  if (zip.Size() + end.size() > kMaxZipSize) throw TZipTooLarge();
  zip.Write(end);
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

std::size_t DeflateData(const void* source, std::size_t sourceLength,
                        void* destination, std::size_t destinationCapacity,
                        int level, Cardinal* crc) {
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
  if (status != Z_STREAM_END) return 0;
  if (crc) *crc = Crc32Of(source, sourceLength);
  return written;
}

std::size_t CompressBuffer(const void* source, void* destination,
                           std::size_t sourceLength,
                           std::size_t destinationCapacity, int level) {
  return DeflateData(source, sourceLength, destination, destinationCapacity,
                     level);
}

std::size_t InflateData(const void* source, std::size_t sourceLength,
                        void* destination, std::size_t expectedLength) {
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

std::size_t UncompressBuffer(const void* source, void* destination,
                             std::size_t sourceLength,
                             std::size_t expectedLength) {
  return InflateData(source, sourceLength, destination, expectedLength);
}

UInt64 DeflateData(const String& sourceFile, const String& destinationFile,
                   int level, Cardinal* crc, String* failure) {
  if (level < 1 || level > 9) level = kPellorDeflateLevel;
  return FileToFile(
      sourceFile, destinationFile, failure,
      [&](TFileStream& source, TOutputFile& destination, TWindows& windows) {
        TDeflater deflater(level);
        if (!deflater.Ready) return false;
        Cardinal sum;
        auto read = [&](Byte* buffer, std::size_t capacity) {
          return ReadWindow(source, buffer, capacity);
        };
        auto write = [&](const Byte* data, std::size_t length) {
          destination.Write(data, length);
        };
        if (!DeflateStream(deflater.Z, windows, read, write, sum)) {
          return false;
        }
        if (crc) *crc = sum;
        return true;
      });
}

UInt64 InflateData(const String& sourceFile, const String& destinationFile,
                   UInt64 expectedLength, String* failure) {
  return FileToFile(
      sourceFile, destinationFile, failure,
      [&](TFileStream& source, TOutputFile& destination, TWindows& windows) {
        z_stream z{};
        if (inflateInit2(&z, -15) != Z_OK) return false;
        std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&z, inflateEnd);
        // The read window holds the stream, the deflate window the output.
        int status = Z_OK;
        UInt64 produced = 0;
        // A full output window may leave output pending without input.
        bool outputFull = false;
        for (;;) {
          if (z.avail_in == 0 && !outputFull) {
            std::size_t n = ReadWindow(source, windows.Read.get(), kReadWindow);
            if (n == 0) break;
            z.next_in = windows.Read.get();
            z.avail_in = static_cast<uInt>(n);
          }
          z.next_out = windows.Deflated.get();
          z.avail_out = kDeflateWindow;
          status = inflate(&z, Z_NO_FLUSH);
          std::size_t n = kDeflateWindow - z.avail_out;
          if (n > expectedLength - produced) return false;
          destination.Write(windows.Deflated.get(), n);
          produced += n;
          outputFull = z.avail_out == 0;
          // Nothing was pending after all: more input is needed.
          if (status == Z_BUF_ERROR && n == 0) status = Z_OK;
          if (status != Z_OK) break;
        }
        // A stream that ended must be all of the file; one that did not
        // must have given every expected byte (only its end-of-block code
        // may be missing, as in the memory form).
        bool consumed =
            z.avail_in == 0 && (status != Z_STREAM_END ||
                                ReadWindow(source, windows.Read.get(), 1) == 0);
        return (status == Z_OK || status == Z_STREAM_END) && consumed &&
               produced == expectedLength;
      });
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
  try {
    TOutputFile zip(archive);
    TWindows windows;
    TDeflater deflater(kPellorDeflateLevel);
    if (!deflater.Ready) return false;
    std::vector<TZipEntry> entries;
    for (std::size_t i = 0; i < files.size(); ++i) {
      Cardinal flags;
      String name = ZipNameOf(
          i < storedNames.size() ? storedNames[i] : StoredNameOf(files[i]),
          flags);
      if (name.empty() ||
          !AddEntry(zip, files[i], name, flags, windows, deflater, entries)) {
        continue;
      }
      if (entries.size() > kMaxZipEntries) return false;
    }
    if (entries.empty()) return false;
    WriteDirectory(zip, entries);
    zip.Close();
    return true;
  } catch (...) {
    // Cannot be created or written, too large, or no memory: the archive
    // is gone with the file object.
    return false;
  }
}
