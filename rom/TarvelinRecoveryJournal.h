#pragma once
// The recovery journal of unsaved edits: a BPS patch from the file as opened to
// the image as edited, whose metadata names what was opened. The patch's source
// CRC ties it to that base: it is never applied to another.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What a journal says it was made for.
struct TRecoveryJournalInfo {
  std::string Rom;    // the ROM file's path
  std::string Patch;  // the patch it was opened with, or empty
  std::uint64_t BaseSize = 0;
  std::uint32_t BaseCrc = 0;
};

std::vector<std::uint8_t> CreateRecoveryJournal(std::span<const std::uint8_t> Base,
                                                std::span<const std::uint8_t> Edited, const std::string& Rom,
                                                const std::string& Patch);
// None for bytes that are no whole journal (torn, or not one of ours).
std::optional<TRecoveryJournalInfo> ReadRecoveryJournalInfo(std::span<const std::uint8_t> Journal);
// Whether Base is the image the journal was made against.
bool RecoveryJournalFits(const TRecoveryJournalInfo& Info, std::span<const std::uint8_t> Base);
// The edited image; raises EPatchError for another base or a damaged journal.
std::vector<std::uint8_t> ApplyRecoveryJournal(std::span<const std::uint8_t> Base,
                                               std::span<const std::uint8_t> Journal);

// $XDG_STATE_HOME (or ~/.local/state)/tarvelin-sprite-viewer/recovery.
std::filesystem::path RecoveryFolder();
// The journal's file in Folder for a ROM opened (with Patch, or none): one per pair.
std::filesystem::path RecoveryJournalPath(const std::filesystem::path& Folder, const std::string& Rom,
                                          const std::string& Patch);
