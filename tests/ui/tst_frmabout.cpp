#include "AboutTexts.h"
#include "Fakes.h"
#include "frmabout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace tavrel;

// Stands in for the browser: records the addresses handed to it.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList* log = nullptr;
public slots:
    void open(const QUrl& url) { *log << QStringLiteral("open ") + url.toString(); }
};

class tst_frmabout : public QObject {
    Q_OBJECT
public:
    test::FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 30))};
    QStringList log;
    UrlCatcher catcher;

    std::unique_ptr<frmabout> open() {
        auto dialog =
            std::make_unique<frmabout>(clock, [this] { log << QStringLiteral("minimise"); });
        connect(dialog.get(), &QDialog::finished, this,
                [this] { log << QStringLiteral("unloaded"); });
        return dialog;
    }
    static QString text(const frmabout& d, const QString& name) {
        return d.findChild<QLabel*>(name)->text();
    }

private slots:
    void initTestCase() {
        catcher.log = &log;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    void init() { log.clear(); }

    void versionLine();
    void labels_data();
    void labels();
    void noticeEndsInCurrentYear_data();
    void noticeEndsInCurrentYear();
    void separators();
    void link();
    void okCloses();
};

void tst_frmabout::versionLine() {
    QCOMPARE(text(*open(), QStringLiteral("lblversion")), QStringLiteral("Version 2.0.8"));
    QCOMPARE(VersionLine(2, 10, 8), QStringLiteral("Version 2.10.8"));
    QCOMPARE(VersionLine(3, 0, 0), QStringLiteral("Version 3.0.0"));
}

void tst_frmabout::labels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("title") << "lblprogtitle"
                           << "Tavrel";
    QTest::newRow("maker") << "lblcopyright2"
                           << "by Kestrane, all rights reserved";
    QTest::newRow("text1") << "lbltext1"
                           << "This program is freeware.";
    QTest::newRow("text2") << "lbltext2"
                           << "You can use and distribute it freely.";
    QTest::newRow("text3") << "lbltext3"
                           << "Play and enjoy!";
    QTest::newRow("text4") << "lbltext4"
                           << "For updates and other freeware,";
    QTest::newRow("text5") << "lbltext5"
                           << "Visit my homepage at";
    QTest::newRow("link") << "lblurl"
                          << "github.com/tavrel/tavrel";
}

void tst_frmabout::labels() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    const auto dialog = open();
    const QLabel* label = dialog->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    // Nothing is cut off: the label holds its text and lies inside the window.
    QVERIFY(label->width() >= label->sizeHint().width());
    QVERIFY(label->x() + label->sizeHint().width() <= dialog->width());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("About"));
}

void tst_frmabout::noticeEndsInCurrentYear_data() {
    QTest::addColumn<int>("year");
    QTest::newRow("2026") << 2026;
    QTest::newRow("2031") << 2031;
}

void tst_frmabout::noticeEndsInCurrentYear() {
    QFETCH(int, year);
    clock.set(QDate(year, 1, 1), QTime(0, 0));
    const QString notice = text(*open(), QStringLiteral("lblcopyright"));
    QVERIFY2(notice.endsWith(QString::number(year)), qPrintable(notice));
    // Only the year changes.
    QCOMPARE(notice.chopped(4), RightsNotice(1999).chopped(4));
}

void tst_frmabout::separators() {
    const auto dialog = open();
    dialog->show();
    const QImage shot = dialog->grab().toImage();
    const QRgb dark = qRgb(0x40, 0x00, 0x40);
    const QRgb light = dialog->palette().color(QPalette::Light).rgb();
    for (int y : {103, 161}) {
        for (int x : {24, 100, 198}) {
            QCOMPARE(shot.pixel(x, y), dark);
            QCOMPARE(shot.pixel(x, y + 1), light);
            QCOMPARE(shot.pixel(x, y + 2), light);
            QVERIFY(shot.pixel(x, y - 1) != dark);
            QVERIFY(shot.pixel(x, y + 3) != light);
        }
    }
}

void tst_frmabout::link() {
    const auto dialog = open();
    dialog->show();
    auto* url = dialog->findChild<QLabel*>(QStringLiteral("lblurl"));
    QCOMPARE(url->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(url->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0xC0));
    QTest::mouseClick(url, Qt::RightButton);
    QVERIFY(log.isEmpty());
    QTest::mouseClick(url, Qt::LeftButton);
    QCOMPARE(log, QStringList({QStringLiteral("minimise"),
                               QStringLiteral("open https://github.com/tavrel/tavrel"),
                               QStringLiteral("unloaded")}));
    QVERIFY(!dialog->isVisible());
}

void tst_frmabout::okCloses() {
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        shown = qobject_cast<frmabout*>(box) != nullptr;
        if (box)
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdok")),
                              Qt::LeftButton);
    });
    frmabout::ShowModal(clock, [this] { log << QStringLiteral("minimise"); });
    QVERIFY(shown);
    QVERIFY(log.isEmpty());
}

QTEST_MAIN(tst_frmabout)
#include "tst_frmabout.moc"
