#include "support/SaveDialog.h"

#include "support/ModalWatcher.h"

#include <QFileDialog>
#include <QLineEdit>

void ChooseSaveFile(ModalWatcher& watcher, const QString& typedPath, SeenSaveDialog* seen) {
    watcher.onNextModal([typedPath, seen](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) {
            qWarning("expected the save dialog, got %s", w->metaObject()->className());
            return;
        }
        if (seen) {
            seen->title = dialog->windowTitle();
            seen->filters = dialog->nameFilters();
            seen->suffix = dialog->defaultSuffix();
            seen->asksOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        }
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(typedPath);
        static_cast<QDialog*>(dialog)->accept();
    });
}
