#include "SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#endif

using namespace tavrel;

namespace {

// Started as a child with this variable set, the test binary takes the lock named in it, says
// so on stdout and waits to be killed.
const char* const kHolderVariable = "TAVREL_TEST_LOCK_HOLDER";

int holdLock(const QString& path) {
    SingleInstance instance(path);
    if (!instance.tryAcquire())
        return 1;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    char line[8];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

#ifndef Q_OS_WIN
// A process id nobody uses right now.
qint64 unusedPid() {
    for (qint64 pid = 4000000; pid > 1000; pid -= 7919) {
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            return pid;
    }
    return -1;
}
#endif

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefusedWhileTheFirstRuns() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavrel.lock"));
        {
            SingleInstance first(path);
            QVERIFY(first.tryAcquire());
            QVERIFY(first.tryAcquire()); // asking again keeps it
            SingleInstance second(path);
            QVERIFY(!second.tryAcquire());
        }
        // The first copy has ended: the next one starts.
        SingleInstance third(path);
        QVERIFY(third.tryAcquire());
    }

    void lockOfAKilledCopyIsTakenOver() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavrel.lock"));
        QProcess holder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kHolderVariable), path);
        holder.setProcessEnvironment(env);
        holder.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held")); // CR LF on Windows

        SingleInstance whileAlive(path);
        QVERIFY(!whileAlive.tryAcquire());

        holder.kill(); // SIGKILL: no chance to remove its lock file
        QVERIFY(holder.waitForFinished());
#ifndef Q_OS_WIN
        QVERIFY(QFileInfo::exists(path));
#endif

        SingleInstance next(path);
        QVERIFY(next.tryAcquire());
    }

#ifdef Q_OS_WIN
    // A named mutex of the user's own session, named after the user.
    void defaultNameIsTheUsers() {
        QCOMPARE(SingleInstance::defaultLockPath(),
                 QStringLiteral("Tavrel-") + qEnvironmentVariable("USERNAME"));
        SingleInstance first;
        QVERIFY(first.tryAcquire());
        SingleInstance second;
        QVERIFY(!second.tryAcquire());
        first.release();
        QVERIFY(second.tryAcquire());
    }
#else
    void lockFileOfAnotherProcess_data() {
        QTest::addColumn<bool>("holderAlive");
        QTest::addColumn<bool>("acquired");
        QTest::newRow("holder gone") << false << true;
        QTest::newRow("holder running") << true << false;
    }
    void lockFileOfAnotherProcess() {
        QFETCH(bool, holderAlive);
        QFETCH(bool, acquired);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavrel.lock"));
        const qint64 pid = holderAlive ? QCoreApplication::applicationPid() : unusedPid();
        QVERIFY(pid > 0);
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() +
                   '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
        lock.close();

        SingleInstance instance(path);
        QCOMPARE(instance.tryAcquire(), acquired);
    }
#endif
};

int main(int argc, char** argv) {
    const QString holderPath = qEnvironmentVariable(kHolderVariable);
    if (!holderPath.isEmpty()) {
        QCoreApplication app(argc, argv);
        return holdLock(holderPath);
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
