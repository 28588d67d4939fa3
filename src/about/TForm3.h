#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

namespace brixel {

class LinkLabel;

// The About window: the program's picture and name, a link to the web site, a
// notice and "OK". It keeps no state beyond its controls. "OK" and the close box
// hide it; its owner releases it.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // Shows the title (an empty one keeps the design caption) and a copy of the
    // picture (a null one leaves the image empty).
    void SetAppInfo(const QString& title, const QPixmap& picture);

    QWidget* pnl1 = nullptr;
    QLabel* imgIcon = nullptr;
    QLabel* lblAppName = nullptr;
    LinkLabel* lblLink = nullptr;
    QLabel* lblCopyright = nullptr;
    QPushButton* btnOK = nullptr;

public slots:
    void btnOKClick();
    void lblLinkClick();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace brixel
