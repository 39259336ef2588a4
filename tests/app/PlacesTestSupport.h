// Helpers of the places-model tests: a sandboxed registry with a recorder
// for message boxes, scratch folders, and a readable picture of a key's
// values for whole-key comparisons.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "Dialogs.h"
#include "Handles.h"
#include "RegistrySandbox.h"
#include "SysUtils.h"
#include "System.h"
#include "Tarvik.h"
#include "uPlacesEx.h"

namespace places_test {

// The two places objects' group keys, as the tests write them.
inline const String kCommon = kCommonDlgGroupsKey;
inline const String kOffice = kOfficeGroupsKey;

// Records the texts of the plain message boxes shown while it lives.
class TMessageRecorder {
 public:
  TMessageRecorder() {
    previous_ = SetMessageBoxHandler(
        [this](const String& text, const String&, Cardinal) -> Integer {
          texts.push_back(text);
          return idOK;
        });
  }
  ~TMessageRecorder() { SetMessageBoxHandler(previous_); }
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  std::vector<String> texts;

 private:
  TMessageBoxHandler previous_;
};

// A key's values as "REG_SZ:text", "REG_DWORD:number" or "type N: n bytes",
// by value name; empty when the key is missing.
inline std::map<String, String> KeyValues(const String& key) {
  std::map<String, String> out;
  TKeyHandle h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, h.out()) !=
      ERROR_SUCCESS)
    return out;
  for (DWORD i = 0;; ++i) {
    char name[1024];
    DWORD nameLen = sizeof name;
    DWORD type = 0, size = 0;
    if (RegEnumValueA(h.get(), i, name, &nameLen, nullptr, &type, nullptr,
                      &size) != ERROR_SUCCESS)
      break;
    std::vector<Byte> data(size + 1);
    DWORD len = size + 1;
    RegQueryValueExA(h.get(), name, nullptr, &type, data.data(), &len);
    String text;
    if (type == REG_SZ) {
      text = "REG_SZ:" + String(reinterpret_cast<const char*>(data.data()));
    } else if (type == REG_DWORD && len == 4) {
      Integer v;
      std::memcpy(&v, data.data(), 4);
      text = "REG_DWORD:" + std::to_string(v);
    } else {
      text = "type " + std::to_string(type) + ": " + std::to_string(len) +
             " bytes";
    }
    out[name] = text;
  }
  return out;
}

// The names of a key's subkeys in enumeration order; empty when missing.
inline std::vector<String> SubKeys(const String& key) {
  std::vector<String> out;
  TKeyHandle h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, h.out()) !=
      ERROR_SUCCESS)
    return out;
  for (DWORD i = 0;; ++i) {
    char name[1024];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(h.get(), i, name, &len, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    out.emplace_back(name, len);
  }
  return out;
}

inline bool KeyExists(const String& key) {
  TKeyHandle h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, h.out()) !=
      ERROR_SUCCESS)
    return false;
  return true;
}

// Stores a value of any type and bytes, as another program might have.
inline void PutRaw(const String& key, const String& name, DWORD type,
                   const void* data, DWORD size) {
  TKeyHandle h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, h.out(), nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h.get(), name.c_str(), 0, type,
                           static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

inline void PutString(const String& key, const String& name,
                      const String& value, DWORD type = REG_SZ) {
  PutRaw(key, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

inline void PutDword(const String& key, const String& name, Integer value) {
  PutRaw(key, name, REG_DWORD, &value, sizeof value);
}

// Creates key as a volatile key: the registry then refuses to create any
// lasting key below it, which makes the program's own creations fail.
inline void MakeVolatileKey(const String& key) {
  TKeyHandle h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            h.out(), nullptr),
            ERROR_SUCCESS);
}

// Scratch folders under the temporary folder, removed with the object.
class TScratchFolders {
 public:
  TScratchFolders() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    root_ = IncludeTrailingPathDelimiter(temp) + "varnel-places-" +
            std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    ForceDirectories(root_);
  }
  ~TScratchFolders() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDir(*it);
    RemoveDir(root_);
  }
  TScratchFolders(const TScratchFolders&) = delete;
  TScratchFolders& operator=(const TScratchFolders&) = delete;

  // Makes root\name (with any missing parents) and returns its path.
  String Make(const String& name) {
    String path = root_ + "\\" + name;
    ForceDirectories(path);
    made_.push_back(path);
    return path;
  }
  // A path below the root that does not exist.
  String Missing(const String& name) const { return root_ + "\\" + name; }

 private:
  String root_;
  std::vector<String> made_;
};

// One place as a test gives it.
struct TPlaceSetup {
  TPlaceSetup(Integer folderId = -1, String path = String(),
              String name = String(), String description = String(),
              Integer view = 2)
      : FolderId(folderId),
        Path(std::move(path)),
        Name(std::move(name)),
        Description(std::move(description)),
        View(view) {}
  Integer FolderId;
  String Path;
  String Name;
  String Description;
  Integer View;
};

// Replaces the places of p with setups.
inline void SetPlaces(TCustomPlaces& p, std::vector<TPlaceSetup> setups) {
  p.Places()->Clear();
  for (const TPlaceSetup& s : setups) {
    TPlaceItem* place = p.Places()->Add();
    place->SetFolderId(s.FolderId);
    place->SetPath(s.Path);
    place->SetName(s.Name);
    place->SetDescription(s.Description);
    place->SetView(s.View);
  }
}

// The places of p as "folder|path|name|description|view" lines.
inline std::vector<String> DescribePlaces(const TCustomPlaces& p) {
  std::vector<String> out;
  for (Integer i = 0; i < p.Places()->Count(); ++i) {
    TPlaceItem* place = p.Places()->ItemAt(i);
    out.push_back(std::to_string(place->FolderId()) + "|" + place->Path() +
                  "|" + place->Name() + "|" + place->Description() + "|" +
                  std::to_string(place->View()));
  }
  return out;
}

// Adds a group named name, stores it and makes it current.
inline TGroupItem* AddCurrentGroup(TCustomPlaces& p, const String& name) {
  TGroupItem* group = p.Groups()->AddGroup();
  group->SetName(name);
  group->SaveGroup();
  p.SetCurrentGroup(group);
  return group;
}

template <class T>
TObjectPtr<T> Make(const String& key) {
  return TObjectPtr<T>(new T(key));
}

// Every test in the sandbox, with its message boxes recorded: a test that
// expects boxes lists them in expectedMessages, any other box fails it. The
// program-wide Office version goes back to 0 after each test.
class PlacesFixture : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(messages.texts, expectedMessages);
    TOfficeDialogPlaces::SetDefaultOfficeVersion(0);
  }

  TRegistrySandbox sandbox;
  TMessageRecorder messages;
  std::vector<String> expectedMessages;
  TScratchFolders folders;
};

}  // namespace places_test
