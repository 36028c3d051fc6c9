#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageFile.h"
#include "MessageTextEdit.h"
#include "UpDown.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tavrel;
using namespace tavrel::test;

namespace {

// Runs `act` on the modal dialog named `name` as soon as it is up, as a user would.
void whenModal(const QString& name, std::function<void(QWidget&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, name, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        act(*modal);
    });
    poll->start();
}

void click(QWidget& dialog, const char* button) {
    auto* b = dialog.findChild<QPushButton*>(QLatin1String(button));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

void activate(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Stands in for the browser.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    int opened = 0;
public slots:
    void open(const QUrl&) { ++opened; }
};

} // namespace

// The composer with the program's own date picker, time dialog and about box.
class TestComposerDialogs : public QObject {
    Q_OBJECT

private slots:
    void includeATimeWindowThenSave() {
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        activate(w);
        f.compose(QStringLiteral("Call"), QStringLiteral("Call the garage"), 0);
        // "When today?", then the time dialog opens: eleven to twelve.
        bool ran = false;
        whenModal(QStringLiteral("frmOptional"), [&](QWidget& d) {
            d.findChild<QComboBox*>(QStringLiteral("cboTIMES"))->setCurrentIndex(11);
            d.findChild<QComboBox*>(QStringLiteral("cboTIMES2"))->setCurrentIndex(12);
            click(d, "cmdTIMEOK");
            ran = true;
        });
        w.cmdSaveMessage_Click();
        QVERIFY(ran);
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("When today?"));
        QCOMPARE(f.dialogs.boxes[1].text,
                 QStringLiteral("Timesetings included, save your message."));
        QVERIFY(!w.cmdOptional->isEnabled());
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.cmdSaveMessage));
        QVERIFY(f.messageFiles().isEmpty());

        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 2);
        MessageRecord expected = f.record(0, 0, QStringLiteral("Call the garage"));
        expected.startTime = QStringLiteral("11:00:00 am");
        expected.endTime = QStringLiteral("12:00:00 pm");
        QCOMPARE(f.folder.read(QStringLiteral("Call.tvr")), EncodeMessageRecord(expected));
    }

    void neverMindKeepsTheStores() {
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        w.lblHIDDENstart = QStringLiteral("09:00:00");
        whenModal(QStringLiteral("frmOptional"), [](QWidget& d) { click(d, "cmdNevermind"); });
        w.cmdOptional_Click();
        QCOMPARE(w.lblHIDDENstart, QStringLiteral("09:00:00"));
        QCOMPARE(w.lblHIDDENeinde, QStringLiteral("00:00"));
    }

    void pickADate() {
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        activate(w);
        w.txtDaysprior->setText(QStringLiteral("2"));
        whenModal(QStringLiteral("frmCalendar"), [](QWidget& d) {
            QTest::keyClick(d.findChild<QWidget*>(QStringLiteral("picMonth")), Qt::Key_PageDown);
            click(d, "cmdok");
        });
        QTest::mouseClick(w.cmdcalendar, Qt::LeftButton);
        QCOMPARE(w.lblchoosendate->text(), QStringLiteral("07/01/2027"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("05/01/2027"));
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.UpDownprior));

        // Cancelled: the due date stays.
        whenModal(QStringLiteral("frmCalendar"), [](QWidget& d) {
            QTest::keyClick(d.findChild<QWidget*>(QStringLiteral("picMonth")), Qt::Key_PageDown);
            click(d, "cmdCancel");
        });
        w.cmdcalendar_Click();
        QCOMPARE(w.lblchoosendate->text(), QStringLiteral("07/01/2027"));
    }

    void about() {
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        bool visibleWhileOpen = false;
        whenModal(QStringLiteral("frmabout"), [&](QWidget& d) {
            visibleWhileOpen = f.realDialogs->AboutVisible();
            click(d, "cmdok");
        });
        w.menuAbout_Click();
        QVERIFY(visibleWhileOpen);
        QVERIFY(!f.realDialogs->AboutVisible());
    }

    // Following the link minimises the composer when it is in sight; a hidden one stays hidden.
    void aboutLink_data() {
        QTest::addColumn<bool>("shown");
        QTest::newRow("composer shown") << true;
        QTest::newRow("composer hidden") << false;
    }
    void aboutLink() {
        QFETCH(bool, shown);
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        if (shown)
            activate(w);
        LinkCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        whenModal(QStringLiteral("frmabout"), [&](QWidget& d) {
            QTest::mouseClick(d.findChild<QLabel*>(QStringLiteral("lblurl")), Qt::LeftButton);
        });
        f.realDialogs->ShowAbout();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.opened, 1);
        QCOMPARE(w.isVisible(), shown);
        QCOMPARE(w.isMinimized(), shown);
    }

    // Closing the program with the picker open closes the picker too.
    void closeWithADialogOpen() {
        ComposerFixture f;
        f.useRealDialogs();
        frmmain& w = f.load();
        whenModal(QStringLiteral("frmCalendar"), [&](QWidget&) { w.close(); });
        w.cmdcalendar_Click();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(f.endProgramCalls, 1);
        QCOMPARE(w.lblchoosendate->text(), f.day(0));
    }
};

QTEST_MAIN(TestComposerDialogs)
#include "tst_composerdialogs.moc"
