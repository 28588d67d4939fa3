#pragma once

#include "app/ImageList.h"
#include "link/PortNames.h"
#include "link/SerialSettings.h"
#include "presentation/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QMutex>
#include <QPixmap>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QSerialPort;
class QStatusBar;
class QTcpServer;
class QTcpSocket;
class QToolBar;

namespace brixel {

class LogView;
class SelectorGroup;
class SpinField;
class TForm3;
class ToolButton;
struct SettingsRecord;

// The main window. It owns every control and component and the state that all
// of the program's handlers share.
//
// Where things live:
//   TForm1.cpp          construction, start-up (FormCreate, FormShow,
//                       RestoreSettings), shutdown, the log-area split
//   TForm1Layout.cpp    the controls, their design values and tab order
//   TForm1Wiring.cpp    which handler each control's event runs
//   presentation/TForm1Logs.cpp, TForm1Send.cpp        traffic logs, manual send
//   link/TForm1Serial.cpp, TForm1Tcp.cpp, TForm1Bridge.cpp  the two endpoints, forwarding
//   persist/TForm1Settings.cpp, TForm1Export.cpp      TCP.SET, export and clipboard
//   about/TForm1About.cpp                              About window and web links
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(ClockFn clock = SystemClock(), QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Shared state -------------------------------------------------------
    quint8 comPortOn = 0;             // the user wants the serial port open
    quint8 tcpConnected = 0;          // a TCP link is up
    quint8 serverClientConnected = 0; // the server has an accepted client
    quint8 showTimestamp = 1;         // new log lines start with a timestamp
    qint32 txFormat = 0;              // DataFormat of typed text
    qint32 rxFormat = 0;              // DataFormat of shown received bytes
    qint32 rxTimeoutMs = 200;         // gap that starts a new log line
    QDateTime lastComLogTime;
    QDateTime lastTcpLogTime;
    QString appDir;       // working directory with a trailing separator
    QString settingsPath; // appDir + "TCP.SET"
    QString appTitle;
    std::unique_ptr<SettingsRecord> settingsRecord;
    std::array<quint8, 8> reservedValue{}; // carried from TCP.SET into the next save
    std::unique_ptr<QMutex> rxLock;
    QPixmap bmpTcpOn, bmpTcpOff, bmpComOn, bmpComOff, bmpAppIcon;
    QIcon windowIcon_; // the icon object handed to the application

    // ---- Controls and components ------------------------------------------
    ImageList il1;
    QToolBar* tlb1 = nullptr;
    ToolButton* btnConnect = nullptr;
    ToolButton* btnDisconnect = nullptr;
    ToolButton* btnComPortOn = nullptr;
    ToolButton* btnComPortOff = nullptr;
    ToolButton* btnSetup = nullptr;
    ToolButton* btnSave = nullptr;
    ToolButton* btnWebsite = nullptr;
    ToolButton* btnHelp = nullptr;

    QScrollArea* ScrollBox1 = nullptr;
    QWidget* pnl1 = nullptr;
    QLineEdit* txbHost = nullptr;
    QLineEdit* txbPort = nullptr;
    QLineEdit* txbSendMessage = nullptr;
    QPushButton* btnTCPSendMessage = nullptr;
    QLineEdit* txbCom = nullptr;
    QPushButton* btnSendCom = nullptr;
    QCheckBox* chkCarriageReturn = nullptr;
    QCheckBox* chkNewLine = nullptr;
    SelectorGroup* grpTCPSocketType = nullptr;
    SelectorGroup* rdSendFormat = nullptr;
    SelectorGroup* rdIncomingFormat = nullptr;
    QPushButton* btnResetTimeout = nullptr;
    SpinField* spnTimeout = nullptr;
    QCheckBox* chkShowDateTime = nullptr;
    QPushButton* btnClearMsg = nullptr;

    QWidget* pnl4 = nullptr; // log area
    QWidget* pnl2 = nullptr; // TCP log panel
    QWidget* pnl3 = nullptr; // COM log panel
    QWidget* pnl5 = nullptr; // indicator strip
    QGroupBox* grp1 = nullptr;
    QGroupBox* grp2 = nullptr;
    LogView* redtTCPIPMsg = nullptr;
    LogView* redtComPortMsg = nullptr;
    QLabel* imgConnectionStatus = nullptr;
    QLabel* imgComStatus = nullptr;
    QLabel* imgIcon = nullptr;

    QStatusBar* stat1 = nullptr;
    std::array<QLabel*, 3> stat1Panels{};

    QMenuBar* mm1 = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Ed1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Export1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* CopyTCPRXText1 = nullptr;
    QAction* mnCopyComClipboard = nullptr;
    QAction* CheckforUpdates1 = nullptr;
    QAction* About1 = nullptr;

    QTcpSocket* ClientSocket1 = nullptr;
    QTcpServer* ServerSocket1 = nullptr;
    QList<QTcpSocket*> serverConnections; // accepted connections, oldest first
    QSerialPort* ComPort1 = nullptr;

    // ---- Serial endpoint (link/TForm1Serial.cpp) ----------------------------
    SerialSettings comSettings; // what ComPort1 gets on open and when "OK" is pressed
    // The ports the setup dialog offers; the system's registered ports unless replaced.
    std::function<QStringList()> comPortLister = SystemComPortNames;
    // Opens ComPort1 with comSettings and runs ComPort1AfterOpen. Returns false,
    // the port closed and nothing shown, when it cannot be opened; true with no
    // effect when it is open already.
    bool OpenComPort();
    // Runs ComPort1BeforeClose, then discards pending input and output and closes
    // the port; no effect when it is closed.
    void CloseComPort();

    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    ClockFn clock() const { return clock_; }

public slots:
    // ---- Start-up and shutdown (TForm1.cpp) ---------------------------------
    void FormCreate();
    void FormShow();
    void RestoreSettings();
    void FormDestroy();
    void Exit1Click();
    void pnl4Resize();

    // ---- Traffic logs and rendering (presentation/TForm1Logs.cpp) -----------
    void rdIncomingFormatClick();
    void AppendLogText(LogView* log, const QByteArray& text);
    void StartLogLine(LogView* log, const QByteArray& text);
    QByteArray TimestampPrefix() const;
    void SetLogLineSpacing(LogView* log, double factor);
    void spnTimeoutChange();
    void btnResetTimeoutClick();
    void btnClearMsgClick();
    void chkShowDateTimeClick();

    // ---- Manual send (presentation/TForm1Send.cpp) --------------------------
    void btnTCPSendMessageClick();
    void btnSendComClick();
    void txbSendMessageKeyPress(int key);
    void rdSendFormatClick();
    QByteArray EncodeTxText(const QByteArray& text); // shows a format error itself
    QTcpSocket* ManualSendTarget() const;

    // ---- Serial endpoint (link/TForm1Serial.cpp) ----------------------------
    void btnComPortOnClick();
    void btnComPortOffClick();
    void btnSetupClick();
    void ComPort1AfterOpen();
    void ComPort1BeforeClose();

    // ---- TCP endpoint (link/TForm1Tcp.cpp) ----------------------------------
    void btnConnectClick();
    void btnDisconnectClick();
    void grpTCPSocketTypeClick();
    void ClientSocket1Connect();
    void ClientSocket1Disconnect();
    void ClientSocket1Error();
    void ServerSocket1ClientConnect(QTcpSocket* connection);
    void ServerSocket1ClientDisconnect(QTcpSocket* connection);
    void AcceptServerConnections();
    void CloseClient(); // ends the client connection or attempt
    void CloseServer(); // stops listening and ends every accepted connection

    // ---- Bridge forwarding (link/TForm1Bridge.cpp) --------------------------
    void ComPort1RxChar();
    void ClientSocket1Read();
    void ServerSocket1ClientRead(QTcpSocket* connection);
    void ProcessTcpRx(QTcpSocket* connection);
    QTcpSocket* SerialDestination() const; // where serial chunks go, or null
    void ResumeSerialSource();             // a TCP destination drained: read the serial port again
    void ResumeTcpSources();               // the serial port drained: read the TCP sources again

    // ---- TCP.SET (persist/TForm1Settings.cpp) -------------------------------
    void WriteDefaultSettings();
    void btnSaveClick();

    // ---- Export and clipboard (persist/TForm1Export.cpp) --------------------
    void Export1Click();
    void CopyTCPRXText1Click();
    void mnCopyComClipboardClick();

    // ---- About window and web links (about/TForm1About.cpp) -----------------
    void About1Click();
    void btnWebsiteClick();
    void btnHelpClick();
    void CheckforUpdates1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();        // TForm1Layout.cpp
    void WireEvents();            // TForm1Wiring.cpp
    void CreateComponents();      // TForm1Wiring.cpp
    void WireTcpSockets();        // link/TForm1Tcp.cpp
    void WireBridge();            // link/TForm1Bridge.cpp
    void LoadComPortSettings();   // start-up hook (link/TForm1Serial.cpp)
    void RestoreSettingsRecord(); // start-up hook (persist/TForm1Settings.cpp)
    void TerminateApplication();

    // Bridge forwarding (link/TForm1Bridge.cpp). With `ending`, the source is
    // going away: what it still holds is logged and forwarded at once, past the
    // destination's high-water mark (at most one source buffer more).
    void ForwardSerialRx(bool ending);
    void ForwardTcpRx(QTcpSocket* connection, bool ending);

    // Serial endpoint (link/TForm1Serial.cpp)
    bool ApplyComSettings(const SerialSettings& chosen);
    void ComPort1Error(QSerialPort::SerialPortError error);

    ClockFn clock_;
    bool restored_ = false;   // RestoreSettings has run
    bool destroying_ = false; // FormDestroy has run

    // Serial endpoint (link/TForm1Serial.cpp)
    quint64 comOpenCount_ = 0;      // successful opens of ComPort1, to tell them apart
    bool comClosing_ = false;       // CloseComPort is closing the port
    bool comVanishPending_ = false; // a close of a vanished port is on its way
};

} // namespace brixel
