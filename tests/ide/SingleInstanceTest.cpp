#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "Registry.h"
#include "SingleInstance.h"
#include "TestFolders.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

const QString kLockName = QStringLiteral("Tolvane-{5B1C3E70-2A9D-4F16-9C3B-7E2D40A1C8F5}");
const QString kProbeName = QStringLiteral("UWM_IS_APPLICATION_RUNNING-{5B1C3E70-2A9D-4F16-9C3B-7E2D40A1C8F5}");

class SingleInstance : public testing::Test {
protected:
    ~SingleInstance() override
    {
        for (auto& process : processes_)
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(2000);
            }
    }

    using Environment = std::function<void(QProcessEnvironment&)>;

    QProcess& start(const Environment& adjust = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TOLVANE_TEST_FRONT_REPORT"), report());
        if (adjust)
            adjust(environment);
        process->setProcessEnvironment(environment);
        process->setProgram(QStringLiteral(OSTRAVEL_PATH));
        process->start();
        EXPECT_TRUE(process->waitForStarted(5000));
        processes_.push_back(std::move(process));
        return *processes_.back();
    }

    // A user of their own home and no runtime folder.
    Environment user(const char* name) const
    {
        return [home = homeOf(name)](QProcessEnvironment& environment) {
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            environment.remove(QStringLiteral("XDG_CACHE_HOME"));
            environment.insert(QStringLiteral("HOME"), home);
        };
    }

    // The first instance listens once its window is up.
    bool waitUntilListening(const QProcess& process, const QString& folder = {})
    {
        const QString socket = (folder.isEmpty() ? folders.runtime() : folder) + QLatin1Char('/') + kProbeName;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && process.state() == QProcess::Running) {
            if (QFile::exists(socket))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Exit code, or -1 when it did not end within the time.
    static int exitWithin(QProcess& process, int milliseconds)
    {
        if (!process.waitForFinished(milliseconds))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

    QString report() const { return folders.file("front-report"); }
    QByteArray reported() const { return fileContents(report()); }
    QByteArray reportedWithin(int milliseconds) const
    {
        QElapsedTimer clock;
        clock.start();
        while (reported().isEmpty() && clock.elapsed() < milliseconds)
            QThread::msleep(20);
        return reported();
    }

    std::unique_ptr<RegistryKey> settingsKey()
    {
        return RegistryKey::open(RegistryRoot::CurrentUser, "\\Software\\Quorin Semiconductor\\Tolvane\\", true);
    }

    // Short, as the probe socket's path must fit in a socket address.
    QString homeOf(const char* name) const { return homes_.path() + QLatin1Char('/') + QLatin1String(name); }

    ScopedTestFolders folders;
    QTemporaryDir homes_{QDir::tempPath() + QStringLiteral("/tv-XXXXXX")};
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(SingleInstance, ASecondStartRestoresTheMinimisedFirstAndEnds)
{
    settingsKey()->writeInteger("State", 1);
    QProcess& first = start();
    ASSERT_TRUE(waitUntilListening(first));
    QProcess& second = start();
    EXPECT_EQ(exitWithin(second, 1000), 0);
    EXPECT_EQ(reportedWithin(2000), "front minimized normal\n");
    EXPECT_EQ(first.state(), QProcess::Running);

    QProcess& third = start();
    EXPECT_EQ(exitWithin(third, 1000), 0);
}

TEST_F(SingleInstance, AllowingMultipleInstancesLetsBothRun)
{
    settingsKey()->writeBool("AllowMultipleInstances", true);
    QProcess& first = start();
    QProcess& second = start();
    EXPECT_EQ(exitWithin(first, 1500), -1);
    EXPECT_EQ(exitWithin(second, 100), -1);
    EXPECT_FALSE(QFile::exists(folders.runtime() + QLatin1Char('/') + kLockName));
    EXPECT_TRUE(reported().isEmpty());
}

TEST_F(SingleInstance, TheLockOfAKilledInstanceDoesNotBlock)
{
    QProcess& killed = start();
    ASSERT_TRUE(waitUntilListening(killed));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(2000));
    ASSERT_TRUE(QFile::exists(folders.runtime() + QLatin1Char('/') + kLockName));

    QProcess& next = start();
    EXPECT_EQ(exitWithin(next, 1500), -1);
    ASSERT_TRUE(waitUntilListening(next));
    QProcess& probe = start();
    EXPECT_EQ(exitWithin(probe, 1000), 0);
    QThread::msleep(200);
    EXPECT_EQ(reported(), "front normal normal\n");
}

TEST_F(SingleInstance, AFirstInstanceThatDoesNotAnswerEndsTheSecondSilently)
{
    QLockFile lock(folders.runtime() + QLatin1Char('/') + kLockName);
    ASSERT_TRUE(lock.tryLock(0));
    // Accepts connections but never answers: no event loop runs here.
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(folders.runtime() + QLatin1Char('/') + kProbeName));

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(platform::SingleInstance::probeRunningInstance(folders.runtime()));
    EXPECT_GE(clock.elapsed(), 190);
    EXPECT_LT(clock.elapsed(), 600);

    QProcess& second = start();
    EXPECT_EQ(exitWithin(second, 1000), 0);
    EXPECT_FALSE(QFile::exists(folders.registryFile()));

    silent.close();
    QProcess& third = start();
    EXPECT_EQ(exitWithin(third, 1000), 0);
}

TEST_F(SingleInstance, WithoutARuntimeFolderOnlyAnInstanceOfTheSameUserCounts)
{
    QProcess& alice = start(user("alice"));
    const QString aliceFolder = homeOf("alice") + QStringLiteral("/.cache/Tolvane");
    ASSERT_TRUE(waitUntilListening(alice, aliceFolder));
    EXPECT_EQ(QFileInfo(aliceFolder).permissions()
                  & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                      | QFile::ExeUser),
              QFile::Permissions());

    // Another user's IDE starts beside it.
    QProcess& bob = start(user("bob"));
    EXPECT_EQ(exitWithin(bob, 1500), -1);
    EXPECT_TRUE(waitUntilListening(bob, homeOf("bob") + QStringLiteral("/.cache/Tolvane")));
    EXPECT_TRUE(reported().isEmpty());

    // The same user's second start still finds the first.
    QProcess& again = start(user("alice"));
    EXPECT_EQ(exitWithin(again, 1000), 0);
    EXPECT_EQ(reportedWithin(2000), "front normal normal\n");
}

TEST_F(SingleInstance, WhereNoLockCanBeMadeTheIdeStartsAnyway)
{
    // Nothing can be created in /proc, not even by root.
    const auto noLock = [](QProcessEnvironment& environment) {
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/proc"));
    };
    QProcess& first = start(noLock);
    QProcess& second = start(noLock);
    EXPECT_EQ(exitWithin(first, 1500), -1);
    EXPECT_EQ(exitWithin(second, 100), -1);
    EXPECT_TRUE(first.readAllStandardError().contains("no instance lock"));
}

}  // namespace
