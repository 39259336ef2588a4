// The bar unit's start-up and exit, its process-wide objects, the item-kind
// registry, the object and component lists and the free routines.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "Handles.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "dxBar.h"

bool dxBarMakeInactiveImagesDingy = true;
bool dxBarPlaySound = true;
Integer dxBarNonrecentlyUsedItemsColorDelta = 20;
Integer dxBarFlatToolbarsColorDelta = 20;
Integer dxBarWaitForSubMenuTime = 400;
TColor dxBarScreenTipFontColor = static_cast<TColor>(0x4C4C4C);
std::array<Integer, 3> MDIButtonCommands{SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
TdxBarManagerProc FOnRegisterBarManager = nullptr;
TdxBarManagerProc FOnUnregisterBarManager = nullptr;
TClass dxBarDockControlClass = nullptr;
TClass dxBarToolbarControlClass = nullptr;
TdxBarPainterClass dxBarSkinPainterClass = TdxBarStandardPainter::StaticClass();
bool IsWin9x = false;
bool IsWin95 = false;
bool IsWin98OrNT5 = false;
TCustomdxBarControl* ActiveBarControl = nullptr;
bool dxBarExpandedMenus = false;
bool dxBarModalLoop = false;
TdxSetLayeredWindowAttributes SetLayeredWindowAttributesProc = nullptr;
TdxUpdateLayeredWindow UpdateLayeredWindowProc = nullptr;
TdxAnimateWindow AnimateWindowProc = nullptr;

namespace {

bool gFinalizing = false;
TdxBarItemList* gItemList = nullptr;
TdxBarManagerList* gManagerList = nullptr;
TList* gControlList = nullptr;
TdxBarSystemController* gSystemController = nullptr;
HBRUSH gPatternBrush = nullptr;
Integer gScreenColorDepth = 0;
std::array<TdxBarPainterClass, 6> gPainterClasses{};
TModuleHandle gUser32;

// Older systems lack these; callers test the pointers.
void BindUser32() {
  gUser32.reset(::LoadLibraryA("USER32"));
  if (!gUser32) return;
  SetLayeredWindowAttributesProc =
      reinterpret_cast<TdxSetLayeredWindowAttributes>(reinterpret_cast<void*>(
          ::GetProcAddress(gUser32.get(), "SetLayeredWindowAttributes")));
  UpdateLayeredWindowProc =
      reinterpret_cast<TdxUpdateLayeredWindow>(reinterpret_cast<void*>(
          ::GetProcAddress(gUser32.get(), "UpdateLayeredWindow")));
  AnimateWindowProc =
      reinterpret_cast<TdxAnimateWindow>(reinterpret_cast<void*>(
          ::GetProcAddress(gUser32.get(), "AnimateWindow")));
}

void UnbindUser32() {
  SetLayeredWindowAttributesProc = nullptr;
  UpdateLayeredWindowProc = nullptr;
  AnimateWindowProc = nullptr;
  gUser32.reset();
}

void LoadCursors() {
  if (!Screen) return;
  static const char* const names[] = {"DXBARDRAGCURSOR", "DXBARDRAGCOPYCURSOR",
                                      "DXBARDRAGNODROPCURSOR",
                                      "DXBAREDITSIZINGCURSOR"};
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (Integer i = 0; i < static_cast<Integer>(std::size(names)); ++i)
    Screen->SetCursors(crdxBarDrag + i, ::LoadCursorA(instance, names[i]));
}

// The half-tone brush: button face where row and column have the same
// parity, button highlight elsewhere.
HBRUSH CreatePatternBrush8x8() {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->SetWidth(8);
  bitmap->SetHeight(8);
  HDC dc = bitmap->Canvas()->Handle();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ::SetPixel(dc, x, y, (x % 2) == (y % 2) ? face : highlight);
  return ::CreatePatternBrush(bitmap->Handle());
}

void ReadScreenColorDepth() {
  HDC screen = ::GetDC(nullptr);
  gScreenColorDepth = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
}

void SetVersionFlags() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(&info)) return;
  IsWin9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  IsWin95 = IsWin9x && info.dwMinorVersion == 0;
  IsWin98OrNT5 =
      (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
       info.dwMinorVersion != 0) ||
      (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5);
}

// What form streams see of the bar classes.
void PublishClasses() {
  RegisterEnum<TdxBarManagerStyle>(
      "TdxBarManagerStyle", {"bmsStandard", "bmsEnhanced", "bmsFlat", "bmsXP",
                             "bmsOffice11", "bmsUseLookAndFeel"});
  RegisterEnum<TdxBarDockingStyle>(
      "TdxBarDockingStyle",
      {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"});
  RegisterEnum<TdxBarItemVisible>("TdxBarItemVisible",
                                  {"ivNever", "ivInCustomizing", "ivAlways"});
  RegisterEnum<TdxBarPaintStyle>(
      "TdxBarPaintStyle",
      {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"});
  RegisterEnum<TdxBarItemAlign>("TdxBarItemAlign",
                                {"iaLeft", "iaCenter", "iaRight", "iaClient"});
  RegisterEnum<TdxBarItemMergeKind>("TdxBarItemMergeKind",
                                    {"mkAdd", "mkMergeByCaption", "mkNone"});
  RegisterEnum<TdxBarUserDefine>(
      "TdxBarUserDefine", {"udCaption", "udGlyph", "udPaintStyle", "udWidth"});
  RegisterEnum<TdxBarItemPosition>(
      "TdxBarItemPosition",
      {"ipBeginsNewRow", "ipBeginsNewColumn", "ipContinuesRow"});
  RegisterEnum<TdxBarButtonGroupPosition>("TdxBarButtonGroupPosition",
                                          {"bgpNone", "bgpStart", "bgpMember"});
  RegisterEnum<TdxBarBorderStyle>("TdxBarBorderStyle",
                                  {"bbsNone", "bbsSingle"});
  RegisterEnum<TdxBarMenuAnimations>(
      "TdxBarMenuAnimations",
      {"maNone", "maRandom", "maUnfold", "maSlide", "maFade"});
  RegisterEnum<TdxBarItemViewLevel>(
      "TdxBarItemViewLevel", {"ivlLargeIconWithText", "ivlSmallIconWithText",
                              "ivlSmallIcon", "ivlControlOnly"});
  RegisterEnum<TdxBarButtonStyle>(
      "TdxBarButtonStyle",
      {"bsDefault", "bsChecked", "bsDropDown", "bsCheckedDropDown"});
  RegisterEnum<TdxBarGlyphLayout>("TdxBarGlyphLayout",
                                  {"glLeft", "glRight", "glTop", "glBottom"});

  using M = TdxBarManager;
  TPublished<TdxBarManager>()
      .Field("AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm, false)
      .Field("AllowReset", &M::AllowReset, true)
      .Field("AlwaysMerge", &M::AlwaysMerge, false)
      .Field("AlwaysSaveText", &M::AlwaysSaveText, false)
      .Field("AutoAlignBars", &M::AutoAlignBars, false)
      .Field("AutoDockColor", &M::AutoDockColor, true)
      .Property("AutoHideEmptyBars", &M::AutoHideEmptyBars,
                &M::SetAutoHideEmptyBars, false)
      .Property("Backgrounds", &M::Backgrounds)
      .Property("ButtonArrowWidth", &M::ButtonArrowWidth,
                &M::SetButtonArrowWidth, 11)
      .Field("CanCustomize", &M::CanCustomize, true)
      .Property("Categories", &M::Categories)
      .Property("DockColor", &M::DockColor, &M::SetDockColor)
      .Stored(&M::IsDockColorStored)
      .Field("FlatCloseButton", &M::FlatCloseButton, false)
      .Property("Font", &M::Font, &M::SetFont)
      .Stored(&M::IsFontStored)
      .Field("HelpContext", &M::HelpContext, 0)
      .Field("HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive,
             true)
      .Property("ImageOptions", &M::ImageOptions)
      .Property("Images", &M::Images, &M::SetImages)
      .Stored(false)
      .Property("LargeImages", &M::LargeImages, &M::SetLargeImages)
      .Stored(false)
      .Property("LargeIcons", &M::LargeIcons, &M::SetLargeIcons)
      .Stored(false)
      .Field("IniFileName", &M::IniFileName)
      .Property("LargeButtonArrowWidth", &M::LargeButtonArrowWidth,
                &M::SetLargeButtonArrowWidth, 13)
      .Property("LookAndFeel", &M::LookAndFeel)
      .Field("MenuAnimations", &M::MenuAnimations, maNone)
      .Field("MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst, true)
      .Property("MostRecentItemsPercents", &M::MostRecentItemsPercents,
                &M::SetMostRecentItemsPercents, Byte{95})
      .Property("NotDocking", &M::NotDocking, &M::SetNotDocking,
                TdxBarDockingStyles{})
      .Property("PopupMenuLinks", &M::PopupMenuLinks)
      .Property("RegistryPath", &M::RegistryPath, &M::SetRegistryPath)
      .Field("Scaled", &M::Scaled, true)
      .Field("ShowCloseButton", &M::ShowCloseButton, false)
      .Field("ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay, true)
      .Field("ShowHelpButton", &M::ShowHelpButton, false)
      .Field("ShowHint", &M::ShowHint, true)
      .Field("ShowHintForDisabledItems", &M::ShowHintForDisabledItems, true)
      .Field("ShowShortCutInHint", &M::ShowShortCutInHint, false)
      .Field("StoreInIniFile", &M::StoreInIniFile, false)
      .Field("StoreInRegistry", &M::StoreInRegistry, false)
      .Property("Style", &M::Style, &M::SetStyle, bmsEnhanced)
      .Field("SunkenBorder", &M::SunkenBorder, false)
      .Field("UseF10ForMenu", &M::UseF10ForMenu, true)
      .Field("UseFullReset", &M::UseFullReset, false)
      .Property("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont)
      .Property("WaitForDockingTime", &M::WaitForDockingTime,
                &M::SetWaitForDockingTime, 21)
      .Event("OnBarAdd", &M::OnBarAdd, &M::OnBarAdd)
      .Event("OnBarClose", &M::OnBarClose, &M::OnBarClose)
      .Event("OnBarDelete", &M::OnBarDelete, &M::OnBarDelete)
      .Event("OnBarDockingStyleChange", &M::OnBarDockingStyleChange,
             &M::OnBarDockingStyleChange)
      .Event("OnBarVisibleChange", &M::OnBarVisibleChange,
             &M::OnBarVisibleChange)
      .Event("OnClickItem", &M::OnClickItem, &M::OnClickItem)
      .Event("OnDocking", &M::OnDocking, &M::OnDocking);

  using O = TdxBarImageOptions;
  TPublished<TdxBarImageOptions>()
      .Property("DisabledImages", &O::DisabledImages, &O::SetDisabledImages)
      .Property("DisabledLargeImages", &O::DisabledLargeImages,
                &O::SetDisabledLargeImages)
      .Property("HotImages", &O::HotImages, &O::SetHotImages)
      .Property("Images", &O::Images, &O::SetImages)
      .Property("LargeImages", &O::LargeImages, &O::SetLargeImages)
      .Property("ImageListBkColor", &O::ImageListBkColor,
                &O::SetImageListBkColor)
      .Property("LargeIcons", &O::LargeIcons, &O::SetLargeIcons, false)
      .Property("MakeDisabledImagesFaded", &O::MakeDisabledImagesFaded,
                &O::SetMakeDisabledImagesFaded, false)
      .Field("SmoothGlyphs", &O::SmoothGlyphs, false)
      .Field("StretchGlyphs", &O::StretchGlyphs, true)
      .Property("UseLargeImagesForLargeIcons", &O::UseLargeImagesForLargeIcons,
                &O::SetUseLargeImagesForLargeIcons, false)
      .Property("UseLeftBottomPixelAsTransparent",
                &O::UseLeftBottomPixelAsTransparent,
                &O::SetUseLeftBottomPixelAsTransparent, true);

  TPublished<TdxBarBackgrounds>()
      .Property("Bar", &TdxBarBackgrounds::Bar, &TdxBarBackgrounds::SetBar)
      .Property("SubMenu", &TdxBarBackgrounds::SubMenu,
                &TdxBarBackgrounds::SetSubMenu);

  TPublished<TdxBarPopupMenuLink>()
      .Property("Control", &TdxBarPopupMenuLink::Control,
                &TdxBarPopupMenuLink::SetControl)
      .Property("PopupMenu", &TdxBarPopupMenuLink::PopupMenu,
                &TdxBarPopupMenuLink::SetPopupMenu)
      .Field("ProcessChildren", &TdxBarPopupMenuLink::ProcessChildren, true);

  using B = TdxBar;
  TPublished<TdxBar>()
      .Field("AllowClose", &B::AllowClose, true)
      .Field("AllowCustomizing", &B::AllowCustomizing, true)
      .Field("AllowQuickCustomizing", &B::AllowQuickCustomizing, true)
      .Field("AllowReset", &B::AllowReset, true)
      .Property("AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue,
                Byte{255})
      .Field("BorderStyle", &B::BorderStyle, bbsSingle)
      .Property("Caption", &B::Caption, &B::SetCaption)
      .Property("CaptionButtons", &B::CaptionButtons, &B::SetCaptionButtons)
      .Field("Color", &B::Color)
      .Property("DockControl", &B::DockControl, &B::SetDockControl)
      .Property("DockedDockingStyle", &B::DockedDockingStyle,
                &B::SetDockedDockingStyle, dsTop)
      .Property("DockedLeft", &B::DockedLeft, &B::SetDockedLeft)
      .Property("DockedTop", &B::DockedTop, &B::SetDockedTop)
      .Property("DockingStyle", &B::DockingStyle, &B::SetDockingStyle)
      .Stored(&B::IsDockingStyleStored)
      .Property("FloatLeft", &B::FloatLeft, &B::SetFloatLeft)
      .Property("FloatTop", &B::FloatTop, &B::SetFloatTop)
      .Property("FloatClientWidth", &B::FloatClientWidth,
                &B::SetFloatClientWidth)
      .Property("FloatClientHeight", &B::FloatClientHeight,
                &B::SetFloatClientHeight)
      .Field("Hidden", &B::Hidden, false)
      .Property("IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu, false)
      .Property("ItemLinks", &B::ItemLinks)
      .Field("KeyTip", &B::KeyTip)
      .Property("MultiLine", &B::MultiLine, &B::SetMultiLine, false)
      .Field("NotDocking", &B::NotDocking, TdxBarDockingStyles{})
      .Field("OldName", &B::OldName)
      .Property("OneOnRow", &B::OneOnRow, &B::SetOneOnRow)
      .Field("RotateWhenVertical", &B::RotateWhenVertical, true)
      .Property("Row", &B::Row, &B::SetRow)
      .Field("ShowMark", &B::ShowMark, true)
      .Field("SizeGrip", &B::SizeGrip, true)
      .Property("UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems,
                true)
      .Field("UseRestSpace", &B::UseRestSpace, false)
      .Property("Visible", &B::Visible, &B::SetVisible)
      .Property("WholeRow", &B::WholeRow, &B::SetWholeRow);

  using CB = TdxBarCaptionButton;
  TPublished<TdxBarCaptionButton>()
      .Property("Enabled", &CB::Enabled, &CB::SetEnabled, true)
      .Property("Glyph", &CB::Glyph, &CB::SetGlyph)
      .Property("Hint", &CB::Hint, &CB::SetHint)
      .Field("KeyTip", &CB::KeyTip)
      .Event("OnClick", &CB::OnClick, &CB::OnClick);

  using L = TdxBarItemLink;
  TPublished<TdxBarItemLink>()
      .Property("BeginGroup", &L::OwnBeginGroup, &L::SetBeginGroup, false)
      .Property("ButtonGroup", &L::ButtonGroup, &L::SetButtonGroup, bgpNone)
      .Property("MostRecentlyUsed", &L::MostRecentlyUsed,
                &L::SetMostRecentlyUsed, true)
      .Property("Position", &L::Position, &L::SetPosition, ipBeginsNewRow)
      .Property("UserCaption", &L::UserCaption, &L::SetUserCaption)
      .Property("UserDefine", &L::UserDefine, &L::SetUserDefine,
                TdxBarUserDefines{})
      .Property("UserGlyph", &L::UserGlyph, &L::SetUserGlyph)
      .Property("UserPaintStyle", &L::UserPaintStyle, &L::SetUserPaintStyle,
                psStandard)
      .Property("UserWidth", &L::UserWidth, &L::SetUserWidth, 0)
      .Property("ViewLevels", &L::ViewLevels, &L::SetViewLevels,
                TdxBarItemViewLevels{ivlLargeIconWithText, ivlSmallIconWithText,
                                     ivlSmallIcon, ivlControlOnly})
      .Property("Visible", &L::Visible, &L::SetVisible);

  TPublished<TdxBarGroup>()
      .Property("Enabled", &TdxBarGroup::GetEnabled, &TdxBarGroup::SetEnabled,
                true)
      .Property("Visible", &TdxBarGroup::Visible, &TdxBarGroup::SetVisible,
                ivAlways);

  using I = TdxBarItem;
  TPublished<TdxBarItem>()
      .Property("Action", &I::Action, &I::SetAction)
      .Property("Align", &I::Align, &I::SetAlign, iaLeft)
      .Property("Caption", &I::Caption, &I::SetCaption)
      .Stored(&I::IsCaptionStored)
      .Property("Category", &I::Category, &I::SetCategory)
      .NoDefaultValue()
      .Property("Description", &I::Description, &I::SetDescription)
      .Property("Enabled", &I::Enabled, &I::SetEnabled, true)
      .Stored(&I::IsEnabledStored)
      .Property("HelpContext", &I::HelpContext, &I::SetHelpContext, 0)
      .Stored(&I::IsHelpContextStored)
      .Property("Hint", &I::Hint, &I::SetHint)
      .Stored(&I::IsHintStored)
      .Property("KeyTip", &I::KeyTip, &I::SetKeyTip)
      .Property("MergeKind", &I::MergeKind, &I::SetMergeKind, mkAdd)
      .Property("MergeOrder", &I::MergeOrder, &I::SetMergeOrder, 0)
      .Property("Visible", &I::Visible, &I::SetVisible)
      .Stored(&I::IsVisibleStored)
      .NoDefaultValue()
      .Event("OnDestroy", &I::OnDestroy, &I::OnDestroy);

  // The style before the group index and the down state, which it resets.
  using Btn = TdxBarButton;
  TPublished<TdxBarButton>()
      .Property("AllowAllUp", &Btn::AllowAllUp, &Btn::SetAllowAllUp, false)
      .Property("ButtonStyle", &Btn::ButtonStyle, &Btn::SetButtonStyle,
                bsDefault)
      .Property("CloseSubMenuOnClick", &Btn::CloseSubMenuOnClick,
                &Btn::SetCloseSubMenuOnClick, true)
      .Property("DropDownEnabled", &Btn::DropDownEnabled,
                &Btn::SetDropDownEnabled, true)
      .Property("GroupIndex", &Btn::GroupIndex, &Btn::SetGroupIndex, 0)
      .Property("Down", &Btn::Down, &Btn::SetDown, false)
      .Stored(&Btn::IsDownStored)
      .Property("DropDownMenu", &Btn::DropDownMenu, &Btn::SetDropDownMenu)
      .Property("Lowered", &Btn::Lowered, &Btn::SetLowered, false)
      .Property("Glyph", &I::Glyph, &I::SetGlyph)
      .Property("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1)
      .Stored(&I::IsImageIndexStored)
      .Property("LargeImageIndex", &I::LargeImageIndex, &I::SetLargeImageIndex,
                -1)
      .Property("PaintStyle", &I::PaintStyle, &I::SetPaintStyle, psStandard)
      .Property("ShortCut", &I::ShortCut, &I::SetShortCut, TShortCut{0})
      .Stored(&I::IsShortCutStored)
      .Property("UnclickAfterDoing", &I::UnclickAfterDoing,
                &I::SetUnclickAfterDoing, true)
      .Event("OnClick", &I::OnClick, &I::OnClick)
      .Stored(&I::IsOnClickStored);

  TPublished<TdxBarSubItem>()
      .Property("Glyph", &I::Glyph, &I::SetGlyph)
      .Property("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1)
      .Property("ItemLinks", &TdxBarSubItem::ItemLinks)
      .Property("ShowCaption", &I::ShowCaption, &I::SetShowCaption, true)
      .Event("OnClick", &I::OnClick, &I::OnClick)
      .Event("OnPopup", &TdxBarSubItem::OnPopup, &TdxBarSubItem::OnPopup)
      .Property("AllowCustomizing", &TdxBarSubItem::AllowCustomizing,
                &TdxBarSubItem::SetAllowCustomizing, true)
      .Property("BarSize", &TdxBarSubItem::BarSize, &TdxBarSubItem::SetBarSize,
                0)
      .Property("Detachable", &TdxBarSubItem::Detachable,
                &TdxBarSubItem::SetDetachable, false)
      .Event("OnCloseUp", &TdxBarSubItem::OnCloseUp, &TdxBarSubItem::OnCloseUp);

  TPublished<TdxBarSeparator>().Property("ShowCaption", &I::ShowCaption,
                                         &I::SetShowCaption, true);
}

void Startup() {
  gFinalizing = false;
  PublishClasses();
  RegisterClasses({TdxBarManager::StaticClass(), TdxBar::StaticClass(),
                   TdxBarGroup::StaticClass()});
  SetVersionFlags();
  BindUser32();
  gManagerList = new TdxBarManagerList;
  ReadScreenColorDepth();
  gPatternBrush = CreatePatternBrush8x8();
  gControlList = new TList;
  gSystemController = new TdxBarSystemController;
  LoadCursors();
  dxBarPainterClassOf(rpsStandard) = TdxBarStandardPainter::StaticClass();
  dxBarPainterClassOf(rpsEnhanced) = TdxBarEnhancedPainter::StaticClass();
  dxBarPainterClassOf(rpsFlat) = TdxBarFlatPainter::StaticClass();
  dxBarPainterClassOf(rpsXP) = TdxBarXPPainter::StaticClass();
  // The kinds this layer holds; the window side names their controls.
  dxBarRegisterItem(TdxBarButton::StaticClass(), nullptr, true);
  dxBarRegisterItem(TdxBarSubItem::StaticClass(), nullptr, true);
  dxBarRegisterItem(TdxBarSeparator::StaticClass(), nullptr, true);
}

void Shutdown() {
  gFinalizing = true;
  FreeAndNil(gSystemController);
  FreeAndNil(gControlList);
  FreeAndNil(gItemList);
  dxBarFreeFlatPainter();
  dxBarFreeThemeToolbarBrush();
  if (gPatternBrush) ::DeleteObject(gPatternBrush);
  gPatternBrush = nullptr;
  FreeAndNil(gManagerList);
  UnbindUser32();
  UnRegisterClass(TdxBarManager::StaticClass());
  UnRegisterClass(TdxBar::StaticClass());
  UnRegisterClass(TdxBarGroup::StaticClass());
}

}  // namespace

VARNEL_UNIT(dxBar, ({"cxLookAndFeels", "cxControls"}), Startup, Shutdown);

bool dxBarIsFinalizing() { return gFinalizing; }
HBRUSH dxBarPatternBrush() { return gPatternBrush; }
Integer dxBarScreenColorDepth() { return gScreenColorDepth; }

void dxBarRefreshSystemColors() {
  if (gFinalizing) return;
  ReadScreenColorDepth();
  dxBarRebuildFlatBrushes();
  HBRUSH old = std::exchange(gPatternBrush, CreatePatternBrush8x8());
  if (old) ::DeleteObject(old);
}
TList* dxBarControlList() { return gControlList; }
TdxBarManagerList* dxBarManagerList() { return gManagerList; }
TdxBarSystemController* BarSystemController() { return gSystemController; }

TdxBarPainterClass& dxBarPainterClassOf(TdxBarRealPaintStyle AStyle) {
  TdxBarPainterClass& entry = gPainterClasses[AStyle];
  if (!entry) entry = TdxBarStandardPainter::StaticClass();
  return entry;
}

// ---------------------------------------------------------------------------
// System controller
// ---------------------------------------------------------------------------

void TdxBarSystemController::WakeMainThread(TObject*) {
  ::PostMessageA(Handle(), WM_DX_SYNCHRONIZE, 0, 0);
}

void TdxBarSystemController::WndProc(TMessage& Message) {
  // The class library hands no work between threads yet: the message only
  // wakes a bar loop.
  if (Message.Msg == WM_DX_SYNCHRONIZE) {
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_SYSCOLORCHANGE) dxBarRefreshSystemColors();
  inherited::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Item-kind registry
// ---------------------------------------------------------------------------

TdxBarItemList* RegdxItemList() {
  if (gFinalizing) return nullptr;
  if (!gItemList) gItemList = new TdxBarItemList;
  return gItemList;
}

void dxBarRegisterItem(TClass AItemClass, TClass AItemControlClass,
                       bool AVisible) {
  if (TdxBarItemList* list = RegdxItemList())
    list->Register(AItemClass, AItemControlClass, AVisible);
}

void dxBarUnregisterItem(TClass AItemClass) {
  if (TdxBarItemList* list = RegdxItemList()) list->Unregister(AItemClass);
}

TdxBarItemList::~TdxBarItemList() {
  for (Integer i = Count() - 1; i >= 0; --i) Unregister(i);
}

void TdxBarItemList::Register(TClass AItemClass, TClass AItemControlClass,
                              bool AVisible) {
  auto* record = new TRegItemRecord;
  record->ItemClass = AItemClass;
  record->ItemControlClass = AItemControlClass;
  record->Visible = AVisible;
  records_.push_back(record);
  RegisterClass(AItemClass);
}

void TdxBarItemList::Unregister(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  TObjectPtr<TRegItemRecord> record(records_[static_cast<size_t>(AIndex)]);
  records_.erase(records_.begin() + AIndex);
  // Another record of the same class keeps the streaming name.
  const bool stillListed = std::any_of(
      records_.begin(), records_.end(),
      [&](TRegItemRecord* r) { return r->ItemClass == record->ItemClass; });
  if (!stillListed) UnRegisterClass(record->ItemClass);
}

void TdxBarItemList::Unregister(TClass AItemClass) {
  for (Integer i = 0; i < Count(); ++i)
    if (records_[static_cast<size_t>(i)]->ItemClass == AItemClass)
      return Unregister(i);
}

TRegItemRecord* TdxBarItemList::GetItem(Integer AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? records_[static_cast<size_t>(AIndex)]
                                         : nullptr;
}

TClass TdxBarItemList::GetItemClass(Integer AIndex) const {
  TRegItemRecord* record = GetItem(AIndex);
  return record ? record->ItemClass : nullptr;
}

Integer TdxBarItemList::GetVisibleItemCount() const {
  return static_cast<Integer>(
      std::count_if(records_.begin(), records_.end(),
                    [](TRegItemRecord* r) { return r->Visible; }));
}

TClass TdxBarItemList::GetVisibleItemClass(Integer N) const {
  for (TRegItemRecord* r : records_)
    if (r->Visible && N-- == 0) return r->ItemClass;
  return nullptr;
}

TClass TdxBarItemList::GetItemControlClass(TClass AItemClass) const {
  for (TRegItemRecord* r : records_)
    if (r->ItemClass == AItemClass) return r->ItemControlClass;
  return nullptr;
}

void TdxBarItemList::SetItemControlClass(TClass AItemClass,
                                         TClass AItemControlClass) {
  for (TRegItemRecord* r : records_)
    if (r->ItemClass == AItemClass) {
      r->ItemControlClass = AItemControlClass;
      return;
    }
}

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

Integer TdxObjectList::Add(TObject* AObject) {
  if (!AObject) return -1;
  const Integer index = IndexOf(AObject);
  return index >= 0 ? index : TList::Add(AObject);
}

void TdxObjectList::AddList(TList* AList) {
  for (Integer i = 0; i < AList->Count(); ++i)
    Add(static_cast<TObject*>(AList->Get(i)));
}

void TdxObjectList::AddFromList(TList* ASource, TList* AExcluded) {
  for (Integer i = 0; i < ASource->Count(); ++i) {
    void* entry = ASource->Get(i);
    if (!AExcluded || AExcluded->IndexOf(entry) < 0)
      Add(static_cast<TObject*>(entry));
  }
}

void TdxObjectList::CopyList(TList* ASource, TList* ADestination) {
  ADestination->Clear();
  ADestination->SetCapacity(ASource->Capacity());
  auto* objects = dynamic_cast<TdxObjectList*>(ADestination);
  for (Integer i = 0; i < ASource->Count(); ++i) {
    if (objects)
      objects->Add(static_cast<TObject*>(ASource->Get(i)));
    else
      ADestination->Add(ASource->Get(i));
  }
}

void TdxObjectList::XorList(TList* A, TList* B) {
  Clear();
  AddFromList(A, B);
  AddFromList(B, A);
}

TObject* TdxObjectList::First() const { return GetItem(0); }
TObject* TdxObjectList::Last() const { return GetItem(Count() - 1); }
TObject* TdxObjectList::GetItem(Integer Index) const {
  return Index >= 0 && Index < Count() ? static_cast<TObject*>(Get(Index))
                                       : nullptr;
}

TdxComponentList::~TdxComponentList() { ClearSilently(); }

void TdxComponentList::ClearSilently() {
  // Nothing is reported while the list empties.
  updateCount_ = 1;
  Clear();
}

TComponent* TdxComponentList::Items(Integer Index) const {
  return Index >= 0 && Index < Count() ? items_[static_cast<size_t>(Index)]
                                       : nullptr;
}

Integer TdxComponentList::IndexOf(TComponent* AComponent) const {
  auto it = std::find(items_.begin(), items_.end(), AComponent);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

Integer TdxComponentList::Add(TComponent* AComponent) {
  Insert(Count(), AComponent);
  return IndexOf(AComponent);
}

void TdxComponentList::Insert(Integer Index, TComponent* AComponent) {
  if (!AComponent) return;
  Index = std::clamp(Index, 0, Count());
  items_.insert(items_.begin() + Index, AComponent);
  if (!AComponent->InheritsFrom(ItemClass())) {
    // Not of the list's kind: out again at once.
    items_.erase(items_.begin() + Index);
    return;
  }
  Notify(AComponent, ccnAdded);
}

void TdxComponentList::Extract(TComponent* AComponent) {
  const Integer index = IndexOf(AComponent);
  if (index < 0) return;
  Notify(AComponent, ccnExtracting);
  items_.erase(items_.begin() + index);
  Notify(AComponent, ccnExtracted);
}

void TdxComponentList::Remove(TComponent* AComponent) {
  const Integer index = IndexOf(AComponent);
  if (index < 0) return;
  Notify(AComponent, ccnDeleting);
  items_.erase(items_.begin() + index);
}

void TdxComponentList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 ||
      NewIndex >= Count() || CurIndex == NewIndex)
    return;
  TComponent* moved = items_[static_cast<size_t>(CurIndex)];
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, moved);
  Update(nullptr, ccnChanged);
}

void TdxComponentList::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count())
    return;
  std::swap(items_[static_cast<size_t>(Index1)],
            items_[static_cast<size_t>(Index2)]);
  Update(nullptr, ccnChanged);
}

void TdxComponentList::Clear() {
  while (!items_.empty()) Remove(items_.back());
}

void TdxComponentList::EndUpdate(bool ANotify) {
  if (updateCount_ > 0) --updateCount_;
  if (ANotify) Update(nullptr, ccnChanged);
}

void TdxComponentList::Update(TComponent* AComponent,
                              TcxComponentCollectionNotification AKind) {
  if (updateCount_ == 0) OnComponentListChanged(this, AComponent, AKind);
}

void TdxComponentList::Notify(TComponent* AComponent,
                              TcxComponentCollectionNotification AAction) {
  if (AAction != ccnExtracting) Update(AComponent, AAction);
}

TdxBarComponentList::~TdxBarComponentList() { ClearSilently(); }

TClass TdxBarComponentList::ItemClass() const {
  return TdxBarComponent::StaticClass();
}

void TdxBarComponentList::Notify(TComponent* AComponent,
                                 TcxComponentCollectionNotification AAction) {
  auto* component = static_cast<TdxBarComponent*>(AComponent);
  if (AAction == ccnAdded) component->AddChangeNotify(this);
  if ((AAction == ccnExtracted || AAction == ccnDeleting) &&
      !component->ComponentState().Contains(csDestroying))
    component->RemoveChangeNotify(this);
  TdxComponentList::Notify(AComponent, AAction);
}

void TdxEventHandlerCollection::Add(const TdxEventHandler& AHandler) {
  if (IndexOf(AHandler) < 0) handlers_.push_back(AHandler);
}

void TdxEventHandlerCollection::Remove(const TdxEventHandler& AHandler) {
  Delete(IndexOf(AHandler));
}

void TdxEventHandlerCollection::Delete(Integer AIndex) {
  if (AIndex >= 0 && AIndex < Count())
    handlers_.erase(handlers_.begin() + AIndex);
}

Integer TdxEventHandlerCollection::IndexOf(
    const TdxEventHandler& AHandler) const {
  auto it = std::find(handlers_.begin(), handlers_.end(), AHandler);
  return it == handlers_.end() ? -1
                               : static_cast<Integer>(it - handlers_.begin());
}

void TdxEventHandlerCollection::CallEvents(TObject* Sender, void* AData) {
  const auto handlers = handlers_;
  for (const TdxEventHandler& handler : handlers) handler(Sender, AData);
}

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

String GetTextOf(const String& S) {
  String result;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '&' && i + 1 < S.size()) {
      // Of a doubled mark one stays.
      ++i;
    }
    result += S[i];
  }
  return result;
}

Integer GetAccelPos(String& S, bool ADeleteMarks) {
  Integer pos = 0;
  String stripped;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '&' && i + 1 < S.size()) {
      if (S[i + 1] != '&' && pos == 0)
        pos = static_cast<Integer>(ADeleteMarks ? stripped.size() + 1 : i + 2);
      ++i;
    }
    stripped += S[i];
  }
  if (ADeleteMarks) S = stripped;
  return pos;
}

TdxBarItemVisible VisibleTodxBarVisible(bool AVisible) {
  return AVisible ? ivAlways : ivNever;
}

TdxBarItemViewLevel GetMaxViewLevel(TdxBarItemViewLevels ALevels) {
  for (int l = ivlLargeIconWithText; l <= ivlControlOnly; ++l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

TdxBarItemViewLevel GetMinViewLevel(TdxBarItemViewLevels ALevels) {
  for (int l = ivlControlOnly; l >= ivlLargeIconWithText; --l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

TdxBarItemViewLevel GetNextViewLevel(TdxBarItemViewLevels ALevels,
                                     TdxBarItemViewLevel ALevel) {
  for (int l = ALevel + 1; l <= ivlControlOnly; ++l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

bool dxKillTimer(HWND AWnd, UINT_PTR& AID) {
  if (AID == 0) return false;
  ::KillTimer(AWnd, AID);
  AID = 0;
  return true;
}

namespace {

// Removes and dispatches the queued messages of one range; a WM_QUIT met
// on the way is put back for the application's loop.
void ProcessMessagesOfRange(UINT AFirst, UINT ALast) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, AFirst, ALast, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::DispatchMessageA(&msg);
  }
}

}  // namespace

bool dxBarGetLoopMessage(MSG& AMsg) {
  const BOOL got = ::GetMessageA(&AMsg, nullptr, 0, 0);
  if (got == 0) ::PostQuitMessage(static_cast<int>(AMsg.wParam));
  return got != 0 && got != -1;
}

TPoint dxBarMessageScreenPoint(const MSG& AMsg) {
  POINT p{static_cast<short>(LOWORD(AMsg.lParam)),
          static_cast<short>(HIWORD(AMsg.lParam))};
  ::ClientToScreen(AMsg.hwnd, &p);
  return {p.x, p.y};
}

void ProcessMouseMessages() {
  ProcessMessagesOfRange(WM_MOUSEFIRST, WM_MOUSEWHEEL);
}

void ProcessPaintMessages() { ProcessMessagesOfRange(WM_PAINT, WM_PAINT); }

TdxBarManager* GetBarManagerByComponent(TComponent* AComponent) {
  if (!AComponent) return nullptr;
  if (auto* manager = dynamic_cast<TdxBarManager*>(AComponent)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return nullptr;
  for (Integer i = 0; i < list->Count(); ++i) {
    TdxBarManager* manager = list->GetBarManager(i);
    if (manager->Owner() == AComponent) return manager;
  }
  return nullptr;
}

TdxBarManager* GetBarManagerByForm(TCustomForm* AForm) {
  return GetBarManagerByComponent(AForm);
}

TdxBarManager* GetBarManagerByWindow(HWND AWnd) {
  TWinControl* control = AWnd ? FindControl(AWnd) : nullptr;
  return control ? GetBarManagerByComponent(control) : nullptr;
}

bool IsAncestorComponentDifferencesDetection(TComponent* AComponent) {
  const TComponentState state = AComponent->ComponentState();
  return state.Contains(csLoading) && state.Contains(csAncestor) &&
         !state.Contains(csReading);
}
