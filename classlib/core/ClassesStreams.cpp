// TStream and its memory, string and file descendants.
#include <algorithm>
#include <cstring>
#include <limits>

#include "Classes.h"
#include "Platform.h"

namespace {

constexpr Int64 MaxBlock = std::numeric_limits<Integer>::max();

// Position after a seek; negative results are refused by the caller.
Int64 SeekTarget(Int64 offset, TSeekOrigin origin, Int64 position, Int64 size) {
  switch (origin) {
    case soBeginning:
      return offset;
    case soCurrent:
      return position + offset;
    case soEnd:
      return size + offset;
  }
  return position;
}

}  // namespace

// ---------------------------------------------------------------------------
// TStream

Integer TStream::Seek(Integer Offset, TSeekFrom Origin) {
  Int64 r = Seek(static_cast<Int64>(Offset), static_cast<TSeekOrigin>(Origin));
  return static_cast<Integer>(r);
}

void TStream::ReadBuffer(void* Buffer, Integer Count) {
  if (Count != 0 && (Count < 0 || Read(Buffer, Count) != Count)) {
    throw EReadError("Stream read error");
  }
}

void TStream::WriteBuffer(const void* Buffer, Integer Count) {
  if (Count != 0 && (Count < 0 || Write(Buffer, Count) != Count)) {
    throw EWriteError("Stream write error");
  }
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (!Source) return 0;
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  if (Count < 0) throw EReadError("Stream read error");
  const Int64 result = Count;
  constexpr Integer BufferSize = 0xF000;
  std::vector<Byte> buffer(
      static_cast<std::size_t>(std::min<Int64>(Count, BufferSize)));
  while (Count > 0) {
    Integer n = static_cast<Integer>(std::min<Int64>(Count, BufferSize));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

Int64 TStream::Size() {
  Int64 pos = Seek(Int64{0}, soCurrent);
  Int64 size = Seek(Int64{0}, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) {}

// ---------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Ptr, Integer Size) {
  memory_ = Ptr;
  size_ = Size < 0 ? 0 : Size;
}

Integer TCustomMemoryStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0 || position_ < 0 || position_ >= size_) return 0;
  Int64 n = std::min<Int64>(Count, size_ - position_);
  std::memcpy(Buffer, static_cast<const Byte*>(memory_) + position_,
              static_cast<std::size_t>(n));
  position_ += n;
  return static_cast<Integer>(n);
}

Integer TCustomMemoryStream::Write(const void*, Integer) { return 0; }

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  Int64 target = SeekTarget(Offset, Origin, position_, size_);
  // Positions before the start are refused; past the end is allowed.
  if (target >= 0) position_ = target;
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (Stream && size_ > 0) Stream->WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---------------------------------------------------------------------------
// TMemoryStream

void TMemoryStream::SetCapacity(Int64 NewCapacity) {
  if (NewCapacity < 0 || NewCapacity > MaxBlock) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  data_.resize(static_cast<std::size_t>(NewCapacity));
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0 || position_ < 0) return 0;
  Int64 end = position_ + Count;
  if (end > MaxBlock) return 0;
  if (end > TCustomMemoryStream::Size()) {
    SetCapacity(end);
    // Bytes between the old end and a position past it read as zeros.
    SetPointer(data_.data(), static_cast<Integer>(end));
  }
  std::memcpy(data_.data() + position_, Buffer,
              static_cast<std::size_t>(Count));
  position_ = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  SetCapacity(NewSize);
  SetPointer(data_.data(), static_cast<Integer>(NewSize));
  if (position_ > NewSize) position_ = NewSize;
}

void TMemoryStream::Clear() {
  std::vector<Byte>().swap(data_);
  SetPointer(nullptr, 0);
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  if (!Stream) return;
  Stream->SetPosition(0);
  Int64 count = Stream->Size();
  if (count < 0 || count > MaxBlock) throw EReadError("Stream read error");
  // Read into a separate buffer so that a failed read leaves this stream
  // as it was.
  std::vector<Byte> buffer(static_cast<std::size_t>(count));
  if (count > 0) Stream->ReadBuffer(buffer.data(), static_cast<Integer>(count));
  data_.swap(buffer);
  SetPointer(data_.data(), static_cast<Integer>(count));
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------
// TStringStream

Integer TStringStream::Read(void* Buffer, Integer Count) {
  Int64 size = DataSize();
  if (Count <= 0 || position_ < 0 || position_ >= size) return 0;
  Int64 n = std::min<Int64>(Count, size - position_);
  std::memcpy(Buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return static_cast<Integer>(n);
}

Integer TStringStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0 || position_ < 0) return 0;
  Int64 end = position_ + Count;
  if (end > MaxBlock) return 0;
  if (end > DataSize()) data_.resize(static_cast<std::size_t>(end), '\0');
  std::memcpy(data_.data() + position_, Buffer,
              static_cast<std::size_t>(Count));
  position_ = end;
  return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  Int64 target = SeekTarget(Offset, Origin, position_, DataSize());
  // Clamped to the data, as a string has no room beyond its end.
  position_ = std::clamp<Int64>(target, 0, DataSize());
  return position_;
}

void TStringStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  if (NewSize > MaxBlock) throw EStreamError("Stream size out of range");
  data_.resize(static_cast<std::size_t>(NewSize), '\0');
  if (position_ > NewSize) position_ = NewSize;
}

String TStringStream::ReadString(Integer Count) {
  Int64 size = DataSize();
  if (Count <= 0 || position_ >= size) return String();
  Int64 n = std::min<Int64>(Count, size - position_);
  String r = data_.substr(static_cast<std::size_t>(position_),
                          static_cast<std::size_t>(n));
  position_ += n;
  return r;
}

void TStringStream::WriteString(const String& AString) {
  WriteBuffer(AString.data(), static_cast<Integer>(AString.size()));
}

// ---------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const String& FileName, Word Mode)
    : fileName_(FileName) {
  if ((Mode & fmCreate) == fmCreate) {
    file_ = std::fopen(FileName.c_str(), "w+b");
    if (!file_) throw EFCreateError("Cannot create file \"%s\"", {FileName});
    canRead_ = canWrite_ = true;
    return;
  }
  switch (Mode & 0x0003) {
    case fmOpenWrite:
      file_ = std::fopen(FileName.c_str(), "r+b");
      canWrite_ = true;
      break;
    case fmOpenReadWrite:
      file_ = std::fopen(FileName.c_str(), "r+b");
      canRead_ = canWrite_ = true;
      break;
    default:
      file_ = std::fopen(FileName.c_str(), "rb");
      canRead_ = true;
      break;
  }
  if (!file_) throw EFOpenError("Cannot open file \"%s\"", {FileName});
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

void TFileStream::Switch(TLastOp op) {
  // The C library needs a positioning call between reading and writing.
  if (lastOp_ != opNone && lastOp_ != op)
    Platform::SeekFile(file_, 0, SEEK_CUR);
  lastOp_ = op;
}

Integer TFileStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0 || !canRead_) return 0;
  Switch(opRead);
  return static_cast<Integer>(
      std::fread(Buffer, 1, static_cast<std::size_t>(Count), file_));
}

Integer TFileStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0 || !canWrite_) return 0;
  Switch(opWrite);
  return static_cast<Integer>(
      std::fwrite(Buffer, 1, static_cast<std::size_t>(Count), file_));
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET
               : Origin == soCurrent ? SEEK_CUR
                                     : SEEK_END;
  if (!(Origin == soCurrent && Offset == 0)) {
    Platform::SeekFile(file_, Offset, whence);
    lastOp_ = opNone;
  }
  return Platform::TellFile(file_);
}

void TFileStream::SetSize(Int64 NewSize) {
  if (!canWrite_ || NewSize < 0) throw EStreamError("Stream size out of range");
  Int64 pos = Position();
  std::fflush(file_);
  if (!Platform::TruncateFile(file_, NewSize)) {
    throw EWriteError("Stream write error");
  }
  Platform::SeekFile(file_, std::min(pos, NewSize), SEEK_SET);
  lastOp_ = opNone;
}
