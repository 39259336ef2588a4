// The colour-name tables of the colour editors: the class library's colour
// identifiers, the HTML 4 colour names and the CSS/X11 colour keywords
// (alphabetical and by hue). Each name list has a parallel colour list.
#pragma once

#include <array>

#include "Graphics.h"

constexpr Integer cxColorIdentCount = 52;
constexpr Integer cxHTML4ColorCount = 16;
constexpr Integer cxX11ColorCount = 140;

extern const std::array<const char*, cxColorIdentCount> cxColorIdentNames;
extern const std::array<TColor, cxColorIdentCount> cxColorIdentValues;
extern const std::array<const char*, cxHTML4ColorCount> cxHTML4ColorNames;
extern const std::array<TColor, cxHTML4ColorCount> cxHTML4ColorValues;
// Alphabetical ("AliceBlue" .. "YellowGreen").
extern const std::array<const char*, cxX11ColorCount> cxX11ColorNames;
extern const std::array<TColor, cxX11ColorCount> cxX11ColorValues;
// The same colours ordered by hue ("LightPink" .. "Black").
extern const std::array<const char*, cxX11ColorCount> cxX11ColorByHueNames;
extern const std::array<TColor, cxX11ColorCount> cxX11ColorByHueValues;
