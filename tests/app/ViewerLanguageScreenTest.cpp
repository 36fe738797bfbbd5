// The English window on a real X server with its real fonts (run under with-xvfb.sh; skipped on
// other platforms): at scales 1 and 2, on both pages, every label's text fits its label and
// covers no other control.

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/window/TarvelinLanguage.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerLanguageScreenTest : public ViewerTest {};

// A label's text where it is drawn (left-aligned); another control's whole place.
QRect Inked(const QWidget* Control) {
  const auto* label = qobject_cast<const QLabel*>(Control);
  if (!label) return Control->geometry();
  return {label->x(), label->y(), label->fontMetrics().horizontalAdvance(label->text()), label->height()};
}

TEST_F(ViewerLanguageScreenTest, EnglishLabelsFitAtEveryScale) {
  if (QGuiApplication::platformName() != "xcb") {
    // Run by ctest on the private X server it must not pass unmeasured.
    ASSERT_EQ(std::getenv("TARVELIN_NEEDS_X"), nullptr) << "not on the X server";
    GTEST_SKIP() << "needs an X server (with-xvfb.sh)";
  }
  OpenDemoInActiveWindow();
  Form1->English1->trigger();
  for (const int zoom : {1, 2}) {
    Form1->SetZoom(zoom);
    for (QWidget* page : {Form1->TabSprite, Form1->TabAnimation}) {
      Form1->PageControl1->setCurrentWidget(page);
      QTest::qWait(50);
      const auto controls = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
      for (QWidget* control : controls) {
        const auto* label = qobject_cast<QLabel*>(control);
        if (!label) continue;
        const int text = label->fontMetrics().horizontalAdvance(label->text());
        const std::string name = label->objectName().toStdString() + " \"" + label->text().toStdString() + "\" x" +
                                 std::to_string(zoom);
        EXPECT_LE(text, label->width()) << name;
        // The text overlaps no other control, nor another label's text.
        for (QWidget* other : controls) {
          if (other == control || !other->isVisible()) continue;
          EXPECT_FALSE(Inked(label).intersects(Inked(other)))
              << name << " covers " << other->objectName().toStdString();
        }
      }
      if (const char* folder = std::getenv("TARVELIN_SCREENSHOTS"))
        Form1->grab().save(QString("%1/english-x%2-%3.png").arg(folder).arg(zoom).arg(page->objectName()));
    }
  }
  Form1->Japanese1->trigger();
}

}  // namespace
}  // namespace viewer_test
