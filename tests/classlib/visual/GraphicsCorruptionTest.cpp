// Damaged image files, made by flipping bytes and cutting valid ones: every
// loader either loads them or raises EInvalidGraphic, and never crashes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "Graphics.h"
#include "GraphicsTestHelpers.h"
#include "Jpeg.h"

namespace {

using visual_test::Saved;

TObjectPtr<TBitmap> Sample(TPixelFormat format) {
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetPixelFormat(format);
  b->SetSize(9, 7);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(Rect(0, 0, 9, 7));
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->Ellipse(1, 1, 8, 6);
  return b;
}

struct Format {
  const char* name;
  std::function<std::vector<Byte>()> make;
  std::function<TGraphic*()> create;
};

// A small deterministic generator, so a failure repeats.
struct Lcg {
  UInt64 state;
  Cardinal Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<Cardinal>(state >> 33);
  }
};

TEST(GraphicsCorruption, DamagedFilesLoadOrRaiseInvalidGraphic) {
  const Format formats[] = {
      {"bmp 8 bit", [] { return Saved(Sample(pf8bit).get()); },
       [] { return new TBitmap; }},
      {"bmp 16 bit", [] { return Saved(Sample(pf16bit).get()); },
       [] { return new TBitmap; }},
      {"bmp 24 bit", [] { return Saved(Sample(pf24bit).get()); },
       [] { return new TBitmap; }},
      {"ico",
       [] {
         TIcon icon;
         auto color = Sample(pf24bit);
         TBitmap mask;
         mask.SetPixelFormat(pf1bit);
         mask.SetSize(9, 7);
         ICONINFO ii{};
         ii.fIcon = TRUE;
         ii.hbmColor = color->Handle();
         ii.hbmMask = mask.Handle();
         icon.SetHandle(CreateIconIndirect(&ii));
         return Saved(&icon);
       },
       [] { return new TIcon; }},
      {"emf",
       [] {
         TMetafile mf;
         {
           TMetafileCanvas canvas(&mf, nullptr);
           canvas.Brush()->SetColor(clRed);
           canvas.Ellipse(0, 0, 20, 10);
           canvas.TextOut(2, 2, "x");
         }
         return Saved(&mf);
       },
       [] { return new TMetafile; }},
      {"jpeg",
       [] {
         TJPEGImage jpeg;
         jpeg.Assign(Sample(pf24bit).get());
         return Saved(&jpeg);
       },
       [] { return new TJPEGImage; }},
  };
  Lcg random{42};
  for (const Format& f : formats) {
    SCOPED_TRACE(f.name);
    const std::vector<Byte> good = f.make();
    ASSERT_FALSE(good.empty());
    for (int round = 0; round < 100; ++round) {
      std::vector<Byte> bytes = good;
      const int flips = 1 + static_cast<int>(random.Next() % 4);
      for (int i = 0; i < flips; ++i) {
        // Headers matter most: half of the flips hit the first 64 bytes.
        const std::size_t range = random.Next() % 2
                                      ? std::min<std::size_t>(64, bytes.size())
                                      : bytes.size();
        bytes[random.Next() % range] = static_cast<Byte>(random.Next());
      }
      if (round % 5 == 0) bytes.resize(random.Next() % bytes.size());
      TObjectPtr<TGraphic> g(f.create());
      TMemoryStream ms;
      if (!bytes.empty()) {
        ms.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
      }
      ms.SetPosition(0);
      try {
        g->LoadFromStream(&ms);
      } catch (const EInvalidGraphic&) {
      } catch (const Exception& e) {
        ADD_FAILURE() << "round " << round << ": " << e.ClassName() << ": "
                      << e.Message();
      }
    }
  }
}

}  // namespace
