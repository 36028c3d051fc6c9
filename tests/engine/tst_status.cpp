#include "EngineRig.h"

#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void status_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("title");
        const QString none = QStringLiteral("You have no messages waiting today.");
        QTest::newRow("no timer file")
            << false << QByteArray() << QStringList{none} << "Status 7-12-2026";
        // A passed time is still reported: the report does not look at the clock.
        QTest::newRow("two entries")
            << true << QByteArray("#02:30:00 pm#, \"A\"\r\n#08:00:00 am#, \"B\"\r\n")
            << QStringList{QStringLiteral("You have an upcoming message at:\r\n----- 14:30:00"),
                           QStringLiteral("You have an upcoming message at:\r\n----- 08:00:00")}
            << "Status for 7-12-2026";
        QTest::newRow("second line unreadable")
            << true << QByteArray("#02:30:00 pm#, \"A\"\r\n#later#, \"B\"\r\n") << QStringList{none}
            << "Status 7-12-2026";
        QTest::newRow("empty file") << true << QByteArray() << QStringList() << QString();
    }
    void status() {
        QFETCH(bool, fileExists);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, texts);
        QFETCH(QString, title);
        EngineRig rig;
        if (fileExists)
            rig.folder.write(QStringLiteral("Timerfile"), bytes);
        rig.engine.ShowStatus();
        QCOMPARE(rig.texts(), texts);
        for (const ShownBox& box : rig.dialogs.boxes) {
            QCOMPARE(box.title, title);
            QCOMPARE(box.style, 0x40u);
        }
    }

    void statusReplacesTheTable() {
        EngineRig rig;
        rig.engine.timerEntries = {{QTime(8, 0), QStringLiteral("a")},
                                   {QTime(9, 0), QStringLiteral("b")}};
        rig.engine.timerEntryCount = 2;
        rig.folder.write(QStringLiteral("Timerfile"), "#04:00:00 pm#, \"New\"\r\n");
        rig.engine.ShowStatus();
        QCOMPARE(rig.engine.timerEntryCount, 1);
        QCOMPARE(rig.engine.timerEntries.at(0).text, QStringLiteral("New"));
    }
};

QTEST_GUILESS_MAIN(TestStatus)
#include "tst_status.moc"
