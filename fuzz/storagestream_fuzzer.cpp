// Object storage streams with arbitrary bytes: the reader either reads a
// tree or raises EReadError. A tree that was read must write and read back
// with the same shape and settle on stable bytes, and is restored into a
// node tree that creates every stored child and then stored again. Crashes,
// sanitizer reports, hangs and other exceptions are faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "../tests/ui/foundation/cxStorageTestSupport.h"
#include "Classes.h"
#include "cxStorage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

namespace {

std::size_t CountObjects(const TcxStreamObjectData& AData) {
  std::size_t n = 1;
  for (const auto& child : AData.Children) n += CountObjects(*child);
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const String bytes(reinterpret_cast<const char*>(data), size);
  TcxStreamObjectData tree;
  try {
    TStringStream in(bytes);
    tree.LoadFromStream(&in);
  } catch (const EReadError&) {
    return 0;
  }

  // Rewritten and read again, the tree keeps its shape, and a second
  // rewrite gives the same bytes (the first may differ: values are read
  // back in their stored kinds, and 8-bit text passes through the code
  // page on its way to UTF-8).
  auto rewrite = [](const TcxStreamObjectData& AData) {
    TStringStream out;
    AData.SaveToStream(&out);
    return out.DataString();
  };
  const String once = rewrite(tree);
  TStringStream onceStream(once);
  TcxStreamObjectData again;
  again.LoadFromStream(&onceStream);
  if (CountObjects(again) != CountObjects(tree)) std::abort();
  const String twice = rewrite(again);
  TStringStream twiceStream(twice);
  TcxStreamObjectData third;
  third.LoadFromStream(&twiceStream);
  if (rewrite(third) != twice) std::abort();

  // Restoring creates the stored tree; storing it again must not fail.
  TStringStream source(bytes);
  // Takes every property and child it is given.
  TStNode root(nullptr, tree.Name);
  TcxStorage storage(&source);
  storage.SetModesValue({smChildrenCreating});
  storage.RestoreFromStream(&root);
  TStringStream out;
  TcxStorage(&out).StoreToStream(&root);
  return 0;
}
