// Random bytes to the packed-string unpacker and the raw inflater: they
// must answer with the whole data or nothing, never crash or read outside
// their input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "PellorZip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  String packed(reinterpret_cast<const char*>(data), size);
  String unpacked = PackedStrToStr(packed);
  if (!unpacked.empty() &&
      ~AccumulateCrc32(0xFFFFFFFF, unpacked.data(), unpacked.size()) !=
          (Cardinal{data[8]} | Cardinal{data[9]} << 8 |
           Cardinal{data[10]} << 16 | Cardinal{data[11]} << 24)) {
    __builtin_trap();  // a result that fails its own CRC
  }

  // The same bytes as a bare stream, with an expected length taken from
  // the first byte, into a buffer of exactly that size.
  if (size > 1) {
    std::vector<char> out(data[0] * 16u);
    std::size_t n =
        UncompressBuffer(data + 1, out.data(), size - 1, out.size());
    if (n != 0 && n != out.size()) __builtin_trap();
  }
  return 0;
}
