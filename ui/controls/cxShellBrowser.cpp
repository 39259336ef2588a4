// The folder browse form; see the header.
#include "cxShellBrowser.h"

#include <shlwapi.h>

#include "cxClasses.h"
#include "cxEditConsts.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// The scroll bar's size box, right-aligned.
constexpr int kSizeBoxPart = 10;
constexpr int kSizeBoxRightAlign = 1;

}  // namespace

TcxShellBrowserDlg::TcxShellBrowserDlg(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Browse for Folder");
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poScreenCenter);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetClientSize(TSize{308, 358});
  Constraints()->SetMinWidth(250);
  Constraints()->SetMinHeight(300);
  SetPopupMode(pmAuto);

  lblFolder = new TLabel(this);
  lblFolder->SetParent(this);
  lblFolder->SetBounds(12, 8, 80, 13);
  lblFolder->SetCaption("Current Folder");

  cxTeFolder = new TcxTextEdit(this);
  cxTeFolder->SetParent(this);
  cxTeFolder->SetBounds(12, 24, 284, 21);
  // One line of text: the field widens with the form but keeps its height.
  cxTeFolder->SetAnchors(TAnchors{akLeft, akTop, akRight});
  cxTeFolder->Properties()->SetReadOnly(true);
  cxTeFolder->GetStyle()->SetColor(clWindow);
  cxTeFolder->SetTabOrder(1);

  cxStv = new TcxShellTreeView(this);
  cxStv->SetParent(this);
  cxStv->SetBounds(12, 56, 284, 261);
  cxStv->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  cxStv->SetHideSelection(false);
  cxStv->SetIndent(19);
  cxStv->Options()->SetShowNonFolders(false);
  cxStv->SetTabOrder(0);
  cxStv->OnChange = TTVChangedEvent(this, &TcxShellBrowserDlg::cxStvChange);

  cxButton1 = new TcxButton(this);
  cxButton1->SetParent(this);
  cxButton1->SetBounds(139, 323, 75, 25);
  cxButton1->SetAnchors(TAnchors{akRight, akBottom});
  cxButton1->SetDefault(true);
  cxButton1->SetModalResult(mrOk);
  cxButton1->SetTabOrder(2);

  cxButton2 = new TcxButton(this);
  cxButton2->SetParent(this);
  cxButton2->SetBounds(219, 323, 75, 25);
  cxButton2->SetAnchors(TAnchors{akRight, akBottom});
  cxButton2->SetCancel(true);
  cxButton2->SetModalResult(mrCancel);
  cxButton2->SetTabOrder(3);

  SetActiveControl(cxStv->InnerTreeView());
  OnPaint = TNotifyEvent(this, &TcxShellBrowserDlg::FormPaint);
  OnResize = TNotifyEvent(this, &TcxShellBrowserDlg::FormResize);
  FormCreate(this);

  // The tree's window now, so that its root is resolved and its first level
  // loaded before the caller's settings arrive.
  cxStv->InnerTreeView()->HandleNeeded();
  cxStv->SetIndent(19);

  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  cxStv->GetStyle()->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  cxTeFolder->GetStyle()->LookAndFeel()->SetMasterLookAndFeel(
      lookAndFeel_.get());
  cxButton1->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  cxButton2->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());

  cxButton1->SetCaption(cxGetResourceString(cxSEditButtonOK));
  cxButton2->SetCaption(cxGetResourceString(cxSEditButtonCancel));
}

TcxShellBrowserDlg::~TcxShellBrowserDlg() {
  if (cxStv) cxStv->GetStyle()->LookAndFeel()->SetMasterLookAndFeel(nullptr);
  if (cxTeFolder) {
    cxTeFolder->GetStyle()->LookAndFeel()->SetMasterLookAndFeel(nullptr);
  }
  if (cxButton1) cxButton1->LookAndFeel()->SetMasterLookAndFeel(nullptr);
  if (cxButton2) cxButton2->LookAndFeel()->SetMasterLookAndFeel(nullptr);
}

void TcxShellBrowserDlg::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
}

void TcxShellBrowserDlg::CreateWnd() {
  TForm::CreateWnd();
  ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, 0);
}

void TcxShellBrowserDlg::FormCreate(TObject*) {
  sizeGripSize_ =
      TSize{::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)};
}

void TcxShellBrowserDlg::FormResize(TObject*) {
  UpdateFolderField();
  const TRect client = GetClientRect();
  sizeGripRect_ =
      TRect{client.Right - sizeGripSize_.cx, client.Bottom - sizeGripSize_.cy,
            client.Right, client.Bottom};
  if (HandleAllocated()) Invalidate();
}

void TcxShellBrowserDlg::FormPaint(TObject*) {
  if (!Canvas()) return;
  HDC dc = Canvas()->Handle();
  RECT r{sizeGripRect_.Left, sizeGripRect_.Top, sizeGripRect_.Right,
         sizeGripRect_.Bottom};
  if (lookAndFeel_ && lookAndFeel_->NativeStyle() &&
      AreVisualStylesAvailable(totScrollBar)) {
    if (HTHEME theme = OpenTheme(totScrollBar)) {
      DrawThemeBackground(theme, dc, kSizeBoxPart, kSizeBoxRightAlign, &r,
                          nullptr);
      return;
    }
  }
  ::DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TcxShellBrowserDlg::cxStvChange(TObject*, TTreeNode*) {
  UpdateFolderField();
}

void TcxShellBrowserDlg::UpdateFolderField() {
  if (!cxTeFolder || !cxStv) return;
  String path = cxStv->Path();
  if (!path.empty() && Canvas() && HandleAllocated()) {
    char buffer[MAX_PATH + 1] = {};
    path.copy(buffer, MAX_PATH);
    ::PathCompactPathA(Canvas()->Handle(), buffer,
                       static_cast<UINT>(cxTeFolder->Width()));
    path = buffer;
  }
  cxTeFolder->SetEditValue(Variant(path));
}

void TcxShellBrowserDlg::Dispatch(TMessage& Message) {
  TForm::Dispatch(Message);
  if (Message.Msg != WM_NCHITTEST) return;
  POINT p{static_cast<short>(LOWORD(Message.LParam)),
          static_cast<short>(HIWORD(Message.LParam))};
  ::ScreenToClient(Handle(), &p);
  if (p.x >= sizeGripRect_.Left && p.x < sizeGripRect_.Right &&
      p.y >= sizeGripRect_.Top && p.y < sizeGripRect_.Bottom) {
    Message.Result = HTBOTTOMRIGHT;
  }
}
