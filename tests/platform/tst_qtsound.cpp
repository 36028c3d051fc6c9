#include "QtSound.h"
#include "TempProgramFolder.h"

#include <QApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QTest>
#include <QtEndian>

using namespace tavrel;
using tavrel::test::TempProgramFolder;

namespace {

// A short, valid PCM wave file: 8 kHz, mono, 8 bit, `samples` samples of silence.
QByteArray waveBytes(quint32 samples) {
    QByteArray b;
    auto u32 = [&b](quint32 v) {
        const quint32 le = qToLittleEndian(v);
        b.append(reinterpret_cast<const char*>(&le), 4);
    };
    auto u16 = [&b](quint16 v) {
        const quint16 le = qToLittleEndian(v);
        b.append(reinterpret_cast<const char*>(&le), 2);
    };
    b.append("RIFF");
    u32(36 + samples);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    b.append("data");
    u32(samples);
    b.append(QByteArray(static_cast<qsizetype>(samples), '\x80'));
    return b;
}

} // namespace

class TestQtSound : public QObject {
    Q_OBJECT
private slots:
    void noOutputBeepsOnce() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("Tavrel.wav"), waveBytes(800));
        int beeps = 0;
        QtSoundPlayer player([] { return 0; }, [&beeps] { ++beeps; });
        player.PlaySoundCue(folder.file(QStringLiteral("Tavrel.wav")));
        QCOMPARE(beeps, 1);
        QVERIFY(!player.current());
    }

    void missingFileIsSilent() {
        TempProgramFolder folder;
        int beeps = 0;
        QtSoundPlayer player([] { return 1; }, [&beeps] { ++beeps; });
        player.PlaySoundCue(folder.file(QStringLiteral("Tavrel.wav")));
        QCOMPARE(beeps, 0);
        QVERIFY(!player.current());
    }

    void nextCueReplacesThePlayingOne() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("Tavrel.wav"), waveBytes(80000));
        folder.write(QStringLiteral("Saved.wav"), waveBytes(800));
        int beeps = 0;
        QtSoundPlayer player([] { return 1; }, [&beeps] { ++beeps; });

        player.PlaySoundCue(folder.file(QStringLiteral("Tavrel.wav")));
        const QPointer<QSoundEffect> first = player.current();
        QVERIFY(first);
        QCOMPARE(first->source(), QUrl::fromLocalFile(folder.file(QStringLiteral("Tavrel.wav"))));

        player.PlaySoundCue(folder.file(QStringLiteral("Saved.wav")));
        QVERIFY(!first); // stopped and gone
        QVERIFY(player.current());
        QCOMPARE(player.current()->source(),
                 QUrl::fromLocalFile(folder.file(QStringLiteral("Saved.wav"))));

        // A missing file still stops what was playing.
        const QPointer<QSoundEffect> second = player.current();
        player.PlaySoundCue(folder.file(QStringLiteral("missing.wav")));
        QVERIFY(!second);
        QVERIFY(!player.current());
        QCOMPARE(beeps, 0);
    }
};

QTEST_MAIN(TestQtSound)
#include "tst_qtsound.moc"
