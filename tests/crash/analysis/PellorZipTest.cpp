#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "PellorZip.h"
#include "ReferenceTool.h"

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <utime.h>
#endif

#include "Platform.h"

namespace {

// ---------------------------------------------------------------------------
// Helpers that stand apart from the unit: zlib called directly, a byte
// reader of the ZIP layout, and (natively) Debian's unzip and Python's
// zipfile.
// ---------------------------------------------------------------------------

Cardinal ZlibCrc(const String& data) {
  return static_cast<Cardinal>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uInt>(data.size())));
}

String ZlibDeflate(const String& data, int level) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY),
            Z_OK);
  String out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Inflates a raw stream of unknown length; false when it is not one whole
// stream.
bool ZlibInflate(const String& packed, String& out) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  out.clear();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  int status = Z_OK;
  char chunk[4096];
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(chunk);
    z.avail_out = sizeof chunk;
    status = inflate(&z, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - z.avail_out);
  }
  inflateEnd(&z);
  return status == Z_STREAM_END && z.avail_in == 0;
}

void PutLittle32(String& s, Cardinal v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}

String Packed(const String& data, Cardinal length, Cardinal crc) {
  String s;
  PutLittle32(s, length);
  PutLittle32(s, 0xDEADBEEF);  // never read
  PutLittle32(s, crc);
  return s + ZlibDeflate(data, 9);
}

String Packed(const String& data) {
  return Packed(data, static_cast<Cardinal>(data.size()), ZlibCrc(data));
}

// Text shaped like a bug report: repeated structure, varying numbers.
String ReportText(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::ostringstream out;
  const char* units[] = {"main.pas", "Tarvik.dpr", "uPlacesEx.pas",
                         "cxControls.pas", "dxBar.pas"};
  while (out.tellp() < static_cast<std::streamoff>(size)) {
    out << "  $" << std::hex << (0x00400000 + random() % 0x100000) << std::dec
        << "  Varnel.exe  " << units[random() % 5] << "  " << random() % 4000
        << "  TwndMain.GRID_drag_drop +$" << std::hex << random() % 256
        << std::dec << "\r\n";
  }
  String s = out.str();
  s.resize(size);
  return s;
}

String RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  String s(size, '\0');
  for (char& c : s) c = static_cast<char>(random());
  return s;
}

String ReadFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

Cardinal Little(const String& s, std::size_t at, int bytes) {
  Cardinal v = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    v = v << 8 | static_cast<Byte>(s.at(at + i));
  }
  return v;
}

struct TZipItem {
  String Name;
  Cardinal Flags = 0, DosTime = 0, DosDate = 0, Crc = 0;
  Cardinal PackedSize = 0, Size = 0, Attributes = 0;
  String Data;  // inflated
};

// Reads an archive by its layout, checking every fixed field and that the
// central directory repeats each local header.
std::vector<TZipItem> ReadZip(const String& zip) {
  std::vector<TZipItem> items;
  EXPECT_GE(zip.size(), 22u);
  if (zip.size() < 22) return items;
  std::size_t end = zip.size() - 22;
  EXPECT_EQ(Little(zip, end, 4), 0x06054B50u);
  EXPECT_EQ(Little(zip, end + 4, 4), 0u);  // disks
  Cardinal count = Little(zip, end + 8, 2);
  EXPECT_EQ(Little(zip, end + 10, 2), count);
  Cardinal directorySize = Little(zip, end + 12, 4);
  Cardinal at = Little(zip, end + 16, 4);
  EXPECT_EQ(Little(zip, end + 20, 2), 0u);  // comment
  EXPECT_EQ(at + directorySize, end);
  Cardinal localAt = 0;
  for (Cardinal i = 0; i < count; ++i) {
    TZipItem item;
    EXPECT_EQ(Little(zip, at, 4), 0x02014B50u);
    EXPECT_EQ(Little(zip, at + 4, 2), 20u);  // made by
    Cardinal nameLength = Little(zip, at + 28, 2);
    EXPECT_EQ(Little(zip, at + 30, 4), 0u);  // extra, comment
    EXPECT_EQ(Little(zip, at + 34, 4), 0u);  // disk, internal attributes
    item.Attributes = Little(zip, at + 38, 4);
    Cardinal local = Little(zip, at + 42, 4);
    EXPECT_EQ(local, localAt);  // entries in order, nothing between them
    item.Name = zip.substr(at + 46, nameLength);

    EXPECT_EQ(Little(zip, local, 4), 0x04034B50u);
    EXPECT_EQ(zip.substr(local + 4, 24), zip.substr(at + 6, 24))
        << "central entry repeats the local header";
    EXPECT_EQ(Little(zip, local + 4, 2), 20u);  // needed
    item.Flags = Little(zip, local + 6, 2);
    // Only the mark of a UTF-8 name, and only on a name beyond ASCII.
    bool ascii = std::all_of(item.Name.begin(), item.Name.end(), [](char c) {
      return static_cast<Byte>(c) < 0x80;
    });
    EXPECT_EQ(item.Flags, ascii ? 0u : 0x0800u) << item.Name;
    EXPECT_EQ(Little(zip, local + 8, 2), 8u);  // deflate
    item.DosTime = Little(zip, local + 10, 2);
    item.DosDate = Little(zip, local + 12, 2);
    item.Crc = Little(zip, local + 14, 4);
    item.PackedSize = Little(zip, local + 18, 4);
    item.Size = Little(zip, local + 22, 4);
    EXPECT_EQ(Little(zip, local + 28, 2), 0u);  // extra
    EXPECT_EQ(zip.substr(local + 30, nameLength), item.Name);
    String packed = zip.substr(local + 30 + nameLength, item.PackedSize);
    EXPECT_TRUE(ZlibInflate(packed, item.Data)) << item.Name;
    EXPECT_EQ(item.Data.size(), item.Size);
    EXPECT_EQ(ZlibCrc(item.Data), item.Crc);
    localAt = local + 30 + nameLength + item.PackedSize;
    at += 46 + nameLength;
    items.push_back(item);
  }
  EXPECT_EQ(localAt, Little(zip, end + 16, 4));
  return items;
}

// DOS date and time of a local time.
Cardinal DosDate(const std::tm& t) {
  return static_cast<Cardinal>((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 |
                               t.tm_mday);
}
Cardinal DosTime(const std::tm& t) {
  return static_cast<Cardinal>(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
}

class PellorZip : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = std::filesystem::temp_directory_path() /
           ("varnel_zip_" + std::to_string(seed()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  String PathOf(const String& name) const { return (dir_ / name).string(); }

  // A file with the given contents and, when stamp is not 0, that last
  // write time.
  String MakeFile(const String& name, const String& data, Int64 stamp = 0) {
    String path = PathOf(name);
    std::ofstream(path, std::ios::binary) << data;
    if (stamp != 0) {
#ifdef _WIN32
      // 64-bit times: the years past 2038 are tested too.
      __utimbuf64 times{stamp, stamp};
      EXPECT_EQ(_utime64(path.c_str(), &times), 0);
#else
      utimbuf times{static_cast<std::time_t>(stamp),
                    static_cast<std::time_t>(stamp)};
      EXPECT_EQ(utime(path.c_str(), &times), 0);
#endif
    }
    return path;
  }

  std::filesystem::path dir_;
};

// An odd number of seconds: DOS times keep only even ones.
constexpr std::time_t kStamp = 1751234567;

std::tm LocalOf(std::time_t t) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

// ---------------------------------------------------------------------------
// CRC-32 and the buffer calls
// ---------------------------------------------------------------------------

TEST(PellorCrc32, MatchesTheZipCrcInOneOrManySteps) {
  EXPECT_EQ(~AccumulateCrc32(0xFFFFFFFF, "abc", 3), 0x352441C2u);
  String data = ReportText(10000, 1);
  Cardinal crc = 0xFFFFFFFF;
  for (std::size_t at = 0; at < data.size(); at += 777) {
    crc = AccumulateCrc32(crc, data.data() + at,
                          std::min<std::size_t>(777, data.size() - at));
  }
  EXPECT_EQ(~crc, ZlibCrc(data));
  EXPECT_EQ(AccumulateCrc32(0x12345678, "", 0), 0x12345678u);
}

// Long buffers take a folding path and short tails the table: every length
// around the fold's steps, at every alignment, must give the same CRC.
TEST(PellorCrc32, EveryLengthAndAlignmentAgrees) {
  const String data = RandomBytes(600, 13);
  for (std::size_t offset = 0; offset < 16; ++offset) {
    for (std::size_t length = 0; offset + length <= 400; ++length) {
      String part = data.substr(offset, length);
      ASSERT_EQ(~AccumulateCrc32(0xFFFFFFFF, data.data() + offset, length),
                ZlibCrc(part))
          << offset << "+" << length;
    }
  }
  // A running value other than the usual start carries through.
  Cardinal crc = AccumulateCrc32(0x0BADF00D, data.data(), 333);
  crc = AccumulateCrc32(crc, data.data() + 333, 267);
  EXPECT_EQ(crc, ~static_cast<Cardinal>(
                     crc32(~0x0BADF00Du,
                           reinterpret_cast<const Bytef*>(data.data()), 600)));
}

TEST(PellorCompress, RawDeflateThatAnyInflaterReads) {
  const String inputs[] = {"", "a", ReportText(200000, 2),
                           RandomBytes(50000, 3), String(100000, 'x')};
  for (const String& data : inputs) {
    SCOPED_TRACE(data.size());
    String packed(data.size() * 11 / 10 + 12, '\0');
    std::size_t n =
        CompressBuffer(data.data(), packed.data(), data.size(), packed.size());
    ASSERT_GT(n, 0u);
    packed.resize(n);
    String back;
    EXPECT_TRUE(ZlibInflate(packed, back));
    EXPECT_EQ(back, data);
    // The core gives the same stream and the CRC of the input.
    String again(packed.size() + 16, '\0');
    Cardinal crc = 0x12345678;
    EXPECT_EQ(DeflateData(data.data(), data.size(), again.data(), again.size(),
                          kPellorDeflateLevel, &crc),
              n);
    EXPECT_EQ(again.substr(0, n), packed);
    EXPECT_EQ(crc, ZlibCrc(data));
  }
  // Report text shrinks to well under a quarter.
  const String& report = inputs[2];
  String packed(report.size(), '\0');
  EXPECT_LT(CompressBuffer(report.data(), packed.data(), report.size(),
                           packed.size()),
            report.size() / 4);
}

TEST(PellorCompress, ExactlyFullOutputIsASuccessOneByteLessIsNot) {
  String data = ReportText(30000, 4);
  String packed(data.size() + 64, '\0');
  std::size_t n =
      CompressBuffer(data.data(), packed.data(), data.size(), packed.size());
  ASSERT_GT(n, 0u);
  // The destination is exactly as large as the stream: guard bytes after
  // it must stay untouched.
  String exact(n + 8, '\x5A');
  EXPECT_EQ(CompressBuffer(data.data(), exact.data(), data.size(), n), n);
  EXPECT_EQ(exact.substr(0, n), packed.substr(0, n));
  EXPECT_EQ(exact.substr(n), String(8, '\x5A'));
  String shorter(n + 8, '\x5A');
  EXPECT_EQ(CompressBuffer(data.data(), shorter.data(), data.size(), n - 1),
            0u);
  EXPECT_EQ(shorter.substr(n - 1), String(9, '\x5A'));
  EXPECT_EQ(CompressBuffer(data.data(), shorter.data(), data.size(), 0), 0u);
}

TEST(PellorCompress, UncompressNeedsExactLengthAndWholeInput) {
  String data = ReportText(50000, 5);
  String packed = ZlibDeflate(data, 6);
  struct TCase {
    const char* What;
    String Source;
    std::size_t Expected;
    std::size_t Result;
  };
  const TCase cases[] = {
      {"exact", packed, data.size(), data.size()},
      {"one byte more expected", packed, data.size() + 1, 0},
      {"one byte less expected", packed, data.size() - 1, 0},
      {"far less expected", packed, 100, 0},
      {"truncated stream", packed.substr(0, packed.size() / 2), data.size(), 0},
      {"trailing bytes", packed + "xyz", data.size(), 0},
      {"not deflate", String(200, '\xFF'), data.size(), 0},
      {"no input", String(), data.size(), 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    String out(c.Expected + 8, '\x5A');
    EXPECT_EQ(UncompressBuffer(c.Source.data(), out.data(), c.Source.size(),
                               c.Expected),
              c.Result);
    EXPECT_EQ(out.substr(c.Expected), String(8, '\x5A')) << "wrote past end";
    if (c.Result) {
      EXPECT_EQ(out.substr(0, c.Result), data);
    }
  }
}

// ---------------------------------------------------------------------------
// Packed strings
// ---------------------------------------------------------------------------

TEST(PellorPackedStr, UnpacksAndRejectsEveryBrokenHeader) {
  const String data = ReportText(20000, 6);
  const String good = Packed(data);
  const Cardinal size = static_cast<Cardinal>(data.size());
  String flippedStream = good;
  flippedStream[40] = static_cast<char>(flippedStream[40] ^ 0x10);
  struct TCase {
    const char* What;
    String Packed;
    String Result;
  };
  const TCase cases[] = {
      {"whole", good, data},
      {"unused bytes differ",
       good.substr(0, 4) + "\x01\x02\x03\x04" + good.substr(8), data},
      {"12 bytes", good.substr(0, 12), ""},
      {"empty", "", ""},
      {"flipped CRC bit", Packed(data, size, ZlibCrc(data) ^ 0x100), ""},
      {"length one too large", Packed(data, size + 1, ZlibCrc(data)), ""},
      {"length one too small", Packed(data, size - 1, ZlibCrc(data)), ""},
      {"length 0", Packed(data, 0, ZlibCrc(data)), ""},
      {"absurd length", Packed(data, 0xFFFFFFFF, ZlibCrc(data)), ""},
      {"trailing bytes", good + "!", ""},
      {"flipped stream bit", flippedStream, ""},
      {"empty data", Packed(""), ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(PackedStrToStr(c.Packed), c.Result);
  }
}

// A cut-off packed string never gives part of the data. Only a cut that
// leaves every data byte and loses just the end-of-block code of the stream
// still unpacks, whole and checked by the CRC.
TEST(PellorPackedStr, TruncationGivesNothingOrTheWholeData) {
  const String data = ReportText(3000, 7);
  const String good = Packed(data);
  for (std::size_t n = 0; n < good.size(); ++n) {
    // A copy of exactly n bytes, so that the sanitizers see any read
    // beyond it.
    std::vector<char> cut(good.begin(), good.begin() + n);
    String result = PackedStrToStr(String(cut.begin(), cut.end()));
    if (n + 2 < good.size()) {
      ASSERT_EQ(result, "") << n;
    } else {
      ASSERT_TRUE(result.empty() || result == data) << n;
    }
  }
  EXPECT_EQ(PackedStrToStr(good), data);
}

// Random bytes and random damage: never a crash, an overread or a wrong
// result; the answer is the original or nothing.
TEST(PellorPackedStr, RandomBytesAndDamageGiveOriginalOrEmpty) {
  std::mt19937 random(20261210);
  const String data = ReportText(4000, 8);
  const String good = Packed(data);
  for (int i = 0; i < 3000; ++i) {
    String noise = RandomBytes(random() % 300, random());
    if (noise.size() >= 4 && random() % 2) {
      // A believable length, so that the inflater gets to run.
      noise[2] = noise[3] = 0;
    }
    EXPECT_EQ(PackedStrToStr(noise), "");
    String out(64, '\0');
    UncompressBuffer(noise.data(), out.data(), noise.size(), out.size());

    String damaged = good;
    for (int k = random() % 4 + 1; k > 0; --k) {
      std::size_t at = random() % damaged.size();
      damaged[at] = static_cast<char>(damaged[at] ^ (1 << random() % 8));
    }
    String result = PackedStrToStr(damaged);
    EXPECT_TRUE(result.empty() || result == data);
  }
}

// ---------------------------------------------------------------------------
// ZIP archives
// ---------------------------------------------------------------------------

TEST_F(PellorZip, ArchiveHoldsEachFileWithItsNameTimeAndCrc) {
  // The report spans more than one of the writer's read windows (1 MB)
  // and its deflated form more than one output window.
  const String report = ReportText(2500000, 9), noise = RandomBytes(70000, 10);
  std::vector<String> files = {MakeFile("bugreport.txt", report, kStamp),
                               MakeFile("shot.png", noise, kStamp + 4000),
                               MakeFile("empty.txt", "", kStamp)};
  String zip = PathOf("out.zip");
  // A stored name for the first file only; the others keep their own.
  ASSERT_TRUE(WriteZipArchive(zip, files, {"report\\bugreport.txt"}));

  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  ASSERT_EQ(items.size(), 3u);
  const String names[] = {"report/bugreport.txt", "shot.png", "empty.txt"};
  const String* contents[] = {&report, &noise, nullptr};
  const std::time_t stamps[] = {kStamp, kStamp + 4000, kStamp};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(items[i].Name, names[i]);
    EXPECT_EQ(items[i].Data, contents[i] ? *contents[i] : String());
    std::tm local = LocalOf(stamps[i]);
    EXPECT_EQ(items[i].DosDate, DosDate(local));
    EXPECT_EQ(items[i].DosTime, DosTime(local));
    EXPECT_EQ(items[i].Attributes,
              static_cast<Cardinal>(Platform::FileAttributes(files[i])));
  }
  EXPECT_LT(items[0].PackedSize, report.size() / 3);
}

TEST_F(PellorZip, UnreadableFilesAreLeftOut) {
  std::filesystem::create_directory(dir_ / "folder");
  std::vector<String> files = {PathOf("missing.txt"), PathOf("folder"),
                               MakeFile("kept.txt", "kept")};
  String zip = PathOf("out.zip");
  ASSERT_TRUE(WriteZipArchive(zip, files, {"a", "b", "c"}));
  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  ASSERT_EQ(items.size(), 1u);
  // The stored name still comes from the file's own index.
  EXPECT_EQ(items[0].Name, "c");
  EXPECT_EQ(items[0].Data, "kept");
}

#ifndef _WIN32
// A file that opens but reads short of its size (kernel files claim a page
// and hold less) is taken back out; its neighbours stay whole.
TEST_F(PellorZip, FileThatReadsShortIsTakenBackOut) {
  String shortFile;
  for (const char* candidate : {"/sys/kernel/mm/transparent_hugepage/enabled",
                                "/sys/kernel/profiling", "/sys/power/state"}) {
    std::error_code error;
    auto size = std::filesystem::file_size(candidate, error);
    if (!error && size > ReadFile(candidate).size()) {
      shortFile = candidate;
      break;
    }
  }
  if (shortFile.empty()) GTEST_SKIP() << "no short-reading file here";
  const String big = ReportText(1500000, 14);
  std::vector<String> files = {MakeFile("a.txt", big), shortFile,
                               MakeFile("b.txt", "b")};
  String zip = PathOf("out.zip");
  ASSERT_TRUE(WriteZipArchive(zip, files));
  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Name, "a.txt");
  EXPECT_EQ(items[0].Data, big);
  EXPECT_EQ(items[1].Name, "b.txt");
  EXPECT_EQ(items[1].Data, "b");
}
#endif

TEST_F(PellorZip, NoArchiveIsLeftWhenNothingCouldBeAdded) {
  std::filesystem::create_directory(dir_ / "folder");
  String zip = MakeFile("out.zip", "an older archive");
  struct TCase {
    const char* What;
    std::vector<String> Files;
  };
  const TCase cases[] = {
      {"no files", {}},
      {"none readable", {PathOf("missing.txt"), PathOf("folder")}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_FALSE(WriteZipArchive(zip, c.Files));
    EXPECT_FALSE(std::filesystem::exists(zip));
  }
  // An archive that cannot be created at all.
  EXPECT_FALSE(WriteZipArchive(PathOf("no such folder") + "/x.zip",
                               {MakeFile("a.txt", "a")}));
}

TEST_F(PellorZip, ArchiveIsWrittenAnew) {
  String zip = MakeFile("out.zip", String(100000, 'z'));
  ASSERT_TRUE(WriteZipArchive(zip, {MakeFile("a.txt", "a")}));
  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].Name, "a.txt");
}

// Stamps outside the years that DOS times hold, and the DOS date and time
// that stand for them.
constexpr Int64 kStamp1975 = 173000000, kStamp2110 = 4431000000;
constexpr Cardinal kDosDate1980 = 0x0021, kDosTime1980 = 0x0000;
constexpr Cardinal kDosDate2107 = 0xFF9F, kDosTime2107 = 0xBF7D;

// Names as the user gives them (CP1252 bytes, Windows folders) and as every
// reader must see them; the empty names refused.
const String kUmlautName =
    "\xDC"
    "bersicht.txt";
const String kUmlautUtf8 =
    "\xC3\x9C"
    "bersicht.txt";

TEST_F(PellorZip, NamesAreUtf8WithForwardSlashesAndNeverEmpty) {
  struct TCase {
    String Stored;
    String Expected;  // empty: left out
  };
  const TCase cases[] = {
      {kUmlautName, kUmlautUtf8},
      {"logs\\app.log", "logs/app.log"},
      {"plain name.txt", "plain name.txt"},
      {"", ""},
      {"/", ""},
      {"..", ""},
      {"\\.\\", ""},
      {"./..\\", ""},
      {"\xE9t\xE9\\r\xE9sum\xE9.txt",
       "\xC3\xA9t\xC3\xA9/r\xC3\xA9sum\xC3\xA9.txt"},
  };
  std::vector<String> files, stored, expected;
  for (const TCase& c : cases) {
    files.push_back(MakeFile("f" + std::to_string(files.size()), c.Stored));
    stored.push_back(c.Stored);
    if (!c.Expected.empty()) expected.push_back(c.Expected);
  }
  String zip = PathOf("out.zip");
  ASSERT_TRUE(WriteZipArchive(zip, files, stored));
  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  std::vector<String> names;
  for (const TZipItem& item : items) names.push_back(item.Name);
  EXPECT_EQ(names, expected);
  // Each entry holds its own file (the contents are the stored name).
  for (const TZipItem& item : items) {
    auto c =
        std::find_if(std::begin(cases), std::end(cases),
                     [&](const TCase& c) { return c.Expected == item.Name; });
    ASSERT_NE(c, std::end(cases));
    EXPECT_EQ(item.Data, c->Stored);
  }
  // Only a folder of empty names: nothing to write.
  EXPECT_FALSE(WriteZipArchive(zip, {files[0], files[1]}, {"", "."}));
  EXPECT_FALSE(std::filesystem::exists(zip));
}

TEST_F(PellorZip, TimesOutsideDosYearsAreClampedToTheNearest) {
  struct TCase {
    const char* What;
    Int64 Stamp;
    Cardinal DosDate, DosTime;
  };
  const TCase cases[] = {
      {"1975", kStamp1975, kDosDate1980, kDosTime1980},
      {"2110", kStamp2110, kDosDate2107, kDosTime2107},
  };
  std::vector<String> files;
  for (const TCase& c : cases)
    files.push_back(MakeFile(c.What, c.What, c.Stamp));
  String zip = PathOf("out.zip");
  ASSERT_TRUE(WriteZipArchive(zip, files));
  std::vector<TZipItem> items = ReadZip(ReadFile(zip));
  ASSERT_EQ(items.size(), 2u);
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(cases[i].What);
    EXPECT_EQ(items[i].DosDate, cases[i].DosDate);
    EXPECT_EQ(items[i].DosTime, cases[i].DosTime);
  }
}

#ifndef _WIN32
// Past 65,535 entries the archive format has no count for them: the whole
// archive fails rather than one whose directory lies. Only natively: under
// the emulated Windows build 65,536 file opens take a minute, and the count
// does not depend on the platform.
TEST_F(PellorZip, MoreEntriesThanTheFormatCountsFail) {
  String file = MakeFile("a.txt", "a");
  String zip = PathOf("out.zip");
  EXPECT_FALSE(WriteZipArchive(zip, std::vector<String>(65536, file)));
  EXPECT_FALSE(std::filesystem::exists(zip));
}
#endif

#ifndef _WIN32
// Runs a command of the host and collects its output; false when it cannot
// be started.
bool RunHostTool(const String& command, String& output, int& status) {
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return false;
  char chunk[4096];
  output.clear();
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    output.append(chunk, n);
  }
  status = pclose(pipe);
  return true;
}

// Debian's unzip and Python's zipfile read every archive back: names byte
// for byte, sizes, CRCs and DOS times as the files have them.
TEST_F(PellorZip, IndependentReadersAcceptTheArchive) {
  const bool haveUnzip = HostHas("unzip"), havePython = HostHas("python3");
  if (!haveUnzip || !havePython)
    SKIP_UNLESS_CI("unzip or python3 is missing on this host");
  const String report = ReportText(1000000, 11), noise = RandomBytes(5000, 12);
  struct TCase {
    String Name;  // stored; empty: taken from the file
    String Expected;
    const String* Data;
    Int64 Stamp;
    std::time_t Shown;  // the time a reader shows
  };
  const TCase cases[] = {
      {"", "bugreport.txt", &report, kStamp, kStamp},
      {"", "screen.png", &noise, kStamp + 61, kStamp + 61},
      {"", "empty.txt", nullptr, kStamp + 3, kStamp + 3},
      {kUmlautName, kUmlautUtf8, &noise, kStamp, kStamp},
      {"logs\\app.log", "logs/app.log", &report, kStamp, kStamp},
      {"old.txt", "old.txt", &noise, kStamp1975, 0},
      {"new.txt", "new.txt", &noise, kStamp2110, 1},
  };
  std::vector<String> files, stored;
  for (const TCase& c : cases) {
    files.push_back(MakeFile(
        c.Name.empty() ? c.Expected : "f" + std::to_string(files.size()),
        c.Data ? *c.Data : String(), c.Stamp));
    stored.push_back(c.Name.empty() ? c.Expected : c.Name);
  }
  // An empty stored name between them is left out.
  files.push_back(MakeFile("nameless.txt", "x"));
  stored.push_back("");
  String zip = PathOf("out.zip");
  ASSERT_TRUE(WriteZipArchive(zip, files, stored));

  String out;
  int status = -1;
  ASSERT_TRUE(RunHostTool("unzip -t '" + zip + "'", out, status));
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("No errors detected"), String::npos) << out;

  String script =
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "print('bad', z.testzip())\n"
      "for i in z.infolist():\n"
      "    print(i.filename.encode('utf-8').hex(), i.file_size,\n"
      "          '%08x' % i.CRC, '%d-%d-%d-%d-%d-%d' % i.date_time)\n";
  String scriptPath = MakeFile("read.py", script);
  ASSERT_TRUE(
      RunHostTool("python3 '" + scriptPath + "' '" + zip + "'", out, status));
  EXPECT_EQ(status, 0) << out;
  std::ostringstream expected;
  expected << "bad None\n";
  for (const TCase& c : cases) {
    String contents = c.Data ? *c.Data : String();
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", ZlibCrc(contents));
    for (char ch : c.Expected) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", static_cast<Byte>(ch));
      expected << hex;
    }
    expected << ' ' << contents.size() << ' ' << crc << ' ';
    if (c.Shown == 0) {
      expected << "1980-1-1-0-0-0";
    } else if (c.Shown == 1) {
      expected << "2107-12-31-23-59-58";
    } else {
      std::tm t = LocalOf(c.Shown);
      expected << t.tm_year + 1900 << '-' << t.tm_mon + 1 << '-' << t.tm_mday
               << '-' << t.tm_hour << '-' << t.tm_min << '-'
               << t.tm_sec / 2 * 2;
    }
    expected << '\n';
  }
  EXPECT_EQ(out, expected.str());
}

#endif

// ---------------------------------------------------------------------------
// The file forms of deflate and inflate
// ---------------------------------------------------------------------------

TEST_F(PellorZip, FileFormsRoundTrip) {
  // The report spans several of the 1 MB read windows.
  const String inputs[] = {"", "a", ReportText(2500000, 15),
                           RandomBytes(70000, 16)};
  for (const String& data : inputs) {
    SCOPED_TRACE(data.size());
    String source = MakeFile("source", data);
    String packed = PathOf("packed"), back = PathOf("back");
    Cardinal crc = 0;
    String failure = "untouched";
    UInt64 n = DeflateData(source, packed, kPellorDeflateLevel, &crc, &failure);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(crc, ZlibCrc(data));
    String stream = ReadFile(packed);
    EXPECT_EQ(stream.size(), n);
    String inflated;
    EXPECT_TRUE(ZlibInflate(stream, inflated));
    EXPECT_EQ(inflated, data);

    failure = "untouched";
    UInt64 m = InflateData(packed, back, data.size(), &failure);
    EXPECT_EQ(m, data.size());
    EXPECT_EQ(ReadFile(back), data);
    EXPECT_EQ(failure, "");
  }
  // Another level is another stream of the same data.
  const String& report = inputs[2];
  String source = MakeFile("source", report);
  ASSERT_GT(DeflateData(source, PathOf("packed9"), 9), 0u);
  String inflated;
  EXPECT_TRUE(ZlibInflate(ReadFile(PathOf("packed9")), inflated));
  EXPECT_EQ(inflated, report);
}

TEST_F(PellorZip, FileFormsFailWithoutLeavingAFile) {
  const String data = ReportText(1500000, 17);
  const String stream = ZlibDeflate(data, 6);
  const String packed = MakeFile("packed", stream);
  const String missing = PathOf("missing");
  const String nowhere = PathOf("no such folder") + "/out";
  struct TCase {
    const char* What;
    String Source;
    std::size_t Expected;
    String Destination;
    String FailureHas;  // a part of the message; "" for none
  };
  const TCase cases[] = {
      {"truncated", MakeFile("half", stream.substr(0, stream.size() / 2)),
       data.size(), PathOf("out"), ""},
      {"one byte more expected", packed, data.size() + 1, PathOf("out"), ""},
      {"one byte less expected", packed, data.size() - 1, PathOf("out"), ""},
      {"trailing bytes", MakeFile("trailing", stream + "xyz"), data.size(),
       PathOf("out"), ""},
      {"not deflate", MakeFile("noise", String(5000, '\xFF')), data.size(),
       PathOf("out"), ""},
      {"source cannot be opened", missing, data.size(), PathOf("out"), missing},
      {"destination cannot be created", packed, data.size(), nowhere, nowhere},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    String failure = "untouched";
    EXPECT_EQ(InflateData(c.Source, c.Destination, c.Expected, &failure), 0u);
    EXPECT_FALSE(std::filesystem::exists(c.Destination));
    if (c.FailureHas.empty()) {
      EXPECT_EQ(failure, "");
    } else {
      EXPECT_NE(failure.find(c.FailureHas), String::npos) << failure;
    }
  }
  String failure;
  EXPECT_EQ(DeflateData(missing, PathOf("out"), kPellorDeflateLevel, nullptr,
                        &failure),
            0u);
  EXPECT_NE(failure.find(missing), String::npos) << failure;
  EXPECT_FALSE(std::filesystem::exists(PathOf("out")));
  EXPECT_EQ(
      DeflateData(packed, nowhere, kPellorDeflateLevel, nullptr, &failure), 0u);
  EXPECT_NE(failure.find(nowhere), String::npos) << failure;
}

#ifndef _WIN32
// While it lives, files cannot grow past limit bytes: a write beyond fails
// as on a full disk.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t limit) {
    old_ = signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit small = saved_;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, old_);
  }

 private:
  rlimit saved_{};
  sighandler_t old_;
};

TEST_F(PellorZip, FailingWritesStopAndLeaveNothing) {
  const String noise = RandomBytes(2000000, 18);
  const String source = MakeFile("source", noise);
  const String packed = MakeFile("packed", ZlibDeflate(noise, 1));
  String deflateFailure, inflateFailure;
  bool zipped;
  {
    TFileSizeLimit limit(100000);
    EXPECT_EQ(DeflateData(source, PathOf("out1"), kPellorDeflateLevel, nullptr,
                          &deflateFailure),
              0u);
    EXPECT_EQ(
        InflateData(packed, PathOf("out2"), noise.size(), &inflateFailure), 0u);
    zipped = WriteZipArchive(PathOf("out.zip"), {source});
  }
  EXPECT_EQ(deflateFailure, "Stream write error.");
  EXPECT_EQ(inflateFailure, "Stream write error.");
  EXPECT_FALSE(zipped);
  for (const char* name : {"out1", "out2", "out.zip"}) {
    EXPECT_FALSE(std::filesystem::exists(PathOf(name))) << name;
  }
}
#endif

#ifdef __linux__
// A field of /proc/self/status in kB; -1 when missing.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  String line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    }
  }
  return -1;
}

// Memory stays bounded by the writer's windows whatever the file's size:
// 200 MB of incompressible bytes, of which the test never holds more than
// a piece either.
TEST_F(PellorZip, MemoryStaysBoundedOnAHugeFile) {
  constexpr std::size_t kPiece = 1 << 20, kPieces = 200;
  const String big = PathOf("big.bin");
  uLong crc = crc32(0, nullptr, 0);
  {
    std::ofstream out(big, std::ios::binary);
    UInt64 x = 0x9E3779B97F4A7C15u;
    String piece(kPiece, '\0');
    for (std::size_t i = 0; i < kPieces; ++i) {
      for (std::size_t at = 0; at < kPiece; at += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(&piece[at], &x, 8);
      }
      crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()), kPiece);
      out.write(piece.data(), kPiece);
    }
    ASSERT_TRUE(out.good());
  }
  // The peak resident size starts again from the present one.
  {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    reset.close();
    ASSERT_TRUE(reset.good()) << "cannot reset the peak resident size";
  }
  const long before = StatusKb("VmRSS:");
  const String zip = PathOf("big.zip");
  ASSERT_TRUE(WriteZipArchive(zip, {big}));
  const long peak = StatusKb("VmHWM:");
  ASSERT_GT(before, 0);
  EXPECT_LT(peak - before, 32 * 1024) << "kB above " << before;

  // zlib reads it back in pieces: the local header, then the stream.
  std::ifstream in(zip, std::ios::binary);
  String header(30, '\0');
  in.read(header.data(), 30);
  EXPECT_EQ(Little(header, 0, 4), 0x04034B50u);
  EXPECT_EQ(Little(header, 22, 4), kPiece * kPieces);
  EXPECT_EQ(Little(header, 14, 4), static_cast<Cardinal>(crc));
  in.seekg(30 + Little(header, 26, 2));
  z_stream z{};
  ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
  String packed(kPiece, '\0'), unpacked(kPiece, '\0');
  uLong readCrc = crc32(0, nullptr, 0);
  UInt64 total = 0;
  int status = Z_OK;
  Cardinal left = Little(header, 18, 4);
  while (status == Z_OK) {
    if (z.avail_in == 0 && left > 0) {
      std::size_t n = std::min<std::size_t>(left, kPiece);
      in.read(packed.data(), static_cast<std::streamsize>(n));
      left -= static_cast<Cardinal>(n);
      z.next_in = reinterpret_cast<Bytef*>(packed.data());
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = reinterpret_cast<Bytef*>(unpacked.data());
    z.avail_out = kPiece;
    status = inflate(&z, Z_NO_FLUSH);
    std::size_t n = kPiece - z.avail_out;
    readCrc = crc32(readCrc, reinterpret_cast<const Bytef*>(unpacked.data()),
                    static_cast<uInt>(n));
    total += n;
  }
  inflateEnd(&z);
  EXPECT_EQ(status, Z_STREAM_END);
  EXPECT_EQ(total, kPiece * kPieces);
  EXPECT_EQ(readCrc, crc);
}
#endif

}  // namespace
