// The list view's columns as a person reads them: 1-based frames, the
// length text, "Ok" for done scenes, headers from the string table, and
// rows that follow an edit of the list.
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "app/string_table.h"
#include "gui/scene_table_model.h"

namespace klemora::gui {

class SceneTableModelTest : public QObject {
    Q_OBJECT

private:
    static int addScene(scene::SceneList& list, const char* source, int32_t start, int32_t stop) {
        int i = list.AddNewScene();
        list.setSourceFile(i, source);
        list.setStartFrame(i, start);
        list.setStopFrame(i, stop);
        list.setFramesPerSecond(i, 25.0f);
        return i;
    }

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void aSceneOfTwentyFiveFramesShowsStartOneStopTwentyFiveAndOneSecond() {
        scene::SceneList list;
        addScene(list, "/videos/tape.avi", 0, 24);
        int done = addScene(list, "/videos/tape.avi", 25, 99);
        list.setOkStatus(done, 1);
        list.setDestName(done, "002_tape.avi");
        SceneTableModel model;
        model.setList(&list);
        QTableView view;
        view.setModel(&model);
        view.show();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 7);
        const QStringList first = {QStringLiteral("1"), QStringLiteral("/videos/tape.avi"), QStringLiteral("1"),
                                   QStringLiteral("25"), QStringLiteral("00:00:01:00"), QString(), QString()};
        for (int column = 0; column < 7; ++column)
            QCOMPARE(view.model()->data(view.model()->index(0, column)).toString(), first[column]);
        QCOMPARE(model.cellText(1, SceneTableModel::Status), QStringLiteral("Ok"));
        QCOMPARE(model.cellText(1, SceneTableModel::Length), QStringLiteral("00:00:03:00"));
        QCOMPARE(model.cellText(1, SceneTableModel::Destination), QStringLiteral("002_tape.avi"));
        QStringList headers;
        for (int column = 0; column < 7; ++column) headers << model.headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Nr.", "Quelldatei", "Start", "Stop", "h:m:s:f", "Status", "Zieldatei"}));
    }

    void anEditedRowIsRepaintedAndANewCountResetsTheView() {
        scene::SceneList list;
        for (int i = 0; i < 3; ++i) addScene(list, "/v/a.avi", i * 10, i * 10 + 9);
        SceneTableModel model;
        model.setList(&list);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        list.setStopFrame(1, 14);
        model.rowsChanged(1, 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(model.cellText(1, SceneTableModel::Stop), QStringLiteral("15"));
        addScene(list, "/v/b.avi", 0, 4);
        model.rowsChanged(3, 3);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 4);
        model.setList(nullptr);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.cellText(0, SceneTableModel::Source), QString());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::SceneTableModelTest)
#include "scene_table_model_test.moc"
