#include "persist/ReplaceFile.h"

#include <QSaveFile>

namespace brixel {

bool ReplaceFileContent(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() does not report a write that fails while it flushes (a full disk,
    // say) and would swap the short file in: flush first and give up on failure,
    // which discards the new file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace brixel
