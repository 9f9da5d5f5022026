#pragma once
// One running program per user: a lock file named after the instance name in the settings
// folder. The lock records the holder's process; a lock whose holder no longer runs (the
// program crashed or was killed) is taken over, so a crash never keeps the program from
// starting again. Released on destruction.
#include "platform/cmcConfigFolder.h"

#include <QString>

#include <memory>
#include <string>

class QLockFile;

class cmcInstanceGuard {
public:
    explicit cmcInstanceGuard(const std::string& name, const QString& folder = cmcConfigFolder());
    ~cmcInstanceGuard();
    cmcInstanceGuard(const cmcInstanceGuard&) = delete;
    cmcInstanceGuard& operator=(const cmcInstanceGuard&) = delete;

    // False only when another running process holds the lock. When the lock file cannot be
    // made at all (the folder is not writable) the program still starts: being unable to
    // lock is no proof that another instance runs.
    [[nodiscard]] bool IsFirstInstance() const { return first_; }
    // True when this object holds the lock.
    [[nodiscard]] bool HoldsLock() const;
    [[nodiscard]] const QString& LockFilePath() const { return path_; }

    // The lock file name for an instance name: letters, digits, '.', '-' and '_' are kept,
    // any other character becomes '_'.
    [[nodiscard]] static QString LockFileName(const std::string& name);

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool first_ = true;
};
