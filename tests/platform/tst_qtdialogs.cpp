#include "QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace tavrel;

Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

// Presses `button` (or Escape when NoButton) on the modal box as soon as it is up.
void answerModalBox(QMessageBox::StandardButton button) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        if (button == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    });
    poll->start(0);
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void titleAndText() {
        std::unique_ptr<QMessageBox> untitled(
            QtDialogs::build(QStringLiteral("first\r\nsecond\r\n\r\nfourth"), {}, MB::OK));
        QCOMPARE(untitled->windowTitle(), QStringLiteral("Tavrel"));
        QCOMPARE(untitled->text(), QStringLiteral("first\nsecond\n\nfourth"));
        QCOMPARE(untitled->textFormat(), Qt::PlainText);

        std::unique_ptr<QMessageBox> titled(
            QtDialogs::build(QStringLiteral("<b>not bold</b>"), QStringLiteral("Snorry!"), 0));
        QCOMPARE(titled->windowTitle(), QStringLiteral("Snorry!"));
        QCOMPARE(titled->text(), QStringLiteral("<b>not bold</b>"));
    }

    // The window manager writes the title in bold beside an icon and three buttons: the box is
    // wide enough for all of it, however short its text.
    void wideAsItsTitle() {
        std::unique_ptr<QMessageBox> box(QtDialogs::build(
            QStringLiteral("x"), QStringLiteral("Tavrel has a message for you:"), MB::OK));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QVERIFY2(box->width() >=
                     metrics.horizontalAdvance(box->windowTitle()) + 5 * (metrics.height() + 8),
                 qPrintable(QString::number(box->width())));
    }

    // While a reminder is on screen: a close request in its guard second (Alt+F4, the title
    // bar's button) is refused, and the tray's "Terminate" question opens above it with the
    // focus instead of beneath it; the reminder stays open until answered.
    void reminderOnScreen() {
#ifdef Q_OS_WIN
        // wine without a window manager activates no box of its own accord.
        if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
            QSKIP("the activation of a box cannot be observed under wine");
#endif
        QtDialogs dialogs;
        dialogs.reminderGuardMs = 300;
        QStringList seen;
        QTimer::singleShot(50, [&] {
            auto* reminder = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(reminder);
            seen << QString::number(reminder->close()) << QString::number(reminder->isVisible());
            QTimer::singleShot(20, [&seen, reminder] {
                auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                // The platform activates a window when it gets to it: late on a busy machine.
                const bool active = QTest::qWaitFor(
                    [question] { return QApplication::activeWindow() == question; }, 5000);
                seen << question->windowTitle()
                     << QString::number(bool(question->windowFlags() & Qt::WindowStaysOnTopHint))
                     << QString::number(active) << QString::number(reminder->isVisible());
                question->button(QMessageBox::No)->click();
            });
            seen << QString::number(dialogs.messageBox(
                QStringLiteral("Are you sure you want to quit?"), QStringLiteral("Terminate"),
                MB::YESNO | MB::ICONQUESTION | MB::DEFBUTTON2));
            QTimer::singleShot(400, reminder,
                               [reminder] { reminder->button(QMessageBox::Ok)->click(); });
        });
        QCOMPARE(dialogs.reminderBox(QStringLiteral("Pills"),
                                     QStringLiteral("Tavrel has a message for you:"),
                                     MB::SETFOREGROUND | MB::RTLREADING),
                 int(IDOK));
        QCOMPARE(seen, (QStringList{"0", "1", "Terminate", "1", "1", "1", "7"}));
        // With no reminder on screen a box keeps its own stacking.
        std::unique_ptr<QMessageBox> plain(QtDialogs::build(QStringLiteral("x"), {}, MB::OK));
        QVERIFY(!QtDialogs::keepAboveReminders(plain.get()));
        QVERIFY(!(plain->windowFlags() & Qt::WindowStaysOnTopHint));
    }

    void icons_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("none") << 0u << QMessageBox::NoIcon;
        QTest::newRow("stop") << 0x10u << QMessageBox::Critical;
        QTest::newRow("question") << 0x20u << QMessageBox::Question;
        QTest::newRow("warning") << 0x30u << QMessageBox::Warning;
        QTest::newRow("information") << 0x40u << QMessageBox::Information;
        QTest::newRow("question with yes/no") << 0x24u << QMessageBox::Question;
    }
    void icons() {
        QFETCH(uint, style);
        QFETCH(QMessageBox::Icon, icon);
        std::unique_ptr<QMessageBox> box(QtDialogs::build(QStringLiteral("x"), {}, style));
        QCOMPARE(box->icon(), icon);
    }

    void buttons_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::newRow("MB_OK") << 0x0u << int(QMessageBox::Ok) << QMessageBox::Ok;
        QTest::newRow("MB_OKCANCEL")
            << 0x1u << int(QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Ok;
        QTest::newRow("MB_YESNO") << 0x4u << int(QMessageBox::Yes | QMessageBox::No)
                                  << QMessageBox::Yes;
        QTest::newRow("292: yes/no, question, second default")
            << 292u << int(QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
        QTest::newRow("ok/cancel, second default")
            << 0x101u << int(QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Cancel;
        QTest::newRow("MB_OK ignores a second default")
            << 0x100u << int(QMessageBox::Ok) << QMessageBox::Ok;
    }
    void buttons() {
        QFETCH(uint, style);
        QFETCH(int, buttons);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        std::unique_ptr<QMessageBox> box(QtDialogs::build(QStringLiteral("x"), {}, style));
        QCOMPARE(int(box->standardButtons()), buttons);
        QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(defaultButton));
    }

    void answers_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << 0x40u << QMessageBox::Ok << int(IDOK);
        QTest::newRow("ok/cancel: ok") << 0x1u << QMessageBox::Ok << int(IDOK);
        QTest::newRow("ok/cancel: cancel") << 0x1u << QMessageBox::Cancel << int(IDCANCEL);
        QTest::newRow("yes/no: yes") << 292u << QMessageBox::Yes << int(IDYES);
        QTest::newRow("yes/no: no") << 0x24u << QMessageBox::No << int(IDNO);
        QTest::newRow("ok: escape") << 0x0u << QMessageBox::NoButton << int(IDOK);
        QTest::newRow("ok/cancel: escape") << 0x1u << QMessageBox::NoButton << int(IDCANCEL);
        QTest::newRow("yes/no: escape") << 0x4u << QMessageBox::NoButton << int(IDNO);
        QTest::newRow("foreground ok") << 0x10040u << QMessageBox::Ok << int(IDOK);
    }
    void answers() {
        QFETCH(uint, style);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(int, result);
        QtDialogs dialogs;
        answerModalBox(press);
        QCOMPARE(dialogs.messageBox(QStringLiteral("Question?"), {}, style), result);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
