#include "dxThemeManager.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "Forms.h"

namespace {

struct TThemeCacheEntry {
  HTHEME Handle = nullptr;
  // The class the handle was opened with; empty until the first success.
  WideString ClassName;
};

class TdxThemeChangedEventReceiver : public TObject {
  VARNEL_CLASS(TdxThemeChangedEventReceiver, TObject)
 public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver() override;
  HWND Handle() const { return handle_; }

 private:
  void WndProc(TMessage& Message);
  HWND handle_ = nullptr;
};

std::array<TThemeCacheEntry, dxThemedObjectTypeCount> ThemeCache;
bool ThemeActive = false;
std::unique_ptr<TdxThemeChangedEventReceiver> Receiver;
std::unique_ptr<TList> Notificators;

const std::array<WideString, dxThemedObjectTypeCount> DefaultClassNames = {
    u"Button",   u"Clock",    u"ComboBox",   u"Edit",     u"ExplorerBar",
    u"Header",   u"ListBox",  u"ListView",   u"Menu",     u"Page",
    u"Progress", u"Rebar",    u"ScrollBar",  u"Spin",     u"StartPanel",
    u"Status",   u"Tab",      u"TaskBand",   u"TaskBar",  u"ToolBar",
    u"ToolTip",  u"TrackBar", u"TrayNotify", u"TreeView", u"Window"};

LPCWSTR Wide(const WideString& s) {
  return reinterpret_cast<LPCWSTR>(s.c_str());
}

bool SameClassName(const WideString& a, const WideString& b) {
  if (a.size() != b.size()) return false;
  WideString ua = a;
  WideString ub = b;
  if (!ua.empty()) {
    CharUpperBuffW(reinterpret_cast<LPWSTR>(ua.data()),
                   static_cast<DWORD>(ua.size()));
    CharUpperBuffW(reinterpret_cast<LPWSTR>(ub.data()),
                   static_cast<DWORD>(ub.size()));
  }
  return ua == ub;
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  handle_ =
      AllocateHWnd(TWndMethod(this, &TdxThemeChangedEventReceiver::WndProc));
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  ThemeActive = false;
  DeallocateHWnd(handle_);
}

void TdxThemeChangedEventReceiver::WndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED) {
    Message.Result =
        DefWindowProcW(handle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  CloseAllThemes();
  DefWindowProcW(handle_, Message.Msg, Message.WParam, Message.LParam);
  ThemeActive = IsThemeActive() != FALSE;
  Message.Result = 0;
  if (!Notificators) return;
  // A handler may free other subscribers (its own control, say): work on a
  // snapshot and skip the ones that have left the list meanwhile.
  std::vector<void*> snapshot;
  for (Integer i = 0; i < Notificators->Count(); ++i)
    snapshot.push_back(Notificators->Get(i));
  for (void* item : snapshot) {
    if (!Notificators || Notificators->IndexOf(item) < 0) continue;
    auto* n = static_cast<TdxThemeChangedNotificator*>(item);
    if (n->OnThemeChanged.Assigned()) n->OnThemeChanged();
  }
}

void dxThemeManagerStartup() {
  if (!IsThemeLibraryLoaded()) return;
  ThemeActive = IsThemeActive() != FALSE;
  Receiver = std::make_unique<TdxThemeChangedEventReceiver>();
  Notificators = std::make_unique<TList>();
}

void dxThemeManagerShutdown() {
  if (!IsThemeLibraryLoaded()) return;
  Receiver.reset();
  CloseAllThemes();
  Notificators.reset();
}

}  // namespace

const WideString& dxThemedObjectDefaultClassName(TdxThemedObjectType AType) {
  return DefaultClassNames[AType];
}

bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes) {
  if (!ThemeActive || !IsThemeLibraryLoaded()) return false;
  for (Integer t = 0; t < dxThemedObjectTypeCount; ++t) {
    auto type = static_cast<TdxThemedObjectType>(t);
    if (ATypes.Contains(type) && OpenTheme(type) == nullptr) return false;
  }
  return true;
}

bool AreVisualStylesAvailable(TdxThemedObjectType AType) {
  return ThemeActive && IsThemeLibraryLoaded() && OpenTheme(AType) != nullptr;
}

HTHEME OpenTheme(TdxThemedObjectType AType, const WideString& AClassName) {
  if (!AreVisualStylesAvailable()) return nullptr;
  TThemeCacheEntry& entry = ThemeCache[AType];
  if (entry.Handle != nullptr) {
    if (AClassName.empty() || SameClassName(AClassName, entry.ClassName))
      return entry.Handle;
    CloseTheme(AType);
  }
  WideString name = AClassName;
  if (name.empty())
    name = entry.ClassName.empty() ? DefaultClassNames[AType] : entry.ClassName;
  HTHEME handle = OpenThemeData(nullptr, Wide(name));
  if (handle == nullptr) {
    entry.ClassName.clear();
    return nullptr;
  }
  entry.Handle = handle;
  entry.ClassName = name;
  return handle;
}

HRESULT CloseTheme(TdxThemedObjectType AType) {
  if (!AreVisualStylesAvailable()) return 1;
  TThemeCacheEntry& entry = ThemeCache[AType];
  if (entry.Handle == nullptr) return 0;
  HRESULT result = CloseThemeData(entry.Handle);
  entry.Handle = nullptr;
  entry.ClassName.clear();
  return result;
}

void CloseAllThemes() {
  for (TThemeCacheEntry& entry : ThemeCache) {
    if (entry.Handle == nullptr) continue;
    CloseThemeData(entry.Handle);
    entry.Handle = nullptr;
  }
}

bool IsStandardTheme() {
  if (!AreVisualStylesAvailable()) return false;
  // Every buffer is given: not every version of the library accepts null
  // ones for the names it is not asked for.
  std::vector<wchar_t> file(1024, L'\0'), color(1024, L'\0'), size(1024, L'\0');
  if (FAILED(GetCurrentThemeName(file.data(), 1024, color.data(), 1024,
                                 size.data(), 1024)))
    return false;
  file.back() = L'\0';
  std::wstring name = dxUpperFileName(file.data());
  return name == L"LUNA.MSSTYLES" || name == L"ROYALE.MSSTYLES";
}

HWND dxThemeChangedWindow() { return Receiver ? Receiver->Handle() : nullptr; }

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (Notificators) Notificators->Add(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (Notificators) Notificators->Remove(this);
}

VARNEL_UNIT(dxThemeManager, ({"dxUxTheme", "Forms"}), &dxThemeManagerStartup,
            &dxThemeManagerShutdown);
