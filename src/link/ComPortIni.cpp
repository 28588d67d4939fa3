#include "link/ComPortIni.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

// Header-only use of SimpleIni: bytes in the system code page, no conversion.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

namespace brixel {

namespace {

// Far above any real comport.ini; a bigger file is not one of ours.
constexpr qint64 kMaxIniSize = 1 << 20;

// A line that opens a section name and does not close it is no section. SimpleIni
// skips it but then files the keys after it under a name running on from that
// line into the next ones, and a save writes that name back as a section, one
// line longer each time. Such a line is blanked out first, so it goes the way of
// every other line that is neither a section nor a key: its keys stay in the
// section before it, and a save leaves it out.
QByteArray WithoutUnclosedSections(const QByteArray& text) {
    QByteArray out = text;
    qsizetype start = out.startsWith("\xEF\xBB\xBF") ? 3 : 0; // SimpleIni skips the mark
    while (start < out.size()) {
        qsizetype end = start;
        while (end < out.size() && out[end] != '\r' && out[end] != '\n' && out[end] != '\0')
            ++end;
        qsizetype first = start;
        while (first < end && (out[first] == ' ' || out[first] == '\t'))
            ++first;
        const qsizetype close = out.indexOf(']', first);
        if (first < end && out[first] == '[' && (close < 0 || close > end)) {
            out.remove(start, end - start);
            end = start;
        }
        if (end < out.size() && out[end] == '\0')
            break; // SimpleIni reads no further
        start = end + 1;
    }
    return out;
}

// SimpleIni parses without failing on content: lines it cannot use are skipped.
void ParseIni(CSimpleIniA& ini, const QByteArray& text) {
    ini.SetSpaces(false);
    const QByteArray usable = WithoutUnclosedSections(text);
    ini.LoadData(usable.constData(), size_t(usable.size()));
}

// The value of `key` in the ComPort1 section, blanks around it removed; nullopt when missing.
std::optional<QByteArray> IniValue(const CSimpleIniA& ini, const char* key) {
    const char* value = ini.GetValue(kComPortIniSection, key, nullptr);
    if (!value)
        return std::nullopt;
    return QByteArray(value).trimmed();
}

// INI text is in the system code page. A byte order mark that starts a value is
// part of the value: the decoder would drop it otherwise, and the value would not
// read back the same after a save. A value is decoded whole: a sequence cut short
// at its end becomes a replacement character instead of being held back for
// more input that never comes.
QString IniString(const QByteArray& bytes) {
    QStringDecoder decode(QStringDecoder::System, QStringDecoder::Flag::ConvertInitialBom |
                                                      QStringDecoder::Flag::Stateless);
    return decode(bytes);
}

template <typename T, std::size_t N>
void ReadChoice(const CSimpleIniA& ini, const char* key,
                const std::array<SettingChoice<T>, N>& table, T unknown, T& value) {
    if (const auto text = IniValue(ini, key))
        value = ChoiceByLabel(table, IniString(*text)).value_or(unknown);
}

// INI text is in the system code page.
QByteArray IniBytes(const QString& text) {
    return text.toLocal8Bit();
}

// Whole file, or nullopt when it cannot be read or is too big to be ours.
std::optional<QByteArray> ReadWholeFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    // Read no further than the limit: a device or a pipe in the file's place
    // reports no size and may never end.
    QByteArray data = file.read(kMaxIniSize + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (data.size() > kMaxIniSize) {
        if (error)
            *error = QStringLiteral("The file is too large");
        return std::nullopt;
    }
    return data;
}

} // namespace

SerialSettings ReadComPortIni(const QByteArray& text, const SerialSettings& current) {
    CSimpleIniA ini;
    ParseIni(ini, text);
    SerialSettings s = current;
    if (const auto port = IniValue(ini, "Port"))
        s.port = IniString(*port);
    ReadChoice(ini, "BaudRate", kBaudRateChoices, qint32(9600), s.baudRate);
    if (s.baudRate == kCustomBaudRate) {
        // A rate must be a positive number; anything else reads as the default.
        bool ok = false;
        const qint32 rate = IniValue(ini, "CustomBaudRate").value_or(QByteArray()).toInt(&ok);
        s.customBaudRate = ok && rate > 0 ? rate : 9600;
    }
    ReadChoice(ini, "StopBits", kStopBitsChoices, QSerialPort::OneStop, s.stopBits);
    ReadChoice(ini, "DataBits", kDataBitsChoices, QSerialPort::Data8, s.dataBits);
    ReadChoice(ini, "Parity", kParityChoices, QSerialPort::NoParity, s.parity);
    std::optional<QSerialPort::FlowControl> flow = s.flowControl;
    ReadChoice(ini, "FlowControl", kFlowControlChoices, {}, flow);
    s.flowControl = flow.value_or(s.flowControl);
    return s;
}

QByteArray UpdateComPortIni(const QByteArray& text, const SerialSettings& settings) {
    CSimpleIniA ini;
    ParseIni(ini, text);
    const auto set = [&ini](const char* key, const QByteArray& value) {
        ini.SetValue(kComPortIniSection, key, value.constData());
    };
    set("Port", IniBytes(settings.port));
    set("BaudRate", IniBytes(ChoiceLabel(kBaudRateChoices, settings.baudRate)));
    if (settings.baudRate == kCustomBaudRate)
        set("CustomBaudRate", QByteArray::number(settings.customBaudRate));
    set("StopBits", IniBytes(ChoiceLabel(kStopBitsChoices, settings.stopBits)));
    set("DataBits", IniBytes(ChoiceLabel(kDataBitsChoices, settings.dataBits)));
    set("Parity", IniBytes(ChoiceLabel(kParityChoices, settings.parity)));
    set("FlowControl", IniBytes(FlowControlLabel(settings.flowControl)));

    // A file that starts with a byte order mark keeps it; SimpleIni writes it
    // only then. Left out, a save would turn a second mark into the first and
    // take one off the start of the file with every save.
    std::string out;
    ini.Save(out, /*addSignature=*/true);
    // Windows line ends whatever the platform writes, and one blank line between
    // sections where SimpleIni puts two (values never span lines here).
    QByteArray bytes = QByteArray::fromStdString(out);
    bytes.replace("\r\n", "\n");
    while (bytes.contains("\n\n\n"))
        bytes.replace("\n\n\n", "\n\n");
    bytes.replace("\n", "\r\n");
    return bytes;
}

bool LoadComPortIni(const QString& path, SerialSettings& settings, QString* error) {
    const auto text = ReadWholeFile(path, error);
    if (!text)
        return false;
    settings = ReadComPortIni(*text, settings);
    return true;
}

bool StoreComPortIni(const QString& path, const SerialSettings& settings) {
    QByteArray existing;
    if (QFile::exists(path)) {
        // A file we cannot read is not overwritten: its other content would be lost.
        const auto text = ReadWholeFile(path, nullptr);
        if (!text)
            return false;
        existing = *text;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(UpdateComPortIni(existing, settings));
    return file.commit();
}

} // namespace brixel
