// The manual cut dialog as a person uses it: the scene's first frame and
// status line at opening, marks set and deleted with the keys and buttons
// (with the questions and refusals they bring), Alt+arrows between the
// entries, play and pause with the slider following, the picture saved to a
// chosen folder, Cancel's question, the placement kept, and a resize that
// letterboxes the picture anew.
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "app/string_table.h"
#include "gui/frame_display.h"
#include "gui/frame_slider.h"
#include "gui/manual_cut_dialog.h"
#include "tests/gui/fake_area_player.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class ManualCutDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_path;
    app::SettingsStore m_settings;

    struct Opened {
        std::unique_ptr<ManualCutDialog> dialog;
        test::FakeAreaPlayer* player;
    };

    // Frames 10..39 of the fixture, shown and exposed.
    Opened openDialog(app::UserInterface& ui, const std::string& path, int32_t start = 10, int32_t stop = 39) {
        auto player = std::make_unique<test::FakeAreaPlayer>();
        test::FakeAreaPlayer* fake = player.get();
        auto dialog = std::make_unique<ManualCutDialog>(ui, m_settings, media::MediaSettings{},
                                                        ManualCutScene{path, start, stop}, std::move(player));
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("dialog not exposed");
        return {std::move(dialog), fake};
    }

    static std::vector<int32_t> entries(const ManualCutDialog& dialog) {
        return {dialog.cutList().entries().begin(), dialog.cutList().entries().end()};
    }

    static bool paints(ManualCutDialog& dialog, const std::string& path, int frame) {
        QSignalSpy painted(dialog.display(), &FrameDisplay::framePainted);
        bool seen = dialog.display()->frameShown() == frame ||
                    QTest::qWaitFor([&] { return painted.contains(QVariantList{frame}); });
        QRect box = dialog.display()->letterboxRect();
        return seen && dialog.display()->frameShown() == frame &&
               dialog.display()->picture() == test::grabbedFrame(path, frame, box.size());
    }

    static void key(ManualCutDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &dialog, key, modifiers);
    }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        m_path = test::writeFixture(m_dir.file("scene.avi"), test::distinctFrames(50));
    }

    void init() {
        std::filesystem::remove(m_dir.file("settings.ini"));
        m_settings = app::SettingsStore(m_dir.file("settings.ini"));
    }

    void openingShowsTheStartFrameTheRangeAndTheStatusLine() {
        m_settings.writeInt("SliderJump", 7);
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Szene manuell trennen"));
        QCOMPARE(dialog.slider()->minimum(), 10);
        QCOMPARE(dialog.slider()->maximum(), 39);
        QCOMPARE(dialog.slider()->pageStep(), 7);
        QCOMPARE(dialog.slider()->ticks(), (std::vector<int>{10, 39}));
        QCOMPARE(dialog.slider()->toolTip(), QStringLiteral("Aktives Bild der Szene auswählen."));
        QCOMPARE(dialog.setMarkButton()->toolTip(),
                 QStringLiteral("Schnittmarke setzen. Sie markiert das erste Bild der neuen Szene."));
        QCOMPARE(dialog.okButton()->toolTip(), QStringLiteral("Schliesst den Dialog und übernimmt die Änderungen."));
        QVERIFY(paints(dialog, m_path, 10));
        QCOMPARE(dialog.statusText(), QStringLiteral("Dauer: 00:00:01:05,    Bild: 1/30,    Zeit: 00:00:00:00"));

        dialog.slider()->setFocus();
        key(dialog, Qt::Key_Right);
        QVERIFY(paints(dialog, m_path, 11));
        key(dialog, Qt::Key_PageDown);
        QVERIFY(paints(dialog, m_path, 18));
        QCOMPARE(dialog.statusText(), QStringLiteral("Dauer: 00:00:01:05,    Bild: 9/30,    Zeit: 00:00:00:08"));
        QVERIFY(ui.messages().empty());
    }

    void marksAreSetAndRefusedWithTheKeysAndShownAsTicks() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        dialog.slider()->setFocus();
        key(dialog, Qt::Key_S);  // on the start
        QCOMPARE(ui.messages().size(), size_t{1});
        QCOMPARE(ui.messages()[0].text, std::string("Diese Stelle ist schon als Schnittpunkt definiert!"));

        dialog.slider()->setValue(20);
        key(dialog, Qt::Key_S);
        dialog.slider()->setValue(30);
        QTest::mouseClick(dialog.setMarkButton(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), dialog.slider());  // back on the slider after the button
        key(dialog, Qt::Key_S);  // twice
        QCOMPARE(ui.messages().size(), size_t{2});
        QCOMPARE(entries(dialog), (std::vector<int32_t>{10, 20, 30, 39}));
        QCOMPARE(dialog.slider()->ticks(), (std::vector<int>{10, 20, 30, 39}));

        // The tick is drawn under the slider at the mark.
        QImage slider = dialog.slider()->grab().toImage();
        QColor tick = slider.pixelColor(dialog.slider()->tickX(20), slider.height() - 1);
        QCOMPARE(tick, dialog.slider()->palette().color(QPalette::WindowText));

        // Alt+arrows go from entry to entry, and the picture follows.
        dialog.slider()->setValue(25);
        key(dialog, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(dialog.slider()->value(), 20);
        key(dialog, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(dialog.slider()->value(), 10);
        key(dialog, Qt::Key_Right, Qt::AltModifier);
        key(dialog, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(dialog.slider()->value(), 30);
        QVERIFY(paints(dialog, m_path, 30));
        QCOMPARE(dialog.statusText(), QStringLiteral("Dauer: 00:00:01:05,    Bild: 21/30,    Zeit: 00:00:00:20"));
    }

    void delRemovesAMarkOrAsksAboutTheNearestOne() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        for (int frame : {17, 23}) {
            dialog.slider()->setValue(frame);
            dialog.setMark();
        }
        // With marks 3 before and 3 after, the one before is offered; counted from 1.
        dialog.slider()->setValue(20);
        ui.expectQuestion("\nActual: 21\nPossible: 18", app::Answer::Yes);
        key(dialog, Qt::Key_Delete);
        QCOMPARE(entries(dialog), (std::vector<int32_t>{10, 23, 39}));
        QCOMPARE(dialog.slider()->ticks(), (std::vector<int>{10, 23, 39}));

        dialog.slider()->setValue(23);
        QTest::mouseClick(dialog.deleteMarkButton(), Qt::LeftButton);  // on the mark: at once
        QCOMPARE(entries(dialog), (std::vector<int32_t>{10, 39}));
        dialog.slider()->setValue(25);
        key(dialog, Qt::Key_Delete);  // only the start, 15 away: never offered
        QCOMPARE(ui.questions().size(), size_t{1});
        QVERIFY(!ui.unansweredQuestionsLeft());
        QCOMPARE(ui.messages().size(), size_t{1});
        QVERIFY(ui.hasMessage("im Umkreis von 25 Bildern ist kein Schnittpunkt definiert"));
    }

    void spacePlaysFromTheSliderToTheStopAndASecondSpacePauses() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        QVERIFY(paints(dialog, m_path, 10));
        dialog.slider()->setValue(30);
        QVERIFY(paints(dialog, m_path, 30));

        QSignalSpy painted(dialog.display(), &FrameDisplay::framePainted);
        QList<int> followed;
        opened.player->afterFrame = [&](int32_t frame) {
            followed.append(dialog.slider()->value());
            QCOMPARE(dialog.playButton()->text(), QStringLiteral("Pause"));
            if (frame == 34) {
                dialog.okButton()->setFocus();  // Space goes to the dialog, not the button
                key(dialog, Qt::Key_Space);
            }
        };
        dialog.slider()->setFocus();
        key(dialog, Qt::Key_Space);
        QCOMPARE(opened.player->requests.size(), size_t{1});
        const AreaPlayRequest& request = opened.player->requests[0];
        QCOMPARE(request.path, m_path);
        QCOMPARE(request.from, 30);
        QCOMPARE(request.to, 39);
        QCOMPARE(request.area, dialog.display());
        QCOMPARE(request.pictureRect, dialog.display()->letterboxRect());
        QCOMPARE(followed, (QList<int>{30, 31, 32, 33, 34}));
        QVERIFY(painted.isEmpty());  // the player had the pictures on the screen
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.playButton()->text(), QStringLiteral("Abspielen"));
        QVERIFY(paints(dialog, m_path, 34));  // the frame where it stopped

        opened.player->afterFrame = {};
        QTest::mouseClick(dialog.playButton(), Qt::LeftButton);
        QCOMPARE(dialog.slider()->value(), 39);
        QVERIFY(paints(dialog, m_path, 39));
        QVERIFY(ui.messages().empty());
    }

    void cancelWithAMarkAsksAndNoKeepsTheDialog() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        dialog.slider()->setValue(15);
        dialog.setMark();
        ui.expectQuestion("Sollen die Änderungen wirklich verworfen werden?", app::Answer::No);
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        ui.expectQuestion("Sollen die Änderungen wirklich verworfen werden?", app::Answer::Yes);
        key(dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_settings.readInt("ManCutX1", -1), -1);  // only OK stores the placement

        test::ScriptedUserInterface quiet;
        Opened unmarked = openDialog(quiet, m_path);
        QTest::mouseClick(unmarked.dialog->cancelButton(), Qt::LeftButton);  // nothing to lose: no question
        QVERIFY(!unmarked.dialog->isVisible());
        QVERIFY(quiet.questions().empty());
    }

    void okReturnsTheListAndThePlacementComesBack() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        QCOMPARE(dialog.minimumSize(), dialog.size());
        dialog.setGeometry(dialog.x(), dialog.y(), dialog.width() + 80, dialog.height() + 40);
        QRect placed = dialog.geometry();
        dialog.slider()->setValue(20);
        dialog.setMark();
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(entries(dialog), (std::vector<int32_t>{10, 20, 39}));
        QVERIFY(!dialog.display()->isOpen());
        QCOMPARE(m_settings.readInt("ManCutX2", -1) - m_settings.readInt("ManCutX1", -1), placed.width());
        QCOMPARE(m_settings.readInt("ManCutMax", -1), 0);

        Opened again = openDialog(ui, m_path);
        QCOMPARE(again.dialog->size(), placed.size());
    }

    void aResizeLetterboxesThePictureAnew() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        dialog.slider()->setValue(12);
        QVERIFY(paints(dialog, m_path, 12));
        QRect before = dialog.display()->letterboxRect();
        dialog.resize(dialog.width() + 300, dialog.height() + 200);
        QVERIFY(QTest::qWaitFor([&] { return dialog.display()->letterboxRect() != before; }));
        QVERIFY(dialog.display()->letterboxRect().height() > before.height());
        QVERIFY(QTest::qWaitFor([&] { return dialog.display()->picture().size() == dialog.display()->letterboxRect().size(); }));
        QVERIFY(paints(dialog, m_path, 12));
        dialog.resize(100, 100);
        QCOMPARE(dialog.size(), dialog.minimumSize());
    }

    void savePictureWritesTheFrameIntoTheChosenFolder() {
        test::ScriptedUserInterface ui;
        Opened opened = openDialog(ui, m_path);
        ManualCutDialog& dialog = *opened.dialog;
        std::string folder = m_dir.file("pictures");
        std::filesystem::create_directory(folder);
        dialog.slider()->setValue(14);
        ui.expectDirectory(folder);
        QTest::mouseClick(dialog.savePictureButton(), Qt::LeftButton);
        QCOMPARE(m_settings.readText("PicturePath", ""), folder + "/");
        QVERIFY(std::filesystem::file_size(folder + "/scene_f00015.bmp") > 0);

        QTest::mouseClick(dialog.savePictureButton(), Qt::LeftButton);  // cancelled: nothing happens
        QCOMPARE(m_settings.readText("PicturePath", ""), folder + "/");
        QVERIFY(ui.messages().empty());
    }

    void aSourceThatCannotBeOpenedLeavesMarksAndStatusWorking() {
        test::ScriptedUserInterface ui;
        std::string missing = m_dir.file("missing.avi");
        Opened opened = openDialog(ui, missing, 0, 99);
        ManualCutDialog& dialog = *opened.dialog;
        QCOMPARE(ui.messages().size(), size_t{1});
        QCOMPARE(ui.messages()[0].text, "Interner Fehler. Bitte den Entwickler kontaktieren und dabei den Fehler-Code "
                                        "und die Begleitumstände angeben.\nFile: " + missing + "\nCode: KLM-MC-1001");
        dialog.slider()->setValue(50);
        dialog.setMark();
        QCOMPARE(entries(dialog), (std::vector<int32_t>{0, 50, 99}));
        QCOMPARE(dialog.statusText(), QStringLiteral("Dauer: 00:00:04:00,    Bild: 51/100,    Zeit: 00:00:02:00"));
        QVERIFY(dialog.display()->picture().isNull());
        QCOMPARE(ui.messages().size(), size_t{1});
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::ManualCutDialogTest)
#include "manual_cut_dialog_test.moc"
