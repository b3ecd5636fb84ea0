// Ending processes by executable name, tried on real child processes; the program's copy
// onto a player.

#include "platform/KillProgram.h"
#include "platform/ProcessTable.h"
#include "transfer/ProgramCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <csignal>
#include <cstdlib>

namespace {

// Set in the environment of a copy of this test started as a caller: it only runs
// KillProcessByName with the variable's value and exits with the count.
constexpr char callerVariable[] = "MELVO_TEST_KILL_AS_CALLER";

QString uniqueName() {
    return QStringLiteral("melvo-test-child-") +
           QString::number(QRandomGenerator::global()->generate64(), 36);
}

// A copy of program at path, executable; the process table shows it under that file name.
bool place(const QString& program, const QString& path) {
    return QDir().mkpath(QFileInfo(path).absolutePath()) && QFile::copy(program, path) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool listed(qint64 pid, const QString& name) {
    for (const ProcessEntry& process : RunningProcesses())
        if (process.Pid == pid)
            return process.ExecutableName == name;
    return false;
}

bool killedBySignal(QProcess& process) {
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::CrashExit &&
           process.exitCode() == SIGKILL;
}

} // namespace

class TestKillProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet(callerVariable))
            std::_Exit(KillProcessByName(qEnvironmentVariable(callerVariable)));
    }

    void nameRule() {
        struct Case {
            const char* executable;
            const char* exeName;
            bool matches;
        };
        for (const auto& [executable, exeName, matches] : {
                 Case{"Melvo.exe", "Melvo.exe", true}, Case{"melvo.exe", "MELVO.EXE", true},
                 Case{"C:\\Programs\\Melvo\\MELVO.exe", "Melvo.exe", true},
                 Case{"OldMelvo.exe", "melvo.exe", true}, // only the end is compared
                 Case{"Melvo.exe.bak", "Melvo.exe", false}, Case{"vo.exe", "Melvo.exe", false},
                 Case{"Melvo.exe", "", false}, // would otherwise be every process
             })
            QVERIFY2(ExecutableNameMatches(executable, exeName) == matches, executable);
    }

    void tableShowsThisProcess() {
        QVERIFY(listed(CurrentProcessId(),
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
    }

    void endsExactlyTheMatchingChildren() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = uniqueName();
        QVERIFY(place(QStringLiteral("/bin/sleep"), dir.filePath(name)));
        QVERIFY(place(QStringLiteral("/bin/sleep"), dir.filePath(name + 'x')));

        // QProcess ends a child still running when it is destroyed, so a failed check
        // leaves nothing behind.
        std::array<QProcess, 3> children;
        auto& [first, second, other] = children;
        first.start(dir.filePath(name), {"60"});
        second.start(dir.filePath(name), {"60"});
        other.start(dir.filePath(name + 'x'), {"60"});
        for (QProcess& child : children)
            QVERIFY(child.waitForStarted(5000));
        QVERIFY(listed(first.processId(), name));
        QVERIFY(listed(other.processId(), name + 'x'));

        QCOMPARE(KillProcessByName(name.toUpper()), 2);
        QVERIFY(killedBySignal(first));
        QVERIFY(killedBySignal(second));
        QVERIFY(!other.waitForFinished(300));
        QCOMPARE(other.state(), QProcess::Running);
        QCOMPARE(KillProcessByName(name), 0); // the ended ones are gone from the table

        QCOMPARE(KillProcessByName(QString()), 0);
        QCOMPARE(other.state(), QProcess::Running);
        other.kill();
        QVERIFY(other.waitForFinished(5000));
    }

    void callerSurvivesItsOwnName() {
        // A copy of this test under the children's name ends its sibling and lives on to
        // exit normally with the count.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = uniqueName();
        const QString callerPath = dir.filePath(QStringLiteral("caller/") + name);
        QVERIFY(place(QCoreApplication::applicationFilePath(), callerPath));
        QVERIFY(place(QStringLiteral("/bin/sleep"), dir.filePath(name)));

        std::array<QProcess, 2> children;
        auto& [sibling, caller] = children;
        sibling.start(dir.filePath(name), {"60"});
        QVERIFY(sibling.waitForStarted(5000));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(callerVariable, name.toUpper());
        caller.setProcessEnvironment(environment);
        caller.start(callerPath, {});
        QVERIFY(caller.waitForFinished(30000));
        QCOMPARE(caller.exitStatus(), QProcess::NormalExit);
        QCOMPARE(caller.exitCode(), 1);
        QVERIFY(killedBySignal(sibling));
    }

    void programCopiedOntoThePlayer() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString program = dir.filePath("melvo");
        QVERIFY(place(QStringLiteral("/bin/true"), program));
        const QString player = dir.filePath("ipod");
        QVERIFY(QDir().mkpath(player));
        // No database under the root: not a player, nothing written.
        QCOMPARE(CopyProgramTo(player, program).What, ProgramCopy::Outcome::NoPlayer);
        QCOMPARE(CopyProgramTo(QString(), program).What, ProgramCopy::Outcome::NoPlayer);
        QVERIFY(!QFile::exists(player + "/melvo"));

        QVERIFY(QDir().mkpath(player + "/iPod_Control/iTunes"));
        QFile database(player + "/iPod_Control/iTunes/iTunesDB");
        QVERIFY(database.open(QIODevice::WriteOnly) && database.write("mhbd") == 4);
        database.close();
        QCOMPARE(CopyProgramTo(player, program).What, ProgramCopy::Outcome::Copied);
        QCOMPARE(QFile::permissions(player + "/melvo"), QFile::permissions(program));
        QVERIFY(QFile::remove(program));
        const ProgramCopy missing = CopyProgramTo(player, program);
        QCOMPARE(missing.What, ProgramCopy::Outcome::Failed);
        QVERIFY(!missing.Message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKillProgram)
#include "test_killprogram.moc"
