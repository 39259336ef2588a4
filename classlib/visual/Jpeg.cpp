// JPEG images over libjpeg.
//
// libjpeg reports errors by calling a hook that must not return. The hook
// longjmps back to a setjmp inside the one function that drives libjpeg
// (RunDecode, RunEncode); everything that function touches lives in a job
// record owned by its caller, and no C++ object is created between the
// setjmp and any libjpeg call that may jump. The caller turns the failure
// into EInvalidGraphic after the jump has ended.
#include "Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {

constexpr std::size_t kMaxJpegBytes = std::size_t{1} << 28;
constexpr UInt64 kMaxPixels = UInt64{1} << 26;

struct TJpegError {
  jpeg_error_mgr mgr;  // first: libjpeg sees only this part
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings about corrupt data (level -1: a damaged or truncated stream)
// fail the job like errors; trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int msgLevel) {
  if (msgLevel < 0) ErrorExit(cinfo);
}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.mgr);
  err.mgr.error_exit = &ErrorExit;
  err.mgr.emit_message = &EmitMessage;
  err.message[0] = '\0';
}

struct TDecodeJob {
  jpeg_decompress_struct cinfo{};
  TJpegError err{};
  bool created = false;
  const Byte* data = nullptr;
  std::size_t size = 0;
  TBitmap* bitmap = nullptr;
  std::vector<Byte> row;
  bool tooLarge = false;

  ~TDecodeJob() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Decodes job->data into job->bitmap (24 bits per pixel); 0 on failure.
int RunDecode(TDecodeJob* job) {
  if (setjmp(job->err.jump)) return 0;
  jpeg_create_decompress(&job->cinfo);
  job->created = true;
  jpeg_mem_src(&job->cinfo, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(&job->cinfo, TRUE);
  const bool cmyk = job->cinfo.jpeg_color_space == JCS_CMYK ||
                    job->cinfo.jpeg_color_space == JCS_YCCK;
  job->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_calc_output_dimensions(&job->cinfo);
  const UInt64 w = job->cinfo.output_width;
  const UInt64 h = job->cinfo.output_height;
  if (w == 0 || h == 0 || w * h > kMaxPixels) {
    job->tooLarge = true;
    return 0;
  }
  jpeg_start_decompress(&job->cinfo);
  const int comps = job->cinfo.output_components;
  job->row.resize(static_cast<std::size_t>(w) * comps);
  job->bitmap->SetPixelFormat(pf24bit);
  job->bitmap->SetSize(static_cast<Integer>(w), static_cast<Integer>(h));
  while (job->cinfo.output_scanline < job->cinfo.output_height) {
    const Integer y = static_cast<Integer>(job->cinfo.output_scanline);
    JSAMPROW row = job->row.data();
    jpeg_read_scanlines(&job->cinfo, &row, 1);
    Byte* out = static_cast<Byte*>(job->bitmap->ScanLine(y));
    const Byte* in = job->row.data();
    for (UInt64 x = 0; x < w; ++x, out += 3, in += comps) {
      if (comps == 4) {
        // CMYK as most writers store it: inverted.
        const unsigned k = in[3];
        out[2] = static_cast<Byte>(in[0] * k / 255);
        out[1] = static_cast<Byte>(in[1] * k / 255);
        out[0] = static_cast<Byte>(in[2] * k / 255);
      } else if (comps == 3) {
        out[2] = in[0];
        out[1] = in[1];
        out[0] = in[2];
      } else {
        out[0] = out[1] = out[2] = in[0];
      }
    }
  }
  jpeg_finish_decompress(&job->cinfo);
  return 1;
}

struct TEncodeJob {
  jpeg_compress_struct cinfo{};
  TJpegError err{};
  bool created = false;
  TBitmap* source = nullptr;  // 24 bits per pixel
  int quality = 90;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  std::vector<Byte> row;

  ~TEncodeJob() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(out);
  }
};

int RunEncode(TEncodeJob* job) {
  if (setjmp(job->err.jump)) return 0;
  jpeg_create_compress(&job->cinfo);
  job->created = true;
  jpeg_mem_dest(&job->cinfo, &job->out, &job->outSize);
  const Integer w = job->source->Width();
  const Integer h = job->source->Height();
  job->cinfo.image_width = static_cast<JDIMENSION>(w);
  job->cinfo.image_height = static_cast<JDIMENSION>(h);
  job->cinfo.input_components = 3;
  job->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, job->quality, TRUE);
  job->row.resize(static_cast<std::size_t>(w) * 3);
  jpeg_start_compress(&job->cinfo, TRUE);
  while (job->cinfo.next_scanline < job->cinfo.image_height) {
    const Byte* in = static_cast<const Byte*>(
        job->source->ScanLine(static_cast<Integer>(job->cinfo.next_scanline)));
    Byte* out = job->row.data();
    for (Integer x = 0; x < w; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
    JSAMPROW row = job->row.data();
    jpeg_write_scanlines(&job->cinfo, &row, 1);
  }
  jpeg_finish_compress(&job->cinfo);
  return 1;
}

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() { return data_.empty() && !bitmap_; }

void TJPEGImage::SetWidth(Integer) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(Integer) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) {
  Value = std::clamp(Value, 1, 100);
  if (Value == quality_) return;
  quality_ = Value;
  if (bitmap_) data_.clear();
}

void TJPEGImage::LoadData(std::vector<Byte> Data) {
  if (Data.empty()) throw EInvalidGraphic("JPEG image is empty");
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  {
    TDecodeJob job;
    InitError(job.err);
    job.cinfo.err = &job.err.mgr;
    job.data = Data.data();
    job.size = Data.size();
    job.bitmap = bitmap.get();
    if (!RunDecode(&job)) {
      if (job.tooLarge) throw EInvalidGraphic("JPEG image too large");
      throw EInvalidGraphic("JPEG error: %s", {String(job.err.message)});
    }
  }
  width_ = bitmap->Width();
  height_ = bitmap->Height();
  bitmap_ = std::move(bitmap);
  data_ = std::move(Data);
  Changed(this);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  const Int64 remaining = Stream->Size() - Stream->Position();
  if (remaining <= 0) throw EInvalidGraphic("JPEG image is empty");
  if (static_cast<UInt64>(remaining) > kMaxJpegBytes) {
    throw EInvalidGraphic("JPEG image too large");
  }
  std::vector<Byte> data(static_cast<std::size_t>(remaining));
  Stream->ReadBuffer(data.data(), static_cast<Integer>(data.size()));
  LoadData(std::move(data));
}

void TJPEGImage::Compress() {
  if (!bitmap_ || bitmap_->Empty()) return;
  TBitmap source;
  source.Assign(bitmap_.get());
  source.SetPixelFormat(pf24bit);
  TEncodeJob job;
  InitError(job.err);
  job.cinfo.err = &job.err.mgr;
  job.source = &source;
  job.quality = quality_;
  if (!RunEncode(&job)) {
    throw EInvalidGraphicOperation("JPEG error: %s", {String(job.err.message)});
  }
  data_.assign(job.out, job.out + job.outSize);
}

void TJPEGImage::JPEGNeeded() {
  if (data_.empty()) Compress();
}

void TJPEGImage::DIBNeeded() {
  if (bitmap_ || data_.empty()) return;
  LoadData(data_);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (!data_.empty()) {
    Stream->WriteBuffer(data_.data(), static_cast<Integer>(data_.size()));
  }
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    data_.clear();
    bitmap_.reset();
    width_ = height_ = 0;
    Changed(this);
    return;
  }
  if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    if (j == this) return;
    data_ = j->data_;
    bitmap_.reset();
    if (j->bitmap_) {
      bitmap_.reset(new TBitmap);
      bitmap_->Assign(j->bitmap_.get());
    }
    width_ = j->width_;
    height_ = j->height_;
    quality_ = j->quality_;
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    TObjectPtr<TBitmap> copy(new TBitmap);
    copy->Assign(b);
    if (!copy->Empty()) copy->SetPixelFormat(pf24bit);
    data_.clear();
    width_ = copy->Width();
    height_ = copy->Height();
    bitmap_ = copy->Empty() ? nullptr : std::move(copy);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    b->Assign(bitmap_.get());
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (bitmap_) ACanvas->StretchDraw(Rect, bitmap_.get());
}

void TJPEGImage::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof size);
  if (size <= 0) {
    Assign(nullptr);
    return;
  }
  if (static_cast<std::size_t>(size) > kMaxJpegBytes) {
    throw EInvalidGraphic("JPEG image too large");
  }
  std::vector<Byte> data(static_cast<std::size_t>(size));
  Stream->ReadBuffer(data.data(), size);
  LoadData(std::move(data));
}

void TJPEGImage::WriteData(TStream* Stream) {
  JPEGNeeded();
  const Integer size = static_cast<Integer>(data_.size());
  Stream->WriteBuffer(&size, sizeof size);
  if (size > 0) Stream->WriteBuffer(data_.data(), size);
}

namespace {

void JpegStartup() {
  RegisterClasses({TJPEGImage::StaticClass()});
  TPicture::RegisterFileFormat("jpg", "JPEG Image File",
                               TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File",
                               TJPEGImage::StaticClass());
}

}  // namespace

VARNEL_UNIT(Jpeg, ({"Graphics"}), &JpegStartup, nullptr);
