#include "persist/SettingsRecord.h"

#include "persist/ReplaceFile.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace brixel {

std::array<quint8, SettingsRecord::kReservedSize> SettingsRecord::reservedValue() const {
    std::array<quint8, kReservedSize> value{};
    std::copy_n(bytes.begin() + kReservedOffset, kReservedSize, value.begin());
    return value;
}

void SettingsRecord::setReservedValue(const std::array<quint8, kReservedSize>& value) {
    std::copy(value.begin(), value.end(), bytes.begin() + kReservedOffset);
}

qint32 SettingsRecord::int32At(int offset) const {
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

void SettingsRecord::setInt32At(int offset, qint32 value) {
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

SettingsRecord DefaultSettingsRecord() {
    SettingsRecord record;
    CopyTextToField(QByteArrayLiteral("localhost"), record.host(), 60);
    record.setPort(5000);
    record.setSocketMode(1);
    record.setComPortOn(0);
    record.setShowTimestamp(1);
    return record;
}

void CopyTextToField(const QByteArray& text, std::span<quint8> field, int n) {
    if (field.empty())
        return;
    const qsizetype room = qsizetype(field.size()) - 1;
    const qsizetype count = std::min({text.size(), qsizetype(std::max(n, 0)), room});
    std::fill_n(field.begin(), count + 1, quint8(0));
    std::memcpy(field.data(), text.constData(), size_t(count));
}

QByteArray FieldToText(std::span<const quint8> field, int n) {
    const auto limit = field.begin() + std::min(qsizetype(field.size()), qsizetype(std::max(n, 0)));
    const auto end = std::find(field.begin(), limit, quint8(0));
    return QByteArray(reinterpret_cast<const char*>(field.data()), end - field.begin());
}

QByteArray HostFieldText(const QString& host) {
    QString text = host.left(kHostTextMax);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    QByteArray bytes = text.toLocal8Bit();
    // Characters of more than one byte: drop whole characters until it fits.
    while (bytes.size() > kHostTextMax) {
        text.chop(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
        bytes = text.toLocal8Bit();
    }
    return bytes;
}

qint64 ReadSettingsFile(const QString& path, SettingsRecord& record) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.read(reinterpret_cast<char*>(record.bytes.data()), SettingsRecord::kSize);
}

bool WriteSettingsFile(const QString& path, const SettingsRecord& record) {
    return ReplaceFileContent(path, QByteArray(reinterpret_cast<const char*>(record.bytes.data()),
                                               SettingsRecord::kSize));
}

} // namespace brixel
