// A file under the system's temporary folder for tests that read and write
// files: gone before the test and again after it.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>

#include "System.h"

class TTempFile {
 public:
  // The file varnel-<group>-<name>: tests of different executables, which
  // may run at once, use groups of their own.
  explicit TTempFile(const char* name, const char* group = "ini")
      : path_(std::filesystem::temp_directory_path() /
              (String("varnel-") + group + "-" + name)) {
    std::filesystem::remove(path_);
  }
  ~TTempFile() { std::filesystem::remove(path_); }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  String Name() const { return path_.string(); }
  void Write(const String& text) const {
    std::ofstream(path_, std::ios::binary) << text;
  }
  String Read() const {
    std::ifstream in(path_, std::ios::binary);
    return String((std::istreambuf_iterator<char>(in)),
                  std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};
