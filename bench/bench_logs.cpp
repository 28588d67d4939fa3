// How fast the traffic logs take received chunks, whether that cost stays flat as
// the log fills, and what a stored character costs in memory. Runs offscreen with
// the real main window shown, processing events as it goes so that the logs paint
// as they would live. Prints "name: value" lines.
#include "app/BrixelApplication.h"
#include "app/TForm1.h"
#include "presentation/ByteRendering.h"
#include "presentation/LogView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace brixel;

namespace {

constexpr int kChunks = 1000000;
constexpr int kChunkBytes = 16;
constexpr int kEventsEvery = 64; // appends between two turns of the event loop

qint64 ResidentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

struct Run {
    double appendsPerSecond = 0;
    double firstTenthNs = 0;
    double lastTenthNs = 0;
};

// Feeds kChunks chunks through rendering and AppendLogText into the TCP log, as
// the bridge does for each received chunk.
Run Feed(TForm1& form, const QByteArray& traffic, qint32 format, bool clearFirst = true) {
    if (clearFirst)
        form.btnClearMsgClick();
    form.rxFormat = format;
    QCoreApplication::processEvents();
    const int tenth = kChunks / 10;
    std::vector<qint64> tenthNs;
    QElapsedTimer total;
    QElapsedTimer part;
    total.start();
    part.start();
    for (int i = 0; i < kChunks; ++i) {
        const qsizetype at = (qsizetype(i) * kChunkBytes) % (traffic.size() - kChunkBytes);
        const QByteArray text = RenderRxChunk(
            reinterpret_cast<const quint8*>(traffic.constData()) + at, kChunkBytes, form.rxFormat);
        form.AppendLogText(form.redtTCPIPMsg, text);
        if (i % kEventsEvery == kEventsEvery - 1)
            QCoreApplication::processEvents();
        if (i % tenth == tenth - 1)
            tenthNs.push_back(part.nsecsElapsed()), part.restart();
    }
    QCoreApplication::processEvents();
    Run run;
    run.appendsPerSecond = kChunks / (double(total.nsecsElapsed()) / 1e9);
    run.firstTenthNs = double(tenthNs.front()) / tenth;
    run.lastTenthNs = double(tenthNs.back()) / tenth;
    return run;
}

void Print(const QByteArray& name, double value) {
    std::printf("%s: %.3f\n", name.constData(), value);
}

void Report(const char* format, const Run& run) {
    const QByteArray prefix(format);
    Print(prefix + "_appends_per_second", run.appendsPerSecond);
    Print(prefix + "_first_tenth_ns_per_append", run.firstTenthNs);
    Print(prefix + "_last_tenth_ns_per_append", run.lastTenthNs);
    Print(prefix + "_last_to_first_tenth_ratio", run.lastTenthNs / run.firstTenthNs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BrixelApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    // The wall clock, or one that moves a second per reading so that every chunk
    // starts a new, timestamped line.
    bool stepping = false;
    QDateTime stepped = QDateTime::currentDateTimeUtc();
    TForm1 form([&] {
        return stepping ? (stepped = stepped.addMSecs(1000)) : QDateTime::currentDateTime();
    });
    form.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    // Printable text with some control bytes, as a serial device might send.
    QByteArray traffic;
    for (int i = 0; i < 1 << 16; ++i)
        traffic += char(i % 61 == 60 ? '\r' : i % 97 == 96 ? '\0' : ' ' + (i * 7) % 95);

    const qint64 rssBefore = ResidentBytes();
    const Run string = Feed(form, traffic, 0);
    const qint64 rssAfter = ResidentBytes();
    const TrafficLog& log = form.redtTCPIPMsg->log();
    const double stored = double(log.size());
    Report("string", string);
    Print("string_lines", log.lineCount());
    Print("string_stored_chars", stored);
    Print("memory_bytes_per_stored_char", double(log.memoryBytes()) / stored);
    Print("resident_bytes_per_stored_char", double(rssAfter - rssBefore) / stored);

    const Run hex = Feed(form, traffic, 3);
    Report("hex", hex);
    Print("hex_stored_chars", double(form.redtTCPIPMsg->log().size()));

    // A million more Hex chunks into the same log: it reaches its bound a third of
    // the way in and from then on drops its oldest lines as new text arrives.
    const Run full = Feed(form, traffic, 3, false);
    Report("hex_past_bound", full);
    Print("hex_past_bound_last_tenth_to_hex_first_tenth_ratio",
          full.lastTenthNs / hex.firstTenthNs);
    Print("hex_past_bound_stored_chars", double(form.redtTCPIPMsg->log().size()));
    Print("hex_past_bound_memory_bytes", double(form.redtTCPIPMsg->log().memoryBytes()));

    stepping = true;
    Report("string_new_line_each", Feed(form, traffic, 0));
    Print("string_new_line_each_lines", form.redtTCPIPMsg->lineCount());
    std::fflush(stdout);
    return 0;
}
