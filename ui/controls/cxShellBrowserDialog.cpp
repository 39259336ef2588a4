// The folder browse dialog component; see the header.
#include "cxShellBrowserDialog.h"

#include "ScopeGuard.h"

TcxCustomShellBrowserDialog::TcxCustomShellBrowserDialog(TComponent* AOwner)
    : TComponent(AOwner),
      lookAndFeel_(std::make_unique<TcxLookAndFeel>(this)),
      options_(new TcxDlgShellOptions),
      root_(new TcxDlgShellRoot) {}

TcxCustomShellBrowserDialog::~TcxCustomShellBrowserDialog() = default;

TObjectPtr<TcxShellBrowserDlg> TcxCustomShellBrowserDialog::CreateForm() {
  return TObjectPtr<TcxShellBrowserDlg>(new TcxShellBrowserDlg(Application));
}

bool TcxCustomShellBrowserDialog::Execute() {
  const TCursor savedCursor = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  TScopeGuard restoreCursor([savedCursor] { Screen->SetCursor(savedCursor); });
  TObjectPtr<TcxShellBrowserDlg> form = CreateForm();
  if (!title_.empty()) form->SetCaption(title_);
  if (!folderLabelCaption_.empty()) form->SetFolderCaption(folderLabelCaption_);
  TcxShellTreeViewOptions* options = form->ShellOptions();
  options->SetShowFolders(options_->ShowFolders);
  options->SetShowToolTip(options_->ShowToolTip);
  options->TrackShellChanges = options_->TrackShellChanges;
  options->ContextMenus = options_->ContextMenus;
  options->SetShowNonFolders(options_->ShowNonFolders);
  options->SetShowHidden(options_->ShowHidden);
  form->Root()->SetBrowseFolder(root_->BrowseFolder);
  form->Root()->SetCustomPath(AnsiToWide(root_->CustomPath));
  form->SetShButtons(ShowButtons);
  form->SetShInfoTips(ShowInfoTips);
  form->SetShShowLines(ShowLines);
  form->SetShShowRoot(ShowRoot);
  form->SetFolder(path_);
  form->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  TScopeGuard unlink(
      [&form] { form->LookAndFeel()->SetMasterLookAndFeel(nullptr); });
  if (form->ShowModal() != mrOk) return false;
  path_ = form->Folder();
  return true;
}
