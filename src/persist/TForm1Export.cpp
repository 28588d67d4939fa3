// Export of both logs to a text file, and the logs to the clipboard.
#include "app/TForm1.h"

#include "app/MessageBoxes.h"
#include "persist/ExportText.h"
#include "persist/ReplaceFile.h"
#include "presentation/LogView.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace brixel {

namespace {

// Puts a log's text on the clipboard; an empty log leaves the clipboard alone.
void CopyLogToClipboard(const LogView* log) {
    const QByteArray text = log->text();
    if (text.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
}

} // namespace

void TForm1::Export1Click() {
    QFileDialog dialog(this, QStringLiteral("Save Text File"));
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // The overwrite question is ours, asked once after the dialog has closed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // Qt's own dialog, the same on every desktop (and answerable by the tests).
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();

    if (QFileInfo::exists(path) &&
        !AskConfirm(this, QStringLiteral("The file already exists. Do you want to overwrite it?")))
        return;

    // The logs are read now, after the dialogs: the export holds everything
    // logged up to this moment.
    const QByteArray text = BuildExportText(redtTCPIPMsg->text(), redtComPortMsg->text());
    if (!ReplaceFileContent(path, text))
        ShowPlainMessage(this, QStringLiteral("File Save Error!"));
}

void TForm1::CopyTCPRXText1Click() {
    CopyLogToClipboard(redtTCPIPMsg);
}

void TForm1::mnCopyComClipboardClick() {
    CopyLogToClipboard(redtComPortMsg);
}

} // namespace brixel
