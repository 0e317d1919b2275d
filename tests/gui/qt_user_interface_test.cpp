// The Qt seam as a person meets it: message boxes and questions that a run
// on a worker thread raises appear on the window's thread and take the
// button clicked; the progress window follows the run; the Stop button ends
// a real detection run on a worker while the window stays live.
#include <QApplication>
#include <QLabel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <filesystem>

#include "app/string_table.h"
#include "output/picture_sequence.h"
#include "gui/progress_window.h"
#include "gui/qt_user_interface.h"
#include "gui/worker_run.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

// The Qt seam whose worker waits at one progress position until the test
// lets it go, so that the Stop is clicked while the run is surely going on.
class WaitingAtPosition : public QtUserInterface {
public:
    WaitingAtPosition(QWidget* owner, int64_t position) : QtUserInterface(owner), m_position(position) {}
    bool waiting() const { return m_waiting; }
    void release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_wake.notify_all();
    }

protected:
    void progressChanged() override {
        QtUserInterface::progressChanged();
        if (m_released || progressPosition() < m_position) return;
        std::unique_lock lock(m_mutex);
        m_waiting = true;
        m_wake.wait(lock, [this] { return m_released.load(); });
    }

private:
    const int64_t m_position;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_waiting{false};
    std::atomic<bool> m_released{false};
};

class QtUserInterfaceTest : public QObject {
    Q_OBJECT

private:
    // Clicks `button` of the next message box that opens; records its text and icon.
    void answerNextBox(QMessageBox::StandardButton button) {
        QTimer::singleShot(20, this, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return answerNextBox(button);
            m_boxText = box->text();
            m_boxIcon = box->icon();
            m_boxThreadIsMain = QThread::currentThread() == qApp->thread();
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        });
    }

    QString m_boxText;
    QMessageBox::Icon m_boxIcon = QMessageBox::NoIcon;
    bool m_boxThreadIsMain = false;

private slots:
    void aMessageFromAWorkerIsAMessageBoxOnTheWindowsThread() {
        QWidget window;
        window.show();
        QtUserInterface ui(&window);
        answerNextBox(QMessageBox::Ok);
        runOnWorker([&] { ui.showMessage("Fehler in", app::Icon::Stop); });
        QCOMPARE(m_boxText, QStringLiteral("Fehler in"));
        QCOMPARE(m_boxIcon, QMessageBox::Critical);
        QVERIFY(m_boxThreadIsMain);
    }

    void aQuestionFromAWorkerGetsTheButtonClicked() {
        QWidget window;
        QtUserInterface ui(&window);
        app::Answer answer = app::Answer::Ok;
        answerNextBox(QMessageBox::No);
        runOnWorker([&] { answer = ui.ask("Weiter?", app::Buttons::YesNo, app::Icon::Question); });
        QCOMPARE(answer, app::Answer::No);
        QCOMPARE(m_boxIcon, QMessageBox::Question);
        answerNextBox(QMessageBox::Cancel);
        runOnWorker([&] { answer = ui.ask("Ersetzen?", app::Buttons::YesNoCancel, app::Icon::Warning); });
        QCOMPARE(answer, app::Answer::Cancel);
        QCOMPARE(m_boxIcon, QMessageBox::Warning);
    }

    void theProgressWindowShowsWhatTheWorkerSets() {
        QWidget window;
        window.resize(640, 480);
        window.show();
        QtUserInterface ui(&window);
        QString source, destination, line2;
        int maximum = 0, value = 0;
        bool titled = false;
        answerNextBox(QMessageBox::Ok);
        runOnWorker([&] {
            app::ProgressScope scope(ui);
            ui.setProgressSource("/videos/tape.avi");
            ui.setProgressDestination("/out/001.avi    (1/3)");
            ui.setProgressLine(2, "Szene 2 / 3");
            ui.setProgressRange(400);
            ui.setProgressPosition(250);
            ui.showMessage("halt", app::Icon::Information);  // blocks until the queued updates ran
            QMetaObject::invokeMethod(
                &ui,
                [&] {
                    ProgressWindow* progress = ui.progressWindow();
                    titled = progress->windowTitle() == QStringLiteral("Bearbeitungsfortschritt");
                    source = progress->source();
                    destination = progress->destination();
                    line2 = progress->line(2);
                    maximum = progress->barMaximum();
                    value = progress->barValue();
                },
                Qt::BlockingQueuedConnection);
        });
        QVERIFY(titled);
        QCOMPARE(source, QStringLiteral("/videos/tape.avi"));
        QCOMPARE(destination, QStringLiteral("/out/001.avi    (1/3)"));
        QCOMPARE(line2, QStringLiteral("Szene 2 / 3"));
        QCOMPARE(maximum, 400);
        QCOMPARE(value, 250);
        QCoreApplication::processEvents();
        QVERIFY(ui.progressWindow() == nullptr);  // closed with its scope
    }

    void escOrClosingTheProgressWindowAsksForTheStopAndLeavesItOpen() {
        QWidget window;
        window.show();
        QtUserInterface ui(&window);
        app::ProgressScope scope(ui);
        ProgressWindow* progress = ui.progressWindow();
        QVERIFY(progress && progress->isVisible());
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(ui.cancelled());
        QVERIFY(progress->isVisible());
        ui.resetCancel();
        QVERIFY(!progress->close());
        QVERIFY(ui.cancelled());
        QVERIFY(progress->isVisible());
    }

    void theStopButtonEndsARunOnAWorker() {
        test::TempDir dir;
        std::string path = dir.file("tape.avi");
        fixtures::DvFixtureOptions options;
        options.sessions = {fixtures::DvSession{fixtures::defaultSessionStart(), 150, {}}};
        QCOMPARE(fixtures::writeDvAvi(path, options), 1);
        std::string pictures = dir.file("pictures");
        std::filesystem::create_directory(pictures);

        QWidget window;
        auto* stop = new QPushButton(QStringLiteral("Stop"), &window);
        window.show();
        WaitingAtPosition ui(&window, 20);
        QObject::connect(stop, &QPushButton::clicked, [&] { ui.requestCancel(); });
        bool barShown = false;
        // Once the worker stands at frame 20, a person sees the bar there and clicks Stop.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!ui.waiting() || ui.cancelled()) return;
            QCoreApplication::processEvents();  // the queued bar update
            ProgressWindow* progress = ui.progressWindow();
            barShown = progress && progress->barValue() >= 20;
            QTest::mouseClick(stop, Qt::LeftButton);
            ui.release();
        });
        poll.start(1);

        int result = 0;
        ui.resetCancel();
        runOnWorker([&] { result = output::SavePictureSequences({path}, pictures, {}, ui); });
        QVERIFY(barShown);
        QCOMPARE(result, static_cast<int>(output::PictureSequenceResult::Cancelled));
        auto written = std::distance(std::filesystem::directory_iterator(pictures), {});
        QVERIFY(written >= 20 && written < 150);
        QVERIFY(ui.cancelled());
    }

    // Last: the English table stays loaded for the rest of the process.
    void theProgressWindowSpeaksTheProgramsLanguage() {
        QVERIFY(app::loadLanguageFile((QCoreApplication::applicationDirPath() + "/english.lang").toStdString()));
        ProgressWindow window(nullptr);
        QCOMPARE(window.windowTitle(), QStringLiteral("Progress"));
        QStringList labels;
        for (QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
        for (const char* text : {"Source:", "Destination:", "Progress:"})
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::QtUserInterfaceTest)
#include "qt_user_interface_test.moc"
