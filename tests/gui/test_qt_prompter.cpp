#include "gui/QtPrompter.h"

#include "support/GuiSteps.h"

#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

namespace rovik {
namespace {

// Names in messages are data: a file called "<b>x</b>.txt" shows as it is. Escape and the close
// box answer Cancel where there is one, never No.
TEST(QtPrompter, MessagesArePlainTextAndEscapeCancels) {
    QtPrompter prompter(nullptr);
    const struct {
        Buttons buttons;
        Answer escape;
    } cases[] = {{Buttons::YesNoCancel, Answer::Cancel}, {Buttons::Ok, Answer::Ok}};
    for (const auto& c : cases) {
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        test::onNextModalDialog([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(nullptr, box);
            format = box->textFormat();
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(c.escape, prompter.ask("/home/u/<b>x</b>.txt", "確認", c.buttons, Icon::None));
        EXPECT_EQ(Qt::PlainText, format);
        EXPECT_EQ(QStringLiteral("/home/u/<b>x</b>.txt"), shown);
    }
}

} // namespace
} // namespace rovik
