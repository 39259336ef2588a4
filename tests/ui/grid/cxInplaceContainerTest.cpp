// The editing control's layout pass, items, cells and editing controller,
// on a small grid: update locking, change routing, value types, clipping,
// the shared editor per properties object, refused values, parking.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "cxCheckBox.h"
#include "cxEditRepositoryItems.h"
#include "cxTextEdit.h"

using namespace grid_test;
using namespace ui_test;

namespace {

using LayoutTest = TGridFormTest;

TEST_F(LayoutTest, NestedLayoutChangesCollapseIntoOnePass) {
  grid_->AddItem();
  PumpUntilIdle();
  auto* viewInfo = grid_->TestViewInfo();
  const Integer calculations = viewInfo->CalculateCount;
  const Integer afters = grid_->AfterLayoutChangedCount;
  const Integer invalidates = grid_->InvalidateCount;
  grid_->BeginUpdate();
  grid_->LayoutChanged();
  grid_->LayoutChanged();
  grid_->LayoutChanged();
  EXPECT_EQ(viewInfo->CalculateCount, calculations);
  EXPECT_TRUE(viewInfo->IsDirty());
  grid_->EndUpdate();
  EXPECT_EQ(viewInfo->CalculateCount - calculations, 1);
  EXPECT_EQ(grid_->AfterLayoutChangedCount - afters, 1);
  EXPECT_EQ(grid_->InvalidateCount - invalidates, 1);
  EXPECT_FALSE(viewInfo->IsDirty());
}

TEST_F(LayoutTest, CancelUpdateDoesNoLayoutWork) {
  grid_->AddItem();
  PumpUntilIdle();
  auto* viewInfo = grid_->TestViewInfo();
  const Integer calculations = viewInfo->CalculateCount;
  const Integer afters = grid_->AfterLayoutChangedCount;
  grid_->BeginUpdate();
  grid_->LayoutChanged();
  grid_->CancelUpdate();
  EXPECT_EQ(viewInfo->CalculateCount, calculations);
  EXPECT_EQ(grid_->AfterLayoutChangedCount, afters);
  EXPECT_EQ(grid_->LockCount(), 0);
}

TEST_F(LayoutTest, DataChangesRouteIntoTheCells) {
  TTestItem* item = grid_->AddItem();
  PumpUntilIdle();
  grid_->DataController()->SetValue(0, item->ItemIndex(), Variant("routed"));
  PumpUntilIdle();
  EXPECT_EQ(VarToStr(grid_->CellOf(item)->Value()), "routed");
  EXPECT_EQ(VarToStr(item->GetValue(0)), "routed");
}

TEST_F(LayoutTest, ValuesGoThroughTheDataController) {
  TTestItem* a = grid_->AddItem("Integer");
  TTestItem* b = grid_->AddItem("String");
  a->SetValue(0, Variant(Integer(42)));
  b->SetCurrentValue(Variant("text"));
  EXPECT_EQ(grid_->DataController()->GetValue(0, a->ItemIndex()).AsInteger(),
            42);
  EXPECT_EQ(VarToStr(grid_->DataController()->GetValue(0, b->ItemIndex())),
            "text");
  EXPECT_EQ(grid_->DataController()->GetItemValueTypeClass(a->ItemIndex()),
            TcxIntegerValueType::Class());
  // Not being edited: no edit value at all, though data exists.
  EXPECT_TRUE(VarIsEmpty(a->GetEditValue()));
}

struct TValueTypeCase {
  const char* Name;
  TcxValueTypeClass (*Class)();
  bool CheckBox;
};

TEST_F(LayoutTest, ValueTypesPickDefaultProperties) {
  const TValueTypeCase cases[] = {
      {"Boolean", &TcxBooleanValueType::Class, true},
      {"String", &TcxStringValueType::Class, false},
      {"Integer", &TcxIntegerValueType::Class, false},
      {"Currency", &TcxCurrencyValueType::Class, false},
      {"Float", &TcxFloatValueType::Class, false},
      {"DateTime", &TcxDateTimeValueType::Class, false},
      {"Variant", &TcxVariantValueType::Class, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestItem* item = grid_->AddItem(c.Name);
    auto* binding = static_cast<TcxItemDataBinding*>(item->DataBinding());
    EXPECT_EQ(binding->GetValueTypeClass(), c.Class());
    EXPECT_EQ(binding->ValueType(), c.Name);
    ASSERT_NE(item->PropertiesValue(), nullptr);
    EXPECT_EQ(item->PropertiesValue()->InheritsFrom(
                  TcxCheckBoxProperties::StaticClass()),
              c.CheckBox);
    EXPECT_EQ(item->Properties(), nullptr);
  }
}

TEST_F(LayoutTest, ValueTypeRegistryKeepsTheFirstDescription) {
  auto* repository = cxieValueTypeClassRepository();
  ASSERT_NE(repository, nullptr);
  EXPECT_EQ(repository->Description(0), "Boolean");
  cxieRegisterValueTypeClass("Text", TcxStringValueType::Class());
  EXPECT_EQ(repository->FindByClassType(TcxStringValueType::Class()), "String");
  EXPECT_EQ(repository->FindByDescription("text"), nullptr);
  EXPECT_EQ(repository->FindByDescription("dAtEtImE"),
            TcxDateTimeValueType::Class());
  // An unknown name is no error and changes nothing.
  TTestItem* item = grid_->AddItem("Integer");
  static_cast<TcxItemDataBinding*>(item->DataBinding())->SetValueType("Nope");
  EXPECT_EQ(item->DataBinding()->GetValueTypeClass(),
            TcxIntegerValueType::Class());
}

TEST_F(LayoutTest, ValueTypeChangeSwitchesTheDefaultProperties) {
  TTestItem* item = grid_->AddItem("Boolean");
  EXPECT_TRUE(item->PropertiesValue()->InheritsFrom(
      TcxCheckBoxProperties::StaticClass()));
  static_cast<TcxItemDataBinding*>(item->DataBinding())->SetValueType("String");
  EXPECT_TRUE(item->PropertiesValue()->InheritsFrom(
      TcxTextEditProperties::StaticClass()));
}

TEST_F(LayoutTest, FreedRepositoryItemIsForgotten) {
  TTestItem* item = grid_->AddItem();
  TObjectPtr<TcxEditRepositoryItem> owned(new TcxEditRepositoryItem(nullptr));
  item->SetRepositoryItem(owned.get());
  EXPECT_EQ(item->PropertiesValue(), owned->Properties());
  owned.reset();
  EXPECT_EQ(item->RepositoryItem(), nullptr);
  EXPECT_NE(item->PropertiesValue(), nullptr);
}

TEST_F(LayoutTest, PropertiesClassNameKeepsTheObjectWhenUnchanged) {
  TTestItem* item = grid_->AddItem();
  item->SetPropertiesClassName("TcxTextEditProperties");
  TcxCustomEditProperties* properties = item->Properties();
  ASSERT_NE(properties, nullptr);
  item->SetPropertiesClassName("TcxTextEditProperties");
  EXPECT_EQ(item->Properties(), properties);
  item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  EXPECT_EQ(item->Properties(), properties);
  item->SetPropertiesClassName("TcxNoSuchProperties");
  EXPECT_EQ(item->Properties(), nullptr);
  EXPECT_NE(item->PropertiesValue(), nullptr);
}

// --- Cells -------------------------------------------------------------------

TEST_F(LayoutTest, CellOutsideTheClientAreaClipsToNothing) {
  TTestItem* item = grid_->AddItem();
  grid_->TestViewInfo()->TopOffset = 1000;
  grid_->LayoutChanged();
  TcxEditCellViewInfo* cell = grid_->CellOf(item);
  EXPECT_FALSE(cell->Visible());
  EXPECT_EQ(cell->ClipRect(), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(cell->VisibleRect(), (TRect{0, 0, 0, 0}));
}

struct TClipCase {
  TcxBorders Borders;
  TRect Display;
  TRect EditBounds;
  TRect Visible;
};

TEST_F(LayoutTest, CellBordersNarrowTheEditorRectangles) {
  TTestItem* item = grid_->AddItem();
  PumpUntilIdle();
  TcxEditCellViewInfo* cell = grid_->CellOf(item);
  const TRect available{0, 0, 200, 100};
  const TClipCase cases[] = {
      {cxBordersAll, {0, 0, 20, 10}, {1, 1, 19, 9}, {2, 2, 18, 8}},
      {TcxBorders{}, {0, 0, 20, 10}, {0, 0, 20, 10}, {1, 1, 19, 9}},
  };
  for (const auto& c : cases) {
    cell->SetBorders(c.Borders);
    cell->CheckClipping(c.Display, available);
    EXPECT_EQ(cell->EditBounds(), c.EditBounds);
    EXPECT_EQ(cell->VisibleRect(), c.Visible);
  }
}

TEST_F(LayoutTest, StylesToViewParamsLetEarlierStylesWin) {
  TObjectPtr<TcxStyle> colourOnly(new TcxStyle(nullptr));
  colourOnly->SetColor(clRed);
  TObjectPtr<TcxStyle> colourAndFont(new TcxStyle(nullptr));
  colourAndFont->SetColor(clBlue);
  TFont font;
  font.SetName("Tahoma");
  font.SetSize(13);
  colourAndFont->SetFont(&font);
  TcxViewParams params;
  cxStylesToViewParams(grid_->Styles(), TcxCustomControlStyles::ecs_Content,
                       nullptr, {colourOnly.get(), colourAndFont.get()},
                       params);
  EXPECT_EQ(params.Color, clRed);
  ASSERT_NE(params.Font, nullptr);
  EXPECT_EQ(params.Font->Size(), 13);
  TcxViewParams defaults;
  grid_->Styles()->GetDefaultViewParams(TcxCustomControlStyles::ecs_Content,
                                        nullptr, defaults);
  EXPECT_EQ(params.TextColor, defaults.TextColor);
  EXPECT_EQ(params.Bitmap, defaults.Bitmap);
}

TEST_F(LayoutTest, ShowEditButtonsAlwaysOnTheItemWins) {
  TTestItem* item = grid_->AddItem();
  PumpUntilIdle();
  TcxEditCellViewInfo* cell = grid_->CellOf(item);
  grid_->OptionsView()->SetShowEditButtons(ecsbNever);
  EXPECT_EQ(cell->GetButtonTransparency(), ebtHideInactive);
  item->Options()->SetShowEditButtons(eisbAlways);
  EXPECT_EQ(cell->GetButtonTransparency(), ebtNone);
  item->Options()->SetShowEditButtons(eisbNever);
  grid_->OptionsView()->SetShowEditButtons(ecsbAlways);
  EXPECT_EQ(cell->GetButtonTransparency(), ebtHideInactive);
}

TEST_F(LayoutTest, BufferedPaintAfterALayoutChangeRepaintsEverything) {
  TTestItem* item = grid_->AddItem();
  item->SetValue(0, Variant("cell"));
  grid_->SetBufferedPaint(true);
  grid_->LayoutChanged();
  EXPECT_TRUE(grid_->LayoutChangedFlag());
  grid_->Update();
  PumpUntilIdle();
  EXPECT_FALSE(grid_->LayoutChangedFlag());
}

// --- Editing ---------------------------------------------------------------

TEST_F(LayoutTest, ItemsWithTheSamePropertiesShareOneEditor) {
  TTestItem* a = grid_->AddItem();
  TTestItem* b = grid_->AddItem();
  a->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  b->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  auto* editing = grid_->EditingController();
  grid_->SetFocus();
  PumpUntilIdle();
  // Two items on the text default of their value type: one editor.
  TTestItem* c = grid_->AddItem();
  TTestItem* d = grid_->AddItem();
  c->SetEditing(true);
  TcxCustomEdit* first = editing->Edit();
  ASSERT_NE(first, nullptr);
  d->SetEditing(true);
  EXPECT_EQ(editing->Edit(), first);
  EXPECT_EQ(editing->EditingItem(), d);
  // Items with properties of their own get editors of their own.
  a->SetEditing(true);
  TcxCustomEdit* ofA = editing->Edit();
  b->SetEditing(true);
  EXPECT_NE(editing->Edit(), ofA);
  EXPECT_NE(ofA, first);
}

TEST_F(LayoutTest, RefusedValueOnAcceptRaisesAbortAndKeepsTheEditor) {
  TTestItem* item = grid_->AddItem();
  item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  item->SetValue(0, Variant("kept"));
  // A validation that fails without a message: the editor answers False.
  item->Properties()->OnValidate = TcxEditValidateEvent::FromFunction(
      [](TObject*, Variant&, String& AErrorText, bool& AError) {
        AErrorText.clear();
        AError = true;
      });
  grid_->SetFocus();
  PumpUntilIdle();
  item->SetEditing(true);
  TcxCustomEdit* edit = grid_->EditingController()->Edit();
  ASSERT_NE(edit, nullptr);
  edit->SetFocus();
  TypeText("new");
  PumpUntilIdle();
  ASSERT_TRUE(edit->ModifiedAfterEnter());
  EXPECT_THROW(grid_->EditingController()->HideEdit(true), EAbort);
  EXPECT_TRUE(grid_->EditingController()->IsEditing());
  EXPECT_EQ(grid_->EditingController()->Edit(), edit);
  EXPECT_EQ(VarToStr(grid_->DataController()->GetValue(0, item->ItemIndex())),
            "kept");
  grid_->EditingController()->HideEdit(false);
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
}

TEST_F(LayoutTest, EditorOfACellScrolledOutIsParked) {
  TTestItem* item = grid_->AddItem();
  grid_->SetFocus();
  PumpUntilIdle();
  item->SetEditing(true);
  TcxCustomEdit* edit = grid_->EditingController()->Edit();
  ASSERT_NE(edit, nullptr);
  PumpUntilIdle();
  EXPECT_LT(edit->Left(), 1000);
  grid_->TestViewInfo()->TopOffset = 1000;
  grid_->LayoutChanged();
  grid_->Update();
  PumpUntilIdle();
  EXPECT_EQ(edit->Left(), 30000);
  EXPECT_TRUE(grid_->EditingController()->IsEditing());
  grid_->TestViewInfo()->TopOffset = 0;
  grid_->LayoutChanged();
  grid_->Update();
  PumpUntilIdle();
  EXPECT_EQ(edit->BoundsRect(), grid_->CellOf(item)->VisibleRect());
}

TEST_F(LayoutTest, FocusingOffMovesTheFocusOn) {
  TTestItem* a = grid_->AddItem();
  TTestItem* b = grid_->AddItem();
  TTestItem* c = grid_->AddItem();
  c->Options()->SetFocusing(false);
  grid_->Controller()->SetFocusedItem(a);
  ASSERT_EQ(grid_->Controller()->FocusedItem(), a);
  a->Options()->SetFocusing(false);
  EXPECT_EQ(grid_->Controller()->FocusedItem(), b);
  b->Options()->SetFocusing(false);
  // None left that may hold it.
  EXPECT_EQ(grid_->Controller()->FocusedItem(), nullptr);
}

TEST_F(LayoutTest, LockedControlHasNoHotElement) {
  TTestItem* item = grid_->AddItem();
  PumpUntilIdle();
  auto* hotTrack = grid_->Controller()->HotTrackController();
  grid_->BeginUpdate();
  hotTrack->SetHotElement(grid_->CellOf(item), TPoint{5, 5});
  EXPECT_EQ(hotTrack->PrevElement(), nullptr);
  grid_->EndUpdate();
  const TPoint centre = grid_->CellCentre(item);
  grid_->HitTestController()->RecalculateOnMouseEvent(centre.X, centre.Y, {});
  EXPECT_EQ(grid_->HitTestController()->HitTestItem(), grid_->CellOf(item));
  EXPECT_EQ(hotTrack->PrevElement(), grid_->CellOf(item));
  // A cell that goes while hot leaves nothing dangling.
  grid_->TestViewInfo()->ClearEditCellViewInfos();
  EXPECT_EQ(grid_->HitTestController()->HitTestItem(), nullptr);
  EXPECT_EQ(hotTrack->PrevElement(), nullptr);
}

// --- Sizing ----------------------------------------------------------------

struct TSizingCase {
  bool Dynamic;
  Integer Move;
  Integer MarkShift;
  std::vector<Integer> Deltas;
};

TEST_F(LayoutTest, SizingSnapsTheMarkAndAppliesTheDelta) {
  TTestSizing sizing;
  grid_->Controller()->SetDragItem(&sizing);
  const TSizingCase cases[] = {
      {false, 14, 10, {1}},
      {false, 15, 20, {2}},
      {true, 15, 20, {1}},
      {true, 14, 10, {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Move);
    sizing.Dynamic = c.Dynamic;
    sizing.Deltas.clear();
    TCursorPosGuard cursor;
    const POINT start = ScreenOf(TPoint{50, 50});
    ::SetCursorPos(start.x, start.y);
    TcxSizingDragAndDropObject drag(grid_);
    drag.DoBeginDragAndDrop();
    ASSERT_EQ(drag.StartPos(), (TPoint{50, 50}));
    bool accepted = false;
    drag.DoDragAndDrop(TPoint{50 + c.Move, 50}, accepted);
    EXPECT_EQ(drag.DragPos().X - 50, c.MarkShift);
    drag.DoEndDragAndDrop(true);
    EXPECT_EQ(sizing.Deltas, c.Deltas);
  }
  grid_->Controller()->SetDragItem(nullptr);
}

TEST_F(LayoutTest, SizingEndedByEscapeAppliesNothing) {
  TTestSizing sizing;
  grid_->Controller()->SetDragItem(&sizing);
  TCursorPosGuard cursor;
  const POINT start = ScreenOf(TPoint{50, 50});
  ::SetCursorPos(start.x, start.y);
  TcxSizingDragAndDropObject drag(grid_);
  drag.DoBeginDragAndDrop();
  bool accepted = false;
  drag.DoDragAndDrop(TPoint{80, 50}, accepted);
  // Outside the bounds: the mark stays.
  drag.DoDragAndDrop(TPoint{400, 50}, accepted);
  EXPECT_EQ(drag.DragPos().X, 80);
  grid_->Controller()->SetDragCancel(true);
  drag.DoEndDragAndDrop(false);
  grid_->Controller()->SetDragCancel(false);
  EXPECT_TRUE(sizing.Deltas.empty());
  grid_->Controller()->SetDragItem(nullptr);
}

TEST_F(LayoutTest, SizingWithoutASizableItemDoesNotStart) {
  grid_->Controller()->SetDragItem(nullptr);
  TcxSizingDragAndDropObject drag(grid_);
  EXPECT_THROW(drag.DoBeginDragAndDrop(), EAbort);
}

TEST(AutoScrollTest, TimerRunsExactlyWhileInsideTheArea) {
  TcxAutoScrollingObject top(nullptr);
  TcxAutoScrollingObject bottom(nullptr);
  top.SetParams(TRect{0, 0, 100, 10}, sbVertical, scLineUp, 3);
  bottom.SetParams(TRect{0, 90, 100, 100}, sbVertical, scLineDown, 3);
  EXPECT_EQ(top.Increment(), -3);
  EXPECT_EQ(bottom.Increment(), 3);
  EXPECT_TRUE(top.Check(TPoint{5, 5}));
  EXPECT_FALSE(bottom.Check(TPoint{5, 5}));
  EXPECT_TRUE(top.Active());
  // Straight into the other area.
  EXPECT_FALSE(top.Check(TPoint{5, 95}));
  EXPECT_TRUE(bottom.Check(TPoint{5, 95}));
  EXPECT_FALSE(top.Active());
  EXPECT_TRUE(bottom.Active());
  bottom.Stop();
  EXPECT_FALSE(bottom.Active());
}

TEST(AutoScrollTest, BoundsModeRunsTheTimerOutsideTheArea) {
  TcxControllerAutoScrollingObject object(nullptr);
  object.SetBoundsParams(TRect{10, 10, 90, 90}, true, true, 2);
  EXPECT_FALSE(object.CheckBounds(TPoint{50, 50}));
  EXPECT_FALSE(object.Active());
  EXPECT_TRUE(object.CheckBounds(TPoint{5, 95}));
  EXPECT_EQ(object.Directions(), cxasdLeft | cxasdBottom);
  EXPECT_TRUE(object.Active());
  object.Stop();
}

}  // namespace
