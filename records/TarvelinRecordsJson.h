#pragma once
// records.json: for each bank its three pointer tables (number -> file offset)
// and the records first reached from it, keyed by file offset, fields by name.
// Offsets and bytes are "$"-prefixed hex strings; counts are decimal.

#include <string>

#include "records/TarvelinRecordMap.h"

std::string RecordsJson(const TPrgData& PrgData, const TRecordMap& Map);
