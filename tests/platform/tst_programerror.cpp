#include "ProgramError.h"

#include <QTest>

using namespace tavrel;

class TestProgramError : public QObject {
    Q_OBJECT
private slots:
    void numberText_data() {
        QTest::addColumn<long long>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("53") << 53LL << " 53";
        QTest::newRow("zero") << 0LL << " 0";
        QTest::newRow("negative") << -5LL << "-5";
        QTest::newRow("50003") << 50003LL << " 50003";
    }
    void numberText() {
        QFETCH(long long, n);
        QFETCH(QString, text);
        QCOMPARE(NumberText(n), text);
    }

    void genericErrorText() {
        const ProgramError e(53, QStringLiteral("File not found"));
        QCOMPARE(GenericErrorText(e, QStringLiteral("sub Main")),
                 QStringLiteral("An Error was generated:\r\n\r\nDescription:\r\n"
                                "Error 53 - File not found\r\nsub Main\r\n\r\n"
                                "Please inform the author with the error description above."));
    }

    void knownCodesHaveDescriptions() {
        for (int code : {13, 53, 61, 62, 70, 75, 339, 401, 50003})
            QVERIFY2(!ProgramError(code).description().isEmpty(),
                     qPrintable(QString::number(code)));
        QCOMPARE(ProgramError(62).description(), QStringLiteral("Input past end of file"));
        QCOMPARE(ProgramError(13).code(), 13);
    }
};

QTEST_GUILESS_MAIN(TestProgramError)
#include "tst_programerror.moc"
