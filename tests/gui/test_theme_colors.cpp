// Colours fixed by the windows stay in a light palette and follow a dark one.
#include "app/LauncherWindow.h"
#include "gui/AboutBox.h"
#include "gui/ThemeColors.h"

#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace rovik {
namespace {

struct ThemeTest : ::testing::Test {
    ~ThemeTest() override { QApplication::setPalette(saved); }
    QPalette saved = QApplication::palette();
};

TEST_F(ThemeTest, NamedColoursInALightPalette) {
    QPalette light;
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    light.setColor(QPalette::WindowText, Qt::black);
    QApplication::setPalette(light);
    TForm1 launcher;
    EXPECT_EQ(QColor(Qt::blue), launcher.findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText));
    TAboutBox about;
    EXPECT_EQ(QColor(0, 128, 0), about.ProductName->palette().color(QPalette::WindowText));
    EXPECT_TRUE(about.WebPage->text().contains(QStringLiteral("color: #0000ff")));
}

TEST_F(ThemeTest, PaletteColoursInADarkPalette) {
    QApplication::setPalette(darkPalette());
    TForm1 launcher;
    EXPECT_EQ(QColor(110, 170, 255),
              launcher.findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText));
    TAboutBox about;
    EXPECT_EQ(QColor(230, 230, 230), about.ProductName->palette().color(QPalette::WindowText));
    EXPECT_TRUE(about.MailAddress->text().contains(QStringLiteral("color: #6eaaff")));
}

} // namespace
} // namespace rovik
