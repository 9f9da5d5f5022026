#pragma once
// The recent-file list: full path names, most recent first, never a path twice (paths
// compare without regard to letter case), never more than the capacity.
#include <string>
#include <vector>

class cmcRecent {
public:
    explicit cmcRecent(int capacity) : capacity_(capacity) {}

    void AddFirst(const std::string& path);
    void AddLast(const std::string& path);
    int Count();
    [[nodiscard]] std::string Entry(int index) const;
    // Empty when index is not below Count; the file name alone when the entry lies in
    // folder, else the full path.
    std::string DisplayName(int index, const std::string& folder);
    void Trim();
    void Clear() { entries_.clear(); }

private:
    void removeEqual(const std::string& path);
    int capacity_;
    std::vector<std::string> entries_;
};
