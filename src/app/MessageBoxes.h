#pragma once

#include <QString>

class QWidget;

// The four kinds of report the program shows. Every box is modal, keeps the event
// loop running while open, and carries an objectName so that a test can find and
// answer it.
namespace brixel {

// The title of the application: labels plain boxes and the error box.
inline constexpr char kApplicationTitle[] = "Brixel";

// Text of the error box: the message with a full stop appended when its last
// character sorts after ".".
QString ErrorBoxText(const QString& message);

// Plain box titled "Brixel" with an OK button (objectName "plainBox").
void ShowPlainMessage(QWidget* parent, const QString& text);

// "Format Error" box with a warning icon (objectName "formatErrorBox").
void ShowFormatError(QWidget* parent, const QString& text);

// The error box: "Brixel", error icon, OK, ErrorBoxText(message) (objectName "errorBox").
void ShowErrorBox(QWidget* parent, const QString& message);

// "Confirm" box with a question icon, Yes (default) and No; Escape answers No.
// Returns true for Yes (objectName "confirmBox").
bool AskConfirm(QWidget* parent, const QString& question);

} // namespace brixel
