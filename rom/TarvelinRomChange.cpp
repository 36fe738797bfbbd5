#include "rom/TarvelinRomChange.h"

#include <algorithm>

bool TRomChange::Idle() const {
  return std::ranges::all_of(Writes, [](const TByteWrite& W) { return W.Old == W.New; });
}

void TRomChange::Merge(const TRomChange& Later) {
  for (const TByteWrite& write : Later.Writes) {
    const auto known = std::ranges::find(Writes, write.Offset, &TByteWrite::Offset);
    if (known != Writes.end())
      known->New = write.New;
    else
      Writes.push_back(write);
  }
}
