// A text form compiled into the executable at build time comes back from
// its resource as live objects, and writing them gives the resource's bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "FormStreamFixture.h"
#include "Resources.h"

namespace {

std::string StreamBytes(TStream& s) {
  std::string bytes(static_cast<std::size_t>(s.Size()), '\0');
  s.SetPosition(0);
  s.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return bytes;
}

TEST(FormResource, CompiledFormReadsBackAsObjects) {
  RegisterTestClasses();
  TResourceStream res(GetModuleHandleA(nullptr), "TFSFORM",
                      MAKEINTRESOURCEA(10));
  const std::string stored = StreamBytes(res);
  ASSERT_EQ(stored.substr(0, 4), "TPF0");

  res.SetPosition(0);
  TObjectPtr<TComponent> root(ReadComponentFromStream(res, nullptr));
  auto* form = dynamic_cast<TFsForm*>(root.get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "Root1");
  EXPECT_EQ(form->Caption, "Main");
  auto* part1 = dynamic_cast<TFsPart*>(form->FindComponent("Part1"));
  auto* part2 = dynamic_cast<TFsPart*>(form->FindComponent("Part2"));
  ASSERT_NE(part1, nullptr);
  ASSERT_NE(part2, nullptr);
  EXPECT_EQ(part1->Align, faClient);
  EXPECT_EQ(part1->Buddy, part2);
  EXPECT_EQ(part1->GetItems()->Count(), 2);
  part1->OnClick(part1);
  EXPECT_EQ(form->Clicks, 1);

  TMemoryStream out;
  WriteComponentToStream(out, form);
  EXPECT_EQ(StreamBytes(out), stored);
}

}  // namespace
