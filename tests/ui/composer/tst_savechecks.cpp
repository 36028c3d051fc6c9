#include "DateText.h"
#include "Dialogs.h"
#include "FileText.h"
#include "MessageTextForm.h"
#include "ProgramError.h"
#include "SaveChecks.h"

#include <QTest>

using namespace tavrel;

namespace {

const QDate kToday(2026, 12, 7);
const DateText kDates{QLocale(QLocale::English, QLocale::UnitedKingdom)};

QString day(int offset) {
    return kDates.shortDate(kToday.addDays(offset));
}

// A composer that passes every check: due in six days, two days prior, no window.
ComposerFields goodFields() {
    ComposerFields f;
    f.txtMessageName = QStringLiteral("Dentist");
    f.txtmessage = QStringLiteral("Bring the card");
    f.lblchoosendate = day(6);
    f.txtDaysprior = QStringLiteral("2");
    f.lblDaysprior = day(4);
    f.lblchoosenpriordate = day(4);
    f.lblHIDDENstart = QStringLiteral("00:00");
    f.lblHIDDENeinde = QStringLiteral("00:00");
    return f;
}

std::optional<SaveRefusal> check(const ComposerFields& f) {
    return CheckSave(f, FillMessageRecord(f), kToday, kDates);
}

const QString kBox3 = QStringLiteral("The following characters are not allowed in a description: "
                                     "\r\n\\ / : * ? \" < > |");

} // namespace

Q_DECLARE_METATYPE(tavrel::ComposerFields)

class TestSaveChecks : public QObject {
    Q_OBJECT

private slots:
    void stringChk_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");
        QTest::newRow("clean") << "Dentist at ten"
                               << "";
        QTest::newRow("parent folder") << "../x"
                                       << "/";
        QTest::newRow("sub folder") << "a/b"
                                    << "/";
        QTest::newRow("device") << "con:"
                                << ":";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"\"";
        QTest::newRow("text order, each time") << "|a\\b:c*?|"
                                               << "|\\:*?|";
        QTest::newRow("all nine") << "<>\\/:*?\"|"
                                  << "<>\\/:*?\"|";
        QTest::newRow("empty") << ""
                               << "";
    }
    void stringChk() {
        QFETCH(QString, text);
        QFETCH(QString, found);
        QCOMPARE(StringChk(text, kForbiddenDescriptionChars), found);
    }

    void fillMessageRecord_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("daysPrior");
        QTest::addColumn<QString>("priorDate");
        QTest::addColumn<QString>("startTime");
        QTest::addColumn<QString>("endTime");
        QTest::newRow("no window") << day(4) << "00:00"
                                   << "00:00"
                                   << "2" << day(4) << "12:00:00 am"
                                   << "12:00:00 am";
        QTest::newRow("zero days: the due date twice") << "Days prior:"
                                                       << "00:00"
                                                       << "00:00"
                                                       << "0" << day(6) << "12:00:00 am"
                                                       << "12:00:00 am";
        QTest::newRow("morning") << day(4) << "09:00:00"
                                 << "10:00:00"
                                 << "2" << day(4) << "09:00:00 am"
                                 << "10:00:00 am";
        QTest::newRow("US time text") << day(4) << "9:00:00 AM"
                                      << "1:00:00 PM"
                                      << "2" << day(4) << "09:00:00 am"
                                      << "01:00:00 pm";
        QTest::newRow("last minute") << day(4) << "13:00"
                                     << "23:59"
                                     << "2" << day(4) << "01:00:00 pm"
                                     << "11:59:00 pm";
    }
    void fillMessageRecord() {
        QFETCH(QString, label);
        QFETCH(QString, start);
        QFETCH(QString, end);
        ComposerFields f = goodFields();
        f.lblDaysprior = label;
        f.lblHIDDENstart = start;
        f.lblHIDDENeinde = end;
        f.txtmessage = QStringLiteral("line one\r\nline two");
        const MessageRecord r = FillMessageRecord(f);
        QCOMPARE(r.finalDate, day(6));
        QCOMPARE(r.messageText, QStringLiteral("line one\r\nline two"));
        QTEST(r.daysPrior, "daysPrior");
        QTEST(r.priorDate, "priorDate");
        QTEST(r.startTime, "startTime");
        QTEST(r.endTime, "endTime");
    }

    void unreadableTimeIsTypeMismatch() {
        ComposerFields f = goodFields();
        f.lblHIDDENeinde = QStringLiteral("lblHIDDENeinde");
        QVERIFY_THROWS_EXCEPTION(ProgramError, FillMessageRecord(f));
    }

    // Each row breaks one or more checks; the first check in the save's order wins.
    void refusals_data() {
        QTest::addColumn<ComposerFields>("fields");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<uint>("style");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("optional");

        const QString poetic = QStringLiteral("Be poetic...");
        const QString ahead = QStringLiteral("Don't look back: look ahead!");
        const uint info = MB::ICONINFORMATION;
        const uint stop = MB::ICONSTOP;
        const QString box1 = QStringLiteral("Enter a short description for your message here...");
        const QString box4 =
            QStringLiteral("The DATE setting is incorrect. (Date is in the past) Please adjust. ");
        const QString box5 = QStringLiteral(
            "The PRIOR DAYS setting is incorrect. (Date is in the past) Please adjust. ");
        const QString box6 = QStringLiteral("Please include a time-setting for your message.");
        const int name = int(SaveFocus::txtMessageName);

        ComposerFields f = goodFields();
        f.txtMessageName = QStringLiteral("Alter this...");
        f.txtmessage = QString();
        f.lblchoosendate = day(-1);
        QTest::newRow("placeholder description first")
            << f << box1 << poetic << info << name << true << false;
        f = goodFields();
        f.txtMessageName = QString();
        QTest::newRow("empty description") << f << box1 << poetic << info << name << true << false;

        f = goodFields();
        f.txtmessage = QStringLiteral("Alter this...");
        f.txtMessageName = QStringLiteral("a/b");
        QTest::newRow("placeholder text before characters")
            << f << "Enter your message" << poetic << info << int(SaveFocus::txtmessage) << true
            << false;
        f.txtmessage = QString();
        QTest::newRow("empty text") << f << "Enter your message" << poetic << info
                                    << int(SaveFocus::txtmessage) << true << false;

        f = goodFields();
        f.txtmessage = QStringLiteral("say \"hi\"");
        f.txtMessageName = QStringLiteral("a:b");
        QTest::newRow("quote in text before description characters")
            << f << "The following character is not allowed in a message: \r\n\""
            << "Snorry!" << stop << int(SaveFocus::txtmessage) << false << false;

        for (const char* bad :
             {"../x", "a/b", "con:", "a\"b", "a\\b", "*", "what?", "<a>", "a|b"}) {
            f = goodFields();
            f.txtMessageName = QString::fromUtf8(bad);
            f.lblchoosendate = day(-1); // the characters come before the date
            QTest::newRow(bad) << f << kBox3 << "Snorry!" << stop << name << true << false;
        }

        f = goodFields();
        f.txtMessageName = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("nul") << f << kBox3 << "Snorry!" << stop << name << true << false;
        f.txtMessageName = QStringLiteral("line\nbreak");
        QTest::newRow("line feed") << f << kBox3 << "Snorry!" << stop << name << true << false;

        f = goodFields();
        f.lblchoosendate = day(-1);
        f.lblchoosenpriordate = day(-3);
        QTest::newRow("due yesterday before prior")
            << f << box4 << ahead << info << int(SaveFocus::cmdcalendar) << false << false;

        f = goodFields();
        f.lblchoosendate = day(3);
        f.txtDaysprior = QStringLiteral("5");
        f.lblDaysprior = f.lblchoosenpriordate = day(-2);
        QTest::newRow("due in 3, 5 prior")
            << f << box5 << ahead << info << int(SaveFocus::txtDaysprior) << true << false;

        f = goodFields();
        f.lblchoosendate = f.lblchoosenpriordate = day(0);
        f.lblDaysprior = QStringLiteral("Days prior:");
        f.txtDaysprior = QStringLiteral("0");
        QTest::newRow("today without window")
            << f << box6 << "When today?" << info << name << false << true;
        f.lblHIDDENstart = QStringLiteral("9:00:00 AM");
        f.lblHIDDENeinde = QStringLiteral("09:00");
        QTest::newRow("equal to the minute")
            << f << box6 << "When today?" << info << name << false << true;

        f = goodFields();
        f.lblchoosendate = day(2);
        f.lblDaysprior = f.lblchoosenpriordate = day(0);
        QTest::newRow("first day today without window")
            << f << box6 << "When today?" << info << name << false << true;
    }
    void refusals() {
        QFETCH(ComposerFields, fields);
        const std::optional<SaveRefusal> r = check(fields);
        QVERIFY(r.has_value());
        QTEST(r->box.text, "text");
        QTEST(r->box.title, "title");
        QTEST(uint(r->box.style), "style");
        if (!r->openOptionalTime)
            QTEST(int(r->focus), "focus");
        QTEST(r->selectText, "select");
        QTEST(r->openOptionalTime, "optional");
    }

    void accepted_data() {
        QTest::addColumn<ComposerFields>("fields");
        QTest::newRow("due in six, two prior") << goodFields();
        ComposerFields f = goodFields();
        f.txtMessageName = QStringLiteral("   ");
        QTest::newRow("blank description") << f;
        f = goodFields();
        f.lblchoosendate = f.lblchoosenpriordate = day(0);
        f.lblDaysprior = QStringLiteral("Days prior:");
        f.lblHIDDENstart = QStringLiteral("09:00");
        f.lblHIDDENeinde = QStringLiteral("10:00");
        QTest::newRow("today with window") << f;
        f = goodFields();
        f.txtMessageName = QStringLiteral("..");
        QTest::newRow("dots") << f;
    }
    void accepted() {
        QFETCH(ComposerFields, fields);
        QVERIFY(!check(fields).has_value());
    }

    // A character the file code page cannot hold (Greek and Chinese outside Windows-1252) is
    // refused, named in the box, never written as "?"; where files are UTF-8 it is saved.
    void charactersTheFilesCannotHold() {
        const QString foreign = QStringLiteral("\u03a9\u4e2d");
        const bool refused = !UnencodableFileChars(foreign).isEmpty();
        ComposerFields f = goodFields();
        f.txtmessage = QStringLiteral("Bring \u03a9 and \u4e2d, \u03a9 again, Caf\u00e9");
        f.txtMessageName = QStringLiteral("a:b"); // the text is checked first
        std::optional<SaveRefusal> r = check(f);
        QVERIFY(r.has_value());
        if (refused) {
            QCOMPARE(r->box.text, QStringLiteral("The following characters are not allowed in a "
                                                 "message: \r\n\u03a9 \u4e2d"));
            QCOMPARE(r->box.title, QStringLiteral("Snorry!"));
            QCOMPARE(int(r->focus), int(SaveFocus::txtmessage));
        } else {
            QCOMPARE(r->box.text, kBox3);
        }

        f = goodFields();
        f.txtMessageName = QStringLiteral("Trip to \u4e2d");
        f.lblchoosendate = day(-1); // the description comes before the date
        r = check(f);
        QVERIFY(r.has_value());
        if (refused) {
            QCOMPARE(r->box.text, QStringLiteral("The following characters are not allowed in a "
                                                 "description: \r\n\u4e2d"));
            QCOMPARE(int(r->focus), int(SaveFocus::txtMessageName));
            QVERIFY(r->selectText);
        } else {
            QCOMPARE(int(r->focus), int(SaveFocus::cmdcalendar));
        }
    }

    void unreadableDateIsTypeMismatch() {
        ComposerFields f = goodFields();
        f.lblchoosenpriordate = QStringLiteral("lblchoosenpriordate");
        QVERIFY_THROWS_EXCEPTION(ProgramError, check(f));
    }

    void findSavedDescription() {
        const QStringList entries{QStringLiteral("Milk"), QStringLiteral("Bread")};
        QCOMPARE(FindSavedDescription(entries, QStringLiteral("Bread")), 1);
        QCOMPARE(FindSavedDescription(entries, QStringLiteral("milk")), -1);
        QCOMPARE(FindSavedDescription(entries, QStringLiteral("Milk ")), -1);
        const BoxText q = OverwriteQuestion();
        QCOMPARE(q.text, QStringLiteral("Do you want to overwrite existing message?"));
        QCOMPARE(q.title, QStringLiteral("Be careful..."));
        QCOMPARE(q.style, 0x41u);
    }

    void messageTextForm() {
        QCOMPARE(StoredLength(QStringLiteral("ab\ncd")), 6);
        QCOMPARE(ToFileText(QStringLiteral("a\nb\n")), QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(FromFileText(QStringLiteral("a\r\nb\rc")), QStringLiteral("a\nb\nc"));
    }
};

QTEST_GUILESS_MAIN(TestSaveChecks)
#include "tst_savechecks.moc"
