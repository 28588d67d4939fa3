#include "app/TForm1.h"

#include "app/BrixelError.h"
#include "app/MessageBoxes.h"
#include "app/SelectorGroup.h"
#include "persist/SettingsRecord.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPort>
#include <QStatusBar>

namespace brixel {

namespace {
constexpr char kIconFileName[] = "brixel.ico";
constexpr int kIndicatorStripHeight = 37;
} // namespace

TForm1::TForm1(ClockFn clock, QWidget* parent) : QMainWindow(parent), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("Form1"));
    CreateControls();
    CreateComponents();
    WireEvents();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
    // Closing an open port while the window goes away runs the before-close
    // handling, which then finds the window being destroyed and skips its steps.
    destroying_ = true;
    CloseComPort();
    // The controls die after this destructor; what they signal on the way out (a
    // field brought into range as it loses focus, say) must not reach the window.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

QString TForm1::statusPanelText(int panel) const {
    return stat1Panels.at(size_t(panel))->text();
}

void TForm1::setStatusPanelText(int panel, const QString& text) {
    stat1Panels.at(size_t(panel))->setText(text);
}

void TForm1::FormCreate() {
    windowIcon_ = QIcon();
    rxLock = std::make_unique<QMutex>();
    bmpAppIcon = QPixmap();
    lastComLogTime = clock_();
    lastTcpLogTime = lastComLogTime;
    SetLogLineSpacing(redtTCPIPMsg, 1.5);
    SetLogLineSpacing(redtComPortMsg, 1.5);

    QString iconFile;
    try {
        appTitle =
            QStringLiteral("Brixel Bridge and Monitor ") + QStringLiteral(BRIXEL_VERSION_TEXT);
        bmpAppIcon = il1.pixmap(12);
        iconFile = QLatin1String(kIconFileName);
        WriteDefaultSettings();
    } catch (...) {
        // Start-up goes on without whatever failed here (a settings file that
        // cannot be written, say).
    }

    if (!iconFile.isEmpty() && QFile::exists(iconFile)) {
        QImageReader reader(iconFile);
        const QImage image = reader.read();
        if (image.isNull()) {
            // The rest of the creation steps are skipped: the window keeps its
            // design caption and the application its built-in icon.
            ShowErrorBox(this, reader.errorString());
            return;
        }
        windowIcon_ = QIcon(QPixmap::fromImage(image));
    }
    setWindowTitle(appTitle);
    QApplication::setWindowIcon(windowIcon_);
    if (imgIcon && !bmpAppIcon.isNull())
        imgIcon->setPixmap(bmpAppIcon);
}

void TForm1::FormShow() {
    RestoreSettings();
}

void TForm1::RestoreSettings() {
    try {
        // Qt writes paths with '/' on every platform. A root directory ("/", "C:/")
        // has its separator already.
        appDir = QDir::currentPath();
        if (!appDir.endsWith(QLatin1Char('/')))
            appDir += QLatin1Char('/');
        settingsPath = appDir + QStringLiteral("TCP.SET");
        settingsRecord = std::make_unique<SettingsRecord>();
        bmpTcpOn = bmpTcpOff = bmpComOn = bmpComOff = QPixmap();
        if (QFile::exists(appDir + QStringLiteral("comport.ini")))
            LoadComPortSettings();
        grpTCPSocketType->setItemIndex(0);
        bmpTcpOn = il1.pixmap(0);
        bmpTcpOff = il1.pixmap(1);
        bmpComOn = il1.pixmap(6);
        bmpComOff = il1.pixmap(7);
        setStatusPanelText(0, QStringLiteral("No Connection"));
        setStatusPanelText(1, QStringLiteral("Com Port Off"));
        imgConnectionStatus->setPixmap(bmpTcpOff);
        imgComStatus->setPixmap(bmpComOff);
        if (QFile::exists(settingsPath))
            RestoreSettingsRecord();
    } catch (const BrixelError& e) {
        // The window is shown and runs with what was restored so far.
        ShowErrorBox(this, e.message());
    } catch (const std::exception& e) {
        ShowErrorBox(this, QString::fromLocal8Bit(e.what()));
    }
}

void TForm1::FormDestroy() {
    rxLock.reset();
}

void TForm1::Exit1Click() {
    if (AskConfirm(this,
                   QStringLiteral("Are you sure you want to exit Brixel Bridge and Monitor?")))
        TerminateApplication();
}

void TForm1::TerminateApplication() {
    close();
}

void TForm1::pnl4Resize() {
    const int h = pnl4->height();
    const int w = pnl4->width();
    const int tcpHeight = h / 2 - 5;
    pnl2->setGeometry(0, 0, w, tcpHeight);
    pnl5->setGeometry(0, h - kIndicatorStripHeight, w, kIndicatorStripHeight);
    pnl3->setGeometry(0, tcpHeight, w, qMax(0, h - kIndicatorStripHeight - tcpHeight));
    imgIcon->move(qMax(0, w - imgIcon->width()), imgIcon->y());
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Settings are restored once, on the first real show: a start in the
    // minimised state waits until the window is first restored.
    if (!restored_ && !isMinimized()) {
        restored_ = true;
        FormShow();
    }
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !restored_ && isVisible() && !isMinimized()) {
        restored_ = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program at once, About windows included.
    event->accept();
    QCoreApplication::quit();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == static_cast<QObject*>(pnl4) && event->type() == QEvent::Resize)
        pnl4Resize();
    if (watched == static_cast<QObject*>(txbSendMessage) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            txbSendMessageKeyPress(13);
            return true;
        }
        if (!key->text().isEmpty())
            txbSendMessageKeyPress(key->text().front().unicode());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace brixel
