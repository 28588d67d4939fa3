#pragma once

#include <QString>
#include <QStringList>

class ModalWatcher;

// What the save dialog looked like when it was answered.
struct SeenSaveDialog {
    QString title;
    QStringList filters;
    QString suffix;
    bool asksOverwrite = true;
};

// Answers the next save dialog by typing `typedPath` into its file name field
// and pressing Save. With `seen`, notes what the dialog showed.
void ChooseSaveFile(ModalWatcher& watcher, const QString& typedPath,
                    SeenSaveDialog* seen = nullptr);
