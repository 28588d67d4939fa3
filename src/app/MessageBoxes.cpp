#include "app/MessageBoxes.h"

#include <QMessageBox>

namespace brixel {

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

namespace {

QMessageBox::StandardButton runBox(QWidget* parent, const char* objectName, QMessageBox::Icon icon,
                                   const QString& title, const QString& text,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton,
                                   QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QLatin1String(objectName));
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void ShowPlainMessage(QWidget* parent, const QString& text) {
    runBox(parent, "plainBox", QMessageBox::NoIcon, QLatin1String(kApplicationTitle), text,
           QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowFormatError(QWidget* parent, const QString& text) {
    runBox(parent, "formatErrorBox", QMessageBox::Warning, QStringLiteral("Format Error"), text,
           QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowErrorBox(QWidget* parent, const QString& message) {
    runBox(parent, "errorBox", QMessageBox::Critical, QLatin1String(kApplicationTitle),
           ErrorBoxText(message), QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

bool AskConfirm(QWidget* parent, const QString& question) {
    return runBox(parent, "confirmBox", QMessageBox::Question, QStringLiteral("Confirm"), question,
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                  QMessageBox::No) == QMessageBox::Yes;
}

} // namespace brixel
