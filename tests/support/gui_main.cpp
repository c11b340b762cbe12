// Widget tests need one QApplication for the whole run.
#include "gui/Fonts.h"
#include "support/ScratchDataHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    rovik::test::ScratchDataHome dataHome;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    rovik::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
