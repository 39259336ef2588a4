#include "cxPCPainterStyles.h"

#include <array>

#include "cxLookAndFeelPainters.h"
#include "cxPCPaintersButtons.h"
#include "cxPCPaintersFlat.h"
#include "cxPCPaintersSlanted.h"
#include "cxPCPaintersTabs.h"

namespace {

// Reloads the OneNote colours when the system colours change; the Office
// 2003 colours it reads have been refreshed by then.
class TcxPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
  VARNEL_CLASS(TcxPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)
 public:
  void DoChanged() override { cxPCLoadOneNoteColors(); }
};

TObjectPtr<TcxPaletteChangedNotifier> paletteNotifier;

// In the order of registration: where several styles claim a look-and-feel,
// the registry answers the one registered last.
std::array<TcxPCPainterClass, 9> TabPainters() {
  return {TcxPCTabsPainter::PainterClass(),
          TcxPCButtonsPainter::PainterClass(),
          TcxPCFlatButtonsPainter::PainterClass(),
          TcxPCExtraFlatPainter::PainterClass(),
          TcxPCUltraFlatPainter::PainterClass(),
          TcxPCFlatPainter::PainterClass(),
          TcxPCOffice11Painter::PainterClass(),
          TcxPCSlantedPainter::PainterClass(),
          TcxPCOneNotePainter::PainterClass()};
}

void StartUp() {
  cxPCLoadOneNoteColors();
  paletteNotifier.reset(new TcxPaletteChangedNotifier());
  cxPCRegisterTabPainters();
}

void ShutDown() {
  cxPCUnregisterTabPainters();
  paletteNotifier.reset();
}

}  // namespace

void cxPCRegisterTabPainters() {
  for (TcxPCPainterClass painter : TabPainters())
    RegisterPCPainterClass(painter);
}

void cxPCUnregisterTabPainters() {
  for (TcxPCPainterClass painter : TabPainters())
    UnregisterPCPainterClass(painter);
}

VARNEL_UNIT(cxPCPainterStyles, ({"cxLookAndFeelPainters", "dxOffice11"}),
            StartUp, ShutDown);
