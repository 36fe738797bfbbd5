#pragma once
// BPS: "BPS1", the source, target and metadata sizes as variable-length numbers,
// the metadata, the actions, then the CRC-32s of the source, the target and the
// patch before its own CRC, each little-endian.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// n seven bits at a time, low bits first; the last byte carries 0x80.
void AppendBpsNumber(std::vector<std::uint8_t>& Out, std::uint64_t Number);

// Source reads where Target keeps Source's byte at the same place, target reads
// of the rest, target copies for runs of one byte.
std::vector<std::uint8_t> CreateBpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Target,
                                         std::string_view Metadata = {});

// Source with Patch applied. Raises EPatchError for a patch that is not whole,
// whose source CRC is not Source's (the wrong base ROM), whose target is larger
// than MaxSize, whose actions run past either file, or whose result does not
// have the target CRC.
std::vector<std::uint8_t> ApplyBpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                        std::size_t MaxSize);
