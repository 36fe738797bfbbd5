#pragma once
// tarvelin-export --diff: the image compared with another ROM or with itself
// patched; only the pictures that change are exported, beside diff.csv.

#include "tools/export/RomExport.h"

// With the image as loaded in PrgData and ChrData, loads Options.Diff's image in
// their place, lists what differs in Options.DiffCsv and limits Options.Only to
// the changed pictures. False when the other side cannot be had (printed why).
bool PrepareDiffExport(TExportOptions& Options);
