#pragma once
// Answers the message boxes a window opens, as a person would: the next box
// that comes up gets its text and icon recorded and the given button clicked.
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <QtTest>

namespace klemora::test {

class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    // Every box that opens from now on gets `button`.
    explicit MessageBoxWatcher(QMessageBox::StandardButton button = QMessageBox::Ok) : m_button(button) {
        connect(&m_timer, &QTimer::timeout, this, [this] { answer(); });
        m_timer.start(5);
    }

    const QList<Seen>& seen() const { return m_seen; }
    int count() const { return static_cast<int>(m_seen.size()); }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        m_seen.append({box->text(), box->icon()});
        QAbstractButton* button = box->button(m_button);
        if (!button) button = box->buttons().value(0);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QMessageBox::StandardButton m_button;
    QTimer m_timer;
    QList<Seen> m_seen;
};

}  // namespace klemora::test
