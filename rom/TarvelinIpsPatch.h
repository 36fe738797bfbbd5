#pragma once
// IPS: "PATCH", records of a 3-byte big-endian offset, a 2-byte big-endian size
// and the bytes (or, for size 0, a 2-byte count and one byte repeated), "EOF".

#include <cstdint>
#include <span>
#include <vector>

// A record may not start at this offset: its three bytes spell "EOF".
inline constexpr std::size_t IpsEofOffset = 0x454F46;

// Records of every byte where Target differs from Source or runs past it, with
// runs where they are shorter. Target may not be shorter than Source, nor reach
// past what three offset bytes can address.
std::vector<std::uint8_t> CreateIpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Target);

// Source with Patch applied. A record that would reach past MaxSize, a
// truncated record or a missing "EOF" raises EPatchError. Three bytes after
// "EOF" are the common extension that truncates the result to that size.
std::vector<std::uint8_t> ApplyIpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                        std::size_t MaxSize);
