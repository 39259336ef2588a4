// The header control: a row of sections drawn with the look-and-feel
// painters that the user resizes, clicks to sort and drags to reorder, and
// the section drawing shared with every window that answers the
// header-item information message (the list view's inner header).
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include <memory>

#include "Controls.h"
#include "ImgList.h"
//
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

class TcxCustomHeader;
class TcxHeaderSection;

enum TcxHeaderSortOrder : Byte { soNone, soAscending, soDescending };
enum TcxHeaderState : Byte { hsNone, hsSized, hsDragged, hsPressed };
enum TcxSectionTrackState : Byte {
  tsTrackBegin,
  tsTrackMove,
  tsTrackEnd,
  tsTrackNone
};

// Asks a header window about one section: wParam the section index,
// lParam the THeaderItemInfo to fill.
constexpr UINT CM_HEADERITEMINFO = 0x806D;

#pragma pack(push, 1)
// What a header window tells the section drawing about one section. The
// caption points into the answering window's own text and is read at once.
struct THeaderItemInfo {
  Integer ImageIndex;
  TRect SectionRect;
  Byte Alignment;
  Byte SortOrder;
  Byte State;
  const char* Caption;
};
#pragma pack(pop)

using TcxDrawSectionEvent =
    TClosure<void(TcxCustomHeader* HeaderControl, TcxHeaderSection* Section,
                  const TRect& ARect, bool Pressed)>;
using TcxSectionNotifyEvent =
    TClosure<void(TcxCustomHeader* HeaderControl, TcxHeaderSection* Section)>;
using TcxSectionTrackEvent =
    TClosure<void(TcxCustomHeader* HeaderControl, TcxHeaderSection* Section,
                  Integer Width, TcxSectionTrackState State)>;
using TcxSectionDragEvent =
    TClosure<void(TObject* Sender, TcxHeaderSection* FromSection,
                  TcxHeaderSection* ToSection, bool& AllowDrag)>;
using TcxSectionChangingSortOrderEvent =
    TClosure<void(TObject* Sender, TcxHeaderSection* Section,
                  TcxHeaderSortOrder AOldSortOrder,
                  TcxHeaderSortOrder& ANewSortOrder, bool& AllowChange)>;
using TcxSectionChangedSortOrderEvent = TClosure<void(
    TObject* Sender, TcxHeaderSection* Section, TcxHeaderSortOrder ASortOrder)>;

// Sends a message whose lParam is the address of a record, synchronously.
LRESULT SendGetStructMessage(HWND AWindow, UINT AMessage, WPARAM AWParam,
                             void* AAddress);

// Draws section AIndex of a header window that answers HDM_GETITEMCOUNT and
// CM_HEADERITEMINFO; AIndex = count draws the area after the last section.
void DrawHeaderSection(HWND AHeaderWindow, Integer AIndex, TcxCanvas* ACanvas,
                       TCustomImageList* AImages, TcxLookAndFeel* ALookAndFeel);

// ---------------------------------------------------------------------------
// Sections
// ---------------------------------------------------------------------------

class TcxHeaderSection : public TCollectionItem {
  VARNEL_CLASS(TcxHeaderSection, TCollectionItem)
 public:
  explicit TcxHeaderSection(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AllowClick() const { return allowClick_; }
  void SetAllowClick(bool Value) { allowClick_ = Value; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool Value);
  Integer DataIndex() const { return dataIndex_; }
  void SetDataIndex(Integer Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  Integer MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(Integer Value);
  Integer MinWidth() const { return minWidth_; }
  void SetMinWidth(Integer Value);
  TcxHeaderSortOrder SortOrder() const { return sortOrder_; }
  void SetSortOrder(TcxHeaderSortOrder Value);
  const String& Text() const { return text_; }
  void SetText(const String& Value);
  Integer Width() const { return width_; }
  void SetWidth(Integer Value);
  TcxButtonState State() const { return state_; }
  void SetState(TcxButtonState Value);

  Integer GetLeft() const;
  Integer GetRight() const { return GetLeft() + width_; }
  TcxCustomHeader* GetHeaderControl() const;

 protected:
  String GetDisplayName() override;

 private:
  void ItemChanged() { Changed(false); }

  TAlignment alignment_ = taLeftJustify;
  bool allowClick_ = false;
  bool autoSize_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  Integer dataIndex_ = -1;
  Integer imageIndex_ = -1;
  Integer maxWidth_ = 1000;
  Integer minWidth_ = 30;
  TcxHeaderSortOrder sortOrder_ = soNone;
  String text_;
  Integer width_ = 50;
  TcxButtonState state_ = cxbsDefault;
};

class TcxHeaderSections : public TCollection {
  VARNEL_CLASS(TcxHeaderSections, TCollection)
 public:
  explicit TcxHeaderSections(TcxCustomHeader* AHeader);
  TcxHeaderSection* Add() {
    return static_cast<TcxHeaderSection*>(TCollection::Add());
  }
  // At max(AIndex, 0), no further than the last place.
  TcxHeaderSection* Insert(Integer AIndex);
  TcxHeaderSection* Items(Integer AIndex) const {
    return static_cast<TcxHeaderSection*>(TCollection::Items(AIndex));
  }
  TcxCustomHeader* Header() const { return header_; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TcxCustomHeader* header_;
};

// ---------------------------------------------------------------------------
// The header control
// ---------------------------------------------------------------------------

class TcxCustomHeader : public TcxControl, public IcxMouseTrackingCaller {
  VARNEL_CLASS(TcxCustomHeader, TcxControl)
 public:
  explicit TcxCustomHeader(TComponent* AOwner);
  ~TcxCustomHeader() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  // The tracking service saw the mouse leave: the same as CM_MOUSELEAVE.
  void MouseLeave() override;
  using TcxControl::MouseLeave;

  // --- Properties ---
  bool AllowSort() const { return allowSort_; }
  void SetAllowSort(bool Value);
  bool DragReorder() const { return dragReorder_; }
  void SetDragReorder(bool Value) { dragReorder_ = Value; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  bool ResizeUpdate() const { return resizeUpdate_; }
  void SetResizeUpdate(bool Value) { resizeUpdate_ = Value; }
  TcxHeaderSections* Sections() const { return sections_.get(); }
  void SetSections(TcxHeaderSections* Value) { sections_->Assign(Value); }
  TcxHeaderState State() const { return state_; }
  Integer HotSectionIndex() const { return hotSection_; }
  Integer PressedSectionIndex() const { return pressedSection_; }
  Integer SizedSectionIndex() const { return sizedSection_; }

  TcxDrawSectionEvent OnDrawSection;
  TNotifyEvent OnSectionChange;
  TcxSectionChangedSortOrderEvent OnSectionChangedSortOrder;
  TcxSectionChangingSortOrderEvent OnSectionChangingSortOrder;
  TcxSectionNotifyEvent OnSectionClick;
  TcxSectionDragEvent OnSectionDrag;
  TNotifyEvent OnSectionEndDrag;
  TcxSectionNotifyEvent OnSectionEndResize;
  TcxSectionNotifyEvent OnSectionResize;
  TcxSectionTrackEvent OnSectionTrack;
  TNotifyEvent OnSectionsChange;

  // --- Methods ---
  // Empty for AIndex < 0 or > count; AIndex = count is the area after the
  // last section, up to the client bounds' right edge.
  virtual TRect GetSectionRect(Integer AIndex);
  Integer GetSectionIndexAtPos(Integer X, Integer Y, bool AIncludeEnd);
  Integer GetAutoHeight();
  TRect GetSectionContentBounds(const TRect& ARect, TcxButtonState AState);
  void FitToClientWidth();
  virtual void FlipChildren(bool AllLevels);
  virtual void DisableSort();
  void UpdateSection(Integer AIndex);
  void UpdateSections();
  virtual void ChangeSectionSortOrder(TcxHeaderSection* ASection,
                                      TcxHeaderSortOrder ASortOrder,
                                      bool AClearOthers);

  // --- Overrides ---
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  bool NeedsScrollBars() override { return false; }

  // --- Overridables ---
  virtual bool DoSectionDrag(TcxHeaderSection* AFromSection,
                             TcxHeaderSection* AToSection);
  virtual void DoSectionEndDrag();
  virtual TcxHeaderSection* CreateSection();
  virtual bool IsInnerControl() { return false; }
  virtual void DrawSection(Integer AIndex);
  virtual void DoSectionClickEvent(TcxHeaderSection* ASection);
  virtual void DoSectionDragEvent(TcxHeaderSection* AFrom,
                                  TcxHeaderSection* ATo, bool& AllowDrag);
  virtual void DoSectionEndDragEvent();
  virtual void DoSectionResizeEvent(TcxHeaderSection* ASection);
  virtual void DoSectionEndResizeEvent(TcxHeaderSection* ASection);
  virtual void DoSectionTrackEvent(TcxHeaderSection* ASection, Integer AWidth,
                                   TcxSectionTrackState AState);

 protected:
  friend class TcxHeaderSection;
  friend class TcxHeaderSections;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void SectionStateChanged(Integer AIndex, TcxButtonState AState);
  bool IsFitting() const { return fitting_; }

 private:
  void WMLButtonDown(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void HDMGetItemInfo(TMessage& Message);
  void UpdateSizedSection(const TPoint& P);
  void SetSizedSection(Integer AIndex);
  void SetHotSection(Integer AIndex);
  void SetPressedSection(Integer AIndex);
  void SaveCursor();
  void RestoreCursor();
  void BeginSplitLine(Integer X);
  void DrawSplitLine(Integer X);
  void EndSplitLine();
  void ImagesChanged(TObject*) { UpdateSections(); }

  bool allowSort_ = true;
  bool dragReorder_ = false;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TChangeLink> imagesLink_;
  bool resizeUpdate_ = true;
  TObjectPtr<TcxHeaderSections> sections_;
  Integer pressedSection_ = -1;
  Integer sizedSection_ = -1;
  Integer sectionUnderMouse_ = -1;
  Integer hotSection_ = -1;
  TcxHeaderState state_ = hsNone;
  Integer prevMouseX_ = 0;
  HDC splitDC_ = nullptr;
  HGDIOBJ prevSplitBrush_ = nullptr;
  bool splitLineDrawn_ = false;
  Integer splitLineX_ = 0;
  TCursor savedCursor_ = crDefault;
  bool cursorSaved_ = false;
  bool dragAllowed_ = false;
  bool fitting_ = false;
};

class TcxHeader : public TcxCustomHeader {
  VARNEL_CLASS(TcxHeader, TcxCustomHeader)
 public:
  explicit TcxHeader(TComponent* AOwner) : TcxCustomHeader(AOwner) {}
};
