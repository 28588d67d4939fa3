// comport.ini: reading over the current settings, writing in place, the label
// tables shared with the setup dialog, and the file itself.
#include "link/ComPortIni.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QFile>
#include <QTest>

using namespace brixel;

namespace brixel {
// Shown by QCOMPARE when two settings differ.
char* toString(const SerialSettings& s) {
    const QString text =
        QStringLiteral("%1 %2 (custom %3) %4 %5 %6 %7")
            .arg(s.port)
            .arg(s.baudRate)
            .arg(s.customBaudRate)
            .arg(ChoiceLabel(kDataBitsChoices, s.dataBits),
                 ChoiceLabel(kStopBitsChoices, s.stopBits), ChoiceLabel(kParityChoices, s.parity),
                 FlowControlLabel(s.flowControl));
    return qstrdup(text.toLocal8Bit().constData());
}
} // namespace brixel

Q_DECLARE_METATYPE(brixel::SerialSettings)

namespace {

// Current settings that differ from the defaults everywhere, so that a value
// kept from them is told apart from a default.
SerialSettings current() {
    SerialSettings s;
    s.port = QStringLiteral("COM7");
    s.baudRate = 57600;
    s.customBaudRate = 31250;
    s.dataBits = QSerialPort::Data7;
    s.stopBits = QSerialPort::TwoStop;
    s.parity = QSerialPort::EvenParity;
    s.flowControl = QSerialPort::HardwareControl;
    return s;
}

QByteArray file(std::initializer_list<QByteArray> lines) {
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

class TestComPortIni : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void everyLabelSurvivesWriteAndRead();
    void storeAndLoadFile();
    void fileThatIsNotOursIsNeitherReadNorReplaced();
    void failedWriteLeavesNoFile();
};

void TestComPortIni::read_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<SerialSettings>("expected");
    const SerialSettings base = current();
    SerialSettings s;

    s = base;
    s.port = QStringLiteral("/dev/ttyUSB0");
    s.baudRate = 19200;
    s.stopBits = QSerialPort::OneStop;
    s.dataBits = QSerialPort::Data8;
    s.parity = QSerialPort::NoParity;
    s.flowControl = QSerialPort::SoftwareControl;
    QTest::newRow("every key") << file({"[ComPort1]", "Port=/dev/ttyUSB0", "BaudRate=19200",
                                        "StopBits=1", "DataBits=8", "Parity=None",
                                        "FlowControl=Software"})
                               << s;

    s = base;
    s.port = QStringLiteral("COM3");
    QTest::newRow("missing keys keep current") << file({"[ComPort1]", "Port=COM3"}) << s;

    QTest::newRow("empty file") << QByteArray() << base;
    QTest::newRow("other section ignored")
        << file({"[ComPort2]", "Port=COM9", "BaudRate=300", "Parity=Odd"}) << base;

    s = base;
    s.baudRate = 9600;
    s.stopBits = QSerialPort::OneStop;
    s.dataBits = QSerialPort::Data8;
    s.parity = QSerialPort::NoParity;
    QTest::newRow("unknown values give defaults")
        << file({"[ComPort1]", "BaudRate=fast", "StopBits=3", "DataBits=9", "Parity=maybe",
                 "FlowControl=fast"})
        << s;

    QTest::newRow("Custom flow keeps flow") << file({"[ComPort1]", "FlowControl=Custom"}) << base;

    s = base;
    s.port = QStringLiteral("COM9");
    s.baudRate = 110;
    s.stopBits = QSerialPort::OneAndHalfStop;
    s.dataBits = QSerialPort::Data5;
    s.parity = QSerialPort::OddParity;
    s.flowControl = QSerialPort::NoFlowControl;
    QTest::newRow("mixed case") << file({"[comPORT1]", "pOrT=COM9", "baudrate=110", "STOPBITS=1.5",
                                         "databits=5", "Parity=oDD", "flowcontrol=NONE"})
                                << s;

    s = base;
    s.port = QStringLiteral("COM 4");
    s.parity = QSerialPort::MarkParity;
    QTest::newRow("blanks around key and value")
        << file({"[ComPort1]", "  Port =  COM 4  ", "Parity\t=\tMark"}) << s;

    s = base;
    s.port = QChar(0xFEFF) + QStringLiteral("\tCOM4");
    QTest::newRow("byte order mark that starts a value")
        << file({"[ComPort1]", "Port=\xEF\xBB\xBF\tCOM4"}) << s;

    s = base;
    s.port = QStringLiteral("COM8 ") + QChar(QChar::ReplacementCharacter);
    QTest::newRow("character cut short at the end of a value")
        << file({"[ComPort1]", "Port=COM8 \xD4"}) << s;

    s = base;
    s.port = QStringLiteral("COM5");
    s.parity = QSerialPort::SpaceParity;
    QTest::newRow("LF line ends, junk and comments")
        << QByteArray("; comment\n\x01\x02 junk\n[ComPort1]\nno equals here\nPort=COM5\n"
                      "Parity=Space\n")
        << s;

    s = base;
    s.baudRate = kCustomBaudRate;
    s.customBaudRate = 250000;
    QTest::newRow("Custom rate reads CustomBaudRate")
        << file({"[ComPort1]", "BaudRate=custom", "CustomBaudRate=250000"}) << s;

    s = base;
    s.baudRate = kCustomBaudRate;
    s.customBaudRate = 9600;
    QTest::newRow("Custom rate without CustomBaudRate")
        << file({"[ComPort1]", "BaudRate=Custom"}) << s;
    QTest::newRow("CustomBaudRate not a number")
        << file({"[ComPort1]", "BaudRate=Custom", "CustomBaudRate=fast"}) << s;
    QTest::newRow("CustomBaudRate not positive")
        << file({"[ComPort1]", "BaudRate=Custom", "CustomBaudRate=-5"}) << s;

    s = base;
    s.baudRate = 9600;
    QTest::newRow("CustomBaudRate only with Custom")
        << file({"[ComPort1]", "BaudRate=9600", "CustomBaudRate=1234"}) << s;
}

void TestComPortIni::read() {
    QFETCH(QByteArray, text);
    QFETCH(SerialSettings, expected);
    QCOMPARE(ReadComPortIni(text, current()), expected);
}

void TestComPortIni::write_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<SerialSettings>("settings");
    QTest::addColumn<QByteArray>("written");
    const QByteArray defaultPort = DefaultComPortName().toLatin1();

    QTest::newRow("defaults into a new file")
        << QByteArray() << SerialSettings()
        << file({"[ComPort1]", "Port=" + defaultPort, "BaudRate=115200", "StopBits=1", "DataBits=8",
                 "Parity=None", "FlowControl=None"});

    SerialSettings custom = current();
    custom.baudRate = kCustomBaudRate;
    QTest::newRow("CustomBaudRate with Custom")
        << QByteArray() << custom
        << file({"[ComPort1]", "Port=COM7", "BaudRate=Custom", "CustomBaudRate=31250", "StopBits=2",
                 "DataBits=7", "Parity=Even", "FlowControl=Hardware"});

    QTest::newRow("other content kept in place")
        << file({"; my ports", "[Other]", "a=1", "", "[comport1]", "FlowControl=Software",
                 "Extra=x", "port=COM3", "", "[Last]", "z=9"})
        << current()
        << file({"; my ports", "", "[Other]", "a=1", "", "[comport1]", "FlowControl=Hardware",
                 "Extra=x", "port=COM7", "BaudRate=57600", "StopBits=2", "DataBits=7",
                 "Parity=Even", "", "[Last]", "z=9"});

    QTest::newRow("stale CustomBaudRate stays")
        << file({"[ComPort1]", "Port=COM7", "BaudRate=Custom", "CustomBaudRate=1234"}) << current()
        << file({"[ComPort1]", "Port=COM7", "BaudRate=57600", "CustomBaudRate=1234", "StopBits=2",
                 "DataBits=7", "Parity=Even", "FlowControl=Hardware"});

    // A section line left open is no section: its keys stay in the section before
    // it, and a save leaves it out rather than carrying it into the next lines.
    QTest::newRow("unclosed section line")
        << file({"[Other]", "a=1", "[Broken", "b=2", "  [ComPo=115200", "[ComPort1]", "Port=COM7"})
        << current()
        << file({"[Other]", "a=1", "b=2", "", "[ComPort1]", "Port=COM7", "BaudRate=57600",
                 "StopBits=2", "DataBits=7", "Parity=Even", "FlowControl=Hardware"});
    QTest::newRow("unclosed section after a byte order mark")
        << QByteArray("\xEF\xBB\xBF[ComPo=115200\r\nStopBits=1\r\n") << current()
        << file({"\xEF\xBB\xBFStopBits=1", "", "[ComPort1]", "Port=COM7", "BaudRate=57600",
                 "StopBits=2", "DataBits=7", "Parity=Even", "FlowControl=Hardware"});
    QTest::newRow("byte order marks that start the file")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF=1\r\n") << current()
        << file({"\xEF\xBB\xBF\xEF\xBB\xBF=1", "", "[ComPort1]", "Port=COM7", "BaudRate=57600",
                 "StopBits=2", "DataBits=7", "Parity=Even", "FlowControl=Hardware"});

    QTest::newRow("section added after the others")
        << QByteArray("[Other]\na=1\n") << SerialSettings()
        << file({"[Other]", "a=1", "", "[ComPort1]", "Port=" + defaultPort, "BaudRate=115200",
                 "StopBits=1", "DataBits=8", "Parity=None", "FlowControl=None"});
}

void TestComPortIni::write() {
    QFETCH(QByteArray, existing);
    QFETCH(SerialSettings, settings);
    QFETCH(QByteArray, written);
    const QByteArray out = UpdateComPortIni(existing, settings);
    QCOMPARE(out, written);
    // Writing what was just written changes nothing.
    QCOMPARE(UpdateComPortIni(out, settings), written);
}

void TestComPortIni::everyLabelSurvivesWriteAndRead() {
    const SerialSettings start;
    const auto roundTrip = [&start](const SerialSettings& s) {
        return ReadComPortIni(UpdateComPortIni(QByteArray(), s), start);
    };
    for (const auto& c : kBaudRateChoices) {
        SerialSettings s;
        s.baudRate = c.value;
        if (c.value == kCustomBaudRate)
            s.customBaudRate = 31250;
        QCOMPARE(roundTrip(s), s);
    }
    for (const auto& c : kDataBitsChoices) {
        SerialSettings s;
        s.dataBits = c.value;
        QCOMPARE(roundTrip(s), s);
    }
    for (const auto& c : kStopBitsChoices) {
        SerialSettings s;
        s.stopBits = c.value;
        QCOMPARE(roundTrip(s), s);
    }
    for (const auto& c : kParityChoices) {
        SerialSettings s;
        s.parity = c.value;
        QCOMPARE(roundTrip(s), s);
    }
    for (const auto& c : kFlowControlChoices) {
        SerialSettings s;
        s.flowControl = c.value.value_or(QSerialPort::SoftwareControl);
        QCOMPARE(roundTrip(s), s);
    }
    SerialSettings s;
    s.port = QStringLiteral("/dev/pts/12");
    QCOMPARE(roundTrip(s), s);
}

void TestComPortIni::storeAndLoadFile() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("comport.ini"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Keep]\r\nk=v\r\n");
    }
    QVERIFY(StoreComPortIni(path, current()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("[Keep]\r\nk=v\r\n\r\n[ComPort1]\r\nPort=COM7\r\n"));

    SerialSettings loaded;
    QVERIFY(LoadComPortIni(path, loaded));
    SerialSettings expected = current();
    expected.customBaudRate = 9600; // not stored without a Custom rate
    QCOMPARE(loaded, expected);

    SerialSettings untouched;
    QString error;
    QVERIFY(!LoadComPortIni(dir.file(QStringLiteral("missing.ini")), untouched, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(untouched, SerialSettings());
}

void TestComPortIni::fileThatIsNotOursIsNeitherReadNorReplaced() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("comport.ini"));
    const QByteArray big = "[ComPort1]\r\nPort=COM9\r\n" + QByteArray(2 << 20, ';');
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(big);
    }
    SerialSettings s;
    QVERIFY(!LoadComPortIni(path, s));
    QCOMPARE(s, SerialSettings());
    QVERIFY(!StoreComPortIni(path, s));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), big);
}

void TestComPortIni::failedWriteLeavesNoFile() {
    WorkingDir dir;
    const QString path = dir.file(QStringLiteral("no-such-folder/comport.ini"));
    QVERIFY(!StoreComPortIni(path, SerialSettings()));
    QVERIFY(!QFile::exists(path));
}

BRIXEL_TEST_MAIN(TestComPortIni)
#include "tst_ComPortIni.moc"
