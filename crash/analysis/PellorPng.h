// Screenshots travel in bug reports and mails, so they are written as small
// palette PNG files: 256 colours chosen for the picture by a variance-
// minimising box-cutting quantizer, 16 fixed grey levels at 4 bits per
// pixel, or whichever of the two is smaller once the colour file passes a
// size limit. The unit works over a plain 32-bpp bottom-up pixel buffer
// (blue, green, red, unused byte per pixel; rows of width * 4 bytes), so the
// bitmap classes and the tests hand it the same memory. Nothing here raises.
#pragma once

#include <cstddef>
#include <cstdint>

#include "System.h"

// The reduction modes of PixelsAsPng.
enum : int {
  kPngPalette = 0,    // 256 colours only
  kPngGrey = 1,       // 16 grey levels only
  kPngLimit50K = 2,   // colour; grey too when colour is over 51,200 bytes
  kPngLimit100K = 3,  // ... over 102,400 bytes
  kPngLimit200K = 4,  // ... over 204,800 bytes
  kPngLimit300K = 5,  // ... over 307,200 bytes
};

constexpr int kPngPaletteSize = 256;
constexpr int kPngGreyLevels = 16;
constexpr std::size_t kPngColourCacheSize = 32768;  // 5 bits per channel
constexpr std::size_t kPngGreyCacheSize = 256;

// The 16 grey levels, darkest first.
extern const Byte kPngGreyLevel[kPngGreyLevels];

// The PNG file of a width x height picture whose bottom-up 32-bpp pixels
// start at pixels, reduced by mode (unknown modes act like kPngPalette).
// The pixels are only read: the grey attempt of the limit modes leaves the
// picture in colour. Empty when no PNG could be made (no pixels, a size
// that the PNG or deflate cannot hold, a compression failure).
String PixelsAsPng(const Byte* pixels, int width, int height, int mode);

// Fills palette (colourCount red, green, blue triplets; at most 256) with
// colours chosen for count 32-bpp pixels. Entries no colour box fills repeat
// entry 0, so they never win a nearest-colour search over it.
void QuantizePalette(const Byte* pixels, std::size_t count, Byte* palette,
                     int colourCount = kPngPaletteSize);

// The index of the palette entry (256 RGB triplets) nearest to the colour
// by the sum of channel differences; the first of equals wins. The cache
// (kPngColourCacheSize entries, all -1 at the start of an encoding) keeps
// the answer per 15-bit colour key, so later colours sharing a key reuse
// the answer computed for the first.
int NearestPaletteIndex(std::int16_t* cache, const Byte* palette, int red,
                        int green, int blue);

// The index of the level of greyPalette (16 RGB triplets) nearest to grey;
// the darker of equals wins. The cache has kPngGreyCacheSize entries, all
// -1 at the start.
int NearestGreyIndex(std::int16_t* cache, const Byte* greyPalette, int grey);

// The PNG file of filtered rows (each a filter byte and the packed indices)
// for a palette picture: bit depth 8 for a 768-byte palette, else 4. Empty
// when deflate fails.
String BuildPng(int width, int height, const String& palette,
                const String& rows);

// The Adler-32 of zlib streams over length bytes, started at 1.
Cardinal PngAdler32(const void* data, std::size_t length);
