// The folder browse form: a path field, the shell tree and OK and Cancel,
// with a size grip in the bottom-right corner.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"
#include "cxButtons.h"
#include "cxLookAndFeels.h"
#include "cxShellTreeView.h"
#include "cxTextEdit.h"

class TcxShellBrowserDlg : public TForm {
  VARNEL_CLASS(TcxShellBrowserDlg, TForm)
 public:
  // --- Construction ---
  explicit TcxShellBrowserDlg(TComponent* AOwner);
  ~TcxShellBrowserDlg() override;

  // --- Properties ---
  String Folder() { return cxStv->Path(); }
  void SetFolder(const String& Value) { cxStv->SetPath(Value); }
  String FolderCaption() { return lblFolder->Caption(); }
  void SetFolderCaption(const String& Value) { lblFolder->SetCaption(Value); }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value) { lookAndFeel_->Assign(Value); }
  TcxShellTreeRoot* Root() const { return cxStv->Root(); }
  TcxShellTreeViewOptions* ShellOptions() const { return cxStv->Options(); }
  bool ShButtons() const { return cxStv->ShowButtons(); }
  void SetShButtons(bool Value) { cxStv->SetShowButtons(Value); }
  bool ShInfoTips() const { return cxStv->ShowInfoTips(); }
  void SetShInfoTips(bool Value) { cxStv->SetShowInfoTips(Value); }
  bool ShShowLines() const { return cxStv->ShowLines(); }
  void SetShShowLines(bool Value) { cxStv->SetShowLines(Value); }
  bool ShShowRoot() const { return cxStv->ShowRoot(); }
  void SetShShowRoot(bool Value) { cxStv->SetShowRoot(Value); }
  const TRect& SizeGripRect() const { return sizeGripRect_; }

  // --- Components ---
  TLabel* lblFolder;
  TcxTextEdit* cxTeFolder;
  TcxShellTreeView* cxStv;
  TcxButton* cxButton1;
  TcxButton* cxButton2;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  void FormCreate(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FormResize(TObject* Sender);
  void cxStvChange(TObject* Sender, TTreeNode* Node);
  void UpdateFolderField();

  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  TSize sizeGripSize_{};
  TRect sizeGripRect_{};
};
