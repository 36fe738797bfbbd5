#pragma once
// The pieces that reading a BMP file and reading a packed DIB share.

#include <array>
#include <cstdint>

#include "host/Kernel.h"
#include "host/Windows.h"

// Turns a core header and its 3-byte colour triples at the start of Info into
// an info header and 4-byte colour entries, in place.
void CoreToInfoHeader(BITMAPINFO& Info);

class TStream;
class TZrInternalDIB;

// Pixel memory from GetMemory, released again unless handed on.
class TZrPixelMemory {
 public:
  TZrPixelMemory() = default;
  ~TZrPixelMemory();
  TZrPixelMemory(const TZrPixelMemory&) = delete;
  TZrPixelMemory& operator=(const TZrPixelMemory&) = delete;

  BYTE* Bits() const { return FBits; }
  std::int32_t Size() const { return FSize; }
  // Holds no memory yet.
  void Allocate(std::int32_t Size, bool UseFMO);
  // Gives up ownership: the memory now belongs to the caller.
  void Release(HANDLE& FileMapping, BYTE*& Bits);

 private:
  HANDLE FFileMapping;
  BYTE* FBits = nullptr;
  std::int32_t FSize = 0;
  bool FUseFMO = false;
};

// Where the pixel array comes from: a stream or a locked memory block.
class TZrPixelInput {
 public:
  virtual ~TZrPixelInput() = default;
  // Bytes still to be had, or -1 when the source cannot tell.
  virtual std::int64_t Available() = 0;
  // Exactly Count bytes, or an exception.
  virtual void Read(BYTE* Dest, std::int64_t Count) = 0;
};

// Where the pixel byte count comes from: a file header's bfSize, which binds
// only rows of 1 to 24 bits (16- and 32-bit rows are read as the header
// describes them), or the size of the block that holds them.
enum class TZrPixelCount { Announced, Block };

// Reads the pixel array that Info describes, Count bytes for it, into
// Pixels; 16 and 32 bits become 24, and Info with them. Operation begins the
// messages of the refusals that depend on the form read.
void ReadPixels(BITMAPINFO& Info, std::int64_t Count, TZrPixelCount CountKind, TZrPixelInput& Input, bool UseFMO,
                const char* Operation, TZrPixelMemory& Pixels);

// Width > 0 and a height whose row count a storage can hold.
void CheckWidthAndHeight(const BITMAPINFOHEADER& Header);

// Puts the header, colour table and pixels read into the storage, in place of
// what it held.
void InstallDIB(TZrInternalDIB& DIB, const BITMAPINFO& Info, TZrPixelMemory& Pixels);

// Keeps a global memory block locked for as long as it lives.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL Block) : FBlock(Block), FData(static_cast<const BYTE*>(GlobalLock(Block))) {}
  ~TGlobalLock() {
    if (FData) GlobalUnlock(FBlock);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  const BYTE* Data() const { return FData; }

 private:
  HGLOBAL FBlock;
  const BYTE* FData;
};
