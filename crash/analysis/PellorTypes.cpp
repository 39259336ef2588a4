#include "PellorTypes.h"

PellorException::PellorException(const String& message) : message_(message) {}
