// The settings of the folder browse dialog: the options and the root that
// it copies into its form's shell tree at every call.
#pragma once

#include "cxShellCommon.h"

class TcxDlgShellOptions : public TPersistent {
  VARNEL_CLASS(TcxDlgShellOptions, TPersistent)
 public:
  TcxDlgShellOptions() = default;
  bool ContextMenus = true;
  bool ShowFolders = true;
  bool ShowHidden = false;
  bool ShowNonFolders = false;
  bool ShowToolTip = true;
  bool TrackShellChanges = true;
};

class TcxDlgShellRoot : public TPersistent {
  VARNEL_CLASS(TcxDlgShellRoot, TPersistent)
 public:
  TcxDlgShellRoot() = default;
  TcxBrowseFolder BrowseFolder = bfDesktop;
  String CustomPath;
};
