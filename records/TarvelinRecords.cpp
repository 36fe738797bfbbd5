#include "records/TarvelinRecords.h"

#include "records/TarvelinRecordsAsm.h"
#include "records/TarvelinRecordsJson.h"

const char* RecordsFileName(TRecordsFormat Format) {
  switch (Format) {
    case TRecordsFormat::Json:
      return "records.json";
    case TRecordsFormat::Ca65:
      return "records.s";
    case TRecordsFormat::Asm6:
      break;
  }
  return "records.asm";
}

std::optional<TRecordsFormat> RecordsFormatNamed(const std::string& Name) {
  if (Name == "json") return TRecordsFormat::Json;
  if (Name == "ca65") return TRecordsFormat::Ca65;
  if (Name == "asm6") return TRecordsFormat::Asm6;
  return std::nullopt;
}

std::string WriteRecords(std::span<const std::uint8_t> Image, TRecordsFormat Format) {
  const TPrgData prg = PrgOfImage(Image);
  const TRecordMap map = WalkRecords(prg);
  switch (Format) {
    case TRecordsFormat::Json:
      return RecordsJson(prg, map);
    case TRecordsFormat::Ca65:
      return RecordsAssembly(prg, map, TAsmDialect::Ca65);
    case TRecordsFormat::Asm6:
      break;
  }
  return RecordsAssembly(prg, map, TAsmDialect::Asm6);
}
