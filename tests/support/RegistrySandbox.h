// Keeps tests away from the user's registry: while a sandbox lives,
// HKEY_CURRENT_USER of this process is a scratch key, and the scratch key is
// deleted when the sandbox ends.
#pragma once

#include <windows.h>

#include "Handles.h"
#include "System.h"

class TRegistrySandbox {
 public:
  // Creates HKCU\Software\VarnelTest\<process id>-<n> and points the
  // process's HKEY_CURRENT_USER at it. Raises std::runtime_error when that
  // fails and std::logic_error when another sandbox is active, so that no
  // test runs against the real hive by accident.
  TRegistrySandbox();
  ~TRegistrySandbox();
  TRegistrySandbox(const TRegistrySandbox&) = delete;
  TRegistrySandbox& operator=(const TRegistrySandbox&) = delete;

  // The scratch key's path under the real HKEY_CURRENT_USER.
  const String& ScratchPath() const { return path_; }

  // True when key, a path under the real HKEY_CURRENT_USER that starts with
  // "Software\\", exists there, looked up past the redirection.
  bool RealKeyExists(const String& key) const;

 private:
  TKeyHandle realSoftware_;  // the real HKCU\Software
  TKeyHandle scratch_;
  String path_;
};
