// Random bytes to every reader of debug information. The first byte picks
// the reader; for packed map data the rest is also wrapped as a correctly
// packed and enciphered payload, so that the list reader behind the
// checksums is reached. No reader may crash or read outside its input,
// and the lookups on whatever was read must stay safe.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "PellorCipher.h"
#include "PellorMapSources.h"
#include "PellorZip.h"

namespace {

void PutU32(String& s, Cardinal v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The stream packed, enciphered and given a version-2 header.
String Wrap(const String& stream) {
  String compressed(stream.size() + stream.size() / 8 + 64, '\0');
  const std::size_t n = CompressBuffer(stream.data(), compressed.data(),
                                       stream.size(), compressed.size());
  compressed.resize(n);
  String payload;
  PutU32(payload, static_cast<Cardinal>(stream.size()));
  PutU32(payload, 0);
  PutU32(payload, ~AccumulateCrc32(0xFFFFFFFFu, stream.data(), stream.size()));
  payload += compressed;
  LegacyEncipherStr(payload,
                    DeriveMapKey(static_cast<Cardinal>(payload.size())));
  String out(kPackedMapMarker, 14);
  PutU32(out, static_cast<Cardinal>(payload.size()));
  PutU32(out, 2);
  return out + payload;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1) return 0;
  const String rest(reinterpret_cast<const char*>(data + 1), size - 1);
  TMapFile map(false, false, reinterpret_cast<const void*>(0x400000),
               "fuzz.exe");
  map.SetLayout(0x400000, 0x401000, 0x500000, 0x600000, 0x700000,
                data[0] & 0x80 ? 0x1000 : 0);
  switch (data[0] % 5) {
    case 0:
      ImportPackedMap(rest, map);
      break;
    case 1:
      if (!rest.empty()) ImportPackedMap(Wrap(rest), map);
      break;
    case 2:
      ParseLinkerMap(rest, map);
      break;
    case 3: {
      // A heap copy of exactly the input, so that overreads show.
      const std::vector<char> copy(rest.begin(), rest.end());
      ReadTd32Data(copy.data(), copy.size(), map);
      break;
    }
    case 4:
      ReadJdbgData(rest, map);
      break;
  }
  for (std::uintptr_t a = 0x400ff0; a < 0x402000; a += 0x101) {
    const void* address = reinterpret_cast<const void*>(a);
    const void* next = nullptr;
    map.LineNumberOf(address, next);
    map.PublicOfAddress(address);
    map.SegmentOfAddress(true, address);
  }
  return 0;
}
