#pragma once

#include <QByteArray>
#include <QString>

// The bytes of the file at `path`, or "<cannot be read>" when it cannot be
// opened, so that a missing file never compares equal to an empty one.
QByteArray ReadFileBytes(const QString& path);

// Replaces the file at `path` with `bytes`; a failure fails the running test.
void WriteFileBytes(const QString& path, const QByteArray& bytes);
