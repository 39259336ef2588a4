// Readers of the debug-information formats from memory, and the writer of
// the packed map data that the build links into our own executables. All
// portable; every reader checks each offset against the data it was given
// and fails quietly on anything short, oversized or inconsistent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PellorMapFile.h"

// The fixed marker at the start of packed map data.
extern const char kPackedMapMarker[15];

// Packed map data (resource or ".pellor" file). True once the header was
// accepted, even when the payload proved invalid (then the map stays
// invalid). For minimal information (version 3, flag bit 0) minDebugInfo
// (may be null) looks up the identity text in the module's settings, sets
// it and tries the packed file beside the module; true when that worked.
using TMinDebugInfoQuery = bool (*)(TMapFile& map);
bool ImportPackedMap(const String& data, TMapFile& map,
                     TMinDebugInfoQuery minDebugInfo = nullptr);

// What a packing tool writes: version-2 packed map data from absolute
// lists of the map's layout (segments and publics of code only).
String BuildPackedMap(const std::vector<TMfSegment>& segments,
                      const std::vector<TMfPublic>& publics,
                      const std::vector<TMfLine>& lines,
                      std::uintptr_t codeStart, std::uintptr_t entryPoint);

// The password of the packed payload of the given length.
String DeriveMapKey(Cardinal payloadLength);

// A linker's text map. Parsing stops at nothing: a line that does not fit
// is dropped. Sorts and compacts what it read.
void ParseLinkerMap(const String& text, TMapFile& map);

// TD32 debug data (signature "FB09" or "FB0A"). False when the signature
// is wrong; bounds are checked against size everywhere.
bool ReadTd32Data(const void* data, std::size_t size, TMapFile& map);

// A JEDI debug-data file. False when its header or checksum is wrong.
bool ReadJdbgData(const String& data, TMapFile& map);
