// The Windows side of the debug-information reader: where a loaded module's
// code and data lie, its packed map resource, TD32 data in the image or in
// a ".tds" file, and the debug files beside the module. Its start-up plugs
// these into PellorMapFile (the module seam) and the compiler's demangler
// into the publics. Nothing here raises.
#pragma once

#include "PellorMapFile.h"

// Sets the map's layout from the module's PE headers; false without them.
bool SetMapLayoutFromImage(TMapFile& map);

// The packed map data of resource type "PELLOR", name "EXCEPT".
bool PackedMapFromResource(TMapFile& map);

// TD32 data from the loaded image's debug directory, else from the ".tds"
// file beside the module (ignored when a ".map" beside it is of a later
// day).
bool ReadTd32DebugData(TMapFile& map);

// The debug files beside the module: ".map", then ".pellor", then ".jdbg";
// in the minimal form only ".pellor".
bool FindDebugFile(TMapFile& map, bool minimal);

// Every source of the module in order, the first success winning.
void LoadModuleMap(TMapFile& map);

// The identity text of minimal debug information in a settings resource
// (the string property "MinDebugInfo" of 31 characters); empty when none.
String MinDebugInfoOfSettings(const String& settings);
