// Every window's captions fit their controls at the screen density the test runs at: CTest runs
// it at 96, 144 and 192 dpi, with Qt's scaling on (the pixels grow) and off (the font setting
// reaches the program as dots per inch), through the offscreen platform's screen file.
#include "ComposerFixture.h"
#include "Twips.h"
#include "UpDown.h"
#include "frmCalendar.h"
#include "frmOptional.h"
#include "frmabout.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace tavrel;
using namespace tavrel::test;

namespace {

// "name: text" of every label and button whose text runs past its control.
QStringList clippedTexts(const QWidget& window) {
    QStringList clipped;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window))
            continue;
        const QFontMetrics metrics = control->fontMetrics();
        QString text;
        bool fits = true;
        if (const auto* l = qobject_cast<const QLabel*>(control)) {
            text = l->text();
            const QRect room = l->contentsRect();
            fits = l->wordWrap() ? l->heightForWidth(room.width()) <= room.height()
                                 : metrics.horizontalAdvance(text) <= room.width() &&
                                       metrics.height() <= room.height() + 2;
        } else if (const auto* b = qobject_cast<const QPushButton*>(control)) {
            text = QString(b->text()).remove(QLatin1Char('&'));
            fits = metrics.horizontalAdvance(text) <= b->width() - 8 &&
                   metrics.height() <= b->height();
        }
        if (!text.isEmpty() && !fits)
            clipped.append(control->objectName() + QStringLiteral(": ") + text);
    }
    return clipped;
}

// Checks the modal window that `open` shows, then closes it.
QStringList clippedInModal(const std::function<void()>& open) {
    QStringList clipped{QStringLiteral("no window")};
    QTimer::singleShot(0, [&clipped] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        clipped = clippedTexts(*dialog);
        dialog->close();
    });
    open();
    return clipped;
}

} // namespace

class TestDialogFit : public QObject {
    Q_OBJECT

private slots:
    void screenAsConfigured() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal dpi = screen->logicalDotsPerInch() * screen->devicePixelRatio();
        QCOMPARE(qRound(dpi), qEnvironmentVariableIntValue("TAVREL_TEST_DPI"));
    }

    void composer() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const Twips tw = Twips::of(&w);
        QCOMPARE(w.size(), tw.size(3420, 5025));
        QCOMPARE(w.cmdSaveMessage->geometry(), tw.rect(270, 4035, 2880, 345));
        QCOMPARE(clippedTexts(w), QStringList());
        // The first day shown replaces "Days prior:" in the same room.
        w.UpDownprior->stepBy(1);
        QCOMPARE(clippedTexts(w), QStringList());
    }

    void dialogs() {
        FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 30)));
        FakeDialogs boxes;
        const DateText dates;
        frmCalendar calendar(clock, boxes, dates);
        QDate longest(2026, 9, 30);
        QCOMPARE(clippedInModal([&] { calendar.GetDate(longest); }).join(QLatin1Char(';')),
                 QString());

        MessageRecord current;
        QCOMPARE(clippedInModal([&] {
                     frmOptional::ShowModal(clock, boxes, dates, QDir::tempPath() + '/', current,
                                            TimeWindowLink{});
                 }),
                 QStringList());
        QCOMPARE(clippedInModal([&] { frmabout::ShowModal(clock, {}); }), QStringList());
    }
};

QTEST_MAIN(TestDialogFit)
#include "tst_dialogfit.moc"
