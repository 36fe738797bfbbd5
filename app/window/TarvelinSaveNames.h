#pragma once
// What the window's saves name and say, without widgets: the names it proposes,
// the formats an extension asks for, and the texts of the status bar and of a
// failed write.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

class EFileError;

// The extension of Path in lower case, with its dot ("" when it has none).
std::string LowerExtension(const std::filesystem::path& Path);

// Proposed, or, when it names one of the files the window opened from, the same
// name with "-" Tag (then "-2", "-3" ...) before its extension, so that one Enter
// in a save dialog never replaces what was opened.
std::filesystem::path AwayFromOpened(const std::filesystem::path& Proposed, const std::vector<std::string>& Opened,
                                     const std::string& Tag);

// Whether two paths lead to one file, their symlinks followed (neither need exist).
bool SameFile(const std::filesystem::path& A, const std::filesystem::path& B);

// Writes a file the window saves (whole under a temporary name, flushed, renamed);
// a failure raises EFCreateError with SaveFailureText.
void WriteSavedFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);

// The message of a write that failed: the framework's "cannot create" text and
// the reason in the window's words.
std::string SaveFailureText(const EFileError& E);

// Refuses (EFCreateError naming Path) a name whose extension is none of Allowed,
// each given with its dot in lower case; Formats names them for the message.
void CheckSaveExtension(const std::filesystem::path& Path, std::initializer_list<const char*> Allowed,
                        const std::string& Formats);

// "name (N バイト)" for the status bar.
std::string SavedFileText(const std::filesystem::path& Path, std::size_t Size);

// The ranges' bytes and count as the status bar gives them: "N バイト (M か所)".
std::string ChangedBytesText(const std::vector<std::pair<int, int>>& Ranges);
