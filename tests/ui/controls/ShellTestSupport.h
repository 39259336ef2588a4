// Folder trees for the shell tests: made under the temporary folder, never
// among the user's own folders, and removed with everything in them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "WinApi.h"
#include "cxShellCommon.h"

namespace shell_test {

inline void RemoveTree(const std::string& APath) {
  WIN32_FIND_DATAA data{};
  HANDLE search = ::FindFirstFileA((APath + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = APath + "\\" + name;
      ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(search, &data));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(APath.c_str());
}

class TTempFolderTree {
 public:
  TTempFolderTree() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    static int counter = 0;
    root_ = base + "\\varnel-shell-" + std::to_string(::GetCurrentProcessId()) +
            "-" + std::to_string(++counter);
    RemoveTree(root_);
    EXPECT_TRUE(::CreateDirectoryA(root_.c_str(), nullptr)) << root_;
  }
  ~TTempFolderTree() { RemoveTree(root_); }
  TTempFolderTree(const TTempFolderTree&) = delete;
  TTempFolderTree& operator=(const TTempFolderTree&) = delete;

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& ARelative) const {
    return ARelative.empty() ? root_ : root_ + "\\" + ARelative;
  }
  // Makes the folder and its parents.
  void AddFolder(const std::string& ARelative) {
    std::string path = root_;
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = ARelative.find('\\', start);
      path += "\\" + ARelative.substr(start, end - start);
      ::CreateDirectoryA(path.c_str(), nullptr);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  void AddFile(const std::string& ARelative, const std::string& AText = "x") {
    HANDLE file =
        ::CreateFileA(Path(ARelative).c_str(), GENERIC_WRITE, 0, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << ARelative;
    DWORD written = 0;
    ::WriteFile(file, AText.data(), static_cast<DWORD>(AText.size()), &written,
                nullptr);
    ::CloseHandle(file);
  }

 private:
  std::string root_;
};

// The absolute PIDL of a path (owned by the caller's pointer).
inline TcxPidlPtr PidlOf(const std::string& APath) {
  TcxShellFolderPtr desktop = GetDesktopIShellFolder();
  WideString wide = AnsiToWide(APath);
  PItemIDList pidl = nullptr;
  ULONG eaten = 0;
  desktop->ParseDisplayName(nullptr, nullptr, const_cast<LPWSTR>(AsWChar(wide)),
                            &eaten, &pidl, nullptr);
  return TcxPidlPtr(pidl);
}

// The shell's own data object for one file or folder, as a drag from the
// shell would carry it (none when the shell makes none).
inline TcxComPtr<IDataObject> ShellDataObjectOf(const std::string& APath) {
  TcxComPtr<IDataObject> data;
  TcxPidlPtr pidl = PidlOf(APath);
  if (!pidl) return data;
  TcxPidlPtr parentPidl(GetPidlParent(pidl.get()));
  TcxShellFolderPtr desktop = GetDesktopIShellFolder();
  TcxShellFolderPtr parent;
  if (parentPidl->mkid.cb == 0) {
    parent = desktop;
  } else if (FAILED(desktop->BindToObject(parentPidl.get(), nullptr,
                                          IID_IShellFolder,
                                          parent.outVoid()))) {
    return data;
  }
  LPCITEMIDLIST items[1] = {GetLastPidlItem(pidl.get())};
  parent->GetUIObjectOf(nullptr, 1, items, IID_IDataObject, nullptr,
                        data.outVoid());
  return data;
}

inline bool Exists(const std::string& APath) {
  return ::GetFileAttributesA(APath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool SamePath(const std::string& A, const std::string& B) {
  return lstrcmpiA(A.c_str(), B.c_str()) == 0;
}

}  // namespace shell_test
