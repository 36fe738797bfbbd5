#pragma once
// The window's language: Japanese unless English is chosen (the menu, remembered, or --lang for one run).
// English comes from the translation built into the program; Japanese is the source text itself.

#include <QSettings>
#include <QString>
#include <optional>

// ~/.config/tarvelin-sprite-viewer/viewer.ini: the language and the emulator command. Its path is
// worked out afresh each time, so it follows XDG_CONFIG_HOME (the toolkit's own user path is fixed
// at its first use in the process).
QSettings ViewerSettings();

enum class TLanguage { Japanese, English };

// "ja" or "en", as --lang and the settings write them; none for anything else.
std::optional<TLanguage> ParseLanguage(const QString& Name);
QString LanguageName(TLanguage Language);

// The language of the next start, as the user chose it last.
TLanguage SavedLanguage();
void SaveLanguage(TLanguage Language);
// --lang: the language of this run, whatever was saved.
void SetLanguageOverride(std::optional<TLanguage> Language);
TLanguage StartLanguage();

// Installs the language's translators (the window's own, or the toolkit's Japanese) and the
// lower layers' translation hook; every open window retranslates itself before this returns.
void InstallLanguage(TLanguage Language);
TLanguage CurrentLanguage();
