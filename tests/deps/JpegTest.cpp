// libjpeg, cross-built from the distribution's source: it links statically,
// round-trips an image in memory and reports corrupt data through its error
// hook instead of ending the process.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {

struct ErrorTrap {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

// libjpeg's default handler exits the process; tests jump back instead.
void TrapError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

constexpr int kWidth = 16;
constexpr int kHeight = 8;

std::vector<unsigned char> Compress(const std::vector<unsigned char>& rgb) {
  jpeg_compress_struct cinfo{};
  ErrorTrap trap{};
  cinfo.err = jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = TrapError;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  std::vector<unsigned char> result;
  if (setjmp(trap.jump) == 0) {
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW row =
          const_cast<unsigned char*>(&rgb[cinfo.next_scanline * kWidth * 3]);
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    result.assign(out, out + outSize);
  }
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return result;
}

// Returns false when libjpeg reported an error.
bool Decompress(const std::vector<unsigned char>& jpeg,
                std::vector<unsigned char>& rgb, int& width, int& height) {
  jpeg_decompress_struct cinfo{};
  ErrorTrap trap{};
  cinfo.err = jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = TrapError;
  bool ok = false;
  if (setjmp(trap.jump) == 0) {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = &rgb[cinfo.output_scanline * width * 3];
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    ok = true;
  }
  jpeg_destroy_decompress(&cinfo);
  return ok;
}

// Left half red, right half blue: flat areas survive JPEG almost exactly.
std::vector<unsigned char> TwoColourImage() {
  std::vector<unsigned char> rgb(kWidth * kHeight * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      unsigned char* p = &rgb[(y * kWidth + x) * 3];
      p[0] = x < kWidth / 2 ? 220 : 10;
      p[1] = 20;
      p[2] = x < kWidth / 2 ? 10 : 230;
    }
  }
  return rgb;
}

TEST(Jpeg, RoundTripsAnImageInMemory) {
  const std::vector<unsigned char> original = TwoColourImage();
  const std::vector<unsigned char> jpeg = Compress(original);
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);  // start-of-image marker

  std::vector<unsigned char> decoded;
  int width = 0;
  int height = 0;
  ASSERT_TRUE(Decompress(jpeg, decoded, width, height));
  ASSERT_EQ(width, kWidth);
  ASSERT_EQ(height, kHeight);
  // Sample away from the colour edge, where chroma subsampling blurs.
  for (int y : {0, kHeight - 1}) {
    for (int x : {1, kWidth - 2}) {
      for (int c = 0; c < 3; ++c) {
        const std::size_t i = (y * kWidth + x) * 3 + c;
        EXPECT_NEAR(decoded[i], original[i], 12)
            << "pixel " << x << "," << y << " channel " << c;
      }
    }
  }
}

TEST(Jpeg, CorruptDataIsReportedNotFatal) {
  std::vector<unsigned char> jpeg = Compress(TwoColourImage());
  ASSERT_GT(jpeg.size(), 20u);
  std::vector<unsigned char> decoded;
  int width = 0;
  int height = 0;
  const std::vector<unsigned char> notJpeg = {'B', 'M', 0, 0, 0, 0};
  EXPECT_FALSE(Decompress(notJpeg, decoded, width, height));
  const std::vector<unsigned char> headerOnly(jpeg.begin(), jpeg.begin() + 20);
  EXPECT_FALSE(Decompress(headerOnly, decoded, width, height));
}

}  // namespace
