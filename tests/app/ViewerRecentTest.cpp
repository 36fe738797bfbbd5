// ファイル > 最近使ったファイル, Ctrl+O and files dropped on the window, each as
// the user meets them; the list lives in the test's own XDG_CONFIG_HOME.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerRecentTest : public ViewerTest {
protected:
  QStringList Items() {
    emit Form1->Recent1->aboutToShow();
    QStringList texts;
    for (QAction* item : Form1->Recent1->actions()) texts << item->text();
    return texts;
  }
  // A drop of Paths on the window; whether the window took it.
  bool Drop(const std::vector<std::string>& Paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : Paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    data.setUrls(urls);
    const QPoint at = Form1->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(Form1, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(Form1, &drop);
    return true;
  }
};

TEST_F(ViewerRecentTest, TheLastEightRomsComeBackWithTheirPatches) {
  EXPECT_FALSE(Form1->Recent1->isEnabled());
  EXPECT_TRUE(Items().isEmpty());
  // IPS: one record writing $AB at file offset $10.
  const std::string patch = Dir.Write("fix.ips", {'P', 'A', 'T', 'C', 'H', 0, 0, 0x10, 0, 1, 0xAB, 'E', 'O', 'F'});
  const std::string text = Dir.Write("notes.txt", {'x'});
  const QString rom = QString::fromStdString(RomPath);

  EXPECT_FALSE(Drop({text}));
  EXPECT_FALSE(Drop({RomPath, RomPath}));
  ASSERT_TRUE(Drop({patch, RomPath}));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath + " + fix.ips");
  EXPECT_EQ(RomDocument.Image()[0x10], 0xAB);
  ASSERT_TRUE(Drop({RomPath}));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  EXPECT_EQ(Items(), QStringList({"&1 " + rom, "&2 " + rom + " + fix.ips"}));
  EXPECT_TRUE(Form1->Recent1->isEnabled());

  // Chosen again, an entry opens as it was opened and goes first.
  Form1->Recent1->actions().at(1)->trigger();
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath + " + fix.ips");
  EXPECT_EQ(Items(), QStringList({"&1 " + rom + " + fix.ips", "&2 " + rom}));

  // Ten more ROMs: the eight last stay, newest first.
  QStringList expected;
  for (int i = 0; i < 10; ++i) {
    const std::string path = Dir.Write("rom" + std::to_string(i) + ".nes", Image);
    Form1->OpenFiles(path, {});
    expected.prepend(QString::fromStdString(path));
  }
  expected = expected.mid(0, 8);
  for (int i = 0; i < 8; ++i) expected[i] = QString("&%1 ").arg(i + 1) + expected[i];
  EXPECT_EQ(Items(), expected);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerRecentTest, CtrlOIsOpen) {
  OpenDemoInActiveWindow();
  const std::string other = Dir.Write("other.nes", Image);
  int asked = 0;
  Form1->ROMOpenDialog = [&]() -> std::optional<std::string> { return ++asked, other; };
  QTest::keyClick(Form1->windowHandle(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + other);
}

}  // namespace
}  // namespace viewer_test
