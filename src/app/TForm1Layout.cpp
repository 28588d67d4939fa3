// The main window's controls at their design values: tool bar, settings area,
// log area with the indicator strip, status bar and menu.
#include "app/TForm1.h"

#include "app/SelectorGroup.h"
#include "app/SpinField.h"
#include "app/ToolButton.h"
#include "presentation/LogView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace brixel {

namespace {

constexpr int kWindowWidth = 1096;
constexpr int kWindowHeight = 661;
constexpr int kToolBarHeight = 65;
constexpr int kSettingsHeight = 184;
constexpr int kSettingsPanelWidth = 1075;
constexpr int kSettingsPanelHeight = 178;
constexpr int kStatusBarHeight = 19;
constexpr int kPanelWidths[3] = {150, 150, 400};

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A label in the settings area that names the field beside it, for sighted users
// and screen readers alike.
QLabel* fieldLabel(QWidget* parent, const QString& text, QWidget* field, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    field->setAccessibleName(text);
    return label;
}

QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(geometry);
    b->setAccessibleName(caption);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setGeometry(geometry);
    c->setChecked(true);
    c->setAccessibleName(caption);
    return c;
}

// A status bar panel of a set width that still gives way when the window is
// narrower than all panels together.
class StatusPanel : public QLabel {
public:
    StatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        setMaximumWidth(width);
    }
    QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

private:
    int width_;
};

QLabel* indicator(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* l = named(new QLabel(parent), name);
    l->setAccessibleName(accessibleName);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

void TForm1::CreateControls() {
    setWindowTitle(QStringLiteral("Brixel Bridge and Monitor"));
    resize(kWindowWidth, kWindowHeight);

    // ---- Tool bar
    tlb1 = named(new QToolBar(this), "tlb1");
    tlb1->setMovable(false);
    tlb1->setFloatable(false);
    tlb1->setFixedHeight(kToolBarHeight);
    tlb1->setIconSize(QSize(ImageList::kSize, ImageList::kSize));
    tlb1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, tlb1);
    auto tool = [this](const char* name, const QString& caption, int image) {
        auto* b = named(new ToolButton(caption, il1.pixmap(image), tlb1), name);
        tlb1->addWidget(b);
        return b;
    };
    btnConnect = tool("btnConnect", QStringLiteral("TCP Connect"), 0);
    btnDisconnect = tool("btnDisconnect", QStringLiteral("TCP Disconnect"), 1);
    tlb1->addSeparator();
    btnComPortOn = tool("btnComPortOn", QStringLiteral("Com-Port On"), 6);
    btnComPortOff = tool("btnComPortOff", QStringLiteral("Com-Port Off"), 7);
    tlb1->addSeparator();
    btnSetup = tool("btnSetup", QStringLiteral("Com Port Settings"), 2);
    btnSave = tool("btnSave", QStringLiteral("Save Settings"), 5);
    tlb1->addSeparator();
    btnWebsite = tool("btnWebsite", QStringLiteral("Website"), 10);
    btnHelp = tool("btnHelp", QStringLiteral("Help"), 11);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    // ---- Settings area: fixed places, scrolls when the window is too narrow
    ScrollBox1 = named(new QScrollArea(central), "ScrollBox1");
    ScrollBox1->setFixedHeight(kSettingsHeight);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAccessibleName(QStringLiteral("Settings"));
    pnl1 = named(new QWidget, "pnl1");
    pnl1->setFixedSize(kSettingsPanelWidth, kSettingsPanelHeight);
    ScrollBox1->setWidget(pnl1);
    column->addWidget(ScrollBox1);

    txbHost = named(new QLineEdit(QStringLiteral("localhost"), pnl1), "txbHost");
    txbHost->setGeometry(110, 8, 150, 24);
    fieldLabel(pnl1, QStringLiteral("Server :"), txbHost, QRect(5, 8, 100, 24));
    txbPort = named(new QLineEdit(QStringLiteral("5000"), pnl1), "txbPort");
    txbPort->setGeometry(110, 40, 150, 24);
    fieldLabel(pnl1, QStringLiteral("TCP/IP Port :"), txbPort, QRect(5, 40, 100, 24));
    chkCarriageReturn = checkBox(pnl1, "chkCarriageReturn", QStringLiteral("Add Carriage Return"),
                                 QRect(280, 8, 200, 24));
    chkNewLine =
        checkBox(pnl1, "chkNewLine", QStringLiteral("Add New Line"), QRect(280, 40, 200, 24));

    txbSendMessage = named(new QLineEdit(pnl1), "txbSendMessage");
    txbSendMessage->setGeometry(110, 76, 330, 24);
    fieldLabel(pnl1, QStringLiteral("TCP/IP TX :"), txbSendMessage, QRect(5, 76, 100, 24));
    btnTCPSendMessage =
        pushButton(pnl1, "btnTCPSendMessage", QStringLiteral("TCP TX ->"), QRect(450, 75, 100, 26));
    txbCom = named(new QLineEdit(pnl1), "txbCom");
    txbCom->setGeometry(110, 108, 330, 24);
    fieldLabel(pnl1, QStringLiteral("COM TX :"), txbCom, QRect(5, 108, 100, 24));
    btnSendCom =
        pushButton(pnl1, "btnSendCom", QStringLiteral("COM TX ->"), QRect(450, 107, 100, 26));

    const QStringList formats = {QStringLiteral("String"), QStringLiteral("Binary"),
                                 QStringLiteral("Decimal"), QStringLiteral("Hex")};
    auto selector = [this](const char* name, const QString& title, const QStringList& items,
                           int x) {
        auto* s = new SelectorGroup(title, items, pnl1);
        s->setObjectName(QLatin1String(name));
        for (int i = 0; i < s->count(); ++i)
            s->button(i)->setObjectName(QLatin1String(name) + QString::number(i));
        s->setGeometry(x, 2, 165, 136);
        return s;
    };
    grpTCPSocketType =
        selector("grpTCPSocketType", QStringLiteral("TCP Socket Mode"),
                 {QStringLiteral("Off"), QStringLiteral("Client"), QStringLiteral("Server")}, 565);
    rdSendFormat = selector("rdSendFormat", QStringLiteral("TX Format"), formats, 735);
    rdSendFormat->setItemIndex(0);
    rdIncomingFormat = selector("rdIncomingFormat", QStringLiteral("RX Format"), formats, 905);
    rdIncomingFormat->setItemIndex(0);

    btnResetTimeout = pushButton(pnl1, "btnResetTimeout", QStringLiteral("Reset Timeout"),
                                 QRect(10, 144, 110, 26));
    spnTimeout = named(new SpinField(pnl1), "spnTimeout");
    spnTimeout->setRange(0, 60000);
    spnTimeout->setSingleStep(1);
    spnTimeout->setValue(200);
    spnTimeout->setGeometry(260, 145, 90, 24);
    fieldLabel(pnl1, QStringLiteral("RX Timeout (ms) :"), spnTimeout, QRect(125, 145, 130, 24));
    chkShowDateTime = checkBox(pnl1, "chkShowDateTime", QStringLiteral("Show Timestamp"),
                               QRect(740, 145, 160, 24));
    btnClearMsg =
        pushButton(pnl1, "btnClearMsg", QStringLiteral("Clear"), QRect(905, 144, 100, 26));

    // ---- Log area: TCP log above, COM log below, indicator strip at the bottom.
    // The split is kept by pnl4Resize.
    pnl4 = named(new QWidget(central), "pnl4");
    column->addWidget(pnl4, 1);
    pnl4->installEventFilter(this);
    auto logPanel = [this](const char* panelName, const char* groupName, const char* logName,
                           const QString& caption, QGroupBox*& group, LogView*& log) {
        auto* panel = named(new QWidget(pnl4), panelName);
        auto* panelLayout = new QVBoxLayout(panel);
        panelLayout->setContentsMargins(2, 0, 2, 0);
        group = named(new QGroupBox(caption, panel), groupName);
        panelLayout->addWidget(group);
        auto* groupLayout = new QVBoxLayout(group);
        groupLayout->setContentsMargins(4, 4, 4, 4);
        log = named(new LogView(group), logName);
        log->setAccessibleName(caption);
        groupLayout->addWidget(log);
        return panel;
    };
    pnl2 = logPanel("pnl2", "grp1", "redtTCPIPMsg", QStringLiteral("TCP/IP RX  <-"), grp1,
                    redtTCPIPMsg);
    pnl3 = logPanel("pnl3", "grp2", "redtComPortMsg", QStringLiteral("COM PORT RX <-"), grp2,
                    redtComPortMsg);
    pnl5 = named(new QWidget(pnl4), "pnl5");
    imgConnectionStatus = indicator(pnl5, "imgConnectionStatus", QStringLiteral("TCP status"));
    imgConnectionStatus->setGeometry(4, 2, 33, 32);
    imgComStatus = indicator(pnl5, "imgComStatus", QStringLiteral("Serial port status"));
    imgComStatus->setGeometry(41, 2, 33, 32);
    imgIcon = indicator(pnl5, "imgIcon", QStringLiteral("Brixel Bridge and Monitor"));
    imgIcon->setGeometry(0, 2, 33, 32);

    // ---- Status bar: TCP state, serial state, an empty third panel
    stat1 = named(new QStatusBar(this), "stat1");
    stat1->setSizeGripEnabled(true);
    stat1->setFixedHeight(kStatusBarHeight + 4);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new StatusPanel(kPanelWidths[i], stat1);
        panel->setObjectName(QStringLiteral("stat1Panel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        stat1->addWidget(panel);
        stat1Panels[size_t(i)] = panel;
    }
    stat1Panels[0]->setAccessibleName(QStringLiteral("TCP connection state"));
    stat1Panels[1]->setAccessibleName(QStringLiteral("Serial port state"));
    setStatusBar(stat1);

    // ---- Menu
    mm1 = named(new QMenuBar(this), "mm1");
    setMenuBar(mm1);
    File1 = named(mm1->addMenu(QStringLiteral("&File")), "File1");
    Export1 = named(File1->addAction(QStringLiteral("Export RX")), "Export1");
    Exit1 = named(File1->addAction(QStringLiteral("Exit")), "Exit1");
    Ed1 = named(mm1->addMenu(QStringLiteral("&Edit")), "Ed1");
    CopyTCPRXText1 =
        named(Ed1->addAction(QStringLiteral("Copy TCP RX to clipboard")), "CopyTCPRXText1");
    mnCopyComClipboard =
        named(Ed1->addAction(QStringLiteral("Copy COM RX to clipboard")), "mnCopyComClipboard");
    Help1 = named(mm1->addMenu(QStringLiteral("&Help")), "Help1");
    CheckforUpdates1 =
        named(Help1->addAction(QStringLiteral("Check for Updates")), "CheckforUpdates1");
    About1 = named(Help1->addAction(QStringLiteral("About")), "About1");

    // ---- Keyboard order: the two logs, then the settings area, then the tool bar
    QList<QWidget*> order = {redtTCPIPMsg, redtComPortMsg, txbPort,
                             txbHost,      txbSendMessage, btnTCPSendMessage};
    for (int i = 0; i < grpTCPSocketType->count(); ++i)
        order << grpTCPSocketType->button(i);
    order << txbCom << btnSendCom;
    for (int i = 0; i < rdSendFormat->count(); ++i)
        order << rdSendFormat->button(i);
    order << chkCarriageReturn << chkNewLine;
    for (int i = 0; i < rdIncomingFormat->count(); ++i)
        order << rdIncomingFormat->button(i);
    order << btnClearMsg << chkShowDateTime << spnTimeout << btnResetTimeout << btnConnect
          << btnDisconnect << btnComPortOn << btnComPortOff << btnSetup << btnSave << btnWebsite
          << btnHelp;
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Centred on the screen when first shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace brixel
