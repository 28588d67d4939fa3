// The About window and the four entries that open the product's web pages.
#include "about/LinkLabel.h"
#include "about/TForm3.h"
#include "app/TForm1.h"
#include "app/ToolButton.h"
#include "support/TestMain.h"
#include "support/WorkingDir.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace brixel;

namespace {

const QString kDesignCaption = QStringLiteral("Brixel Bridge and Monitor v1.1   ");

QList<TForm3*> visibleAboutWindows(const TForm1& form) {
    QList<TForm3*> shown;
    for (TForm3* w : form.findChildren<TForm3*>())
        if (w->isVisible())
            shown.append(w);
    return shown;
}

} // namespace

// Stands in for the browser: records every address the program asks to open.
class PageRecorder : public QObject {
    Q_OBJECT
public:
    PageRecorder() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
    }
    ~PageRecorder() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url) { opened.append(url); }
};

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void aboutCommandShowsNewWindowEachTime();
    void aboutWindowsGoWithMainWindow();
    void setAppInfo();
    void pictureDrawnUnscaledTopLeft();
    void webLinks_data();
    void webLinks();
};

void TestAbout::aboutCommandShowsNewWindowEachTime() {
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.About1->trigger();
    form.About1->trigger();
    QList<TForm3*> shown = visibleAboutWindows(form);
    QCOMPARE(shown.size(), 2);
    for (TForm3* about : shown) {
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QCOMPARE(about->size(), QSize(360, 211));
        QCOMPARE(about->windowModality(), Qt::NonModal);
        QCOMPARE(about->lblAppName->text(), QStringLiteral("Brixel Bridge and Monitor 1.1.0"));
        QCOMPARE(about->imgIcon->pixmap().toImage(), form.il1.pixmap(12).toImage());
        QCOMPARE(about->btnOK->text(), QStringLiteral("OK"));
        QCOMPARE(about->lblLink->text(), QStringLiteral(BRIXEL_WEBSITE_URL));
        QVERIFY(!about->lblCopyright->text().isEmpty());
    }
    QVERIFY(!QApplication::activeModalWidget()); // the main window stays usable

    QVERIFY(QTest::qWaitForWindowExposed(shown[0]));
    QTest::mouseClick(shown[0]->btnOK, Qt::LeftButton);
    QVERIFY(!shown[0]->isVisible());
    QVERIFY(shown[1]->isVisible());
    QCOMPARE(form.findChildren<TForm3*>().size(), 2); // hidden, not destroyed

    // The next command brings a fresh window with the current title.
    form.appTitle = QStringLiteral("Brixel Bridge and Monitor 1.1.0 test");
    form.About1->trigger();
    QCOMPARE(form.findChildren<TForm3*>().size(), 3);
    shown = visibleAboutWindows(form);
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.contains(form.findChildren<TForm3*>().last()));
    QCOMPARE(form.findChildren<TForm3*>().last()->lblAppName->text(),
             QStringLiteral("Brixel Bridge and Monitor 1.1.0 test"));
}

void TestAbout::aboutWindowsGoWithMainWindow() {
    WorkingDir dir;
    auto form = std::make_unique<TForm1>();
    form->show();
    form->About1->trigger();
    form->About1->trigger();
    QList<QPointer<TForm3>> windows;
    for (TForm3* w : form->findChildren<TForm3*>())
        windows.append(w);
    QCOMPARE(windows.size(), 2);
    form.reset();
    for (const QPointer<TForm3>& w : windows)
        QVERIFY(w.isNull());
}

void TestAbout::setAppInfo() {
    TForm3 about;
    QCOMPARE(about.lblAppName->text(), kDesignCaption);
    about.SetAppInfo(QString(), QPixmap());
    QCOMPARE(about.lblAppName->text(), kDesignCaption);
    QVERIFY(about.imgIcon->pixmap().isNull());

    QPixmap picture(32, 32);
    picture.fill(Qt::red);
    about.SetAppInfo(QStringLiteral("Title"), picture);
    QCOMPARE(about.lblAppName->text(), QStringLiteral("Title"));
    QCOMPARE(about.imgIcon->pixmap().toImage(), picture.toImage());

    // "OK" hides the window; a later show brings it back as it was.
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    about.btnOK->click();
    QVERIFY(!about.isVisible());
    about.show();
    QCOMPARE(about.lblAppName->text(), QStringLiteral("Title"));
}

void TestAbout::pictureDrawnUnscaledTopLeft() {
    TForm3 about;
    QPixmap picture(32, 32);
    picture.fill(Qt::red);
    about.SetAppInfo(QString(), picture);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.imgIcon->size(), QSize(48, 48));
    const QImage drawn = about.imgIcon->grab().toImage();
    const QColor red(Qt::red);
    QCOMPARE(drawn.pixelColor(0, 0), red);
    QCOMPARE(drawn.pixelColor(31, 31), red);
    QVERIFY(drawn.pixelColor(32, 32) != red);
    QVERIFY(drawn.pixelColor(47, 0) != red);
}

void TestAbout::webLinks_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QUrl>("page");
    const QUrl website(QStringLiteral(BRIXEL_WEBSITE_URL));
    QTest::newRow("Website button") << QStringLiteral("btnWebsite") << website;
    QTest::newRow("Help button") << QStringLiteral("btnHelp")
                                 << QUrl(QStringLiteral(BRIXEL_HELP_URL));
    QTest::newRow("Check for Updates")
        << QStringLiteral("CheckforUpdates1") << QUrl(QStringLiteral(BRIXEL_PRODUCT_URL));
    QTest::newRow("About link, mouse") << QStringLiteral("lblLink mouse") << website;
    QTest::newRow("About link, Space") << QStringLiteral("lblLink space") << website;
    QTest::newRow("About link, Enter") << QStringLiteral("lblLink enter") << website;
}

void TestAbout::webLinks() {
    QFETCH(QString, entry);
    QFETCH(QUrl, page);
    WorkingDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PageRecorder browser;

    if (entry == QLatin1String("btnWebsite")) {
        QTest::mouseClick(form.btnWebsite, Qt::LeftButton);
    } else if (entry == QLatin1String("btnHelp")) {
        QTest::mouseClick(form.btnHelp, Qt::LeftButton);
    } else if (entry == QLatin1String("CheckforUpdates1")) {
        form.CheckforUpdates1->trigger();
    } else {
        form.About1->trigger();
        TForm3* about = form.findChild<TForm3*>();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        if (entry.endsWith(QLatin1String("mouse"))) {
            QTest::mouseClick(about->lblLink, Qt::LeftButton);
        } else {
            // Reached from the keyboard like any other control.
            about->activateWindow();
            about->btnOK->setFocus();
            QTest::keyClick(about, Qt::Key_Tab);
            QTRY_VERIFY(about->lblLink->hasFocus());
            QTest::keyClick(about->lblLink, entry.endsWith(QLatin1String("space"))
                                                ? Qt::Key_Space
                                                : Qt::Key_Return);
        }
        QVERIFY(about->isVisible());
    }
    QCOMPARE(browser.opened, QList<QUrl>{page});
}

BRIXEL_TEST_MAIN(TestAbout)
#include "tst_About.moc"
