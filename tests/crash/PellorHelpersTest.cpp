#include <gtest/gtest.h>

#include <ctime>
#include <stdexcept>

#include "PellorHelpers.h"
#include "PellorTypes.h"
#include "RegistrySandbox.h"

namespace {

struct TPlain {
  int a = 1, b = 2;
};

class TNotAnException {
 public:
  virtual ~TNotAnException() = default;
  int value = 3;
};

// Catches what thrower throws and hands the caught object to check.
template <class Thrower, class Check>
void Caught(Thrower thrower, Check check) {
  try {
    thrower();
  } catch (const PellorException& e) {
    check(static_cast<const void*>(&e));
  } catch (const std::exception& e) {
    check(static_cast<const void*>(&e));
  }
}

TEST(PellorHelpersTest, ClassAndMessageOfThrownExceptions) {
  Caught([] { throw std::runtime_error("  disk\x01 full\r\n "); },
         [](const void* e) {
           EXPECT_TRUE(LooksLikeObject(e));
           EXPECT_EQ("std::runtime_error", ExceptionClassText(e));
           EXPECT_EQ("disk full", ExceptionMessageText(e));
           EXPECT_TRUE(InheritsFromClassName(e, "std::exception"));
           EXPECT_FALSE(InheritsFromClassName(e, "std::logic_error"));
         });
  // Caught as std::exception, which is not EReadError's first base: the
  // class is still the thrown one.
  Caught([] { throw EReadError("Stream read error\tnow"); },
         [](const void* e) {
           EXPECT_EQ("EReadError", ExceptionClassText(e));
           EXPECT_EQ("Stream read errornow", ExceptionMessageText(e));
           for (const char* base : {"EReadError", "EFilerError", "EStreamError",
                                    "Exception", "TObject", "std::exception"})
             EXPECT_TRUE(InheritsFromClassName(e, base)) << base;
           EXPECT_FALSE(InheritsFromClassName(e, "EWriteError"));
           EXPECT_FALSE(InheritsFromClassName(e, "exception"));
         });
  Caught([] { throw PellorException("own\r\nmessage"); },
         [](const void* e) {
           EXPECT_EQ("PellorException", ExceptionClassText(e));
           EXPECT_EQ("own\r\nmessage", ExceptionMessageText(e));
           EXPECT_TRUE(InheritsFromClassName(e, "TObject"));
         });
  Caught([] { throw Exception(""); },
         [](const void* e) { EXPECT_EQ("Unknown", ExceptionMessageText(e)); });
}

TEST(PellorHelpersTest, OtherObjectsGiveTheirClassName) {
  TNotAnException object;
  EXPECT_TRUE(LooksLikeObject(&object));
  EXPECT_EQ("(anonymous namespace)::TNotAnException",
            ExceptionMessageText(&object));
}

TEST(PellorHelpersTest, GarbageIsNoObject) {
  std::vector<Cardinal> heap(64);
  for (std::size_t i = 0; i < heap.size(); ++i)
    heap[i] = static_cast<Cardinal>(0x9E3779B9u * (i + 1));
  // A word that points into the heap itself, as a stale pointer would.
  heap[0] = static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(&heap[8]));
  TPlain plain;
  const void* wild = reinterpret_cast<const void*>(static_cast<UINT_PTR>(0x10));
  for (const void* p :
       {static_cast<const void*>(heap.data()),
        static_cast<const void*>(&heap[1]), static_cast<const void*>(&plain),
        wild, static_cast<const void*>(nullptr)}) {
    EXPECT_FALSE(LooksLikeObject(p));
    EXPECT_EQ("Unknown", ExceptionClassText(p));
    EXPECT_EQ("Unknown", ExceptionMessageText(p));
    EXPECT_FALSE(InheritsFromClassName(p, "TObject"));
  }
}

TEST(PellorHelpersTest, PlaceholdersOfThisProgram) {
  String text = "%appname% %LF%";
  ExpandPlaceholders(OwnModule(), text, "", "");
  EXPECT_EQ("crash_tests.exe \r\n", text);
  text = "%MODNAME%:%appversion%";
  ExpandPlaceholders(GetModuleHandleA("kernel32.dll"), text, "", "");
  EXPECT_EQ("kernel32.dll:?", text);
  text = "%date%";
  ExpandPlaceholders(OwnModule(), text, "", "");
  ASSERT_EQ(10u, text.size());
  EXPECT_EQ('-', text[4]);
  EXPECT_EQ('-', text[7]);
}

TEST(PellorHelpersTest, TempFolderIsCreatedAndCleared) {
  const String folder = CrashTempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ("crash_tests.PellorExcept\\",
            folder.substr(folder.size() -
                          String("crash_tests.PellorExcept\\").size()));
  const String file = folder + "shot.png";
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  CloseHandle(h);
  ClearCrashTempFolder();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
}

TEST(PellorHelpersTest, RegistryTexts) {
  TRegistrySandbox sandbox;
  const String key = "Software\\Pellor\\Test";
  EXPECT_EQ("", ReadRegString(HKEY_CURRENT_USER, key, "Name"));
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Name", "Holvane"));
  EXPECT_EQ("Holvane", ReadRegString(HKEY_CURRENT_USER, key, "Name"));
  HKEY opened;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0,
                                         KEY_ALL_ACCESS, &opened));
  const BYTE raw[] = {1, 0, 2, 0xFF};
  RegSetValueExA(opened, "Raw", 0, REG_BINARY, raw, sizeof raw);
  RegCloseKey(opened);
  EXPECT_EQ(String("\x01\x00\x02\xFF", 4),
            ReadRegString(HKEY_CURRENT_USER, key, "Raw"));
  EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, key, "Name"));
  EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, key, "Name"));
  EXPECT_EQ("", ReadRegString(HKEY_CURRENT_USER, key, "Name"));
}

TEST(PellorHelpersTest, UtcSecondsCountFrom1601) {
  const Int64 unixNow = static_cast<Int64>(std::time(nullptr));
  const Int64 now = UtcSecondsNow();
  EXPECT_LE(std::llabs(now - (unixNow + 11644473600LL)), 5);
}

TEST(PellorHelpersTest, OpenSecurityHasANullAccessList) {
  SECURITY_ATTRIBUTES sa;
  SECURITY_DESCRIPTOR sd;
  InitOpenSecurity(sa, sd);
  EXPECT_EQ(sizeof sa, sa.nLength);
  EXPECT_FALSE(sa.bInheritHandle);
  BOOL present = FALSE, defaulted = TRUE;
  PACL dacl = reinterpret_cast<PACL>(1);
  ASSERT_TRUE(GetSecurityDescriptorDacl(&sd, &present, &dacl, &defaulted));
  EXPECT_TRUE(present);
  EXPECT_EQ(nullptr, dacl);
  HANDLE mutex = CreateMutexA(&sa, FALSE, nullptr);
  EXPECT_NE(nullptr, mutex);
  CloseHandle(mutex);
}

Cardinal Summed(Cardinal a, Cardinal b, Cardinal c) { return a + b + c; }

TEST(PellorHelpersTest, ResetFpuUsesTheRoutineWhenThereIsOne) {
  EXPECT_EQ(7u, ResetFpu(7, 8, 9));
  SetFpuResetRoutine(&Summed);
  EXPECT_EQ(24u, ResetFpu(7, 8, 9));
  SetFpuResetRoutine(nullptr);
}

TEST(PellorHelpersTest, ClipboardGetsTheText) {
  CopyTextToClipboard("bug report\r\nline 2");
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_TEXT);
  String text;
  if (data) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  EXPECT_EQ("bug report\r\nline 2", text);
}

TEST(PellorHelpersTest, ModuleNames) {
  EXPECT_EQ("crash_tests.exe", FileNamePart(ModuleFileName(nullptr)));
  EXPECT_EQ(GetModuleHandleA(nullptr), OwnModule());
  EXPECT_FALSE(ComputerNameText().empty());
}

}  // namespace
