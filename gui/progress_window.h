#pragma once
// The progress window "Bearbeitungsfortschritt": a small modeless window over
// its parent with "Quelle:", "Ziel:", two free lines and the bar
// "Fortschritt:". It has no buttons; the Stop of a run is in the dialog that
// started it. Closing it, or Esc in it, asks for that Stop instead: the run
// owns the window and closes it when it ends.
#include <QDialog>

class QLabel;
class QProgressBar;

namespace klemora::gui {

class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* parent);

    void setSource(const QString& text);
    void setDestination(const QString& text);
    void setLine(int line, const QString& text);  // 1 or 2
    void setRangeAndPosition(qint64 max, qint64 position);

    QString source() const;
    QString destination() const;
    QString line(int line) const;
    int barMaximum() const;
    int barValue() const;

    // Centred over the parent, as every run opens it.
    void showOverParent();

    void reject() override;

signals:
    void stopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_source;
    QLabel* m_destination;
    QLabel* m_lines[2];
    QProgressBar* m_bar;
};

}  // namespace klemora::gui
