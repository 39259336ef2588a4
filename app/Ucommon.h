// Shared helpers of the places model and the application: names and paths of
// the system's special folders, clearing and deleting registry keys, and a
// file's version text. Key paths are relative to HKEY_CURRENT_USER.
#pragma once

#include "Classes.h"
#include "System.h"

// The name the program gives a special folder (a CSIDL number); "" for a
// folder it does not name.
String GetSpecialFolderName(Integer FolderId);

// The special folder's file-system path with a trailing backslash; "\" when
// the folder has no such path or the lookup fails. Raises EAbort (empty
// message) when the shell's allocator is unavailable.
String GetSpecialFolderPath(Integer FolderId);

// Deletes every value of Key. True when the key opened and no value is left.
// An empty path names no key and gives false.
bool DeleteAllValues(const String& Key);

// Deletes Key with all its subkeys and values, deepest first. True when the
// key is gone (also when it never existed); false when a registry error
// stopped the deletion or the key is still there. An empty path names no key
// and gives false.
bool DeleteKeyTree(const String& Key);

// The text from the last backslash on, the backslash included; the whole
// text when it has none.
String ExtractLastKeyName(const String& Key);

// The string at Index (the list's own index error when out of range).
String GetStringAt(TStrings* Strings, Integer Index);

// The "FileVersion" entry of the file's US-English, code page 1252 version
// block; "" when the file has no version information or no such entry,
// "Alpha" when reading it fails.
String GetFileVersion(const String& FileName);

// The full path of the running program's file.
String ProgramFileName();
