// The records as text in the window: written from the ファイル menu, and a
// records.json taken back as one undo step that the pages follow.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStatusBar>
#include <QUndoStack>
#include <fstream>
#include <iterator>

#include "app/edit/TarvelinEditRecords.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class RecordsMenuTest : public ViewerTest {
 protected:
  TRecordItems& Items() { return *Form1->findChild<TRecordItems*>(); }

  std::string Export(const std::string& Name) {
    const std::string path = (Dir.Path() / Name).string();
    Form1->SaveDialog = [path](const std::string&, const std::string&) -> std::optional<std::string> { return path; };
    Items().ExportRecords1->trigger();
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  void Import(const QJsonObject& Json) {
    const std::string path = (Dir.Path() / "edited.json").string();
    std::ofstream(path, std::ios::binary) << QJsonDocument(Json).toJson().toStdString();
    Items().OpenDialog = [path]() -> std::optional<std::string> { return path; };
    Items().ImportRecords1->trigger();
  }

  // The demo's pattern 12-13:$000 (one sprite, tile $2A at $24913) with its tile replaced.
  QJsonObject WithTile(const std::string& Json, const QJsonValue& Tile) {
    QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(Json)).object();
    QJsonArray banks = json["banks"].toArray();
    QJsonObject bank = banks[0].toObject(), frames = bank["frames"].toObject(), frame = frames["$24910"].toObject();
    QJsonArray sprites = frame["sprites"].toArray();
    QJsonObject sprite = sprites[0].toObject();
    sprite["tile"] = Tile;
    sprites[0] = sprite, frame["sprites"] = sprites, frames["$24910"] = frame, bank["frames"] = frames, banks[0] = bank;
    json["banks"] = banks;
    return json;
  }
};

TEST_F(RecordsMenuTest, ItemsWaitForARom) {
  EXPECT_FALSE(Items().ExportRecords1->isEnabled());
  EXPECT_FALSE(Items().ImportRecords1->isEnabled());
  OpenDemo();
  EXPECT_TRUE(Items().ExportRecords1->isEnabled());
  EXPECT_TRUE(Items().ImportRecords1->isEnabled());
  const auto items = Form1->File1->actions();
  EXPECT_EQ(items.indexOf(Items().ImportRecords1), items.indexOf(Form1->Exit1) - 1);
}

TEST_F(RecordsMenuTest, AnEditedFileComesBackAsOneUndoStep) {
  OpenDemo();
  EXPECT_TRUE(Export("records.s").starts_with("; TARVELIN sprite records for ca65"));
  EXPECT_TRUE(Export("records.asm").starts_with("; TARVELIN sprite records for asm6"));
  Export("records");  // no extension: JSON, named .json
  ASSERT_TRUE(std::filesystem::exists(Dir.Path() / "records.json"));
  const std::string written = Export("records.json");
  ASSERT_FALSE(written.empty());

  // The file as written changes nothing and leaves no step.
  Import(QJsonDocument::fromJson(QByteArray::fromStdString(written)).object());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);
  EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(), "記録を読み込みました: 変更はありません");

  Import(WithTile(written, "$2B"));
  EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(), "記録を読み込みました: 1 バイトを変更しました");
  EXPECT_EQ(PrgData[0x24913], 0x2B);
  EXPECT_TRUE(RomDocument.IsModified());
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す 記録の読み込み");
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).SamePicture(Reference(0, 0x000)));
  Form1->Undo1->trigger();
  EXPECT_TRUE(BuffersHoldDemo());
  EXPECT_FALSE(RomDocument.IsModified());
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).SamePicture(Reference(0, 0x000)));
  EXPECT_TRUE(Messages->Shown().empty());
}

TEST_F(RecordsMenuTest, ABadFileIsReportedAndChangesNothing) {
  OpenDemo();
  const std::string written = Export("records.json");
  Import(WithTile(written, 300));
  Messages->ExpectOnly((Dir.Path() / "edited.json").string() +
                       R"( は読み込めません: banks[0].frames["$24910"].sprites[0].tile: 300 is not a byte)");
  EXPECT_TRUE(BuffersHoldDemo());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);
}

}  // namespace
}  // namespace viewer_test
