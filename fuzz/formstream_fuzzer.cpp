// Form streams with arbitrary bytes: as a binary stream converted to text,
// as a binary stream read into a test root (and written back), and as a
// text form. The only acceptable outcomes are a result or an exception of
// the class library; crashes, sanitizer reports and hangs are faults.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Classes.h"
#include "FormStreamFixture.h"
#include "FormStreams.h"
#include "TypInfo.h"
#include "Variants.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  RegisterTestClasses();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // Binary to text, and the text back to binary.
  try {
    formstreams_detail::TMemorySource source(data, size);
    const std::string text = formstreams_detail::BinaryToText(source);
    formstreams_detail::TextToBinary(text);
  } catch (const Exception&) {
  }

  // Binary into a test root; whatever was read is written back.
  try {
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<Integer>(size));
    in.SetPosition(0);
    TFsForm root(nullptr);
    ReadComponentFromStream(in, &root);
    TMemoryStream out;
    WriteComponentToStream(out, &root);
  } catch (const Exception&) {
  }

  // Binary creating its own root by class name.
  try {
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<Integer>(size));
    in.SetPosition(0);
    TObjectPtr<TComponent> root(ReadComponentFromStream(in, nullptr));
  } catch (const Exception&) {
  }

  // Text.
  try {
    formstreams_detail::TextToBinary(
        std::string(reinterpret_cast<const char*>(data), size));
  } catch (const Exception&) {
  }
  return 0;
}
