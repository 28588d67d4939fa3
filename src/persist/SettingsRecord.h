#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

namespace brixel {

// The 184-byte record kept in TCP.SET: little-endian, no header, no version.
// The bytes no field covers carry no meaning; they are kept as read so that a
// save writes them back unchanged.
struct SettingsRecord {
    static constexpr int kSize = 184;

    static constexpr int kHostOffset = 0;
    static constexpr int kHostSize = 64; // 8-bit characters ended by a zero byte
    static constexpr int kPortOffset = 64;
    static constexpr int kSocketModeOffset = 68; // SocketMode, -1 for no selection
    static constexpr int kComPortOnOffset = 72;  // 0 off, anything else on
    static constexpr int kTxFormatOffset = 166;  // signed byte, DataFormat
    static constexpr int kRxFormatOffset = 167;  // signed byte, DataFormat
    static constexpr int kShowTimestampOffset = 168;
    static constexpr int kReservedOffset = 176; // a date-time never interpreted
    static constexpr int kReservedSize = 8;

    std::array<quint8, kSize> bytes{};

    std::span<quint8, kHostSize> host() {
        return std::span(bytes).subspan<kHostOffset, kHostSize>();
    }
    std::span<const quint8, kHostSize> host() const {
        return std::span(bytes).subspan<kHostOffset, kHostSize>();
    }
    qint32 port() const { return int32At(kPortOffset); }
    void setPort(qint32 value) { setInt32At(kPortOffset, value); }
    qint32 socketMode() const { return int32At(kSocketModeOffset); }
    void setSocketMode(qint32 value) { setInt32At(kSocketModeOffset, value); }
    quint8 comPortOn() const { return bytes[kComPortOnOffset]; }
    void setComPortOn(quint8 value) { bytes[kComPortOnOffset] = value; }
    qint8 txFormat() const { return qint8(bytes[kTxFormatOffset]); }
    void setTxFormat(qint8 value) { bytes[kTxFormatOffset] = quint8(value); }
    qint8 rxFormat() const { return qint8(bytes[kRxFormatOffset]); }
    void setRxFormat(qint8 value) { bytes[kRxFormatOffset] = quint8(value); }
    quint8 showTimestamp() const { return bytes[kShowTimestampOffset]; }
    void setShowTimestamp(quint8 value) { bytes[kShowTimestampOffset] = value; }
    std::array<quint8, kReservedSize> reservedValue() const;
    void setReservedValue(const std::array<quint8, kReservedSize>& value);

private:
    qint32 int32At(int offset) const;
    void setInt32At(int offset, qint32 value);
};

// Characters of the host field a save writes; the zero byte follows them.
inline constexpr int kHostTextMax = 63;

// The record written at first start: "localhost", port 5000, Client, serial off,
// timestamps on, String formats; every other byte 0.
SettingsRecord DefaultSettingsRecord();

// Copies at most n characters of text into field and ends them with a zero byte;
// the bytes after that zero byte are left as they were. n is kept below the
// field's size so the zero byte always fits.
void CopyTextToField(const QByteArray& text, std::span<quint8> field, int n);

// The characters of field before its first zero byte, at most n of them.
QByteArray FieldToText(std::span<const quint8> field, int n);

// The host text in 8-bit characters, cut to kHostTextMax bytes without splitting
// a character.
QByteArray HostFieldText(const QString& host);

// Reads up to kSize bytes of the file into record; the bytes a short file does not
// supply keep their values. Returns the count read, or -1 when the file cannot
// be opened or read.
qint64 ReadSettingsFile(const QString& path, SettingsRecord& record);

// Replaces the file with the record in one step (write a new file, then swap it
// in). Returns false when that fails; the old file is then left as it was.
bool WriteSettingsFile(const QString& path, const SettingsRecord& record);

} // namespace brixel
