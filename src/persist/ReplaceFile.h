#pragma once

#include <QByteArray>
#include <QString>

namespace brixel {

// Writes `bytes` as the whole new content of `path` through a temporary file
// that is swapped in only when everything was written: on failure the file that
// was there stays as it was. Returns whether the new content is in place.
bool ReplaceFileContent(const QString& path, const QByteArray& bytes);

} // namespace brixel
