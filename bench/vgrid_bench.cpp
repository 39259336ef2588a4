// The vertical grid's layout, paint and scroll costs, under Wine like the
// tests. A virtual grid of a few rows with 100, 10,000 and 1,000,000
// records in the multi-record layout, and of 100, 10,000 and 100,000 rows
// (the first 1,000 of them editor rows, the rest categories) with one
// record in the single-record layout: one layout pass plus one
// paint into a bitmap, then one scroll step (the next record or the next
// row, with its layout and paint). Goals: over records the scroll step and
// the repaint stay flat (within 1.5x from 100 to 1,000,000; only visible
// records are measured); over rows the layout may grow linearly, and a
// scroll step over 100,000 rows stays within one 60 Hz frame (16.7 ms).
//
//   vgrid_bench [repeats]   (default 5; the best time of the repeats)
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "BenchClock.h"
#include "Forms.h"
#include "System.h"
#include "cxVGrid.h"

namespace {

using bench::Seconds;

struct TFigures {
  double LayoutAndPaint = 1e9;
  double ScrollStep = 1e9;
};

// Paints the grid's current layout into a bitmap of its size.
void PaintInto(TcxCustomVerticalGrid* AGrid, TBitmap* ABitmap,
               TcxCanvas* ACanvas) {
  TcxvgPainter* painter = AGrid->VGPainter();
  TcxCanvas* saved = painter->Canvas();
  painter->SetCanvas(ACanvas);
  painter->DoPaint();
  painter->SetCanvas(saved);
  (void)ABitmap;
}

template <class FFill, class FScroll>
TFigures Measure(Integer ARepeats, FFill&& AFill, FScroll&& AScroll) {
  TFigures best;
  for (Integer r = 0; r < ARepeats; ++r) {
    TObjectPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(0, 0, 820, 640);
    auto* grid = new TcxVirtualVerticalGrid(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(0, 0, 800, 600);
    grid->HandleNeeded();
    AFill(grid);
    std::unique_ptr<TBitmap> bitmap(new TBitmap());
    bitmap->SetSize(800, 600);
    TcxCanvas canvas(bitmap->Canvas());
    best.LayoutAndPaint = std::min(best.LayoutAndPaint, Seconds([&] {
                                     grid->VGViewInfo()->Calculate();
                                     PaintInto(grid, bitmap.get(), &canvas);
                                   }));
    best.ScrollStep = std::min(best.ScrollStep, Seconds([&] {
                                 AScroll(grid);  // lays the grid out again
                                 if (grid->VGViewInfo()->IsDirty())
                                   grid->VGViewInfo()->Calculate();
                                 PaintInto(grid, bitmap.get(), &canvas);
                               }));
  }
  return best;
}

// Editor rows, and past AEditors category rows: each editor row is an item
// of the data controller, whose registration of items costs more the more
// it holds, so the largest trees are mostly categories (the layout and
// paint of a row do not depend on its kind).
void AddRows(TcxCustomVerticalGrid* AGrid, Integer ACount,
             Integer AEditors = 1000) {
  auto update = AGrid->UpdateScope();
  for (Integer i = 0; i < ACount; ++i) {
    if (i < AEditors) {
      auto* row = AGrid->Add<TcxEditorRow>();
      row->GetProperties()->SetCaption("Row " + IntToStr(i));
      row->GetProperties()->DataBinding()->SetValueType("String");
    } else {
      AGrid->Add<TcxCategoryRow>()->GetProperties()->SetCaption("Category " +
                                                                IntToStr(i));
    }
  }
}

void Report(const char* ACase, Integer ACount, const TFigures& AFigures) {
  std::printf("%-24s %9d %14.3f %12.3f\n", ACase, ACount,
              AFigures.LayoutAndPaint * 1e3, AFigures.ScrollStep * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  const Integer repeats = argc > 1 ? std::atoi(argv[1]) : 5;
  // Every unit started, as the program runs.
  InitializeUnits();
  std::printf("vertical grid, best of %d (milliseconds)\n", repeats);
  std::printf("%-34s %14s %12s\n", "case", "layout+paint", "scroll step");
  for (Integer records : {100, 10000, 1000000}) {
    const TFigures f = Measure(
        repeats,
        [&](TcxVirtualVerticalGrid* AGrid) {
          AGrid->SetLayoutStyle(lsMultiRecordView);
          AddRows(AGrid, 10);
          AGrid->DataController()->SetRecordCount(records);
          AGrid->DataController()->ChangeFocusedRowIndex(0);
        },
        [](TcxVirtualVerticalGrid* AGrid) {
          AGrid->SetLeftVisibleRecord(AGrid->GetLeftVisibleRecord() + 1);
        });
    Report("multi-record, records", records, f);
  }
  for (Integer rows : {100, 10000, 100000}) {
    const TFigures f = Measure(
        repeats,
        [&](TcxVirtualVerticalGrid* AGrid) {
          AddRows(AGrid, rows);
          AGrid->DataController()->SetRecordCount(1);
          AGrid->DataController()->ChangeFocusedRowIndex(0);
        },
        [](TcxVirtualVerticalGrid* AGrid) {
          AGrid->SetTopVisibleRowIndex(AGrid->GetTopVisibleRowIndex() + 1);
        });
    Report("single-record, rows", rows, f);
  }
  FinalizeUnits();
  return 0;
}
