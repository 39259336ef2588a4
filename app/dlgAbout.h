// The about box: the program's name in raised letters and its file version
// over a gradient background.
#pragma once

#include "Forms.h"
#include "System.h"

class TcxButton;
class TcxLabel;

class TdlgAbout : public TForm {
  VARNEL_CLASS(TdlgAbout, TForm)
 public:
  // --- Construction ---
  explicit TdlgAbout(TComponent* AOwner) : TForm(AOwner) {}
  static TdlgAbout* Create(TComponent* AOwner);

  // --- Event handlers ---
  void FormPaint(TObject* Sender);
  void FormShow(TObject* Sender);
  void cxButton1Click(TObject* Sender);

  // --- Components ---
  TcxLabel* cxLabel1 = nullptr;
  TcxLabel* cxLabel2 = nullptr;
  TcxLabel* cxLabel3 = nullptr;
  TcxLabel* cxLabel4 = nullptr;
  TcxLabel* lblFileVer = nullptr;
  TcxButton* cxButton1 = nullptr;

 protected:
  void Loaded() override;
};
