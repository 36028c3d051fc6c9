#include "DateText.h"
#include "FieldReader.h"
#include "ProgramError.h"

#include <QTest>

using namespace tavrel;

class TestFieldReader : public QObject {
    Q_OBJECT
private slots:
    void fields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("quoted with comma and break")
            << QStringLiteral("\"a,b\r\nc\",\"d\"\r\n") << QStringList{"a,b\r\nc", "d"};
        QTest::newRow("empty line is one empty field")
            << QStringLiteral("\r\n\"x\"") << QStringList{"", "x"};
        QTest::newRow("lone CR and lone LF end fields")
            << QStringLiteral("a\rb\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("unquoted keeps inner blanks")
            << QStringLiteral("\t one two \t,three") << QStringList{"one two", "three"};
        QTest::newRow("quoted keeps its blanks")
            << QStringLiteral(" \" padded \" ,x") << QStringList{" padded ", "x"};
        QTest::newRow("empty quoted") << QStringLiteral("\"\",\"\"\r\n") << QStringList{"", ""};
    }
    void fields() {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        FieldReader reader(text);
        QStringList read;
        while (!reader.atEnd())
            read.append(reader.readField());
        QCOMPARE(read, fields);
    }

    void readingPastTheEndIs62() {
        FieldReader reader(QStringLiteral("\"only\"\r\n"));
        QCOMPARE(reader.readField(), QStringLiteral("only"));
        QVERIFY(reader.atEnd());
        QVERIFY_THROWS_EXCEPTION(ProgramError, reader.readField());
        FieldReader open(QStringLiteral("\"never closed"));
        try {
            open.readField();
            QFAIL("no error");
        } catch (const ProgramError& e) {
            QCOMPARE(e.code(), 62);
        }
    }

    // The timer file's lines: "#" time "#", comma, blank, quoted text, CR LF.
    void timerFileLines() {
        FieldReader reader(QStringLiteral("#02:30:00 pm#, \"Call the garage\"\r\n"
                                          "\r\n  #11:05:00 am#, \"two\r\nlines, here\"\r\n"));
        QStringList times;
        QStringList texts;
        while (!reader.atEnd()) {
            times.append(reader.readHashField());
            texts.append(reader.readField());
        }
        QCOMPARE(times, (QStringList{"02:30:00 pm", "11:05:00 am"}));
        QCOMPARE(texts, (QStringList{"Call the garage", "two\r\nlines, here"}));
        QCOMPARE(DateText::parseTime(times.first()), QTime(14, 30));
    }

    void badTimerFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("no hash") << QStringLiteral("02:30:00 pm, \"x\"") << 13;
        QTest::newRow("unclosed hash") << QStringLiteral("#02:30:00 pm, \"x\"") << 62;
        QTest::newRow("only line breaks") << QStringLiteral("\r\n\r\n") << 62;
    }
    void badTimerFields() {
        QFETCH(QString, text);
        QFETCH(int, code);
        FieldReader reader(text);
        try {
            reader.readHashField();
            QFAIL("no error");
        } catch (const ProgramError& e) {
            QCOMPARE(e.code(), code);
        }
    }
};

QTEST_GUILESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
