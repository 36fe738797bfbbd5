#include "app/window/TarvelinLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <string>

#include "host/Translate.h"

namespace {

std::optional<TLanguage> Override;
TLanguage Current = TLanguage::Japanese;
bool Installed = false;

std::string QtTranslate(const char* Context, const char* Source) {
  return QCoreApplication::translate(Context, Source).toStdString();
}

// The application owns both; each is installed only while its language is chosen.
QTranslator& Translator(TLanguage Language) {
  static QTranslator* japanese = nullptr;
  static QTranslator* english = nullptr;
  QTranslator*& translator = Language == TLanguage::Japanese ? japanese : english;
  if (!translator) {
    translator = new QTranslator(QCoreApplication::instance());
    if (Language == TLanguage::Japanese)
      static_cast<void>(translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    else
      static_cast<void>(translator->load(":/i18n/tarvelin_en.qm"));
  }
  return *translator;
}

}  // namespace

QSettings ViewerSettings() {
  return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       "/tarvelin-sprite-viewer/viewer.ini",
                   QSettings::IniFormat);
}

std::optional<TLanguage> ParseLanguage(const QString& Name) {
  if (Name == "ja") return TLanguage::Japanese;
  if (Name == "en") return TLanguage::English;
  return std::nullopt;
}

QString LanguageName(TLanguage Language) { return Language == TLanguage::English ? "en" : "ja"; }

TLanguage SavedLanguage() {
  return ParseLanguage(ViewerSettings().value("Language").toString()).value_or(TLanguage::Japanese);
}

void SaveLanguage(TLanguage Language) {
  QSettings settings = ViewerSettings();
  settings.setValue("Language", LanguageName(Language));
}

void SetLanguageOverride(std::optional<TLanguage> Language) { Override = Language; }

TLanguage StartLanguage() { return Override.value_or(SavedLanguage()); }

void InstallLanguage(TLanguage Language) {
  SetTranslator(&QtTranslate);
  if (Installed && Language == Current) return;
  const TLanguage other = Language == TLanguage::Japanese ? TLanguage::English : TLanguage::Japanese;
  QCoreApplication::removeTranslator(&Translator(other));
  if (!Translator(Language).isEmpty()) QCoreApplication::installTranslator(&Translator(Language));
  Current = Language;
  Installed = true;
  // The application posts the change to its windows; they take it now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

TLanguage CurrentLanguage() { return Current; }
