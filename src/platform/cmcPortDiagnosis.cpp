#include "platform/cmcPortDiagnosis.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QString>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {
QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QString Text(const char* key)
{
    return Q(MainText().GetMultiLineText(key));
}

std::string ProgramOf(int pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return comm.readAll().trimmed().toStdString();
}

bool ProcessAlive(int pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

// The lock file name of the serial-port locking convention: "LCK.." and the device path
// below /dev with its slashes as underscores ("LCK..ttyUSB0", "LCK..pts_3").
QString LockName(const QString& canonical)
{
    QString name =
        canonical.startsWith(QStringLiteral("/dev/")) ? canonical.mid(5) : QFileInfo(canonical).fileName();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}
} // namespace

cmcPortAccess CheckPortAccess(const std::string& device)
{
    cmcPortAccess access;
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return access;
    access.exists = true;
    access.permitted = ::access(device.c_str(), R_OK | W_OK) == 0;
    access.groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (const group* g = ::getgrgid(st.st_gid))
        access.group = g->gr_name;
    access.memberNow = ::getegid() == st.st_gid;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    if (!groups.empty() && ::getgroups(static_cast<int>(groups.size()), groups.data()) >= 0)
        access.memberNow =
            access.memberNow || std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
    if (const passwd* pw = ::getpwuid(::geteuid())) {
        access.user = pw->pw_name;
        int count = 64;
        std::vector<gid_t> listed(static_cast<std::size_t>(count));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count) < 0) {
            listed.resize(static_cast<std::size_t>(count));
            ::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count);
        }
        listed.resize(static_cast<std::size_t>(std::max(count, 0)));
        access.memberListed = std::find(listed.begin(), listed.end(), st.st_gid) != listed.end();
    }
    return access;
}

std::vector<cmcPortHolder> FindPortHolders(const std::string& device)
{
    std::vector<cmcPortHolder> holders;
    const QString canonical = QFileInfo(Q(device)).canonicalFilePath();
    if (canonical.isEmpty())
        return holders;
    const auto add = [&](int pid) {
        if (std::none_of(holders.begin(), holders.end(),
                         [pid](const cmcPortHolder& h) { return h.pid == pid; }))
            holders.push_back({pid, ProgramOf(pid)});
    };

    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() == canonical) {
                add(pid);
                break;
            }
        }
    }

    // Lock files name their holder even when its descriptors cannot be seen.
    const QString lockName = LockName(canonical);
    for (const char* folder : {"/var/lock", "/run/lock", "/var/spool/locks", "/var/spool/uucp", "/etc/locks",
                               "/tmp", "/var/tmp"}) {
        const QString path = QDir(QString::fromLatin1(folder)).filePath(lockName);
        if (!QFileInfo::exists(path))
            continue;
        qint64 pid = 0;
        QString host;
        QString app;
        if (QLockFile(path).getLockInfo(&pid, &host, &app) && ProcessAlive(static_cast<int>(pid)))
            add(static_cast<int>(pid));
    }
    return holders;
}

std::string DescribeAccessProblem(const cmcPortAccess& access, const std::string& portLabel)
{
    const bool ordinaryGroup = !access.group.empty() && access.group != "root" && access.groupMayUse;
    if (ordinaryGroup && access.memberListed && !access.memberNow)
        return Text("GI_AppMess_Port_Relogin").arg(Q(portLabel), Q(access.group)).toStdString();
    if (ordinaryGroup && !access.memberListed)
        return Text("GI_AppMess_Port_NotMember")
            .arg(Q(portLabel), Q(access.group), Q(access.user.empty() ? std::string("$USER") : access.user))
            .toStdString();
    return Text("GI_AppMess_Port_NoAccess").arg(Q(portLabel)).toStdString();
}

std::string DescribePortOpenFailure(const std::string& device, const std::string& portLabel, bool refused,
                                    const std::string& systemText)
{
    const cmcPortAccess access = CheckPortAccess(device);
    if (!access.exists)
        return Text("GI_AppMess_Port_Missing").arg(Q(portLabel)).toStdString();
    if (!access.permitted)
        return DescribeAccessProblem(access, portLabel);
    const std::vector<cmcPortHolder> holders = FindPortHolders(device);
    if (!holders.empty()) {
        const cmcPortHolder& h = holders.front();
        return Text("GI_AppMess_Port_HeldBy")
            .arg(Q(portLabel), Q(h.program.empty() ? std::string("?") : h.program), QString::number(h.pid))
            .toStdString();
    }
    if (refused)
        return Text("GI_AppMess_Port_Held").arg(Q(portLabel)).toStdString();
    return Text("GI_AppMess_Port_Failed").arg(Q(portLabel), Q(systemText)).toStdString();
}
