#pragma once
// Streams: the framework's byte streams over files and memory.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The root of the framework's objects: what an event names as its sender.
class TObject {
public:
  virtual ~TObject() = default;
  virtual const char* ClassName() const { return "TObject"; }
};
using TNotifyEvent = std::function<void(TObject* Sender)>;

// An object that can take its content from another.
class TPersistent : public TObject {
public:
  // Asks Source to assign itself to this; raises EConvertError when neither knows how.
  virtual void Assign(TPersistent* Source);

protected:
  virtual void AssignTo(TPersistent* Dest);
};

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;

  // Read and Write move at most Count bytes and return how many moved.
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  virtual void SetSize(std::int64_t NewSize) = 0;

  // ReadBuffer and WriteBuffer move exactly Count bytes or raise a stream error.
  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  // Copies Count bytes from Source, or all of Source from its start when Count is 0.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);

  std::int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t Position) { Seek(Position, TSeekOrigin::soBeginning); }
  std::int64_t GetSize();
};

enum TFileMode : unsigned { fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002, fmCreate = 0xFFFF };

class TFileStream : public TStream {
public:
  // Raises EFOpenError ("ファイル %s は開けません") when the file cannot be opened
  // for the mode, and EFCreateError when it cannot be made; anything but a
  // regular file (a directory, a FIFO) is refused, without waiting on it.
  TFileStream(const std::string& FileName, unsigned Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;
  const std::string& GetFileName() const { return FFileName; }

private:
  std::string FFileName;
  int FHandle = -1;
};

class TMemoryStream : public TStream {
public:
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;

  void Clear();
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  std::span<std::uint8_t> Memory() { return FData; }
  std::span<const std::uint8_t> Memory() const { return FData; }

private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};
