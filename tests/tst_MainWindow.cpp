// The main window at start-up, its layout rules, Exit and the error box.
#include "app/MessageBoxes.h"
#include "app/SelectorGroup.h"
#include "app/SpinField.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "presentation/LogView.h"
#include "support/ModalWatcher.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using namespace brixel;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartInEmptyFolder();
    void designValuesAndNames();
    void logSplitRule_data();
    void logSplitRule();
    void narrowWindowScrollsSettings();
    void selectorRule();
    void spinFieldBringsTypedValueIntoRange();
    void exitAsksFirst();
    void closeBoxEndsAtOnce();
    void minimiseAndRestoreDoesNotRestoreAgain();
    void startMinimisedRestoresOnFirstRestore();
    void errorBoxText_data();
    void errorBoxText();
    void escapingExceptionReachesErrorBox();
    void everyControlHasAnAccessibleName();
};

void TestMainWindow::firstStartInEmptyFolder() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.windowTitle(), QStringLiteral("Brixel Bridge and Monitor 1.1.0"));
    QCOMPARE(form.statusPanelText(0), QStringLiteral("No Connection"));
    QCOMPARE(form.statusPanelText(1), QStringLiteral("Com Port Off"));
    QCOMPARE(form.statusPanelText(2), QString());
    QCOMPARE(form.imgConnectionStatus->pixmap().toImage(), form.il1.pixmap(1).toImage());
    QCOMPARE(form.imgComStatus->pixmap().toImage(), form.il1.pixmap(7).toImage());
    QCOMPARE(form.imgIcon->pixmap().toImage(), form.il1.pixmap(12).toImage());
    QCOMPARE(form.appDir, dir.path() + QLatin1Char('/'));
    QCOMPARE(form.settingsPath, dir.path() + QStringLiteral("/TCP.SET"));
    QVERIFY(form.rxLock);
    QVERIFY(form.settingsRecord);
    QCOMPARE(form.rdSendFormat->itemIndex(), 0);
    QCOMPARE(form.rdIncomingFormat->itemIndex(), 0);
    QVERIFY(form.grpTCPSocketType->itemIndex() >= 0);
    QCOMPARE(form.btnConnect->text(), form.grpTCPSocketType->itemIndex() == 2
                                          ? QStringLiteral("TCP Listen")
                                          : QStringLiteral("TCP Connect"));
}

void TestMainWindow::designValuesAndNames() {
    WorkingDir dir;
    TForm1 form;
    QCOMPARE(form.size(), QSize(1096, 661));
    QCOMPARE(form.txbHost->text(), QStringLiteral("localhost"));
    QCOMPARE(form.txbPort->text(), QStringLiteral("5000"));
    QVERIFY(form.txbSendMessage->text().isEmpty());
    QVERIFY(form.chkCarriageReturn->isChecked());
    QVERIFY(form.chkNewLine->isChecked());
    QVERIFY(form.chkShowDateTime->isChecked());
    QCOMPARE(form.grpTCPSocketType->itemIndex(), -1); // selected when shown
    QCOMPARE(form.spnTimeout->value(), 200);
    QCOMPARE(form.spnTimeout->minimum(), 0);
    QCOMPARE(form.spnTimeout->maximum(), 60000);
    QCOMPARE(form.grp1->title(), QStringLiteral("TCP/IP RX  <-"));
    QCOMPARE(form.grp2->title(), QStringLiteral("COM PORT RX <-"));
    for (ToolButton* b :
         {form.btnConnect, form.btnDisconnect, form.btnComPortOn, form.btnComPortOff, form.btnSetup,
          form.btnSave, form.btnWebsite, form.btnHelp}) {
        QCOMPARE(b->size(), QSize(91, 52));
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b->isDown());
    }
    // The pressed look is the program's to set: a click does not toggle it. (The
    // click opens the serial setup, which the watcher closes.)
    {
        ModalWatcher watcher;
        form.btnSetup->click();
    }
    QVERIFY(!form.btnSetup->isDown());
    form.btnSetup->setDown(true);
    QVERIFY(form.btnSetup->isDown());

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.stat1Panels[0]->width(), 150);
    QCOMPARE(form.stat1Panels[1]->width(), 150);
    QCOMPARE(form.stat1Panels[2]->width(), 400);
    for (QLabel* panel : form.stat1Panels)
        QCOMPARE(panel->alignment(), Qt::AlignCenter);

    // Every control is reachable by its name.
    for (const char* name : {"btnConnect",
                             "btnDisconnect",
                             "btnComPortOn",
                             "btnComPortOff",
                             "btnSetup",
                             "btnSave",
                             "btnWebsite",
                             "btnHelp",
                             "txbHost",
                             "txbPort",
                             "txbSendMessage",
                             "btnTCPSendMessage",
                             "txbCom",
                             "btnSendCom",
                             "chkCarriageReturn",
                             "chkNewLine",
                             "grpTCPSocketType",
                             "rdSendFormat",
                             "rdIncomingFormat",
                             "chkShowDateTime",
                             "btnClearMsg",
                             "spnTimeout",
                             "btnResetTimeout",
                             "redtTCPIPMsg",
                             "redtComPortMsg",
                             "imgConnectionStatus",
                             "imgComStatus",
                             "imgIcon",
                             "stat1",
                             "pnl1",
                             "pnl2",
                             "pnl3",
                             "pnl4",
                             "pnl5",
                             "grp1",
                             "grp2",
                             "ScrollBox1",
                             "tlb1",
                             "mm1",
                             "Export1",
                             "Exit1",
                             "CopyTCPRXText1",
                             "mnCopyComClipboard",
                             "CheckforUpdates1",
                             "About1",
                             "ClientSocket1",
                             "ServerSocket1",
                             "ComPort1"})
        QVERIFY2(form.findChild<QObject*>(QLatin1String(name)), name);

    // The pictures the window uses, all 32 x 32.
    QCOMPARE(form.il1.indices(), (QList<int>{0, 1, 2, 5, 6, 7, 10, 11, 12}));
    for (int i : form.il1.indices())
        QCOMPARE(form.il1.pixmap(i).size(), QSize(32, 32));
}

void TestMainWindow::logSplitRule_data() {
    QTest::addColumn<int>("areaHeight");
    QTest::addColumn<int>("tcpHeight");
    QTest::newRow("339") << 339 << 164;
    QTest::newRow("340") << 340 << 165;
    QTest::newRow("341") << 341 << 165;
}

void TestMainWindow::logSplitRule() {
    QFETCH(int, areaHeight);
    QFETCH(int, tcpHeight);
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(form.width(), form.height() + areaHeight - form.pnl4->height());
    QTRY_COMPARE(form.pnl4->height(), areaHeight);
    QCOMPARE(form.pnl2->height(), tcpHeight);
    QCOMPARE(form.pnl5->height(), 37);
    QCOMPARE(form.pnl3->y(), tcpHeight);
    QCOMPARE(form.pnl3->y() + form.pnl3->height(), areaHeight - 37);
}

void TestMainWindow::narrowWindowScrollsSettings() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(600, 661);
    QTRY_VERIFY(form.ScrollBox1->horizontalScrollBar()->maximum() > 0);
    QVERIFY(form.pnl4->width() <= 600);
}

void TestMainWindow::selectorRule() {
    SelectorGroup s(QStringLiteral("Mode"),
                    {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QSignalSpy clicked(&s, &SelectorGroup::itemClicked);
    QCOMPARE(s.itemIndex(), -1);

    struct Step {
        int assign;
        int expectIndex;
        int expectHandlers;
    };
    // Assignment clamps, does nothing when unchanged, runs no handler for -1.
    const Step steps[] = {{0, 0, 1},   {0, 0, 1},   {7, 2, 2}, {2, 2, 2},
                          {-5, -1, 2}, {-1, -1, 2}, {1, 1, 3}};
    for (const Step& step : steps) {
        s.setItemIndex(step.assign);
        QCOMPARE(s.itemIndex(), step.expectIndex);
        QCOMPARE(clicked.count(), step.expectHandlers);
    }
    // A user's click on an unselected item runs the handler once; on the selected
    // item it changes nothing.
    QTest::mouseClick(s.button(2), Qt::LeftButton);
    QCOMPARE(s.itemIndex(), 2);
    QCOMPARE(clicked.count(), 4);
    QTest::mouseClick(s.button(2), Qt::LeftButton);
    QCOMPARE(s.itemIndex(), 2);
    QVERIFY(s.button(2)->isChecked());
    QCOMPARE(clicked.count(), 4);
    QVERIFY(!s.button(1)->isChecked());
    s.button(0)->setFocus();
    QTest::keyClick(s.button(0), Qt::Key_Space);
    QCOMPARE(s.itemIndex(), 0);
    QCOMPARE(clicked.count(), 5);
}

void TestMainWindow::spinFieldBringsTypedValueIntoRange() {
    QWidget host;
    SpinField spin(&host);
    QLineEdit other(&host);
    spin.setRange(0, 60000);
    spin.setValue(200);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QSignalSpy texts(&spin, &QSpinBox::textChanged);

    struct Case {
        const char* typed;
        const char* whileTyping;
        const char* afterLeaving;
    };
    const Case cases[] = {{"-5", "-5", "0"}, {"70000", "70000", "60000"}, {"123", "123", "123"}};
    for (const Case& c : cases) {
        spin.setFocus();
        spin.selectAll();
        QTest::keyClicks(&spin, QLatin1String(c.typed));
        QCOMPARE(spin.text(), QLatin1String(c.whileTyping));
        other.setFocus();
        QTRY_COMPARE(spin.text(), QLatin1String(c.afterLeaving));
    }
    QVERIFY(texts.count() > 0);
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.value(), 124);
}

void TestMainWindow::exitAsksFirst() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ModalWatcher watcher;

    watcher.answerBox(QMessageBox::No);
    form.Exit1->trigger();
    QCOMPARE(watcher.seen().size(), 1);
    const auto box = watcher.seen().front();
    QCOMPARE(box.title, QStringLiteral("Confirm"));
    QCOMPARE(box.text, QStringLiteral("Are you sure you want to exit Brixel Bridge and Monitor?"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.defaultButton, QMessageBox::Yes);
    QCOMPARE(box.escapeButton, QMessageBox::No);
    QVERIFY(form.isVisible());

    watcher.answerBox(QMessageBox::Yes);
    form.Exit1->trigger();
    QCOMPARE(watcher.seen().size(), 2);
    QVERIFY(!form.isVisible());
}

void TestMainWindow::closeBoxEndsAtOnce() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ModalWatcher watcher;
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QCOMPARE(watcher.seen().size(), 0);
}

void TestMainWindow::minimiseAndRestoreDoesNotRestoreAgain() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.txbHost->setText(QStringLiteral("edited.example"));
    form.setStatusPanelText(0, QStringLiteral("marker"));
    form.showMinimized();
    QCoreApplication::processEvents();
    form.showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(form.txbHost->text(), QStringLiteral("edited.example"));
    QCOMPARE(form.statusPanelText(0), QStringLiteral("marker"));
}

void TestMainWindow::startMinimisedRestoresOnFirstRestore() {
    WorkingDir dir;
    TForm1 form;
    form.showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(form.statusPanelText(0), QString());
    QVERIFY(!form.settingsRecord);
    form.showNormal();
    QTRY_COMPARE(form.statusPanelText(0), QStringLiteral("No Connection"));
}

void TestMainWindow::errorBoxText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Cannot open file x")
                            << QStringLiteral("Cannot open file x.");
    QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("digit") << QStringLiteral("code 10054") << QStringLiteral("code 10054.");
    QTest::newRow("closing paren") << QStringLiteral("(x)") << QStringLiteral("(x)");
    QTest::newRow("exclamation") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
    QTest::newRow("slash sorts after") << QStringLiteral("a/") << QStringLiteral("a/.");
    QTest::newRow("empty") << QString() << QString();
}

void TestMainWindow::errorBoxText() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

namespace {
// An object whose event handler fails, as a handler that lets an error escape.
class FailingHandler : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Asynchronous socket error 10054");
        return QObject::event(e);
    }
};
} // namespace

void TestMainWindow::escapingExceptionReachesErrorBox() {
    FailingHandler handler;
    ModalWatcher watcher;
    watcher.answerBox(QMessageBox::Ok);
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QTRY_COMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().front().title, QStringLiteral("Brixel"));
    QCOMPARE(watcher.seen().front().icon, QMessageBox::Critical);
    QCOMPARE(watcher.seen().front().text, QStringLiteral("Asynchronous socket error 10054."));
    // The program goes on with the next event.
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QTRY_COMPARE(watcher.seen().size(), 2);
}

void TestMainWindow::everyControlHasAnAccessibleName() {
    WorkingDir dir;
    TForm1 form;
    QCOMPARE(form.txbHost->accessibleName(), QStringLiteral("Server :"));
    QCOMPARE(form.txbPort->accessibleName(), QStringLiteral("TCP/IP Port :"));
    QCOMPARE(form.spnTimeout->accessibleName(), QStringLiteral("RX Timeout (ms) :"));
    QCOMPARE(form.btnConnect->accessibleName(), QStringLiteral("TCP Connect"));
    const auto widgets = form.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isEnabled())
            continue;
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    // The keyboard visits the logs, then the settings area in its own order.
    QList<QWidget*> expected = {form.redtComPortMsg,    form.txbPort,
                                form.txbHost,           form.txbSendMessage,
                                form.btnTCPSendMessage, form.grpTCPSocketType->button(0)};
    QWidget* w = form.redtTCPIPMsg;
    for (QWidget* next : expected) {
        do {
            w = w->nextInFocusChain();
        } while (w->focusPolicy() == Qt::NoFocus);
        QCOMPARE(w, next);
    }
}

BRIXEL_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
