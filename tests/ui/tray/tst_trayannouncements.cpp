#include "TrayHost.h"

#include <QTest>

#include <xcb/xcb.h>

using namespace tavrel;

// X11 only: how a tray that comes late is heard on the X server.
class TestTrayAnnouncements : public QObject {
    Q_OBJECT
private slots:
    // A tray that takes the selection (atom 301) announces it in a MANAGER client message (atom
    // 300) to the root window: time, selection, the tray's window.
    void trayAnnouncements_data() {
        QTest::addColumn<QByteArray>("eventType");
        QTest::addColumn<int>("responseType");
        QTest::addColumn<int>("format");
        QTest::addColumn<uint>("type");
        QTest::addColumn<QList<uint>>("data");
        QTest::addColumn<bool>("heard");
        const QByteArray xcb = "xcb_generic_event_t";
        const int sent = XCB_CLIENT_MESSAGE | 0x80;
        QTest::newRow("sent announcement")
            << xcb << sent << 32 << 300u << QList<uint>{5000, 301, 77} << true;
        QTest::newRow("announcement not sent")
            << xcb << int(XCB_CLIENT_MESSAGE) << 32 << 300u << QList<uint>{5000, 301, 77} << true;
        QTest::newRow("another screen's tray")
            << xcb << sent << 32 << 300u << QList<uint>{5000, 302, 77} << false;
        QTest::newRow("selection where the time goes")
            << xcb << sent << 32 << 300u << QList<uint>{301, 5000, 77} << false;
        QTest::newRow("selection where the window goes")
            << xcb << sent << 32 << 300u << QList<uint>{5000, 77, 301} << false;
        QTest::newRow("another message")
            << xcb << sent << 32 << 299u << QList<uint>{5000, 301, 77} << false;
        QTest::newRow("bytes, not words")
            << xcb << sent << 8 << 300u << QList<uint>{5000, 301, 77} << false;
        QTest::newRow("not a client message")
            << xcb << int(XCB_PROPERTY_NOTIFY) << 32 << 300u << QList<uint>{5000, 301, 77} << false;
        QTest::newRow("not an X event") << QByteArray("windows_generic_MSG") << sent << 32 << 300u
                                        << QList<uint>{5000, 301, 77} << false;
    }
    void trayAnnouncements() {
        QFETCH(QByteArray, eventType);
        QFETCH(int, responseType);
        QFETCH(int, format);
        QFETCH(uint, type);
        QFETCH(QList<uint>, data);
        QFETCH(bool, heard);
        xcb_client_message_event_t event{};
        event.response_type = uint8_t(responseType);
        event.format = uint8_t(format);
        event.window = 1;
        event.type = type;
        for (qsizetype i = 0; i < data.size(); ++i)
            event.data.data32[i] = data[i];
        int times = 0;
        TrayAnnouncements announcements(300, 301, [&] { ++times; });
        // Never taken from the toolkit, which follows the tray by the same message.
        QVERIFY(!announcements.nativeEventFilter(eventType, &event, nullptr));
        QCOMPARE(times, heard ? 1 : 0);
    }
};

QTEST_MAIN(TestTrayAnnouncements)
#include "tst_trayannouncements.moc"
