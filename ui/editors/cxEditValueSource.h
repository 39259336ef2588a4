// What an edit value means: the value itself, its display text, or a
// lookup key. Shared by the editors and the data controller, so that a
// control holding both sees one type. Platform independent.
#pragma once

#include "System.h"

enum TcxDataEditValueSource : Byte { evsValue, evsText, evsKey };
