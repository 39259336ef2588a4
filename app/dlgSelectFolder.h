// The select-folder dialog behind a place's ellipsis button: "Clear Entry",
// "Custom Place" (an existing folder, typed or browsed) or one of up to
// fifteen special folders, offered by a bit mask.
#pragma once

#include <memory>

#include "Classes.h"
#include "Forms.h"
#include "System.h"

class TcxButton;
class TcxButtonEdit;
class TcxComboBox;
class TcxShellBrowserDialog;

// Every special folder; the Office dialogs know only five of them.
constexpr Word kAllSpecialFolders = 0x7FFF;
constexpr Word kOfficeSpecialFolders = 0x7018;
// What the choice of place says while nothing is chosen.
inline constexpr const char* kSelectPlaceText = "Select Place";

// The entries, in the order they are offered: the caption, the CSIDL (-1
// for the first two) and the mask bit that offers the entry (-1: always).
struct TFolderEntry {
  const char* Caption;
  Integer FolderId;
  Integer MaskBit;
};
extern const TFolderEntry kFolderEntries[17];

// The captions offered under Mask, in order.
TStringList* NewFolderEntries(Word Mask);

class TdlgSelectFolder : public TForm {
  VARNEL_CLASS(TdlgSelectFolder, TForm)
 public:
  // --- Construction ---
  explicit TdlgSelectFolder(TComponent* AOwner) : TForm(AOwner) {}
  ~TdlgSelectFolder() override;
  static TdlgSelectFolder* Create(TComponent* AOwner);

  // --- Properties ---
  Word FolderMask() const { return folderMask_; }
  void SetFolderMask(Word Mask);
  TStrings* Entries() const { return entries_.get(); }

  // --- Methods ---
  void FillFolderList();
  // -1 for "Clear Entry", "Custom Place" or no choice.
  Integer GetSelectedFolderId();
  void SetSelectedFolderId(Integer FolderId);
  String GetPlaceText();
  void SetPlaceText(const String& Text);
  bool IsClearEntry();
  String GetCustomPath();
  void SetCustomPath(const String& Path);
  void UpdateControls();

  // --- Event handlers ---
  void cbFldSelectPropertiesChange(TObject* Sender);
  void edtCustomPlacePropertiesChange(TObject* Sender);
  void edtCustomPlacePropertiesButtonClick(TObject* Sender,
                                           Integer AButtonIndex);

  // --- Components ---
  // The folder choice: a fixed list of the offered entries.
  TcxComboBox* cbFldSelect = nullptr;
  TcxButtonEdit* edtCustomPlace = nullptr;
  TcxButton* btnOk = nullptr;
  TcxButton* btnCancel = nullptr;
  TcxShellBrowserDialog* ShellBrowseDld = nullptr;

 protected:
  void Loaded() override;

 private:
  Word folderMask_ = kAllSpecialFolders;
  std::unique_ptr<TStringList> entries_;
  bool updating_ = false;
};
