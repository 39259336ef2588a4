// The folder browse dialog component: holds the settings, and Execute shows
// the browse form modally and returns the chosen folder's path.
#pragma once

#include "cxShellBrowser.h"
#include "cxShellDlgs.h"

class TcxCustomShellBrowserDialog : public TComponent {
  VARNEL_CLASS(TcxCustomShellBrowserDialog, TComponent)
 public:
  explicit TcxCustomShellBrowserDialog(TComponent* AOwner);
  ~TcxCustomShellBrowserDialog() override;

  // True when the user chose OK; Path then holds the folder's file-system
  // path (empty for a virtual folder). Path is left alone otherwise.
  bool Execute();

  const String& FolderLabelCaption() const { return folderLabelCaption_; }
  void SetFolderLabelCaption(const String& Value) {
    folderLabelCaption_ = Value;
  }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value) { lookAndFeel_->Assign(Value); }
  TcxDlgShellOptions* Options() const { return options_.get(); }
  const String& Path() const { return path_; }
  void SetPath(const String& Value) { path_ = Value; }
  TcxDlgShellRoot* Root() const { return root_.get(); }
  bool ShowButtons = true;
  bool ShowInfoTips = false;
  bool ShowLines = true;
  bool ShowRoot = true;
  const String& Title() const { return title_; }
  void SetTitle(const String& Value) { title_ = Value; }

 protected:
  // The form Execute shows; a descendant may return another.
  virtual TObjectPtr<TcxShellBrowserDlg> CreateForm();

 private:
  String folderLabelCaption_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  TObjectPtr<TcxDlgShellOptions> options_;
  String path_;
  TObjectPtr<TcxDlgShellRoot> root_;
  String title_;
};

class TcxShellBrowserDialog : public TcxCustomShellBrowserDialog {
  VARNEL_CLASS(TcxShellBrowserDialog, TcxCustomShellBrowserDialog)
 public:
  explicit TcxShellBrowserDialog(TComponent* AOwner)
      : TcxCustomShellBrowserDialog(AOwner) {}
};
