#include "platform/cmcInstanceGuard.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace {
const std::string mutexName = "Zelk Torvane (NXDN) APP Exclusive Mutex";
}

TEST(InstanceGuardTest, SecondInstanceIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir folder;
    {
        cmcInstanceGuard first(mutexName, folder.path());
        EXPECT_TRUE(first.IsFirstInstance());
        EXPECT_TRUE(first.HoldsLock());
        EXPECT_TRUE(
            first.LockFilePath().endsWith(QStringLiteral("/Zelk_Torvane__NXDN__APP_Exclusive_Mutex.lock")));
        EXPECT_TRUE(QFile::exists(first.LockFilePath()));

        cmcInstanceGuard second(mutexName, folder.path());
        EXPECT_FALSE(second.IsFirstInstance());
        EXPECT_FALSE(second.HoldsLock());
        // A first instance that has been running for hours still holds its lock.
        const std::filesystem::path lockFile = first.LockFilePath().toStdString();
        std::filesystem::last_write_time(lockFile,
                                         std::filesystem::last_write_time(lockFile) - std::chrono::hours(5));
        cmcInstanceGuard later(mutexName, folder.path());
        EXPECT_FALSE(later.IsFirstInstance());
        // Another name is another program.
        cmcInstanceGuard other("Some Other Mutex", folder.path());
        EXPECT_TRUE(other.IsFirstInstance());
    }
    cmcInstanceGuard afterwards(mutexName, folder.path());
    EXPECT_TRUE(afterwards.IsFirstInstance());
}

TEST(InstanceGuardTest, LockOfACrashedProcessDoesNotBlockTheNextStart)
{
    QTemporaryDir folder;
    const QString lockPath = folder.filePath(cmcInstanceGuard::LockFileName(mutexName));
    // A child takes the lock and dies without releasing it, as a crash would.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        cmcInstanceGuard guard(mutexName, folder.path());
        _exit(guard.HoldsLock() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(lockPath)); // left behind, naming a process that is gone

    cmcInstanceGuard next(mutexName, folder.path());
    EXPECT_TRUE(next.IsFirstInstance());
    EXPECT_TRUE(next.HoldsLock());
}

TEST(InstanceGuardTest, FolderThatCannotHoldALockDoesNotStopTheProgram)
{
    QTemporaryDir folder;
    const QString plainFile = folder.filePath(QStringLiteral("plain"));
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    cmcInstanceGuard guard(mutexName, plainFile + QStringLiteral("/torvane"));
    EXPECT_TRUE(guard.IsFirstInstance());
    EXPECT_FALSE(guard.HoldsLock());
}
