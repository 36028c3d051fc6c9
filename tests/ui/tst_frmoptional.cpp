#include "Fakes.h"
#include "TempProgramFolder.h"
#include "frmOptional.h"

#include "DateText.h"
#include "Dialogs.h"
#include "MessageFile.h"
#include "MessageRecord.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tavrel;

namespace {

const QDate kToday(2026, 12, 7);

} // namespace

class tst_frmOptional : public QObject {
    Q_OBJECT
public:
    test::FakeClock clock{QDateTime(kToday, QTime(10, 30))};
    test::FakeDialogs dialogs;
    const DateText dates;
    std::unique_ptr<test::TempProgramFolder> folder;
    MessageRecord CurrentMessage;
    QStringList calls; // what the dialog did to the composer, in order

    // The stored "Dentist": due tomorrow, no days prior, 02:00 pm to 05:00 pm.
    MessageRecord dentist() const {
        const QString due = dates.shortDate(kToday.addDays(1));
        return {due, QStringLiteral("Bring the card"), QStringLiteral("0"),
                due, QStringLiteral("02:00:00 pm"),    QStringLiteral("05:00:00 pm")};
    }
    // The composer showing `record` as `description`, unchanged.
    TimeWindowLink showing(const MessageRecord& record,
                           const QString& description = QStringLiteral("Dentist")) {
        TimeWindowLink link;
        link.cboSavedmessages = description;
        link.txtMessageName = description;
        link.txtmessage = record.messageText;
        link.txtDaysprior = record.daysPrior;
        link.lblchoosendate = record.finalDate;
        link.lblchoosenpriordate = record.priorDate;
        link.setTimeStores = [this](const QString& start, const QString& end) {
            calls << QStringLiteral("stores ") + start + QLatin1Char(' ') + end;
        };
        link.timeWindowIncluded = [this] {
            calls << QStringLiteral("included");
        };
        return link;
    }
    std::unique_ptr<frmOptional> open(const TimeWindowLink& link) {
        auto dialog = std::make_unique<frmOptional>(clock, dialogs, dates, folder->path(),
                                                    CurrentMessage, link);
        connect(dialog.get(), &QDialog::finished, this,
                [this] { calls << QStringLiteral("unloaded"); });
        return dialog;
    }
    static QString start(const frmOptional& d) {
        return d.findChild<QComboBox*>(QStringLiteral("cboTIMES"))->currentText();
    }
    static QString end(const frmOptional& d) {
        return d.findChild<QComboBox*>(QStringLiteral("cboTIMES2"))->currentText();
    }
    static void choose(frmOptional& d, const QString& from, const QString& to) {
        auto* first = d.findChild<QComboBox*>(QStringLiteral("cboTIMES"));
        auto* second = d.findChild<QComboBox*>(QStringLiteral("cboTIMES2"));
        first->setCurrentIndex(first->findText(from));
        second->setCurrentIndex(second->findText(to));
        QCOMPARE(first->currentText(), from);
        QCOMPARE(second->currentText(), to);
    }
    static void press(frmOptional& d, const char* button) {
        QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }

private slots:
    void init() {
        folder = std::make_unique<test::TempProgramFolder>();
        clock.set(kToday, QTime(10, 30));
        dialogs.boxes.clear();
        dialogs.whileOpen = [this](const test::ShownBox& box) {
            calls << QStringLiteral("box ") + box.title;
        };
        CurrentMessage = {};
        calls.clear();
    }
    void cleanup() { folder.reset(); }

    void lists();
    void preselection_data();
    void preselection();
    void storedMessageBecomesCurrent();
    void refusals_data();
    void refusals();
    void include();
    void nothingWrittenOtherwise_data();
    void nothingWrittenOtherwise();
    void showModal();
    void timeStoreText_data();
    void timeStoreText();
};

void tst_frmOptional::lists() {
    const auto dialog = open(showing(dentist(), QStringLiteral("New one")));
    const auto* first = dialog->findChild<QComboBox*>(QStringLiteral("cboTIMES"));
    const auto* second = dialog->findChild<QComboBox*>(QStringLiteral("cboTIMES2"));
    QCOMPARE(first->count(), 24);
    QCOMPARE(second->count(), 25);
    QCOMPARE(second->itemText(24), QStringLiteral("23:59"));
    QVERIFY(!first->isEditable());
    QVERIFY(!second->isEditable());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Optional settings"));
    QCOMPARE(dialog->focusWidget(), first);
}

void tst_frmOptional::preselection_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");

    QTest::newRow("unchanged stored message") << QString() << "14:00"
                                              << "17:00";
    QTest::newRow("new message") << "new"
                                 << "00:00"
                                 << "23:59";
    QTest::newRow("one character of the text changed") << "text"
                                                       << "00:00"
                                                       << "23:59";
    QTest::newRow("days prior changed") << "days"
                                        << "00:00"
                                        << "23:59";
    QTest::newRow("due date changed") << "due"
                                      << "00:00"
                                      << "23:59";
    QTest::newRow("description differs in case") << "name"
                                                 << "00:00"
                                                 << "23:59";
    QTest::newRow("stored start 11:59 pm has no start position") << "late"
                                                                 << "00:00"
                                                                 << "23:59";
    QTest::newRow("stored window unknown to the lists") << "odd"
                                                        << "00:00"
                                                        << "00:00";
    QTest::newRow("corrupted stored file") << "corrupt"
                                           << "00:00"
                                           << "23:59";
}

void tst_frmOptional::preselection() {
    QFETCH(QString, change);
    MessageRecord stored = dentist();
    if (change == QLatin1String("late")) {
        stored.startTime = QStringLiteral("11:59:00 pm");
        stored.endTime = QStringLiteral("11:59:00 pm");
    } else if (change == QLatin1String("odd")) {
        stored.startTime = QStringLiteral("02:30:00 pm");
        stored.endTime = QStringLiteral("12:00:00 am");
    }
    if (change == QLatin1String("corrupt"))
        folder->write(QStringLiteral("Dentist.tvr"), "\"only one field");
    else
        WriteMessageFile(folder->file(QStringLiteral("Dentist.tvr")), stored);

    TimeWindowLink link = showing(stored);
    if (change == QLatin1String("new")) {
        link.cboSavedmessages.clear();
        link.txtMessageName = QStringLiteral("Plumber");
    } else if (change == QLatin1String("text")) {
        link.txtmessage += QLatin1Char('!');
    } else if (change == QLatin1String("days")) {
        link.txtDaysprior = QStringLiteral("1");
    } else if (change == QLatin1String("due")) {
        link.lblchoosendate = dates.shortDate(kToday.addDays(2));
    } else if (change == QLatin1String("name")) {
        link.txtMessageName = QStringLiteral("dentist");
    } else if (change == QLatin1String("corrupt")) {
        // Even a record that would match must not be taken from a file that cannot be read.
        CurrentMessage = stored;
    }
    const auto dialog = open(link);
    QTEST(start(*dialog), "from");
    QTEST(end(*dialog), "to");
    QVERIFY(dialogs.boxes.isEmpty());
}

void tst_frmOptional::storedMessageBecomesCurrent() {
    WriteMessageFile(folder->file(QStringLiteral("Dentist.tvr")), dentist());
    TimeWindowLink link = showing(dentist());
    link.txtmessage = QStringLiteral("changed");
    open(link);
    QCOMPARE(CurrentMessage, dentist());

    // A corrupted file leaves the shared record as it was.
    folder->write(QStringLiteral("Dentist.tvr"), "\"a\",\"b\"");
    CurrentMessage = {};
    open(link);
    QCOMPARE(CurrentMessage, MessageRecord{});
}

void tst_frmOptional::refusals_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("dueInDays");
    QTest::addColumn<int>("firstShownInDays");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QString>("refusal"); // empty: accepted

    const QTime half(10, 30);
    const QString later = kStartLaterText;
    const QString equal = kEndNotHigherText;
    const QString past = kStartPastText;
    QTest::newRow("equal") << "05:00"
                           << "05:00" << 1 << 1 << half << equal;
    QTest::newRow("start later") << "06:00"
                                 << "05:00" << 1 << 1 << half << later;
    QTest::newRow("start later comes before past") << "06:00"
                                                   << "05:00" << 0 << 0 << half << later;
    QTest::newRow("equal comes before past") << "05:00"
                                             << "05:00" << 0 << 0 << half << equal;
    QTest::newRow("due today, start past") << "10:00"
                                           << "12:00" << 0 << 0 << half << past;
    QTest::newRow("due today, whole day") << "00:00"
                                          << "23:59" << 0 << 0 << half << past;
    QTest::newRow("due today, start ahead") << "11:00"
                                            << "12:00" << 0 << 0 << half << QString();
    QTest::newRow("due today, start in this minute")
        << "10:00"
        << "12:00" << 0 << 0 << QTime(10, 0, 59) << QString();
    QTest::newRow("due later, first shown today") << "10:00"
                                                  << "12:00" << 3 << 0 << half << past;
    QTest::newRow("due tomorrow") << "10:00"
                                  << "12:00" << 1 << 1 << half << QString();
    QTest::newRow("due tomorrow, late evening")
        << "00:00"
        << "23:59" << 1 << 1 << QTime(23, 59, 59) << QString();
}

void tst_frmOptional::refusals() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, dueInDays);
    QFETCH(int, firstShownInDays);
    QFETCH(QTime, now);
    QFETCH(QString, refusal);
    clock.set(kToday, now);
    MessageRecord composed = dentist();
    composed.finalDate = dates.shortDate(kToday.addDays(dueInDays));
    composed.priorDate = dates.shortDate(kToday.addDays(firstShownInDays));
    const auto dialog = open(showing(composed, QStringLiteral("Plumber")));
    choose(*dialog, from, to);
    press(*dialog, "cmdTIMEOK");

    QCOMPARE(dialogs.boxes.size(), 1);
    if (refusal.isEmpty()) {
        QCOMPARE(dialogs.boxes[0].text, kTimesIncludedText);
        QVERIFY(calls.contains(QStringLiteral("included")));
        return;
    }
    QCOMPARE(dialogs.boxes[0].text, refusal);
    QCOMPARE(dialogs.boxes[0].title, QStringLiteral("Tempus Fugit"));
    QCOMPARE(dialogs.boxes[0].style, MB::OK | MB::ICONWARNING);
    // Left open and unchanged; nothing reaches the composer.
    QCOMPARE(calls, QStringList({QStringLiteral("box Tempus Fugit")}));
    QCOMPARE(start(*dialog), from);
    QCOMPARE(end(*dialog), to);
}

void tst_frmOptional::include() {
    const MessageRecord stored = dentist();
    WriteMessageFile(folder->file(QStringLiteral("Dentist.tvr")), stored);
    const QStringList filesBefore = folder->entries();
    const QByteArray bytesBefore = folder->read(QStringLiteral("Dentist.tvr"));

    const auto dialog = open(showing(stored));
    choose(*dialog, QStringLiteral("09:00"), QStringLiteral("23:59"));
    press(*dialog, "cmdTIMEOK");

    // The stores first, then the dialog goes, then the box, then the focus moves.
    QCOMPARE(calls,
             QStringList({QStringLiteral("stores 09:00:00 23:59:00"), QStringLiteral("unloaded"),
                          QStringLiteral("box Tavrel"), QStringLiteral("included")}));
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].text, QStringLiteral("Timesetings included, save your message."));
    QCOMPARE(dialogs.boxes[0].title, QStringLiteral("Tavrel"));
    QCOMPARE(dialogs.boxes[0].style, MB::OK | MB::ICONINFORMATION);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(folder->entries(), filesBefore);
    QCOMPARE(folder->read(QStringLiteral("Dentist.tvr")), bytesBefore);
}

void tst_frmOptional::nothingWrittenOtherwise_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Never mind") << QStringLiteral("never mind");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("Escape") << QStringLiteral("escape");
}

void tst_frmOptional::nothingWrittenOtherwise() {
    QFETCH(QString, how);
    const auto dialog = open(showing(dentist(), QStringLiteral("Plumber")));
    dialog->show();
    choose(*dialog, QStringLiteral("11:00"), QStringLiteral("12:00"));
    if (how == QLatin1String("never mind"))
        press(*dialog, "cmdNevermind");
    else if (how == QLatin1String("close"))
        dialog->close();
    else
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QCOMPARE(calls, QStringList({QStringLiteral("unloaded")}));
    QVERIFY(!dialog->isVisible());
    QVERIFY(dialogs.boxes.isEmpty());
    QVERIFY(folder->entries().isEmpty());
}

void tst_frmOptional::showModal() {
    bool wasModal = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<frmOptional*>(QApplication::activeModalWidget());
        wasModal = dialog != nullptr;
        if (!dialog)
            return;
        choose(*dialog, QStringLiteral("11:00"), QStringLiteral("12:00"));
        press(*dialog, "cmdTIMEOK");
    });
    TimeWindowLink link = showing(dentist(), QStringLiteral("Plumber"));
    frmOptional::ShowModal(clock, dialogs, dates, folder->path(), CurrentMessage, link);
    QVERIFY(wasModal);
    QCOMPARE(calls, QStringList({QStringLiteral("stores 11:00:00 12:00:00"),
                                 QStringLiteral("box Tavrel"), QStringLiteral("included")}));
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_frmOptional::timeStoreText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("C") << QLocale::c() << QTime(14, 0) << "14:00:00";
    QTest::newRow("United States")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QTime(9, 0) << "9:00:00 AM";
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << QTime(23, 59)
                             << "23:59:00";
    QTest::newRow("Korea, where the time reads back badly")
        << QLocale(QLocale::Korean, QLocale::SouthKorea) << QTime(14, 0) << "14:00:00";
}

void tst_frmOptional::timeStoreText() {
    QFETCH(QLocale, locale);
    QFETCH(QTime, time);
    const DateText localDates(locale);
    const QString text = frmOptional::TimeStoreText(localDates, time);
    QTEST(text, "text");
    QCOMPARE(DateText::parseTime(text), time);
}

QTEST_MAIN(tst_frmOptional)
#include "tst_frmoptional.moc"
