// A graphic holding a JPEG image: the compressed data as loaded or saved,
// and the decoded bitmap it draws from. Registered with TPicture for the
// .jpg and .jpeg extensions.
#pragma once

#include "Graphics.h"

using TJPEGQualityRange = Integer;  // 1..100

class TJPEGImage : public TGraphic {
  VARNEL_CLASS(TJPEGImage, TGraphic)
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  // From another JPEG image or a bitmap (compressed when next saved).
  void Assign(TPersistent* Source) override;

  bool Empty() override;
  Integer Width() override { return width_; }
  Integer Height() override { return height_; }
  // The size comes from the image: these raise EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;

  // The quality of the next compression, 1 (smallest) to 100 (best);
  // values outside are clamped. Changing it makes an image that has a
  // bitmap compress again when next saved.
  TJPEGQualityRange CompressionQuality() const { return quality_; }
  void SetCompressionQuality(TJPEGQualityRange Value);

  // Compresses the bitmap now.
  void Compress();
  // Makes sure the decoded bitmap exists.
  void DIBNeeded();
  // Makes sure the compressed data exists.
  void JPEGNeeded();

  // The rest of the stream is the JPEG data. Corrupt data raises
  // EInvalidGraphic and leaves the image as it was.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Form streams: the size of the JPEG data, then the data.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  void LoadData(std::vector<Byte> Data);
  std::vector<Byte> data_;
  TObjectPtr<TBitmap> bitmap_;
  Integer width_ = 0;
  Integer height_ = 0;
  TJPEGQualityRange quality_ = 90;
};
