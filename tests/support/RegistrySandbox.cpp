#include "RegistrySandbox.h"

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

std::atomic<bool> active{false};
std::atomic<int> counter{0};

constexpr const char kSoftware[] = "Software\\";
constexpr std::size_t kSoftwareLen = sizeof kSoftware - 1;
constexpr const char* kParent = "VarnelTest";  // under Software

// Removes the scratch keys of test processes that ended without cleaning up
// (a crash skips the destructor), and earlier ones of this process id: only
// one sandbox per process lives at a time. Keys of running processes stay.
void RemoveStaleSandboxes(HKEY software) {
  HKEY parent = nullptr;
  if (RegOpenKeyExA(software, kParent, 0, KEY_READ, &parent) != ERROR_SUCCESS)
    return;
  std::vector<String> stale;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(parent, i, name, &len, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    DWORD pid = std::strtoul(name, nullptr, 10);
    HANDLE process =
        pid ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)
            : nullptr;
    DWORD exitCode = 0;
    bool running = process && GetExitCodeProcess(process, &exitCode) &&
                   exitCode == STILL_ACTIVE;
    if (process) CloseHandle(process);
    if (!running || pid == GetCurrentProcessId()) stale.emplace_back(name);
  }
  RegCloseKey(parent);
  for (const String& key : stale)
    RegDeleteTreeA(software, (String(kParent) + "\\" + key).c_str());
}

}  // namespace

TRegistrySandbox::TRegistrySandbox() {
  if (active.exchange(true))
    throw std::logic_error("a registry sandbox is already active");
  String scratch = String(kParent) + "\\" +
                   std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++counter);
  path_ = kSoftware + scratch;
  // A handle to a subkey opened now keeps naming the real hive after the
  // redirection (a handle to the hive's root may be the redirected one).
  LONG r = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS,
                         &realSoftware_);
  if (r == ERROR_SUCCESS) {
    RemoveStaleSandboxes(realSoftware_);
    r = RegCreateKeyExA(realSoftware_, scratch.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &scratch_, nullptr);
  }
  if (r == ERROR_SUCCESS) r = RegOverridePredefKey(HKEY_CURRENT_USER, scratch_);
  if (r != ERROR_SUCCESS) {
    if (scratch_) {
      RegCloseKey(scratch_);
      RegDeleteTreeA(realSoftware_, scratch.c_str());
    }
    if (realSoftware_) RegCloseKey(realSoftware_);
    active = false;
    throw std::runtime_error("cannot sandbox HKEY_CURRENT_USER: error " +
                             std::to_string(r));
  }
}

TRegistrySandbox::~TRegistrySandbox() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(scratch_);
  RegDeleteTreeA(realSoftware_, path_.substr(kSoftwareLen).c_str());
  // Fails while another process's sandbox lives there, as it should.
  RegDeleteKeyA(realSoftware_, kParent);
  RegCloseKey(realSoftware_);
  active = false;
}

bool TRegistrySandbox::RealKeyExists(const String& key) const {
  if (key.size() <= kSoftwareLen ||
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, key.c_str(),
                     static_cast<int>(kSoftwareLen), kSoftware,
                     static_cast<int>(kSoftwareLen)) != CSTR_EQUAL)
    throw std::invalid_argument("only keys under Software can be looked up");
  HKEY opened = nullptr;
  LONG r = RegOpenKeyExA(realSoftware_, key.substr(kSoftwareLen).c_str(), 0,
                         KEY_READ, &opened);
  if (r == ERROR_SUCCESS) RegCloseKey(opened);
  return r == ERROR_SUCCESS;
}
