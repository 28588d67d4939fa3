#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

// Watches for modal windows while a test drives the program and answers them, so
// that no box ever waits for a person. Each modal window that appears is given to
// the next queued handler; message boxes are also recorded in seen().
// A message box that appears with nothing queued is recorded and closed with its
// escape button, so a test fails on its assertions instead of hanging.
class ModalWatcher : public QObject {
    Q_OBJECT
public:
    struct SeenBox {
        QString objectName;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    };

    ModalWatcher();

    // Answer the next message box with this button.
    void answerBox(QMessageBox::StandardButton button);
    // Hand the next modal window (a dialog of any kind) to this function.
    void onNextModal(std::function<void(QWidget*)> handler);

    const QList<SeenBox>& seen() const { return seen_; }
    void clear() { seen_.clear(); }
    int pending() const { return int(handlers_.size()); }

private:
    void poll();

    QTimer timer_;
    QPointer<QWidget> lastHandled_;
    std::deque<std::function<void(QWidget*)>> handlers_;
    QList<SeenBox> seen_;
};
