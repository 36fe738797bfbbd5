#pragma once
// Edits that change a record's length or give a number a record of its own, as
// undo steps that carry the free map with the bytes.

#include <QString>
#include <functional>

#include "rom/TarvelinRelocate.h"

// Plans against the current bytes and free map and pushes the plan as one step.
// A plan the image or the free space cannot take is reported and nothing changes.
void PushRelocation(const std::function<TRomPlan(const TFreeMap&)>& Plan, const QString& Text);

// An edit of a record that Users numbers read (this one among them): for all of
// them, for this number only (its own copy first, then the edit, one step), or not.
enum class TSharedEdit { All, ThisOnly, Cancel };
// Asks with "N パターンに反映" (Noun: パターン or アニメーション, translated) and Only ("このパターンだけ").
// Replaceable, as the window's other dialogs are, for tests.
extern std::function<TSharedEdit(int Users, const QString& Noun, const QString& Only)> AskSharedEdit;

// Detach, then Edit on the bytes and the free map Detach leaves, as one plan.
TRomPlan ThenOnTheCopy(const std::function<TRomPlan(const TFreeMap&)>& Detach,
                       const std::function<TRomPlan(const TFreeMap&)>& Edit, const TFreeMap& Free);
