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
  TKeyHandle parent;
  if (RegOpenKeyExA(software, kParent, 0, KEY_READ, parent.out()) !=
      ERROR_SUCCESS)
    return;
  std::vector<String> stale;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(parent.get(), i, name, &len, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    DWORD pid = std::strtoul(name, nullptr, 10);
    const THandle process(
        pid ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)
            : nullptr);
    DWORD exitCode = 0;
    bool running = process && GetExitCodeProcess(process.get(), &exitCode) &&
                   exitCode == STILL_ACTIVE;
    if (!running || pid == GetCurrentProcessId()) stale.emplace_back(name);
  }
  parent.reset();
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
                         realSoftware_.out());
  if (r == ERROR_SUCCESS) {
    RemoveStaleSandboxes(realSoftware_.get());
    r = RegCreateKeyExA(realSoftware_.get(), scratch.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        scratch_.out(), nullptr);
  }
  if (r == ERROR_SUCCESS)
    r = RegOverridePredefKey(HKEY_CURRENT_USER, scratch_.get());
  if (r != ERROR_SUCCESS) {
    if (scratch_) {
      scratch_.reset();
      RegDeleteTreeA(realSoftware_.get(), scratch.c_str());
    }
    realSoftware_.reset();
    active = false;
    throw std::runtime_error("cannot sandbox HKEY_CURRENT_USER: error " +
                             std::to_string(r));
  }
}

TRegistrySandbox::~TRegistrySandbox() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  scratch_.reset();
  RegDeleteTreeA(realSoftware_.get(), path_.substr(kSoftwareLen).c_str());
  // Fails while another process's sandbox lives there, as it should.
  RegDeleteKeyA(realSoftware_.get(), kParent);
  realSoftware_.reset();
  active = false;
}

bool TRegistrySandbox::RealKeyExists(const String& key) const {
  if (key.size() <= kSoftwareLen ||
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, key.c_str(),
                     static_cast<int>(kSoftwareLen), kSoftware,
                     static_cast<int>(kSoftwareLen)) != CSTR_EQUAL)
    throw std::invalid_argument("only keys under Software can be looked up");
  TKeyHandle opened;
  LONG r = RegOpenKeyExA(realSoftware_.get(), key.substr(kSoftwareLen).c_str(),
                         0, KEY_READ, opened.out());
  return r == ERROR_SUCCESS;
}
