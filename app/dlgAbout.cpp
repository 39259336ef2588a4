#include "dlgAbout.h"

#include <windows.h>

#include "SysUtils.h"
#include "TypInfo.h"
#include "Ucommon.h"
#include "_gxGraidentEx.h"
#include "cxButtons.h"
#include "cxLabel.h"
#include "uFormHelpers.h"

namespace {

const char kAcknowledgement[] =
    "Varnel is built on its own component library: look-and-feel painting, "
    "editors, a page control, shell folder controls, a list view and a bar "
    "manager with menus and toolbars.";
const char kLegalNotice[] =
    "Warning: this program is protected by copyright law. Unauthorized "
    "reproduction or distribution of this program, or any portion of it, "
    "may result in severe civil and criminal penalties.";

}  // namespace

TdlgAbout* TdlgAbout::Create(TComponent* AOwner) {
  return NewForm<TdlgAbout>(AOwner);
}

void TdlgAbout::Loaded() {
  inherited::Loaded();
  cxLabel1 = FindChild<TcxLabel>(this, "cxLabel1");
  cxLabel2 = FindChild<TcxLabel>(this, "cxLabel2");
  cxLabel3 = FindChild<TcxLabel>(this, "cxLabel3");
  cxLabel4 = FindChild<TcxLabel>(this, "cxLabel4");
  lblFileVer = FindChild<TcxLabel>(this, "lblFileVer");
  cxButton1 = FindChild<TcxButton>(this, "cxButton1");

  TcxLabelProperties* name = cxLabel1->Properties();
  name->SetLabelStyle(cxlsRaised);
  name->SetLabelEffect(cxleFun);
  name->SetDepth(9);
  name->SetOrientation(cxoLeftBottom);
  name->SetPenWidth(4);
  name->SetShadowedColor(static_cast<TColor>(8287626));
  name->Alignment()->SetHorz(taCenter);
  name->Alignment()->SetVert(taVCenter);
  TFont* font = cxLabel1->Style()->Font();
  font->SetName("Times New Roman");
  font->SetHeight(-48);
  font->SetStyle(TFontStyles{fsBold, fsItalic});
  cxLabel1->Style()->SetTextColor(clMaroon);
  cxLabel1->SetTransparent(true);
  cxLabel1->SetCaption("Varnel");

  lblFileVer->Properties()->Alignment()->SetHorz(taRightJustify);
  lblFileVer->SetTransparent(true);
  lblFileVer->SetCaption("File Version: " + GetFileVersion(ProgramFileName()));

  cxLabel2->Properties()->SetWordWrap(true);
  cxLabel2->SetTransparent(true);
  cxLabel2->SetCaption(kAcknowledgement);
  cxLabel3->Properties()->SetWordWrap(true);
  cxLabel3->Style()->SetBorderStyle(cbsOffice11);
  cxLabel3->SetCaption(kLegalNotice);
  cxLabel4->SetTransparent(true);
  cxLabel4->SetCaption("");

  OnPaint = TNotifyEvent(this, &TdlgAbout::FormPaint);
  OnShow = TNotifyEvent(this, &TdlgAbout::FormShow);
  cxButton1->SetModalResult(mrCancel);
  cxButton1->OnClick = TNotifyEvent(this, &TdlgAbout::cxButton1Click);
}

void TdlgAbout::FormPaint(TObject*) {
  TgxGraidentEx gradient;
  try {
    gradient.SetWidth(ClientWidth());
    gradient.SetHeight(ClientHeight());
    TBitmap* bitmap = gradient.GetBitmap();
    ::BitBlt(Canvas()->Handle(), 0, 0, ClientWidth(), ClientHeight(),
             bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  } catch (const Exception&) {
    Canvas()->Brush()->SetColor(clMenu);
    Canvas()->FillRect(ClientRect());
  }
}

void TdlgAbout::FormShow(TObject*) {}

void TdlgAbout::cxButton1Click(TObject*) { SetModalResult(mrCancel); }

namespace {
void dlgAboutStartup() { RegisterClasses({TdlgAbout::StaticClass()}); }
}  // namespace

VARNEL_UNIT(dlgAbout, ({"Forms", "cxLabel", "cxButtons"}), &dlgAboutStartup,
            nullptr);
