#include "host/Classes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/Exception.h"
#include "host/Translate.h"

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError(FormatMessage(FormatMessage(HostText(SAssignError), "nil"), ClassName()));
}

void TPersistent::AssignTo(TPersistent* Dest) {
  throw EConvertError(FormatMessage(FormatMessage(HostText(SAssignError), ClassName()), Dest->ClassName()));
}

// ---------------------------------------------------------------------------

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError(HostText(SReadError));
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError(HostText(SWriteError));
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.GetSize();
  }
  std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(Count, 1 << 16)));
  for (std::int64_t left = Count; left > 0;) {
    const auto n = std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
    Source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    left -= n;
  }
  return Count;
}

std::int64_t TStream::GetSize() {
  const auto position = Seek(0, TSeekOrigin::soCurrent);
  const auto size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

// ---------------------------------------------------------------------------

namespace {

// Opens without blocking, so a FIFO with no peer cannot hang the open, and
// keeps only regular files: a directory or FIFO opens on Linux but is no file.
int OpenRegularFile(const std::string& FileName, int Flags) {
  const int fd = ::open(FileName.c_str(), Flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat info {};
  const int status = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || status < 0 ||
      ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FFileName(FileName) {
  if (Mode == fmCreate) {
    FHandle = OpenRegularFile(FileName, O_RDWR | O_CREAT | O_TRUNC);
    if (FHandle < 0) throw EFCreateError(FormatMessage(HostText(SFCreateError), FileName));
    return;
  }
  const int access = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
  FHandle = OpenRegularFile(FileName, access);
  if (FHandle < 0) throw EFOpenError(FormatMessage(HostText(SFOpenError), FileName));
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  auto* out = static_cast<std::uint8_t*>(Buffer);
  std::int64_t done = 0;
  while (done < Count) {
    const auto n = ::read(FHandle, out + done, static_cast<std::size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  const auto* in = static_cast<const std::uint8_t*>(Buffer);
  std::int64_t done = 0;
  while (done < Count) {
    const auto n = ::write(FHandle, in + done, static_cast<std::size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET : Origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(FHandle, Offset, whence);
}

void TFileStream::SetSize(std::int64_t NewSize) {
  if (::ftruncate(FHandle, NewSize) != 0) throw EWriteError(HostText(SWriteError));
}

// ---------------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const auto size = static_cast<std::int64_t>(FData.size());
  if (Count <= 0 || FPosition >= size) return 0;
  const auto n = std::min(Count, size - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const auto end = FPosition + Count;
  if (end > static_cast<std::int64_t>(FData.size())) FData.resize(static_cast<std::size_t>(end));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const auto base = Origin == TSeekOrigin::soBeginning ? 0
                    : Origin == TSeekOrigin::soCurrent ? FPosition
                                                       : static_cast<std::int64_t>(FData.size());
  FPosition = std::max<std::int64_t>(0, base + Offset);
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  FData.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, NewSize)));
  FPosition = std::min(FPosition, static_cast<std::int64_t>(FData.size()));
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  std::vector<std::uint8_t> data(static_cast<std::size_t>(Stream.GetSize()));
  Stream.ReadBuffer(data.data(), static_cast<std::int64_t>(data.size()));
  FData = std::move(data);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}
