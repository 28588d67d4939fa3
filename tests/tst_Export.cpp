// Export of the logs to a file and the copy commands, driven through the real
// dialog and boxes.
#include "app/TForm1.h"
#include "persist/ExportText.h"
#include "presentation/LogView.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ModalWatcher.h"
#include "support/SaveDialog.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>

using namespace brixel;

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void exportText_data();
    void exportText();
    void exportWritesTheLogsAsTheyStand_data();
    void exportWritesTheLogsAsTheyStand();
    void cancelWritesNothing();
    void existingFileAskedOnce();
    void nameWithoutExtensionGetsTxt();
    void failedWriteKeepsOldFile();
    void copyCommands();

private:
    void fill(const QByteArray& tcp, const QByteArray& com);

    std::unique_ptr<WorkingDir> dir_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<ModalWatcher> watcher_;
};

void TestExport::init() {
    dir_ = std::make_unique<WorkingDir>();
    form_ = std::make_unique<TForm1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->showTimestamp = 0;
    watcher_ = std::make_unique<ModalWatcher>();
}

void TestExport::cleanup() {
    watcher_.reset();
    form_.reset();
    dir_.reset();
}

void TestExport::fill(const QByteArray& tcp, const QByteArray& com) {
    if (!tcp.isEmpty())
        form_->AppendLogText(form_->redtTCPIPMsg, tcp);
    if (!com.isEmpty())
        form_->AppendLogText(form_->redtComPortMsg, com);
}

void TestExport::exportText_data() {
    QTest::addColumn<QByteArray>("tcp");
    QTest::addColumn<QByteArray>("com");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("both") << QByteArray("b\r\na") << QByteArray("c")
                          << QByteArray(
                                 "<< TCP RX TEXT >>\r\nb\r\na\r\n\r\n<< COM RX TEXT >>\r\nc");
    QTest::newRow("tcp only") << QByteArray("t") << QByteArray()
                              << QByteArray("<< TCP RX TEXT >>\r\nt");
    QTest::newRow("com only") << QByteArray() << QByteArray("c")
                              << QByteArray("\r\n\r\n<< COM RX TEXT >>\r\nc");
    QTest::newRow("both empty") << QByteArray() << QByteArray() << QByteArray();
}

void TestExport::exportText() {
    QFETCH(QByteArray, tcp);
    QFETCH(QByteArray, com);
    QFETCH(QByteArray, file);
    QCOMPARE(BuildExportText(tcp, com), file);
}

void TestExport::exportWritesTheLogsAsTheyStand_data() {
    QTest::addColumn<QByteArray>("tcp");
    QTest::addColumn<QByteArray>("com");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("both") << QByteArray("tcp\x01") << QByteArray("com\xff")
                          << QByteArray("<< TCP RX TEXT >>\r\ntcp\x01\r\n\r\n<< COM RX TEXT >>\r\n"
                                        "com\xff");
    QTest::newRow("tcp only") << QByteArray("tcp") << QByteArray()
                              << QByteArray("<< TCP RX TEXT >>\r\ntcp");
    QTest::newRow("com only") << QByteArray() << QByteArray("com")
                              << QByteArray("\r\n\r\n<< COM RX TEXT >>\r\ncom");
    QTest::newRow("both empty truncates") << QByteArray() << QByteArray() << QByteArray();
}

void TestExport::exportWritesTheLogsAsTheyStand() {
    QFETCH(QByteArray, tcp);
    QFETCH(QByteArray, com);
    QFETCH(QByteArray, file);
    fill(tcp, com);
    const QString path = dir_->file(QStringLiteral("out.txt"));
    WriteFileBytes(path, "old content");
    SeenSaveDialog dialog;
    ChooseSaveFile(*watcher_, path, &dialog);
    watcher_->answerBox(QMessageBox::Yes);
    form_->Export1->trigger();
    QCOMPARE(watcher_->pending(), 0);
    QCOMPARE(dialog.title, QStringLiteral("Save Text File"));
    QCOMPARE(dialog.filters, (QStringList{QStringLiteral("Text Files (*.txt)"),
                                          QStringLiteral("All Files (*.*)")}));
    QCOMPARE(dialog.suffix, QStringLiteral("txt"));
    QVERIFY(!dialog.asksOverwrite);
    QCOMPARE(watcher_->seen().size(), 1);
    QCOMPARE(watcher_->seen()[0].title, QStringLiteral("Confirm"));
    QCOMPARE(watcher_->seen()[0].text,
             QStringLiteral("The file already exists. Do you want to overwrite it?"));
    QCOMPARE(ReadFileBytes(path), file);
}

void TestExport::cancelWritesNothing() {
    fill("tcp", "com");
    watcher_->onNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    form_->Export1->trigger();
    QCOMPARE(watcher_->seen().size(), 0);
    QCOMPARE(QDir(dir_->path()).entryList({QStringLiteral("*.txt")}), QStringList());
}

void TestExport::existingFileAskedOnce() {
    fill("new", QByteArray());
    const QString path = dir_->file(QStringLiteral("keep.txt"));
    WriteFileBytes(path, QByteArray("keep\0me", 7));
    ChooseSaveFile(*watcher_, path);
    watcher_->answerBox(QMessageBox::No);
    form_->Export1->trigger();
    QCOMPARE(watcher_->seen().size(), 1); // our question only, not the dialog's too
    QCOMPARE(ReadFileBytes(path), QByteArray("keep\0me", 7));
}

void TestExport::nameWithoutExtensionGetsTxt() {
    fill("x", QByteArray());
    ChooseSaveFile(*watcher_, dir_->file(QStringLiteral("capture")));
    form_->Export1->trigger();
    QCOMPARE(watcher_->seen().size(), 0);
    QCOMPARE(ReadFileBytes(dir_->file(QStringLiteral("capture.txt"))),
             QByteArray("<< TCP RX TEXT >>\r\nx"));
}

void TestExport::failedWriteKeepsOldFile() {
    fill(QByteArray(200, 'a'), QByteArray(200, 'b'));
    const QString path = dir_->file(QStringLiteral("full.txt"));
    WriteFileBytes(path, "old");
    ChooseSaveFile(*watcher_, path);
    watcher_->answerBox(QMessageBox::Yes);
    watcher_->answerBox(QMessageBox::Ok);
    {
        FileSizeLimit limit(100);
        form_->Export1->trigger();
    }
    QCOMPARE(watcher_->seen().size(), 2);
    QCOMPARE(watcher_->seen()[1].title, QStringLiteral("Brixel"));
    QCOMPARE(watcher_->seen()[1].text, QStringLiteral("File Save Error!"));
    QCOMPARE(ReadFileBytes(path), QByteArray("old"));
    // No temporary file is left behind either.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("full.txt"), QStringLiteral("TCP.SET")}));
}

void TestExport::copyCommands() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    form_->CopyTCPRXText1->trigger();
    form_->mnCopyComClipboard->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("before")); // empty logs leave it alone

    fill("one", "com");
    form_->AppendLogText(form_->redtTCPIPMsg, "+two");
    form_->CopyTCPRXText1->trigger();
    QCOMPARE(clipboard->text(), QString::fromLatin1(form_->redtTCPIPMsg->text()));
    QCOMPARE(clipboard->text(), QStringLiteral("one+two"));
    form_->mnCopyComClipboard->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("com"));
}

BRIXEL_TEST_MAIN(TestExport)
#include "tst_Export.moc"
