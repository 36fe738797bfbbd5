#pragma once
// Edits that change a record's length or give a number a record of its own, as
// undo steps that carry the free map with the bytes.

#include <QString>
#include <functional>

#include "rom/TarvelinRelocate.h"

// Plans against the current bytes and free map and pushes the plan as one step.
// A plan the image or the free space cannot take is reported and nothing changes.
void PushRelocation(const std::function<TRomPlan(const TFreeMap&)>& Plan, const QString& Text);
