// The composer's save on a real full disk and in a real read-only folder: the generic error box
// naming "cmdSaveMessage_Click", the previous file byte for byte, the list as it was, no stray
// file; and once there is room again the same save goes through.
#include "../ui/composer/ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageFile.h"
#include "PrivateTmpfs.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace tavrel;
using namespace tavrel::test;

namespace {

QString genericBox(const QString& codeAndDescription) {
    return QStringLiteral("An Error was generated:\r\n\r\nDescription:\r\nError ") +
           codeAndDescription +
           QStringLiteral("\r\ncmdSaveMessage_Click\r\n\r\nPlease inform the author with the "
                          "error description above.");
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private:
    static void addFaultRows() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("error");
        QTest::newRow("full disk") << false << QStringLiteral("61 - Disk full");
        QTest::newRow("read-only folder") << true << QStringLiteral("70 - Permission denied");
    }

private slots:
    void overwriting_data() { addFaultRows(); }
    void overwriting() {
        QFETCH(bool, readOnly);
        QFETCH(QString, error);
        ComposerFixture f;
        PrivateTmpfs fs(16 * 1024, f.folder.path());
        TMPFS_OR_SKIP(fs);
        f.writeMessage(QStringLiteral("Milk"), f.record(4, 0, QStringLiteral("old")));
        const QByteArray old = fs.read(QStringLiteral("Milk.tvr"));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        f.compose(QStringLiteral("Milk"), QString(250, QLatin1Char('n')), 5);
        QVERIFY(readOnly ? fs.remountReadOnly() : fs.fill(QStringLiteral("filler")) > 0);
        const QStringList before = fs.entries();

        f.dialogs.answers = {IDOK};
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[1].text, genericBox(error));
        QCOMPARE(f.dialogs.boxes[1].title, QStringLiteral("Error"));
        QCOMPARE(f.dialogs.boxes[1].style, 0u);
        QCOMPARE(fs.read(QStringLiteral("Milk.tvr")), old);
        QCOMPARE(fs.entries(), before);
        QCOMPARE(f.listEntries(), QStringList{QStringLiteral("Milk")});
        QVERIFY(f.sound.played.isEmpty());
        QCOMPARE(f.endProgramCalls, 0);

        if (readOnly)
            return;
        // Room again: the very same composer saves.
        QVERIFY(QFile::remove(fs.file(QStringLiteral("filler"))));
        f.dialogs.answers = {IDOK};
        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 3);
        QCOMPARE(fs.read(QStringLiteral("Milk.tvr")),
                 EncodeMessageRecord(f.record(5, 0, QString(250, QLatin1Char('n')))));
        QCOMPARE(f.listEntries(), QStringList{QStringLiteral("Milk")});
        QCOMPARE(fs.entries(), QStringList{QStringLiteral("Milk.tvr")});
    }

    void newMessage_data() { addFaultRows(); }
    void newMessage() {
        QFETCH(bool, readOnly);
        QFETCH(QString, error);
        ComposerFixture f;
        PrivateTmpfs fs(16 * 1024, f.folder.path());
        TMPFS_OR_SKIP(fs);
        f.writeMessage(QStringLiteral("Milk"), f.record(4));
        frmmain& w = f.load();
        w.addSavedMessage(QStringLiteral("Milk"));
        f.compose(QStringLiteral("Bins"), QString(250, QLatin1Char('b')), 6);
        QVERIFY(readOnly ? fs.remountReadOnly() : fs.fill(QStringLiteral("filler")) > 0);
        const QStringList before = fs.entries();

        w.cmdSaveMessage_Click();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, genericBox(error));
        QCOMPARE(fs.entries(), before);
        QCOMPARE(f.listEntries(), QStringList{QStringLiteral("Milk")});
        QCOMPARE(f.endProgramCalls, 0);
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
