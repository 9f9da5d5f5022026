#include "platform/cmcInstanceGuard.h"

#include <QDir>
#include <QLockFile>

cmcInstanceGuard::cmcInstanceGuard(const std::string& name, const QString& folder)
    : path_(QDir(folder).filePath(LockFileName(name))), lock_(std::make_unique<QLockFile>(path_))
{
    // A lock is stale only when its holder is gone. An age limit would let a second
    // instance take the lock of a first one that has simply been running for a while
    // wherever the file lock itself does not guard the holder (Windows, network folders).
    lock_->setStaleLockTime(0);
    QDir().mkpath(folder);
    if (lock_->tryLock(0))
        return;
    first_ = lock_->error() != QLockFile::LockFailedError;
}

cmcInstanceGuard::~cmcInstanceGuard() = default; // QLockFile removes a lock it holds

bool cmcInstanceGuard::HoldsLock() const
{
    return lock_->isLocked();
}

QString cmcInstanceGuard::LockFileName(const std::string& name)
{
    QString file;
    for (const char c : name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '.' || c == '-' || c == '_';
        file += keep ? QChar::fromLatin1(c) : QChar(u'_');
    }
    return file + QStringLiteral(".lock");
}
