#pragma once
// records.s (ca65) and records.asm (asm6): per bank one block of its pointer
// tables and the records first reached from it, in file order at their CPU
// addresses, one label per record (named after its first number) and aliases
// for the other numbers; the tables are the lows and highs of those labels.
// Bytes that records share are written once; the later record's label points
// into them and its lines stay as comments.

#include <string>

#include "records/TarvelinRecordMap.h"

enum class TAsmDialect { Ca65, Asm6 };

std::string RecordsAssembly(const TPrgData& PrgData, const TRecordMap& Map, TAsmDialect Dialect);

// The label of a record's number: "frame_12_13_005", "align_14_15_01", "anim_16_FF".
std::string RecordLabel(TRecordKind Kind, TRecordNumber Number);
