#include "TempProgramFolder.h"
#include "WinSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace tavrel;
using tavrel::test::TempProgramFolder;

class TestWinSound : public QObject {
    Q_OBJECT

    struct Played {
        QString path;
        unsigned flags = 0;
    };

private slots:
    void noOutputBeepsOnce() {
        int beeps = 0;
        QList<Played> played;
        WinSoundPlayer player([] { return 0u; }, [&beeps] { ++beeps; },
                              [&played](const QString& p, unsigned f) {
                                  played.append({p, f});
                              });
        player.PlaySoundCue(QStringLiteral("C:/Tools/Tavrel/Tavrel.wav"));
        QCOMPARE(beeps, 1);
        QVERIFY(played.isEmpty());
    }

    // Asynchronous, no default sound, a file name: the call returns at once, a missing file is
    // silent and a new cue replaces the one playing. The path is handed over in Windows form.
    void outputPlaysTheFileAsynchronously() {
        int beeps = 0;
        QList<Played> played;
        WinSoundPlayer player([] { return 2u; }, [&beeps] { ++beeps; },
                              [&played](const QString& p, unsigned f) {
                                  played.append({p, f});
                              });
        player.PlaySoundCue(QStringLiteral("C:/Tools/Tavrel/Tavrel.wav"));
        player.PlaySoundCue(QStringLiteral("C:/Tools/Tavrel/Saved.wav"));
        QCOMPARE(beeps, 0);
        QCOMPARE(played.size(), 2);
        QCOMPARE(played[0].path, QStringLiteral("C:\\Tools\\Tavrel\\Tavrel.wav"));
        QCOMPARE(played[1].path, QStringLiteral("C:\\Tools\\Tavrel\\Saved.wav"));
        QCOMPARE(played[0].flags, 0x20003u);
    }

    // The system's own calls: with or without a device, a cue returns at once, and a missing
    // file brings no error.
    void realCallsReturnAtOnce() {
        TempProgramFolder folder;
        const QString cue =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Tavrel.wav");
        WinSoundPlayer player;
        QElapsedTimer timer;
        timer.start();
        if (QFile::exists(cue))
            player.PlaySoundCue(cue);
        player.PlaySoundCue(folder.file(QStringLiteral("missing.wav")));
        QVERIFY(timer.elapsed() < 2000);
    }
};

QTEST_GUILESS_MAIN(TestWinSound)
#include "tst_winsound.moc"
