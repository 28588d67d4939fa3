#include "about/TForm3.h"

#include "about/LinkLabel.h"
#include "about/WebLinks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace brixel {

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 211;
constexpr int kIconSize = 48;

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    resize(kWidth, kHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    pnl1 = named(new QWidget(this), "pnl1");
    outer->addWidget(pnl1);

    imgIcon = named(new QLabel(pnl1), "imgIcon");
    imgIcon->setFixedSize(kIconSize, kIconSize);
    imgIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop); // drawn unscaled at the top left
    imgIcon->setAccessibleName(QStringLiteral("Brixel Bridge and Monitor"));

    lblAppName =
        named(new QLabel(QStringLiteral("Brixel Bridge and Monitor v1.1   "), pnl1), "lblAppName");
    QFont bold = lblAppName->font();
    bold.setBold(true);
    lblAppName->setFont(bold);

    lblLink = named(new LinkLabel(WebsiteUrl().toString(), pnl1), "lblLink");
    connect(lblLink, &LinkLabel::clicked, this, &TForm3::lblLinkClick);

    lblCopyright =
        named(new QLabel(QStringLiteral("Copyright \u00A9 Brixel. All rights reserved."), pnl1),
              "lblCopyright");

    btnOK = named(new QPushButton(QStringLiteral("OK"), pnl1), "btnOK");
    btnOK->setAccessibleName(QStringLiteral("OK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TForm3::btnOKClick);

    auto* grid = new QGridLayout(pnl1);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(lblAppName);
    texts->addWidget(lblLink, 0, Qt::AlignLeft);
    texts->addWidget(lblCopyright);
    texts->addStretch(1);
    grid->addWidget(imgIcon, 0, 0, Qt::AlignTop);
    grid->addLayout(texts, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    grid->addWidget(btnOK, 1, 1, Qt::AlignRight | Qt::AlignBottom);

    setTabOrder(btnOK, lblLink);
}

void TForm3::SetAppInfo(const QString& title, const QPixmap& picture) {
    if (!title.isEmpty())
        lblAppName->setText(title);
    if (imgIcon && !picture.isNull())
        imgIcon->setPixmap(picture);
}

void TForm3::btnOKClick() {
    close(); // hides: the window stays with its owner until the owner goes
}

void TForm3::lblLinkClick() {
    OpenWebPage(WebsiteUrl());
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Centred over the owner each time the program shows it (not when the user
    // restores it from the task bar).
    if (!event->spontaneous() && parentWidget())
        move(parentWidget()->window()->frameGeometry().center() - rect().center());
}

} // namespace brixel
