#include "app/cmcRecent.h"

#include <QString>

#include <algorithm>

namespace {
bool samePath(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// The folder part of a path without a trailing separator (either slash counts).
QString folderOf(const std::string& path)
{
    QString p = QString::fromStdString(path);
    const qsizetype cut = std::max(p.lastIndexOf('/'), p.lastIndexOf('\\'));
    return cut < 0 ? QString() : p.left(cut);
}

QString withoutTrailingSeparator(QString folder)
{
    while (folder.endsWith('/') || folder.endsWith('\\'))
        folder.chop(1);
    return folder;
}
} // namespace

void cmcRecent::removeEqual(const std::string& path)
{
    std::erase_if(entries_, [&](const std::string& e) { return samePath(e, path); });
}

void cmcRecent::AddFirst(const std::string& path)
{
    removeEqual(path);
    entries_.insert(entries_.begin(), path);
    Trim();
}

void cmcRecent::AddLast(const std::string& path)
{
    removeEqual(path);
    entries_.push_back(path);
    Trim();
}

int cmcRecent::Count()
{
    Trim();
    return static_cast<int>(entries_.size());
}

std::string cmcRecent::Entry(int index) const
{
    if (index < 0 || index >= static_cast<int>(entries_.size()))
        return {};
    return entries_[static_cast<std::size_t>(index)];
}

std::string cmcRecent::DisplayName(int index, const std::string& folder)
{
    if (index < 0 || index >= Count())
        return {};
    const std::string& entry = entries_[static_cast<std::size_t>(index)];
    const QString entryFolder = withoutTrailingSeparator(folderOf(entry));
    const QString given = withoutTrailingSeparator(QString::fromStdString(folder));
    if (entryFolder.compare(given, Qt::CaseInsensitive) == 0) {
        const QString p = QString::fromStdString(entry);
        return p.mid(std::max(p.lastIndexOf('/'), p.lastIndexOf('\\')) + 1).toStdString();
    }
    return entry;
}

void cmcRecent::Trim()
{
    while (static_cast<int>(entries_.size()) > capacity_)
        entries_.pop_back();
}
