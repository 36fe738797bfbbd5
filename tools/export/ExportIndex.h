#pragma once
// index.csv: one row per exported picture or animation, in plain values that a
// spreadsheet or script reads (hexadecimal without "$" or padding, bytes as hex
// pairs separated by spaces), under a header row.

#include <filesystem>
#include <string>
#include <vector>

#include "rom/TarvelinFileIO.h"

struct TIndexItem {
  bool Animation;
  int BankIndex;
  int Number;
};

std::string IndexHeader();
// The item's row, its file named with Extension (".png", ".bmp") for a picture,
// AnimationExtension (".gif", ".png") for an animation.
std::string IndexRow(const TPrgData& PrgData, const TIndexItem& Item, const std::string& Extension,
                     const std::string& AnimationExtension = ".gif");

// The index of a folder that held Old (an earlier index.csv, or empty) and now
// also holds NewRows: the old rows that no new row replaces and whose file is
// still in Folder, in whichever format an earlier run wrote it (a row naming
// another format's file is corrected), then the new ones, sorted. An old index
// of another layout is dropped.
std::string MergeIndex(const std::string& Old, const std::vector<std::string>& NewRows, const std::filesystem::path& Folder);
