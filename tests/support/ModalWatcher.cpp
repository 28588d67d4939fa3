#include "support/ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

ModalWatcher::ModalWatcher() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start();
}

void ModalWatcher::answerBox(QMessageBox::StandardButton button) {
    handlers_.push_back([button](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            if (QAbstractButton* b = box->button(button)) {
                b->click();
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
    });
}

void ModalWatcher::onNextModal(std::function<void(QWidget*)> handler) {
    handlers_.push_back(std::move(handler));
}

void ModalWatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == lastHandled_ || !modal->isVisible())
        return;
    lastHandled_ = modal;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        SeenBox seen;
        seen.objectName = box->objectName();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        if (box->defaultButton())
            seen.defaultButton = box->standardButton(box->defaultButton());
        if (box->escapeButton())
            seen.escapeButton = box->standardButton(box->escapeButton());
        seen_.append(seen);
    }
    if (handlers_.empty()) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->escapeButton())
                box->escapeButton()->click();
            else
                box->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
        return;
    }
    auto handler = std::move(handlers_.front());
    handlers_.pop_front();
    // Answer from the event loop, not from inside the timer slot that found it.
    QTimer::singleShot(0, modal, [handler, modal] { handler(modal); });
}
