// Icons, metafiles and pictures: loading and saving, drawing, the registry
// of file formats and the picture's form-stream data.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "FormStreams.h"
#include "Graphics.h"
#include "GraphicsTestHelpers.h"

namespace {

using visual_test::Filled;
using visual_test::LoadBytes;
using visual_test::Put;
using visual_test::Saved;

// A scratch file name in the temporary folder, deleted afterwards.
class TempFile {
 public:
  explicit TempFile(const char* ext) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    static int n = 0;
    name_ = String(dir) + "varnel_graphics_" +
            IntToStr(static_cast<Integer>(GetCurrentProcessId())) + "_" +
            IntToStr(++n) + ext;
  }
  ~TempFile() { DeleteFileA(name_.c_str()); }
  const String& Name() const { return name_; }

 private:
  String name_;
};

// A 16 x 16 icon: red on the left half, transparent on the right.
HICON MakeIcon() {
  const int w = 16;
  const int h = 16;
  auto color = Filled(w, h, clBlack);
  color->Canvas()->Brush()->SetColor(clRed);
  color->Canvas()->FillRect(Rect(0, 0, 8, 16));
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetSize(w, h);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 8, 16));
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(Rect(8, 0, 16, 16));
  ICONINFO ii{};
  ii.fIcon = TRUE;
  ii.hbmColor = color->Handle();
  ii.hbmMask = mask.Handle();
  return CreateIconIndirect(&ii);
}

// ---------------------------------------------------------------------------
// Icons
// ---------------------------------------------------------------------------

TEST(Icon, SavedFromAHandleLoadsBackAndDrawsWithTransparency) {
  TIcon icon;
  icon.SetHandle(MakeIcon());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  const std::vector<Byte> ico = Saved(&icon);
  ASSERT_GT(ico.size(), 22u);

  TIcon back;
  LoadBytes(&back, ico);
  ASSERT_NE(back.Handle(), nullptr);
  EXPECT_EQ(back.Width(), 16);
  EXPECT_EQ(back.Height(), 16);
  auto canvas = Filled(16, 16, clLime);
  canvas->Canvas()->Draw(0, 0, &back);
  EXPECT_EQ(canvas->Canvas()->Pixels(3, 8), clRed);
  EXPECT_EQ(canvas->Canvas()->Pixels(12, 8), clLime);
  // A loaded icon saves the file it came from.
  EXPECT_EQ(Saved(&back), ico);
  EXPECT_THROW(back.SetWidth(3), EInvalidGraphicOperation);
}

TEST(Icon, CorruptFilesRaise) {
  TIcon good;
  good.SetHandle(MakeIcon());
  const std::vector<Byte> ico = Saved(&good);
  auto with = [&ico](std::size_t at, auto value) {
    std::vector<Byte> v = ico;
    Put(v, at, value);
    return v;
  };
  struct Case {
    const char* what;
    std::vector<Byte> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"cursor type", with(2, WORD{2})},
      {"no images", with(4, WORD{0})},
      {"image beyond the data", with(18, DWORD{0x00FFFFFF})},
      {"image size zero", with(14, DWORD{0})},
      {"cut short", std::vector<Byte>(ico.begin(), ico.end() - 10)},
      {"image header", with(22, DWORD{12})},
      {"image height", with(22 + 8, LONG{4000})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TIcon icon;
    EXPECT_THROW(LoadBytes(&icon, c.bytes), EInvalidGraphic);
    EXPECT_TRUE(icon.Empty());
  }
}

// ---------------------------------------------------------------------------
// Metafiles
// ---------------------------------------------------------------------------

TObjectPtr<TMetafile> RedSquareMetafile() {
  TObjectPtr<TMetafile> mf(new TMetafile);
  mf->SetWidth(20);
  mf->SetHeight(20);
  {
    TMetafileCanvas canvas(mf.get(), nullptr);
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetStyle(psClear);
    canvas.Rectangle(0, 0, 11, 21);
  }
  return mf;
}

TEST(Metafile, RecordsDrawingAndReplaysItScaled) {
  auto mf = RedSquareMetafile();
  ASSERT_FALSE(mf->Empty());
  auto target = Filled(40, 40, clWhite);
  target->Canvas()->StretchDraw(Rect(0, 0, 40, 40), mf.get());
  EXPECT_EQ(target->Canvas()->Pixels(5, 20), clRed);
  EXPECT_EQ(target->Canvas()->Pixels(35, 20), clWhite);

  TMetafile back;
  LoadBytes(&back, Saved(mf.get()));
  ASSERT_FALSE(back.Empty());
  auto again = Filled(40, 40, clWhite);
  again->Canvas()->StretchDraw(Rect(0, 0, 40, 40), &back);
  EXPECT_EQ(again->Canvas()->Pixels(5, 20), clRed);
}

TEST(Metafile, CorruptFilesRaise) {
  auto mf = RedSquareMetafile();
  const std::vector<Byte> emf = Saved(mf.get());
  ASSERT_GT(emf.size(), 100u);
  auto with = [&emf](std::size_t at, auto value) {
    std::vector<Byte> v = emf;
    Put(v, at, value);
    return v;
  };
  // The second record starts where the header record ends.
  DWORD headerSize = 0;
  std::memcpy(&headerSize, emf.data() + 4, 4);
  struct Case {
    const char* what;
    std::vector<Byte> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"not a header", with(0, DWORD{2})},
      {"signature", with(40, DWORD{0x12345678})},
      {"total too small", with(48, DWORD{16})},
      {"cut short", std::vector<Byte>(emf.begin(), emf.end() - 8)},
      {"record past the end", with(headerSize + 4, DWORD{0x7FFFFFF0})},
      {"record size zero", with(headerSize + 4, DWORD{0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMetafile m;
    EXPECT_THROW(LoadBytes(&m, c.bytes), EInvalidGraphic);
    EXPECT_TRUE(m.Empty());
  }
}

// ---------------------------------------------------------------------------
// Pictures and file formats
// ---------------------------------------------------------------------------

TEST(Picture, RegistryFindsClassesByExtension) {
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass(".ICO"), TIcon::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("emf"), TMetafile::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("xyz"), nullptr);
  EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
  EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "Bitmaps (*.bmp)|*.bmp");
  const String all = GraphicFilter(TGraphic::StaticClass());
  EXPECT_EQ(all.rfind("All (", 0), 0u) << all;
  EXPECT_NE(all.find("|Icons (*.ico)|*.ico"), String::npos) << all;
  EXPECT_NE(GraphicFileMask(TGraphic::StaticClass()).find("*.emf"),
            String::npos);
}

// A graphic class of the test's own, registered for one extension.
class TTestGraphic : public TBitmap {
  VARNEL_CLASS(TTestGraphic, TBitmap)
};

TEST(Picture, LoadFromFileUsesTheRegisteredClass) {
  TPicture::RegisterFileFormat("tgx", "Test graphics",
                               TTestGraphic::StaticClass());
  TempFile file(".TGX");
  Filled(3, 2, clRed)->SaveToFile(file.Name());
  TPicture picture;
  picture.LoadFromFile(file.Name());
  EXPECT_NE(dynamic_cast<TTestGraphic*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("tgx"), nullptr);
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TBitmap::StaticClass());
}

TEST(Picture, SavesAndLoadsBitmapFiles) {
  TempFile file(".bmp");
  TPicture out;
  out.Bitmap()->SetSize(4, 4);
  out.Bitmap()->Canvas()->Brush()->SetColor(clPurple);
  out.Bitmap()->Canvas()->FillRect(Rect(0, 0, 4, 4));
  out.SaveToFile(file.Name());
  TPicture in;
  in.LoadFromFile(file.Name());
  ASSERT_NE(dynamic_cast<TBitmap*>(in.Graphic()), nullptr);
  EXPECT_EQ(in.Bitmap()->Canvas()->Pixels(2, 2), clPurple);
}

TEST(Picture, BadFilesRaiseAndKeepTheOldGraphic) {
  TPicture picture;
  picture.Bitmap()->SetSize(7, 7);
  try {
    picture.LoadFromFile("image.abc");
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("(.abc)"), String::npos) << e.Message();
  }
  TempFile file(".bmp");
  {
    TFileStream junk(file.Name(), fmCreate);
    junk.WriteBuffer("not a bitmap at all", 19);
  }
  EXPECT_THROW(picture.LoadFromFile(file.Name()), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 7);
}

TEST(Picture, TypedAccessReplacesTheGraphicAndChangesAreReported) {
  int changes = 0;
  TPicture picture;
  picture.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  TIcon* icon = picture.Icon();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(changes, 1);
  TBitmap* bmp = picture.Bitmap();
  EXPECT_EQ(picture.Graphic(), bmp);
  EXPECT_EQ(changes, 2);
  bmp->SetSize(2, 2);  // changes of the held graphic reach the picture
  EXPECT_EQ(changes, 3);
  auto source = Filled(5, 5, clRed);
  picture.SetGraphic(source.get());  // holds a copy
  EXPECT_NE(picture.Graphic(), source.get());
  EXPECT_EQ(picture.Width(), 5);
  picture.SetGraphic(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
}

// A component holding a picture, for form streams.
class TPictureHolder : public TComponent {
  VARNEL_CLASS(TPictureHolder, TComponent)
 public:
  explicit TPictureHolder(TComponent* owner)
      : TComponent(owner), picture_(new TPicture) {}
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }

 private:
  TObjectPtr<TPicture> picture_;
};

TEST(Picture, GraphicTravelsInFormStreams) {
  static const bool registered = [] {
    TPublished<TPictureHolder>().Property("Picture", &TPictureHolder::Picture,
                                          &TPictureHolder::SetPicture);
    RegisterClasses({TPictureHolder::StaticClass()});
    return true;
  }();
  (void)registered;
  TPictureHolder holder(nullptr);
  holder.SetName("Holder1");
  holder.Picture()->Bitmap()->SetPixelFormat(pf24bit);
  holder.Picture()->Bitmap()->SetSize(3, 3);
  holder.Picture()->Bitmap()->Canvas()->SetPixels(1, 1, clOlive);
  TMemoryStream ms;
  WriteComponentToStream(ms, &holder);
  ms.SetPosition(0);
  TObjectPtr<TComponent> root(ReadComponentFromStream(ms, nullptr));
  auto* back = dynamic_cast<TPictureHolder*>(root.get());
  ASSERT_NE(back, nullptr);
  TBitmap* bmp = dynamic_cast<TBitmap*>(back->Picture()->Graphic());
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 3);
  EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), clOlive);
}

}  // namespace
