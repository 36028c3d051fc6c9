#include "Fakes.h"
#include "frmCalendar.h"

#include "DateText.h"
#include "Dialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

using namespace tavrel;

namespace {

const QDate kToday(2026, 12, 7); // a Monday; December 2026 begins on a Tuesday

// What one opening of the picker gave back.
struct Pick {
    bool result = false;
    bool closedByUser = true; // false: the actions left the picker open and the test closed it
};

// Darkness of a region: the sum over its pixels of (255 - grey).
qint64 ink(const QImage& image, QRect area) {
    qint64 sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += 255 - qGray(image.pixel(x, y));
    return sum;
}

} // namespace

class tst_frmCalendar : public QObject {
    Q_OBJECT
public:
    test::FakeClock clock{QDateTime(kToday, QTime(10, 30))};
    test::FakeDialogs dialogs;
    const DateText dates;
    int daysPriorFocused = 0;
    std::unique_ptr<frmCalendar> cal;

    QWidget* picMonth() const { return cal->findChild<QWidget*>(QStringLiteral("picMonth")); }
    QString text(const char* label) const {
        return cal->findChild<QLabel*>(QLatin1String(label))->text();
    }
    QWidget* child(const char* name) const { return cal->findChild<QWidget*>(QLatin1String(name)); }
    // The centre of the cell of `day` on picMonth, in picMonth's coordinates.
    QPoint cellCentre(QDate day) const {
        const QRect cell = cal->grid().frameRect(day).translated(cal->gridOrigin());
        return cell.topLeft() + QPoint(cal->grid().cellWidth() / 2, cal->grid().cellHeight() / 2);
    }
    // A quick double click as the window system delivers it.
    void doubleClick(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseDClick(cal->windowHandle(), button, {}, w->mapTo(cal.get(), at));
    }

    // Opens the picker on `date` and runs `actions` once it is up.
    Pick pick(QDate& date, const std::function<void()>& actions,
              const std::optional<QString>& title = std::nullopt) {
        Pick outcome;
        QTimer::singleShot(0, cal.get(), [&] {
            actions();
            if (cal->isVisible()) {
                outcome.closedByUser = false;
                static_cast<QPushButton*>(child("cmdCancel"))->click();
            }
        });
        outcome.result = cal->GetDate(date, title);
        return outcome;
    }

private slots:
    void init() {
        clock.set(kToday, QTime(10, 30));
        dialogs.boxes.clear();
        daysPriorFocused = 0;
        cal = std::make_unique<frmCalendar>(clock, dialogs, dates, [this] { ++daysPriorFocused; });
    }
    void cleanup() { cal.reset(); }

    void todayAcceptedAtOnce();
    void keys_data();
    void keys();
    void monthLabels();
    void clicksOnDays();
    void accepting_data();
    void accepting();
    void pastDateRefused_data();
    void pastDateRefused();
    void nothingHandedBack_data();
    void nothingHandedBack();
    void hideKeepsUnloadResets();
    void invalidDateOpensOnToday();
    void renderedMonth();
    void frameMovesWithinMonth();
};

void tst_frmCalendar::todayAcceptedAtOnce() {
    QDate date = kToday;
    const Pick p = pick(date, [&] { QTest::keyClick(picMonth(), Qt::Key_Return); });
    QVERIFY(p.closedByUser);
    QVERIFY(p.result);
    QCOMPARE(date, kToday);
    QVERIFY(dialogs.boxes.isEmpty());
    QCOMPARE(cal->windowTitle(), QStringLiteral("Pick a date"));
}

void tst_frmCalendar::keys_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("heading");

    QTest::newRow("Page Down from 31 January")
        << QDate(2027, 1, 31) << int(Qt::Key_PageDown) << QDate(2027, 2, 28)
        << QStringLiteral("February 2027");
    QTest::newRow("Page Up from 31 March") << QDate(2027, 3, 31) << int(Qt::Key_PageUp)
                                           << QDate(2027, 2, 28) << QStringLiteral("February 2027");
    QTest::newRow("Down from the 28th of a 30-day month")
        << QDate(2027, 4, 28) << int(Qt::Key_Down) << QDate(2027, 5, 5)
        << QStringLiteral("May 2027");
    QTest::newRow("Up") << QDate(2027, 5, 5) << int(Qt::Key_Up) << QDate(2027, 4, 28)
                        << QStringLiteral("April 2027");
    QTest::newRow("Right into the next year")
        << QDate(2026, 12, 31) << int(Qt::Key_Right) << QDate(2027, 1, 1)
        << QStringLiteral("January 2027");
    QTest::newRow("Left within the month")
        << QDate(2026, 12, 20) << int(Qt::Key_Left) << QDate(2026, 12, 19)
        << QStringLiteral("December 2026");
    QTest::newRow("Right at the last date")
        << QDate(9999, 12, 31) << int(Qt::Key_Right) << QDate(9999, 12, 31)
        << QStringLiteral("December 9999");
    QTest::newRow("Page Down in the last month")
        << QDate(9999, 12, 15) << int(Qt::Key_PageDown) << QDate(9999, 12, 31)
        << QStringLiteral("December 9999");
    QTest::newRow("another key") << QDate(2026, 12, 20) << int(Qt::Key_A) << QDate(2026, 12, 20)
                                 << QStringLiteral("December 2026");
}

void tst_frmCalendar::keys() {
    QFETCH(QDate, from);
    QFETCH(int, key);
    QFETCH(QDate, to);
    QFETCH(QString, heading);
    QDate date = from;
    QString shownHeading, shownLongDate, readName;
    const Pick p = pick(date, [&] {
        QCOMPARE(cal->focusWidget(), picMonth());
        QTest::keyClick(picMonth(), Qt::Key(key));
        shownHeading = text("lblMonth");
        shownLongDate = text("lbllongdate");
        // What a screen reader says at each move.
        readName = QAccessible::queryAccessibleInterface(picMonth())->text(QAccessible::Name);
        QTest::keyClick(picMonth(), Qt::Key_Enter);
    });
    QVERIFY(p.closedByUser);
    QVERIFY(p.result);
    QCOMPARE(date, to);
    QCOMPARE(shownHeading, heading);
    QCOMPARE(shownLongDate, dates.longDate(to));
    QCOMPARE(readName, dates.longDate(to));
}

void tst_frmCalendar::monthLabels() {
    QDate date(2026, 12, 15);
    QStringList headings;
    const Pick p = pick(date, [&] {
        QWidget* next = child("lblNext");
        QWidget* prev = child("lblPrev");
        headings << text("lblMonth");
        doubleClick(next, next->rect().center()); // both presses count
        headings << text("lblMonth");
        QTest::mousePress(next, Qt::RightButton);
        QTest::mouseRelease(next, Qt::RightButton);
        doubleClick(next, next->rect().center(), Qt::RightButton);
        headings << text("lblMonth");
        QTest::mousePress(prev, Qt::LeftButton);
        QTest::mouseRelease(prev, Qt::LeftButton);
        headings << text("lblMonth");
        headings << text("lbllongdate");
        QTest::keyClick(picMonth(), Qt::Key_Return);
    });
    QVERIFY(p.result);
    QCOMPARE(QAccessible::queryAccessibleInterface(child("lblPrev"))->text(QAccessible::Name),
             QStringLiteral("Previous month"));
    QCOMPARE(QAccessible::queryAccessibleInterface(child("lblNext"))->text(QAccessible::Name),
             QStringLiteral("Next month"));
    QCOMPARE(QAccessible::queryAccessibleInterface(picMonth())->role(), QAccessible::Canvas);
    QCOMPARE(date, QDate(2027, 1, 15));
    QCOMPARE(headings,
             QStringList({QStringLiteral("December 2026"), QStringLiteral("February 2027"),
                          QStringLiteral("February 2027"), QStringLiteral("January 2027"),
                          dates.longDate(QDate(2027, 1, 15))}));
}

void tst_frmCalendar::clicksOnDays() {
    QDate date(2026, 12, 15);
    QList<QDate> seen;
    QString longDateAfterClick;
    const Pick p = pick(date, [&] {
        QWidget* pic = picMonth();
        // Before day 1 (December 2026 begins on a Tuesday) and after day 31: nothing changes.
        QTest::mouseClick(pic, Qt::LeftButton, {},
                          cellCentre(QDate(2026, 12, 1)) - QPoint(cal->grid().cellWidth(), 0));
        seen << cal->currentDate();
        QTest::mouseClick(pic, Qt::LeftButton, {},
                          cellCentre(QDate(2026, 12, 31)) + QPoint(cal->grid().cellWidth(), 0));
        seen << cal->currentDate();
        // The strip right of the last column belongs to no day.
        QTest::mouseClick(pic, Qt::LeftButton, {},
                          QPoint(pic->width() - 1, cellCentre(QDate(2026, 12, 12)).y()));
        seen << cal->currentDate();
        // Any button selects a day; the long date follows on the click.
        QTest::mousePress(pic, Qt::RightButton, {}, cellCentre(QDate(2026, 12, 24)));
        seen << cal->currentDate();
        QTest::mouseRelease(pic, Qt::RightButton, {}, cellCentre(QDate(2026, 12, 24)));
        longDateAfterClick = text("lbllongdate");
        static_cast<QPushButton*>(child("cmdCancel"))->click();
    });
    QVERIFY(p.closedByUser);
    QVERIFY(!p.result);
    QCOMPARE(date, QDate(2026, 12, 15));
    const QDate same(2026, 12, 15);
    QCOMPARE(seen, QList<QDate>({same, same, same, QDate(2026, 12, 24)}));
    QCOMPARE(longDateAfterClick, dates.longDate(QDate(2026, 12, 24)));
}

void tst_frmCalendar::accepting_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("unloads");
    QTest::addColumn<int>("focusMoves");
    QTest::newRow("Ok") << QStringLiteral("ok") << false << 1;
    QTest::newRow("Enter") << QStringLiteral("enter") << true << 0;
    QTest::newRow("double click on a day") << QStringLiteral("double click") << false << 0;
}

void tst_frmCalendar::accepting() {
    QFETCH(QString, how);
    QFETCH(bool, unloads);
    QFETCH(int, focusMoves);
    QDate date(2026, 12, 15);
    const QDate picked(2026, 12, 22);
    const Pick p = pick(date, [&] {
        QTest::mouseClick(picMonth(), Qt::LeftButton, {}, cellCentre(picked));
        if (how == QLatin1String("ok"))
            static_cast<QPushButton*>(child("cmdok"))->click();
        else if (how == QLatin1String("enter"))
            QTest::keyClick(picMonth(), Qt::Key_Return);
        else
            doubleClick(picMonth(), cellCentre(picked));
    });
    QVERIFY(p.closedByUser);
    QVERIFY(p.result);
    QCOMPARE(date, picked);
    QCOMPARE(cal->loaded(), !unloads);
    QCOMPARE(daysPriorFocused, focusMoves);
    QVERIFY(dialogs.boxes.isEmpty());
}

void tst_frmCalendar::pastDateRefused_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Ok") << QStringLiteral("ok");
    QTest::newRow("Enter") << QStringLiteral("enter");
    QTest::newRow("double click on a day") << QStringLiteral("double click");
}

void tst_frmCalendar::pastDateRefused() {
    QFETCH(QString, how);
    QDate date = kToday;
    bool openAfterRefusal = false;
    QDate selectedAfterRefusal;
    const Pick p = pick(date, [&] {
        QTest::keyClick(picMonth(), Qt::Key_Left); // yesterday
        if (how == QLatin1String("ok"))
            static_cast<QPushButton*>(child("cmdok"))->click();
        else if (how == QLatin1String("enter"))
            QTest::keyClick(picMonth(), Qt::Key_Return);
        else
            doubleClick(picMonth(), cellCentre(kToday.addDays(-1)));
        openAfterRefusal = cal->isVisible();
        selectedAfterRefusal = cal->currentDate();
        static_cast<QPushButton*>(child("cmdCancel"))->click();
    });
    QVERIFY(p.closedByUser);
    QVERIFY(openAfterRefusal);
    QCOMPARE(selectedAfterRefusal, kToday.addDays(-1));
    QVERIFY(!p.result);
    QCOMPARE(date, kToday);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].text,
             QStringLiteral("Please notice: the date you picked is in the PAST..."));
    QCOMPARE(dialogs.boxes[0].title, QStringLiteral("Think ahead"));
    QCOMPARE(dialogs.boxes[0].style, MB::OK | MB::ICONWARNING);
    QCOMPARE(daysPriorFocused, 0);
}

void tst_frmCalendar::nothingHandedBack_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("unloads");
    QTest::newRow("Escape") << QStringLiteral("escape") << true;
    QTest::newRow("Cancel") << QStringLiteral("cancel") << false;
    QTest::newRow("close box") << QStringLiteral("close") << true;
}

void tst_frmCalendar::nothingHandedBack() {
    QFETCH(QString, how);
    QFETCH(bool, unloads);
    // An earlier acceptance does not carry over into the next opening.
    QDate date(2026, 12, 15);
    QVERIFY(pick(date, [&] { static_cast<QPushButton*>(child("cmdok"))->click(); }).result);
    const Pick p = pick(date, [&] {
        QTest::keyClick(picMonth(), Qt::Key_PageDown);
        if (how == QLatin1String("escape"))
            QTest::keyClick(picMonth(), Qt::Key_Escape);
        else if (how == QLatin1String("cancel"))
            QTest::mouseClick(child("cmdCancel"), Qt::LeftButton);
        else
            cal->close();
    });
    QVERIFY(p.closedByUser);
    QVERIFY(!p.result);
    QVERIFY(!cal->accepted());
    QCOMPARE(date, QDate(2026, 12, 15));
    QCOMPARE(cal->loaded(), !unloads);
}

void tst_frmCalendar::hideKeepsUnloadResets() {
    QDate date(2026, 12, 15);
    pick(
        date, [&] { static_cast<QPushButton*>(child("cmdCancel"))->click(); },
        QStringLiteral("Due date"));
    // Hidden: the caption stays for a call without a title.
    QString caption;
    pick(date, [&] {
        caption = cal->windowTitle();
        QTest::keyClick(picMonth(), Qt::Key_Escape);
    });
    QCOMPARE(caption, QStringLiteral("Due date"));
    // Unloaded: the next call loads it afresh.
    pick(date, [&] {
        caption = cal->windowTitle();
        QTest::keyClick(picMonth(), Qt::Key_Escape);
    });
    QCOMPARE(caption, QStringLiteral("Pick a date"));
}

void tst_frmCalendar::invalidDateOpensOnToday() {
    QDate date;
    QVERIFY(pick(date, [&] { QTest::keyClick(picMonth(), Qt::Key_Return); }).result);
    QCOMPARE(date, kToday);
    QDate far(20000, 1, 1);
    QVERIFY(pick(far, [&] { QTest::keyClick(picMonth(), Qt::Key_Return); }).result);
    QCOMPARE(far, QDate(9999, 12, 31));
}

void tst_frmCalendar::renderedMonth() {
    // The same number 7 drawn in three months: today's (bold), another month of this year and
    // the same month of another year (both normal).
    QDate date(2026, 12, 15);
    QImage december, november, lastDecember;
    QPalette colours;
    pick(date, [&] {
        colours = picMonth()->palette();
        december = picMonth()->grab().toImage();
        QTest::keyClick(picMonth(), Qt::Key_PageUp);
        november = picMonth()->grab().toImage();
        for (int i = 0; i < 11; ++i)
            QTest::keyClick(picMonth(), Qt::Key_PageUp);
        QCOMPARE(text("lblMonth"), QStringLiteral("December 2025"));
        lastDecember = picMonth()->grab().toImage();
        QTest::keyClick(picMonth(), Qt::Key_Escape);
    });
    QVERIFY(!december.isNull());
    const auto inside = [&](QDate d) {
        return cal->grid().frameRect(d).translated(cal->gridOrigin()).adjusted(1, 1, -1, -1);
    };
    const qint64 bold = ink(december, inside(QDate(2026, 12, 7)));
    const qint64 normalOtherMonth = ink(november, inside(QDate(2026, 11, 7)));
    const qint64 normalOtherYear = ink(lastDecember, inside(QDate(2025, 12, 7)));
    QVERIFY2(normalOtherMonth > 0, "the number 7 is drawn");
    QCOMPARE(normalOtherYear, normalOtherMonth);
    QVERIFY2(bold * 4 > normalOtherMonth * 5,
             qPrintable(QStringLiteral("bold %1, normal %2").arg(bold).arg(normalOtherMonth)));
    // Another number of the current month is normal: 8 next to today looks like 8 elsewhere.
    QCOMPARE(ink(december, inside(QDate(2026, 12, 8))), ink(november, inside(QDate(2026, 11, 8))));

    // The sunken frame round the 15th: dark left and top, light right and bottom.
    const QColor dark = colours.color(QPalette::Dark);
    const QColor light = colours.color(QPalette::Light);
    const QColor face = colours.color(QPalette::Button);
    QVERIFY(dark != light && dark != face && light != face);
    const QRect frame = cal->grid().frameRect(QDate(2026, 12, 15)).translated(cal->gridOrigin());
    const int midY = frame.center().y();
    const int midX = frame.center().x();
    QCOMPARE(december.pixel(frame.left(), midY), dark.rgb());
    QCOMPARE(december.pixel(midX, frame.top()), dark.rgb());
    QCOMPARE(december.pixel(frame.right(), midY), light.rgb());
    QCOMPARE(december.pixel(midX, frame.bottom()), light.rgb());
    // No frame round today's cell.
    const QRect todays = cal->grid().frameRect(kToday).translated(cal->gridOrigin());
    QCOMPARE(december.pixel(todays.left(), todays.center().y()), face.rgb());
}

void tst_frmCalendar::frameMovesWithinMonth() {
    QDate date(2026, 12, 3);
    QImage before, after;
    QString headingAfter;
    pick(date, [&] {
        before = picMonth()->grab().toImage();
        QTest::keyClick(picMonth(), Qt::Key_Down); // the 10th
        after = picMonth()->grab().toImage();
        headingAfter = text("lblMonth");
        QTest::keyClick(picMonth(), Qt::Key_Escape);
    });
    const QPalette colours = picMonth()->palette();
    const QRect old = cal->grid().frameRect(QDate(2026, 12, 3)).translated(cal->gridOrigin());
    const QRect now = cal->grid().frameRect(QDate(2026, 12, 10)).translated(cal->gridOrigin());
    QCOMPARE(before.pixel(old.left(), old.center().y()), colours.color(QPalette::Dark).rgb());
    // Erased in the button face; drawn round the new day.
    for (QPoint p : {QPoint(old.left(), old.center().y()), QPoint(old.center().x(), old.top()),
                     QPoint(old.right(), old.center().y())})
        QCOMPARE(after.pixel(p), colours.color(QPalette::Button).rgb());
    QCOMPARE(after.pixel(now.left(), now.center().y()), colours.color(QPalette::Dark).rgb());
    QCOMPARE(after.pixel(now.center().x(), now.bottom()), colours.color(QPalette::Light).rgb());
    QCOMPARE(headingAfter, QStringLiteral("December 2026"));
}

QTEST_MAIN(tst_frmCalendar)
#include "tst_frmcalendar.moc"
