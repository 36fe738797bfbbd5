#include "app/edit/TarvelinEditRecords.h"

#include <QEvent>
#include <QFileDialog>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "records/TarvelinRecords.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace fs = std::filesystem;

namespace {

// Far past any records.json of a 512 KiB image.
constexpr std::uintmax_t MaxRecordsFile = 256u << 20;
constexpr int StatusMilliseconds = 5000;

std::string ReadRecordsFile(const std::string& Path) {
  std::error_code error;
  const auto size = fs::file_size(Path, error);
  std::ifstream in(Path, std::ios::binary);
  if (error || !in) throw EFOpenError(FormatMessage(SFOpenError, Path));
  if (size > MaxRecordsFile)
    throw Exception(
        TRecordItems::tr("%1 は記録ファイルとしては大きすぎます").arg(QString::fromStdString(Path)).toStdString());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TRecordItems::TRecordItems(TForm1& Form) : QObject(&Form), FForm(Form) {
  ExportRecords1 = new QAction(&Form);
  ImportRecords1 = new QAction(&Form);
  Retranslate();
  Form.File1->insertActions(Form.Exit1, {ExportRecords1, ImportRecords1});
  for (QAction* item : {ExportRecords1, ImportRecords1}) item->setEnabled(RomDocument.IsLoaded());
  const auto handle = [](void (TRecordItems::*Click)(), TRecordItems* Items) {
    try {
      (Items->*Click)();
    } catch (const Exception& E) {
      Application.ShowException(E);
    }
  };
  connect(ExportRecords1, &QAction::triggered, this, [=, this] { handle(&TRecordItems::ExportRecords1Click, this); });
  connect(ImportRecords1, &QAction::triggered, this, [=, this] { handle(&TRecordItems::ImportRecords1Click, this); });
  FListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    if (!Change.Empty()) return;
    for (QAction* item : {ExportRecords1, ImportRecords1}) item->setEnabled(RomDocument.IsLoaded());
  });
  connect(&Form, &TForm1::Destroying, this, [this] { RomDocument.Unsubscribe(FListener); });
  OpenDialog = [this]() -> std::optional<std::string> {
    const QString filter = QString::fromUtf8(OpenFilter);
    const auto bar = filter.indexOf('|');
    const QString name =
        QFileDialog::getOpenFileName(&FForm, QString(), QString(), filter.left(bar) + " (" + filter.mid(bar + 1) + ")");
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
  };
}

bool TRecordItems::event(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  return QObject::event(Event);
}

void TRecordItems::Retranslate() {
  ExportRecords1->setText(tr("記録をテキストで書き出す(&T)..."));
  ImportRecords1->setText(tr("記録をテキストから読み込む(&I)..."));
}

void TRecordItems::ExportRecords1Click() {
  if (!RomDocument.IsLoaded()) return;
  const fs::path proposed = fs::path(RomDocument.GetFileName()).replace_filename("records.json");
  const auto chosen = FForm.SaveDialog(tr(SaveFilter).toStdString(), proposed.string());
  if (!chosen) return;
  fs::path path(*chosen);
  if (!path.has_extension()) path += ".json";
  std::string extension = path.extension().string();
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const TRecordsFormat format = extension == ".s"     ? TRecordsFormat::Ca65
                                : extension == ".asm" ? TRecordsFormat::Asm6
                                                      : TRecordsFormat::Json;
  const std::string text = WriteRecords(RomDocument.Image(), format);
  WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void TRecordItems::ImportRecords1Click() {
  if (!RomDocument.IsLoaded()) return;
  const auto chosen = OpenDialog();
  if (!chosen) return;
  const std::string json = ReadRecordsFile(*chosen);
  std::optional<std::size_t> changed;
  PushRomEdit(
      [&] {
        try {
          TRomChange change = PlanRecordsImport(RomDocument.Image(), json);
          changed = change.Writes.size();
          return change;
        } catch (const ERecordsError& E) {
          throw Exception(tr("%1 は読み込めません: %2")
                              .arg(QString::fromStdString(*chosen), QString::fromStdString(E.Message()))
                              .toStdString());
        }
      },
      RomCommandEditField, tr("記録の読み込み"));
  // A file that changes nothing is no mistake, but the user should see that it did nothing.
  if (changed)
    FForm.statusBar()->showMessage(*changed ? tr("記録を読み込みました: %n バイトを変更しました", nullptr,
                                                 static_cast<int>(*changed))
                                            : tr("記録を読み込みました: 変更はありません"),
                                   StatusMilliseconds);
}

void InstallRecordItems(TForm1& Form) {
  new TRecordItems(Form);
}
