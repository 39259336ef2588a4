// The system's common file dialogs: open and save a file, and the picture
// versions the image editor uses (filtered to the registered graphic file
// formats).
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include "Controls.h"

enum TOpenOption : Byte {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing,
  ofDontAddToRecent,
  ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

using TCloseQueryEvent = TClosure<void(TObject* Sender, bool& CanClose)>;

class TCommonDialog : public TComponent {
  VARNEL_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

  // Runs the dialog modally; true when the user accepted it.
  virtual bool Execute() = 0;
  // The dialog's window while it is open (null otherwise).
  HWND Handle() const { return handle_; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  virtual void DoShow();
  virtual void DoClose();
  // The window that owns the dialog: the active form, else the
  // application's.
  HWND OwnerWindow() const;
  HWND handle_ = nullptr;
};

class TOpenDialog : public TCommonDialog {
  VARNEL_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  bool Execute() override;

  // "Description|*.ext;*.ex2|All files|*.*"
  const String& Filter() const { return filter_; }
  void SetFilter(const String& Value) { filter_ = Value; }
  // 1-based, as the dialog counts.
  Integer FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(Integer Value) { filterIndex_ = Value; }
  const String& FileName() const { return fileName_; }
  void SetFileName(const String& Value) { fileName_ = Value; }
  // Every file chosen (one unless ofAllowMultiSelect), full paths.
  TStrings* Files() const { return files_.get(); }
  const String& InitialDir() const { return initialDir_; }
  void SetInitialDir(const String& Value) { initialDir_ = Value; }
  const String& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const String& Value) { defaultExt_ = Value; }
  const String& Title() const { return title_; }
  void SetTitle(const String& Value) { title_ = Value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions Value) { options_ = Value; }

  // Asked before the dialog closes with a file; false keeps it open.
  TCloseQueryEvent OnCanClose;

  // The buffer handed to the dialog for the names chosen.
  static constexpr std::size_t kNameBufferSize = 32768;

 protected:
  // Runs the given dialog function with the properties; true when the
  // user accepted, with FileName, Files, FilterIndex and Options updated.
  bool DoExecute(BOOL(WINAPI* Func)(LPOPENFILENAMEA));
  virtual bool CanClose();

 private:
  static UINT_PTR CALLBACK HookProc(HWND Wnd, UINT Msg, WPARAM WParam,
                                    LPARAM LParam);
  String filter_;
  Integer filterIndex_ = 1;
  String fileName_;
  TObjectPtr<TStringList> files_;
  String initialDir_;
  String defaultExt_;
  String title_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  VARNEL_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override;
};

// Open and save dialogs whose filter lists the graphic file formats.
class TOpenPictureDialog : public TOpenDialog {
  VARNEL_CLASS(TOpenPictureDialog, TOpenDialog)
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TOpenPictureDialog {
  VARNEL_CLASS(TSavePictureDialog, TOpenPictureDialog)
 public:
  explicit TSavePictureDialog(TComponent* AOwner)
      : TOpenPictureDialog(AOwner) {}
  bool Execute() override;
};

// "Text|*.txt|All|*.*" as the dialog wants it: NUL between the parts and
// two at the end. Empty stays empty.
String FilterToDialog(const String& Filter);
// The names a multi-select dialog returns ("dir\0a\0b\0\0", or one full
// path) as full paths.
void ParseDialogFiles(const char* Buffer, std::size_t Size, TStrings* Files);
