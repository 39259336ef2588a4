// The system clipboard: text, and graphics assigned to or from it.
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include <optional>

#include "Graphics.h"
#include "Handles.h"
#include "Messages.h"

VARNEL_EXCEPTION(EClipboardException, Exception)

class TClipboard : public TPersistent {
  VARNEL_CLASS(TClipboard, TPersistent)
 public:
  TClipboard();
  ~TClipboard() override;

  // Opening nests: the clipboard closes with the last Close. Raises
  // EClipboardException when another program keeps it open.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT Format) const;
  Integer FormatCount() const;
  UINT Formats(Integer Index) const;

  // Empty when the clipboard holds no text.
  String AsText();
  void SetAsText(const String& Value);

  // Puts a copy of a bitmap, metafile or picture on the clipboard; other
  // sources raise the usual assignment error.
  void Assign(TPersistent* Source) override;

 protected:
  // Copies the clipboard's image into a bitmap, metafile or picture.
  void AssignTo(TPersistent* Dest) override;

 private:
  // Puts Size bytes on the clipboard as Format (the clipboard is open).
  void SetBuffer(UINT Format, const void* Data, std::size_t Size);
  void AssignGraphic(TGraphic* Graphic);
  void AssignToBitmap(TBitmap* Dest);
  void AssignToMetafile(TMetafile* Dest);
  void WindowProc(TMessage& Message);
  // Open() now, Close() at scope exit.
  auto OpenScope() {
    return MakeBracket(this, &TClipboard::Open, &TClipboard::Close);
  }

  HWND window_ = nullptr;
  std::optional<TClipboardOpen> open_;
  Integer openRefCount_ = 0;
  bool emptied_ = false;
};

// The program's clipboard object, made on first use.
TClipboard* Clipboard();
