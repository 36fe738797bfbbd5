#pragma once
// ROM loading and the game's data layout: from a bank and a number, through
// the game's own pointer tables, to a file offset.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Header and PRG-ROM; index = file offset.
using TPrgData = std::array<std::uint8_t, 0x40010>;
// CHR-ROM; index + 0x40010 = file offset.
using TChrData = std::array<std::uint8_t, 0x40000>;

inline constexpr int RomImageSize = 0x80010;
inline constexpr int ChrDataFileOffset = 0x40010;

// Bank bases (file offsets standing for CPU $8000) of the bank box items
// "12-13", "14-15" and "16"; each page indexes its own table with its box.
inline constexpr std::array<int, 3> SpriteBanks = {0x24010, 0x28010, 0x2C010};
inline constexpr std::array<int, 3> AnimationBanks = {0x24010, 0x28010, 0x2C010};
// The items' texts, as file and folder names give them.
inline constexpr const char* BankNames[3] = {"12-13", "14-15", "16"};

// Fills both buffers from the file. False means a message was already shown;
// the caller then clears both buffers. A file that cannot be opened raises
// EFOpenError and leaves both buffers as they were.
// LoadedSize, when given, learns how many bytes of the file the buffers took.
bool LoadRomImage(const std::string& FileName, TPrgData& PrgData, TChrData& ChrData,
                  std::int64_t* LoadedSize = nullptr);
// The same checks and messages over bytes already in memory (a patched image).
bool LoadRomBytes(std::span<const std::uint8_t> Bytes, TPrgData& PrgData, TChrData& ChrData,
                  std::int64_t* LoadedSize = nullptr);
void ClearPrgData(TPrgData& PrgData);
// A file's bytes, at most Limit of them; raises EFOpenError when it cannot be opened.
std::vector<std::uint8_t> ReadFileBytes(const std::string& FileName, std::int64_t Limit);
void ClearChrData(TChrData& ChrData);

// The address rules. Pattern numbers count mod 512, alignment and animation
// numbers mod 256. Pointers are not validated; a table byte that would lie
// outside PrgData (only for a bank base that no bank box gives) reads as 0.
int FrameDataOffset(const TPrgData& PrgData, int BankBase, int PatternNumber);
int AlignDataOffset(const TPrgData& PrgData, int BankBase, int AlignNumber);
int AnimationDataOffset(const TPrgData& PrgData, int BankBase, int AnimationNumber);
// File offset of 1 KiB CHR bank Bank (mod 256).
int ChrBankAddress(int Bank);

// "$" and five upper-case hex digits, as every address is shown.
std::string FormatAddress(int Address);
// Two upper-case hex digits of the low byte.
std::string FormatByte(int Value);
// Each byte as two hex digits followed by one space.
std::string HexDump(std::span<const std::uint8_t> Bytes);
