// The small progress window of slow crash work (walking stacks, completing
// report sections, sending). The work is split into weighted stages; the
// worker reports a per-mille position inside the current stage, from any
// thread, and the window shows one bar over all stages. The user cannot
// close it.
#pragma once

#include <windows.h>

#include <vector>

#include "System.h"

class IProgressAlert : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E60,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x20}};
  virtual String GetCaption() = 0;
  virtual void SetCaption(const String& caption) = 0;
  virtual Integer GetProgress() = 0;
  virtual void SetProgress(Integer perMille) = 0;
  // An empty text repeats the last stage's text.
  virtual void AddStage(const String& text, Int64 weight) = 0;
  virtual void ClearStages() = 0;
  virtual void StageDone() = 0;
  virtual Integer GetCurrentStage() = 0;
  // The number of stages means "all done": the last stage, bar full.
  virtual void SetCurrentStage(Integer index) = 0;
  // Dispatches what waits for the window's thread (only on that thread).
  virtual void PumpMessages() = 0;
  // False, doing nothing, when already open.
  virtual bool Open(HWND parent, bool activate) = 0;
  virtual void Dismiss() = 0;

 protected:
  ~IProgressAlert() = default;
};
using PProgressAlert = TIntfPtr<IProgressAlert>;

struct TProgressStage {
  Int64 start;
  Int64 weight;
  String text;
};

class TIProgressAlert : public TInterfacedObject, public IProgressAlert {
  VARNEL_CLASS(TIProgressAlert, TInterfacedObject)
 public:
  TIProgressAlert(const String& caption, HMODULE iconModule,
                  const String& iconName);
  ~TIProgressAlert() override;
  TIProgressAlert(const TIProgressAlert&) = delete;
  TIProgressAlert& operator=(const TIProgressAlert&) = delete;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }

  String GetCaption() override { return caption_; }
  void SetCaption(const String& caption) override;
  Integer GetProgress() override { return progress_; }
  void SetProgress(Integer perMille) override;
  void AddStage(const String& text, Int64 weight) override;
  void ClearStages() override;
  void StageDone() override;
  Integer GetCurrentStage() override { return current_; }
  void SetCurrentStage(Integer index) override;
  void PumpMessages() override;
  bool Open(HWND parent, bool activate) override;
  void Dismiss() override;

  // The bar position, 0..1000, of the last SetProgress.
  Integer BarPosition() const { return position_; }
  HWND Window() const { return window_; }
  HWND Label() const { return label_; }
  HWND Bar() const { return bar_; }
  HWND IconButton() const { return iconButton_; }
  const std::vector<TProgressStage>& Stages() const { return stages_; }

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

 private:
  static LRESULT CALLBACK ProgressWndProc(HWND wnd, UINT msg, WPARAM wParam,
                                          LPARAM lParam);

  HWND parent_ = nullptr;
  String caption_;
  HDC measureDc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  HWND window_ = nullptr;
  HWND iconButton_ = nullptr;
  HWND label_ = nullptr;
  HWND bar_ = nullptr;
  std::vector<TProgressStage> stages_;
  Int64 totalWeight_ = 0;
  Integer current_ = 0;
  Integer progress_ = 0;
  Integer position_ = 0;
  HMODULE iconModule_;
  String iconName_;
};

PProgressAlert CreateProgressWindow(const String& caption, HMODULE iconModule,
                                    const String& iconName);

// The overall bar position for a stage and a per-mille position in it; 0
// without stages or weight.
Integer ProgressBarPosition(const std::vector<TProgressStage>& stages,
                            Int64 totalWeight, Integer stage, Integer perMille);

// Draws an n x n 32-bit bitmap resource with alpha, blended over the
// button-face colour, at 0, 0; false when the resource has another size.
bool DrawBlendedBitmapResource(HMODULE module, const String& name, HDC dc,
                               Integer size);
