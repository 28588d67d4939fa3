// Which handler each control's event runs, and the non-visual components.
#include "app/TForm1.h"

#include "app/SelectorGroup.h"
#include "app/SpinField.h"
#include "app/ToolButton.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

namespace brixel {

void TForm1::CreateComponents() {
    ClientSocket1 = new QTcpSocket(this);
    ClientSocket1->setObjectName(QStringLiteral("ClientSocket1"));
    ServerSocket1 = new QTcpServer(this);
    ServerSocket1->setObjectName(QStringLiteral("ServerSocket1"));
    ComPort1 = new QSerialPort(this);
    ComPort1->setObjectName(QStringLiteral("ComPort1"));
    // Design settings: the platform's first port, 115200 8N1, no flow control;
    // DTR and RTS are held off once the port is open.
    ApplySerialSettings(*ComPort1, comSettings);
    connect(ComPort1, &QSerialPort::readyRead, this, &TForm1::ComPort1RxChar);
    connect(ComPort1, &QSerialPort::errorOccurred, this, &TForm1::ComPort1Error);
}

void TForm1::WireEvents() {
    connect(btnConnect, &ToolButton::clicked, this, &TForm1::btnConnectClick);
    connect(btnDisconnect, &ToolButton::clicked, this, &TForm1::btnDisconnectClick);
    connect(btnComPortOn, &ToolButton::clicked, this, &TForm1::btnComPortOnClick);
    connect(btnComPortOff, &ToolButton::clicked, this, &TForm1::btnComPortOffClick);
    connect(btnSetup, &ToolButton::clicked, this, &TForm1::btnSetupClick);
    connect(btnSave, &ToolButton::clicked, this, &TForm1::btnSaveClick);
    connect(btnWebsite, &ToolButton::clicked, this, &TForm1::btnWebsiteClick);
    connect(btnHelp, &ToolButton::clicked, this, &TForm1::btnHelpClick);

    connect(btnTCPSendMessage, &QPushButton::clicked, this, &TForm1::btnTCPSendMessageClick);
    connect(btnSendCom, &QPushButton::clicked, this, &TForm1::btnSendComClick);
    txbSendMessage->installEventFilter(this); // key presses: txbSendMessageKeyPress
    connect(grpTCPSocketType, &SelectorGroup::itemClicked, this, &TForm1::grpTCPSocketTypeClick);
    connect(rdSendFormat, &SelectorGroup::itemClicked, this, &TForm1::rdSendFormatClick);
    connect(rdIncomingFormat, &SelectorGroup::itemClicked, this, &TForm1::rdIncomingFormatClick);
    // Ticking "Show Timestamp" takes effect at once.
    connect(chkShowDateTime, &QCheckBox::clicked, this, &TForm1::chkShowDateTimeClick);
    connect(btnClearMsg, &QPushButton::clicked, this, &TForm1::btnClearMsgClick);
    connect(spnTimeout, &SpinField::changed, this, &TForm1::spnTimeoutChange);
    connect(btnResetTimeout, &QPushButton::clicked, this, &TForm1::btnResetTimeoutClick);

    connect(Export1, &QAction::triggered, this, &TForm1::Export1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(CopyTCPRXText1, &QAction::triggered, this, &TForm1::CopyTCPRXText1Click);
    connect(mnCopyComClipboard, &QAction::triggered, this, &TForm1::mnCopyComClipboardClick);
    connect(CheckforUpdates1, &QAction::triggered, this, &TForm1::CheckforUpdates1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);

    // The sockets' and the serial port's events are wired by their endpoints.
    WireTcpSockets();
    WireBridge();
}

} // namespace brixel
