#include "hotsync/ProgramWait.h"

#include "platform/Prompter.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <exception>
#include <thread>

namespace rovik {
namespace {
// Closes itself when the work has finished. Asked to close earlier (中止, Escape, the close box),
// it asks the programs to stop and stays until the work has ended, which the grace period bounds.
class WaitNote : public QDialog {
public:
    WaitNote(QWidget* parent, const QString& caption, const QString& text, const std::atomic<bool>& finished,
             ProgramStop& stop)
        : QDialog(parent), m_finished(finished), m_stop(stop) {
        setObjectName(QStringLiteral("InstallWait"));
        setWindowTitle(caption);
        auto* layout = new QVBoxLayout(this);
        m_text = new QLabel(text, this);
        m_text->setObjectName(QStringLiteral("LabelWait"));
        layout->addWidget(m_text);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        m_button = new QPushButton(QStringLiteral("中止"), this);
        m_button->setObjectName(QStringLiteral("ButtonStop"));
        m_button->setAutoDefault(false);
        buttons->addWidget(m_button);
        layout->addLayout(buttons);
        connect(m_button, &QPushButton::clicked, this, &QDialog::reject);
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this] {
            if (m_finished) done(m_stop.requested() ? Rejected : Accepted);
        });
        poll->start(50);
    }

    void reject() override {
        if (m_finished) {
            QDialog::reject();
            return;
        }
        m_stop.request();
        m_text->setText(QStringLiteral("中止しています…"));
        m_button->setEnabled(false);
    }

private:
    const std::atomic<bool>& m_finished;
    ProgramStop& m_stop;
    QLabel* m_text;
    QPushButton* m_button;
};
} // namespace

ProgramWait::ProgramWait(QWidget* parent, Prompter& prompter, QString caption)
    : m_parent(parent), m_prompter(prompter), m_caption(std::move(caption)) {}

bool ProgramWait::runAside(const QString& text, const std::function<void()>& work) {
    m_stop->reset();
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception(); // raised again here, as if the work had run in place
        }
        finished = true;
    });
    // Most answers come sooner than a note would be worth showing. A short sleep, not an event loop:
    // one would run the windows' timers before the note is up to keep them from acting.
    for (int i = 0; i < 10 && !finished; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!finished) {
        // Over the dialog that is waiting, when there is one.
        QWidget* over = QApplication::activeModalWidget();
        WaitNote note(over ? over : m_parent, m_caption, text, finished, *m_stop);
        note.exec();
    }
    worker.join(); // the work has finished: this only collects the thread
    if (failure) std::rethrow_exception(failure);
    if (!m_stop->ended()) return true;
    m_prompter.notice("中止しました");
    return false;
}

} // namespace rovik
