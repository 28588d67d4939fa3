#pragma once

#include <QDir>
#include <QTemporaryDir>

// Makes a fresh empty temporary folder the working directory for the lifetime of
// the object, so the program's TCP.SET and comport.ini land there.
class WorkingDir {
public:
    WorkingDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingDir() { QDir::setCurrent(previous_); }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QString previous_;
    QTemporaryDir dir_;
};
