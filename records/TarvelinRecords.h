#pragma once
// The sprite records as text, out and back in: what the exporter, the window
// and the import tool call.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "host/Exception.h"
#include "rom/TarvelinRelocate.h"
#include "rom/TarvelinRomChange.h"

enum class TRecordsFormat { Json, Ca65, Asm6 };

// "records.json", "records.s", "records.asm".
const char* RecordsFileName(TRecordsFormat Format);
// "json", "ca65" or "asm6" as the command line names them.
std::optional<TRecordsFormat> RecordsFormatNamed(const std::string& Name);

// The whole image's records in Format; a short image reads as zero past its end.
std::string WriteRecords(std::span<const std::uint8_t> Image, TRecordsFormat Format);

// A records.json that the image cannot take, with the JSON path of the first fault.
HOST_DECLARE_EXCEPTION(ERecordsError, Exception);

// The byte writes that make Image say what the records.json text Json says:
// every table entry and record field it gives that differs from the image, at
// its offset. Records keep their size. Raises ERecordsError and plans nothing
// for input that is no such file, a value out of range, an offset that is no
// record of its kind in the image, two values for one byte, a field that
// disagrees with the raw byte it describes, a changed count, or a change past
// the end of the image.
TRomChange PlanRecordsImport(std::span<const std::uint8_t> Image, std::span<const char> Json);

// The same, with counts free to change: a record whose count the file changes is
// given whole and rewritten through the relocation of records (in place when
// the bytes after it are declared free in Free, else moved into Free within
// the reach of every bank that names it, its pointers following). Raises
// ERecordsError also when a pattern would read more positions from its
// AlignData than the file gives it, and ENoFreeSpace when Free cannot hold what
// moves.
TRomPlan PlanRecordsImport(const TRomDocument& Document, const TFreeMap& Free, std::span<const char> Json);
