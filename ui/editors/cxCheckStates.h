// Check states shared by the check box, the check group and the check combo
// box. Portable.
#pragma once

#include "System.h"

enum TcxCheckBoxState : Byte { cbsUnchecked, cbsChecked, cbsGrayed };
