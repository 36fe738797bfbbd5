#pragma once
// What the two patch formats share: their error, the size limit of what they
// may produce, CRC-32, and opening a patch by its content.

#include <cstdint>
#include <span>
#include <vector>

#include "host/Exception.h"

// A patch that cannot be read, or that does not fit the ROM it is applied to.
HOST_DECLARE_EXCEPTION(EPatchError, Exception);

// zlib's CRC-32, as BPS checks it.
std::uint32_t Crc32(std::span<const std::uint8_t> Bytes);

enum class TPatchFormat { Ips, Bps };

// The patched image of Source, by the patch's own signature ("PATCH" or "BPS1").
// Nothing past MaxSize is ever produced; raises EPatchError.
std::vector<std::uint8_t> ApplyPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                     std::size_t MaxSize);
// A patch in Format that makes Target of Source.
std::vector<std::uint8_t> CreatePatch(TPatchFormat Format, std::span<const std::uint8_t> Source,
                                      std::span<const std::uint8_t> Target);
