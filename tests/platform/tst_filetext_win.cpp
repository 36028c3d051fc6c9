#include "FileText.h"

#include <QTest>

#include <windows.h>

using namespace tavrel;

// Files in the ANSI code page. Wine, like a Western Windows, runs with code page 1252 here.
class TestFileTextWin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (GetACP() != 1252)
            QSKIP("the cases are written for Windows-1252");
    }

    void westernLettersAreOneByteEach() {
        QCOMPARE(EncodeFileText(QStringLiteral("Caf\u00e9 \u20ac5")), QByteArray("Caf\xe9 \x80"
                                                                                 "5"));
        QCOMPARE(DecodeFileText(QByteArray("Caf\xe9 \x80\x93ok\x94")),
                 QStringLiteral("Caf\u00e9 \u20ac\u201cok\u201d"));
        QVERIFY(UnencodableFileChars(QStringLiteral("Caf\u00e9 \u20ac5\r\n")).isEmpty());
    }

    // Neither written as "?" nor by a look-alike: each such character is named, once, in order.
    void charactersOutsideTheCodePageAreNamed() {
        QCOMPARE(UnencodableFileChars(QStringLiteral("\u03a9 and \u4e2d, \u03a9 again")),
                 QStringLiteral("\u03a9\u4e2d"));
        // A best-fit mapping (c with a caron would become a plain c) counts as missing.
        QCOMPARE(UnencodableFileChars(QStringLiteral("\u010d")), QStringLiteral("\u010d"));
        QCOMPARE(UnencodableFileChars(QStringLiteral("\U0001F600")), QStringLiteral("\U0001F600"));
        QVERIFY(!EncodeFileText(QStringLiteral("a\u03a9b")).contains('?'));
    }
};

QTEST_GUILESS_MAIN(TestFileTextWin)
#include "tst_filetext_win.moc"
