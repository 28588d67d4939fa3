// TCP.SET of any content and any length (run with -max_len=400) through the
// program's own path: the window restores it as at start-up, then "Save
// Settings" writes it back.
//
// Checked: the saved file is one whole record; every byte without meaning (the
// host field's tail after its zero byte, 73..165, 169..175) and the reserved
// date-time come back as the file had them (zero where a short file did not
// reach); each field the file held whole comes back as the window read it, kept
// within what the controls can show. No box may open (that would hang the run).
#include "FuzzCheck.h"
#include "app/BrixelApplication.h"
#include "app/TForm1.h"
#include "persist/SettingsRecord.h"
#include "presentation/ParseInt.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace brixel;

namespace {

struct Program {
    std::unique_ptr<BrixelApplication> app;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TForm1> form;
};

Program* program = nullptr;

QString settingsFile() {
    return QDir::current().filePath(QStringLiteral("TCP.SET"));
}

qint32 int32At(const QByteArray& bytes, int offset) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(quint8(bytes[offset + i])) << (8 * i);
    return qint32(v);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    program = new Program;
    program->app = std::make_unique<BrixelApplication>(*argc, *argv);
    program->dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(program->dir->path());
    program->form = std::make_unique<TForm1>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile out(settingsFile());
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "test file");
        out.write(file);
    }
    TForm1& form = *program->form;
    form.reservedValue = {}; // as in a window that has read nothing yet
    form.RestoreSettings();
    form.btnSaveClick();

    QByteArray saved;
    {
        QFile in(settingsFile());
        FUZZ_CHECK(in.open(QIODevice::ReadOnly), "saved file");
        saved = in.readAll();
    }
    FUZZ_CHECK(saved.size() == SettingsRecord::kSize, "one whole record");
    const qsizetype n = std::min<qsizetype>(file.size(), SettingsRecord::kSize);
    auto stored = [&](int offset) { return offset < n ? file[offset] : '\0'; };

    // The host's zero byte is within the field; what follows it is the file's.
    const qsizetype hostEnd = saved.left(64).indexOf('\0');
    FUZZ_CHECK(hostEnd >= 0 && hostEnd <= kHostTextMax, "host ends in the field");
    for (int i = int(hostEnd) + 1; i < 64; ++i)
        FUZZ_CHECK(saved[i] == stored(i), "host tail kept");
    for (int i = 73; i < 166; ++i)
        FUZZ_CHECK(saved[i] == stored(i), "bytes 73..165 kept");
    for (int i = 169; i < 176; ++i)
        FUZZ_CHECK(saved[i] == stored(i), "bytes 169..175 kept");
    for (int i = 176; i < 184; ++i)
        FUZZ_CHECK(saved[i] == (n == SettingsRecord::kSize ? file[i] : '\0'), "date-time kept");

    if (n >= 64) {
        SettingsRecord record;
        std::copy_n(data, 64, record.bytes.begin());
        const QString host = QString::fromLocal8Bit(FieldToText(record.host(), 64));
        FUZZ_CHECK(form.txbHost->text() == host, "host shown as read");
        FUZZ_CHECK(saved.left(hostEnd) == HostFieldText(host), "host saved as shown");
    }
    if (n >= 68)
        FUZZ_CHECK(int32At(saved, 64) == int32At(file, 64), "port kept");
    if (n >= 72)
        FUZZ_CHECK(int32At(saved, 68) == std::clamp(int32At(file, 68), -1, 2), "mode in range");
    if (n >= 73)
        FUZZ_CHECK(saved[72] == file[72], "serial wish kept");
    if (n >= 167) {
        const qint8 tx = qint8(file[166]);
        FUZZ_CHECK(saved[166] == char(tx >= 0 && tx < 4 ? tx : 0), "TX format shown and kept");
    }
    if (n >= 168) {
        const qint8 rx = qint8(file[167]);
        FUZZ_CHECK(saved[167] == char(rx >= 0 && rx < 4 ? rx : 0), "RX format shown and kept");
    }
    if (n >= 169)
        FUZZ_CHECK(saved[168] == char(file[168] != 0 ? 1 : 0), "timestamp choice kept");
    return 0;
}
