// The path routines of the shell controls: classifying a typed path and
// turning it into an absolute PIDL below a control's root, and the table of
// the system's special folders that lets their display names resolve.
#pragma once

#include "cxShellCommon.h"

enum TcxShellViewOption : Byte { svoShowFiles, svoShowFolders, svoShowHidden };
using TcxShellViewOptions = TSet<TcxShellViewOption>;

enum TcxShellObjectPathType : Byte {
  sptAbsolutePhysical,
  sptIncorrect,
  sptInternalAbsoluteVirtual,
  sptInternalRelativeVirtual,
  sptRelativePhysical,
  sptUNC,
  sptVirtual
};

// The markers of an internal virtual path: names from the desktop, or from
// the control's root.
inline constexpr char kcxShellAbsoluteVirtualPathMarker[] =
    "::{9C211B58-E6F1-456A-9F22-7B3B418A7BB1}";
inline constexpr char kcxShellRelativeVirtualPathMarker[] =
    "::{63BE9ADB-E4B5-4623-96AA-57440B4EF5A8}";

// With AAsPath the file-system path (or the in-folder names joined by "\"
// when there is none); otherwise the plain display name of the last id.
String GetPIDLDisplayName(PItemIDList APidl, bool AAsPath);
// Classifies APath; completes a root- or drive-relative one from
// ACurrentPath, which must begin with a drive letter, ":" and "\".
TcxShellObjectPathType CheckShellObjectPath(String& APath,
                                            const String& ACurrentPath,
                                            bool AAdapt);
bool CheckViewOptions(TcxShellViewOptions AViewOptions, ULONG AAttributes);
// A PIDL relative to AFolder, or none.
PItemIDList InternalParseDisplayName(IShellFolder* AFolder,
                                     const WideString& AName,
                                     TcxShellViewOptions AViewOptions);
// A new absolute PIDL, or none. With ACheckSubPath only a folder below the
// root (compared id by id) is returned.
PItemIDList PathToAbsolutePIDL(const String& APath, TcxCustomShellRoot* ARoot,
                               TcxShellViewOptions AViewOptions,
                               bool ACheckSubPath);
PItemIDList ShellObjectInternalVirtualPathToPIDL(
    const String& APath, TcxCustomShellRoot* ARoot,
    TcxShellViewOptions AViewOptions);
bool CheckShellObjectExistence(PItemIDList APidl);
// No PIDL stands for the root's (lent, not copied).
bool CheckAbsolutePIDL(PItemIDList& APidl, TcxCustomShellRoot* ARoot,
                       bool ACheckExistence, bool ACheckSubPath);

// The value an editor stores for a folder with a file-system path: with
// AStoreRelativePath and a folder at or below the root's folder, the path
// relative to the root ("" for the root itself); otherwise the whole path.
// Below means by whole path components, case-insensitively.
String cxShellPathToEditValue(const String& APath, const String& ARootPath,
                              bool AStoreRelativePath);
