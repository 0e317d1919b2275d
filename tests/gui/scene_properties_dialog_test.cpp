// The scene properties dialog as a person uses it: OK refuses a frame past
// the file, a speed out of range and a bad name character with the message
// and the field to fix; the first frame moves date and timecode along; a
// too long name is cut back on leaving it; with several scenes only the
// shared fields can be edited.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QtTest>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/qt_user_interface.h"
#include "gui/scene_properties_dialog.h"
#include "gui/trim_dialog.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

// A scene of a 500-frame file at 25 fps, frames 1 to 100 as the dialog counts them.
scene::SceneRecord sceneOfFile() {
    scene::SceneRecord r;
    scene::assignField(r.sourceFile, "/video/urlaub.avi");
    r.startFrame = 0;
    r.stopFrame = 99;
    r.fileLastFrame = 499;
    r.definedStop = 499;
    r.allKeyframes = 1;
    r.recordingTime = scene::recordingTimeOf(2006, 12, 24, 18, 5, 9);
    r.timecode = scene::Timecode{0, 59, 59, 20};
    return r;
}

QString text(int id) { return QString::fromStdString(app::loadString(id)); }

// The dialog's keyboard focus is in `field` (a spin box types into its own line edit).
bool hasFocus(const QWidget* field) {
    QWidget* focus = field->window()->focusWidget();
    return focus && (focus == field || field->isAncestorOf(focus));
}

}  // namespace

class ScenePropertiesDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<QtUserInterface> m_ui;
    std::unique_ptr<ScenePropertiesDialog> m_dialog;

    ScenePropertiesDialog& open(const scene::SceneRecord& scene) {
        m_dialog = std::make_unique<ScenePropertiesDialog>(*m_ui, *m_store, app::DebugLog{}, m_owner.get());
        m_dialog->showScene(scene);
        m_dialog->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get())); }();
        return *m_dialog;
    }

    // Clicks OK; the one message it brings, or an empty text when it closed.
    test::MessageBoxWatcher::Seen clickOk(ScenePropertiesDialog& dialog) {
        test::MessageBoxWatcher watcher;
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        if (watcher.count() == 0) return {};
        return watcher.seen().front();
    }

    static void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

private slots:
    void init() {
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_owner = std::make_unique<QWidget>();
        m_ui = std::make_unique<QtUserInterface>(m_owner.get());
    }
    void cleanup() {
        m_dialog.reset();
        m_ui.reset();
        m_owner.reset();
    }

    void theLastFrameOfTheFileIsTheLimit() {
        ScenePropertiesDialog& dialog = open(sceneOfFile());
        QCOMPARE(dialog.windowTitle(), text(807));
        QCOMPARE(dialog.sourceField()->text(), QStringLiteral("/video/urlaub.avi"));
        QVERIFY(dialog.sourceField()->isReadOnly());
        QCOMPARE(dialog.firstFrameBox()->value(), 1);
        QCOMPARE(dialog.lastFrameBox()->value(), 100);

        dialog.lastFrameBox()->setValue(501);
        test::MessageBoxWatcher::Seen seen = clickOk(dialog);
        QCOMPARE(seen.text, text(185) + QStringLiteral("\nMax.: 500"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(dialog.isVisible());
        QVERIFY(hasFocus(dialog.lastFrameBox()));

        dialog.firstFrameBox()->setValue(0);
        seen = clickOk(dialog);
        QCOMPARE(seen.text, text(181) + QStringLiteral("\nMin.: 1"));
        QVERIFY(hasFocus(dialog.firstFrameBox()));

        dialog.firstFrameBox()->setValue(1);
        dialog.lastFrameBox()->setValue(500);
        QCOMPARE(clickOk(dialog).text, QString());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.values().lastFrame, 500);
    }

    void theSpeedFactorHasItsRange() {
        ScenePropertiesDialog& dialog = open(sceneOfFile());
        QCOMPARE(dialog.speedField()->text(), QStringLiteral("1"));
        type(dialog.speedField(), QStringLiteral("0.0005"));
        test::MessageBoxWatcher::Seen seen = clickOk(dialog);
        QCOMPARE(seen.text, text(187));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(hasFocus(dialog.speedField()));
        type(dialog.speedField(), QStringLiteral("0,5"));
        QCOMPARE(clickOk(dialog).text, text(189));

        for (const char* accepted : {"0.001", "100"}) {
            ScenePropertiesDialog& again = open(sceneOfFile());
            type(again.speedField(), QString::fromLatin1(accepted));
            QCOMPARE(clickOk(again).text, QString());
            QCOMPARE(again.result(), int(QDialog::Accepted));
            QCOMPARE(again.values().speedFactor, std::stod(accepted));
        }
    }

    void aBadNameCharacterIsSelectedAndHoldsOkUntilFixed() {
        ScenePropertiesDialog& dialog = open(sceneOfFile());
        type(dialog.nameField(), QStringLiteral("a:b"));
        test::MessageBoxWatcher::Seen seen = clickOk(dialog);
        QCOMPARE(seen.text, text(409) + QStringLiteral("\nChar:    :"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(hasFocus(dialog.nameField()));
        QCOMPARE(dialog.nameField()->selectedText(), QStringLiteral(":"));
        QTest::keyClick(dialog.nameField(), Qt::Key_Underscore);  // typed over the selection
        QCOMPARE(dialog.nameField()->text(), QStringLiteral("a_b"));
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(clickOk(dialog).text, QString());
        QCOMPARE(dialog.values().destName, std::string("a_b"));
    }

    void movingTheFirstFrameMovesDateAndTimecode() {
        ScenePropertiesDialog& dialog = open(sceneOfFile());
        QCOMPARE(dialog.startTimecodeField()->text(), QStringLiteral("00:59:59:20"));
        QCOMPARE(dialog.stopTimecodeLabel()->text(), QStringLiteral("01:00:03:20"));  // 100 frames later
        QCOMPARE(dialog.dateField()->date(), QDate(2006, 12, 24));
        QCOMPARE(dialog.timeField()->time(), QTime(18, 5, 9));

        // Typed digit by digit: 5, then 51 (50 frames on: two seconds).
        QLineEdit* first = dialog.firstFrameBox()->findChild<QLineEdit*>();
        first->setFocus();
        first->selectAll();
        QTest::keyClicks(first, QStringLiteral("51"));
        QCOMPARE(dialog.firstFrameBox()->value(), 51);
        QCOMPARE(dialog.timeField()->time(), QTime(18, 5, 11));
        QCOMPARE(dialog.startTimecodeField()->text(), QStringLiteral("01:00:01:20"));
        QCOMPARE(dialog.stopTimecodeLabel()->text(), QStringLiteral("01:00:03:20"));  // the last frame stayed

        dialog.firstFrameBox()->setValue(1);
        QCOMPARE(dialog.timeField()->time(), QTime(18, 5, 9));

        // A timecode typed in is where the next move starts from.
        type(dialog.startTimecodeField(), QStringLiteral("10000000"));
        QCOMPARE(dialog.stopTimecodeLabel()->text(), QStringLiteral("10:00:04:00"));
        dialog.firstFrameBox()->setValue(26);
        QCOMPARE(dialog.startTimecodeField()->text(), QStringLiteral("10:00:01:00"));
        QCOMPARE(clickOk(dialog).text, QString());
        QCOMPARE(dialog.values().startTimecode, (scene::Timecode{10, 0, 1, 0}));
        QCOMPARE(dialog.values().recordingTime, scene::recordingTimeOf(2006, 12, 24, 18, 5, 10));
    }

    void aTooLongNameIsCutBackOnLeavingIt() {
        ScenePropertiesDialog& dialog = open(sceneOfFile());
        dialog.nameField()->setFocus();
        dialog.nameField()->setText(QString(261, QLatin1Char('n')));
        test::MessageBoxWatcher watcher;
        dialog.doneBox()->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return watcher.count() == 1; }));
        QCOMPARE(watcher.seen().front().text, text(188) + QStringLiteral("\nMax: 260"));
        QCOMPARE(dialog.nameField()->text().size(), 260);

        // The field holds bytes: a cut never halves a character.
        QVERIFY(QTest::qWaitForWindowActive(&dialog));  // back from the message
        dialog.commentField()->setFocus();
        dialog.commentField()->setText(QString(1020, QLatin1Char('c')) + QStringLiteral("äöü"));
        dialog.doneBox()->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return watcher.count() == 2; }));
        QCOMPARE(watcher.seen().at(1).text, text(188) + QStringLiteral("\nMax: 1024"));
        QCOMPARE(dialog.commentField()->text(), QString(1020, QLatin1Char('c')) + QStringLiteral("äö"));
    }

    void warningsAndTooltipsOfTheScene() {
        scene::SceneRecord plain = sceneOfFile();
        ScenePropertiesDialog& dialog = open(plain);
        QVERIFY(!dialog.warningLabel()->isVisible());
        QCOMPARE(dialog.commentField()->toolTip(), text(256));
        QCOMPARE(dialog.nameField()->toolTip(), text(258));
        QCOMPARE(dialog.trimButton()->toolTip(), text(257));
        QCOMPARE(dialog.saveButton()->toolTip(), text(434));

        plain.openDmlKind = 2;
        plain.allKeyframes = 0;
        ScenePropertiesDialog& warned = open(plain);
        QVERIFY(warned.warningLabel()->isVisible());
        QCOMPARE(warned.warningLabel()->text(), text(1095) + QLatin1Char('\n') + text(1096));
    }

    void withoutAFileTrimAndSaveAskForSceneDataFirst() {
        scene::SceneRecord empty = sceneOfFile();
        empty.sourceFile[0] = '\0';
        ScenePropertiesDialog& dialog = open(empty);
        bool trimOpened = false;
        dialog.makeTrimDialog = [&](const scene::SceneList&) {
            trimOpened = true;
            return std::unique_ptr<TrimDialog>();
        };
        for (QPushButton* button : {dialog.trimButton(), dialog.saveButton()}) {
            test::MessageBoxWatcher watcher;
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(watcher.count(), 1);
            QCOMPARE(watcher.seen().front().text, text(190));
        }
        QVERIFY(!trimOpened);
    }

    void severalScenesEditOnlyTheSharedFields() {
        m_dialog = std::make_unique<ScenePropertiesDialog>(*m_ui, *m_store, app::DebugLog{}, m_owner.get());
        scene::SharedProperties shared;  // the speeds differed
        m_dialog->showScenes(shared, 3);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        for (QWidget* fixed : std::initializer_list<QWidget*>{m_dialog->firstFrameBox(), m_dialog->lastFrameBox(),
                                                              m_dialog->dateField(), m_dialog->timeField(),
                                                              m_dialog->startTimecodeField(), m_dialog->doneBox(),
                                                              m_dialog->trimButton(), m_dialog->saveButton()})
            QVERIFY(!fixed->isEnabled());
        QVERIFY(m_dialog->nameField()->isEnabled() && m_dialog->commentField()->isEnabled() &&
                m_dialog->speedField()->isEnabled());
        QCOMPARE(m_dialog->commentField()->text(), QStringLiteral("%"));
        QCOMPARE(m_dialog->speedField()->text(), QString());
        QVERIFY(m_dialog->multiSelectionLabel()->text().startsWith(QStringLiteral("3 ")));

        type(m_dialog->nameField(), QStringLiteral("x|%"));
        QCOMPARE(clickOk(*m_dialog).text, text(409) + QStringLiteral("\nChar:    |"));
        type(m_dialog->nameField(), QStringLiteral("%_2006"));
        QCOMPARE(clickOk(*m_dialog).text, QString());
        QCOMPARE(m_dialog->sharedValues().destName, std::string("%_2006"));
        QVERIFY(!m_dialog->sharedValues().speedFactor.has_value());  // left empty: each keeps its own
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::ScenePropertiesDialogTest)
#include "scene_properties_dialog_test.moc"
