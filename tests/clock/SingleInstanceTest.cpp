#include "Eventually.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// The real program, copied with its tables into a folder of its own so
// that it writes nothing into the build.
class RealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QDir built(programDir());
        for (const QString &f : built.entryList({"ZindleClock", "*.db"}, QDir::Files))
            ASSERT_TRUE(QFile::copy(built.filePath(f), folder.file(f))) << f.toStdString();
        QFile::setPermissions(folder.file("ZindleClock"), QFile::permissions(built.filePath("ZindleClock")));
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
    }

    std::unique_ptr<QProcess> start()
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(folder.file("ZindleClock"), {});
        EXPECT_TRUE(p->waitForStarted(kPatienceMs));
        return p;
    }

    // The lock names its holder's process id on the first line.
    bool waitForHolder(qint64 pid)
    {
        return eventually([&] {
            QFile lock(runtime.path() + "/Zindle Watch.lock");
            return lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == pid;
        });
    }

    TempFolder folder;
    TempFolder runtime;
    QProcessEnvironment env;
};

} // namespace

TEST_F(RealProgram, SecondCopyEndsSilentlyAndAKilledHolderIsReplaced)
{
    auto first = start();
    ASSERT_TRUE(waitForHolder(first->processId()));

    auto second = start();
    ASSERT_TRUE(second->waitForFinished(kPatienceMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->readAllStandardOutput().isEmpty());
    EXPECT_EQ(first->state(), QProcess::Running) << "the first copy is not disturbed";

    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished(kPatienceMs);
    auto third = start();
    EXPECT_TRUE(waitForHolder(third->processId())) << "the lock of a killed copy is taken over";
    EXPECT_EQ(third->state(), QProcess::Running);
    third->kill();
    third->waitForFinished(kPatienceMs);
}
