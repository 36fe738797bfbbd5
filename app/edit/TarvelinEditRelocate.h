#pragma once
// Edits that change a record's length or give a number a record of its own, as
// undo steps that carry the free map with the bytes.

#include <QString>
#include <functional>
#include <optional>

#include "app/edit/TarvelinRomCommands.h"
#include "rom/TarvelinRelocate.h"

// Plans against the current bytes and free map and pushes the plan as one step.
// A plan the image or the free space cannot take is reported and nothing changes.
// Id and Gesture: the kind and gesture of the edit a copy is made for (see TRelocateCommand).
// False when refused or when it changed nothing.
bool PushRelocation(const std::function<TRomPlan(const TFreeMap&)>& Plan, const QString& Text,
                    int Id = RomCommandRelocate, int Gesture = 0);

// An edit of a record that Users numbers read (this one among them): for all of
// them, for this number only (its own copy first, then the edit, one step), or not.
enum class TSharedEdit { All, ThisOnly, Cancel };
// Asks with "N パターンに反映" (Noun: パターン or アニメーション, translated) and Only ("このパターンだけ").
// Replaceable, as the window's other dialogs are, for tests.
extern std::function<TSharedEdit(int Users, const QString& Noun, const QString& Only)> AskSharedEdit;

// Detach, then Edit on the bytes and the free map Detach leaves, as one plan.
TRomPlan ThenOnTheCopy(const std::function<TRomPlan(const TFreeMap&)>& Detach,
                       const std::function<TRomPlan(const TFreeMap&)>& Edit, const TFreeMap& Free);

// An edit in place (Edit, of the kind Id and the gesture Gesture) of a record
// that Users numbers read. With others among them it asks first, unless Answer
// gives the answer already given in this gesture; ThisOnly makes this number's
// copy with Detach and applies the edit to the copy, one step. An edit that
// changes nothing asks nothing. Answers the question's answer (Cancel also when
// the copy or the edit was refused), or nothing when there was none to ask.
std::optional<TSharedEdit> PushSharedEdit(int Users, const QString& Noun, const QString& Only,
                                          const std::function<TRomPlan(const TFreeMap&)>& Detach,
                                          const std::function<TRomChange()>& Edit, int Id, const QString& Text,
                                          int Gesture = 0, std::optional<TSharedEdit> Answer = {});
