#include "link/SetupDialog.h"

#include "link/PortNames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brixel {

namespace {

QComboBox* addList(QFormLayout* form, const char* name, const QString& label,
                   const QStringList& items, const QString& current) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label);
    box->addItems(items);
    box->setCurrentIndex(items.indexOf(current));
    form->addRow(label, box);
    return box;
}

} // namespace

SetupDialog::SetupDialog(const SerialSettings& current, const QStringList& ports, QWidget* parent)
    : QDialog(parent), current_(current) {
    setObjectName(QStringLiteral("SetupDialog"));
    setWindowTitle(QStringLiteral("Setup"));
    setModal(true);

    auto* group = new QGroupBox(QStringLiteral(" Settings "), this);
    group->setObjectName(QStringLiteral("grpSettings"));
    auto* form = new QFormLayout(group);

    cbPort = addList(form, "cbPort", QStringLiteral("Port"), SortedPortNames(ports), current.port);
    cbPort->setEditable(true);
    cbPort->setInsertPolicy(QComboBox::NoInsert);
    if (cbPort->currentIndex() < 0)
        cbPort->setEditText(current.port);
    cbBaudRate =
        addList(form, "cbBaudRate", QStringLiteral("Baud rate"), ChoiceLabels(kBaudRateChoices),
                ChoiceLabel(kBaudRateChoices, current.baudRate));
    cbDataBits =
        addList(form, "cbDataBits", QStringLiteral("Data bits"), ChoiceLabels(kDataBitsChoices),
                ChoiceLabel(kDataBitsChoices, current.dataBits));
    cbStopBits =
        addList(form, "cbStopBits", QStringLiteral("Stop bits"), ChoiceLabels(kStopBitsChoices),
                ChoiceLabel(kStopBitsChoices, current.stopBits));
    cbParity = addList(form, "cbParity", QStringLiteral("Parity"), ChoiceLabels(kParityChoices),
                       ChoiceLabel(kParityChoices, current.parity));
    cbFlowControl =
        addList(form, "cbFlowControl", QStringLiteral("Flow control"),
                ChoiceLabels(kFlowControlChoices), FlowControlLabel(current.flowControl));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

SerialSettings SetupDialog::chosen() const {
    SerialSettings s = current_;
    const QString port = cbPort->currentText().trimmed();
    if (!port.isEmpty())
        s.port = port;
    s.baudRate = ChoiceByLabel(kBaudRateChoices, cbBaudRate->currentText()).value_or(s.baudRate);
    s.dataBits = ChoiceByLabel(kDataBitsChoices, cbDataBits->currentText()).value_or(s.dataBits);
    s.stopBits = ChoiceByLabel(kStopBitsChoices, cbStopBits->currentText()).value_or(s.stopBits);
    s.parity = ChoiceByLabel(kParityChoices, cbParity->currentText()).value_or(s.parity);
    s.flowControl = ChoiceByLabel(kFlowControlChoices, cbFlowControl->currentText())
                        .value_or(std::nullopt)
                        .value_or(s.flowControl);
    return s;
}

} // namespace brixel
