#pragma once
// Writing whole files, so that a failure never leaves a half-written one.

#include <cstdint>
#include <filesystem>
#include <span>

// Writes Bytes to a temporary file beside Path, then renames it into place, so
// Path is either its old self or complete. Raises EFCreateError or EWriteError.
void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);

// Creates or truncates Path and writes Bytes, for files in a folder that a
// failure discards whole. Raises EFCreateError or EWriteError.
void WriteNewFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);
