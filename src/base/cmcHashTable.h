#pragma once
// The string hash table behind cmcHash (text -> integer) and cmcHash2 (text -> pointer):
// a fixed number of buckets, one chain per bucket with new keys at its head, each node
// owning a copy of its key. A key inserted twice is a definition error and stops the
// program.
#include "base/cmcFatal.h"

#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>
#include <vector>

// Bucket count used when 0 is asked for.
inline constexpr std::uint32_t cmcHashDefaultBuckets = 1031;

// The raw hash of key for a table of buckets buckets (not yet reduced modulo buckets).
// Bytes count as signed; the step added to every byte starts at buckets / 2, halves
// whenever the following byte (the end counting as 0) is odd, and starts again at
// buckets / 2 when it reaches 0. The empty key hashes to 0.
[[nodiscard]] std::uint32_t cmcHashValue(std::string_view key, std::uint32_t buckets);
// The bucket of key: cmcHashValue modulo buckets (buckets > 0).
[[nodiscard]] inline std::uint32_t cmcHashBucket(std::string_view key, std::uint32_t buckets)
{
    return cmcHashValue(key, buckets) % buckets;
}

template <class Value> class cmcHashTable {
public:
    struct Node {
        std::string key;
        Value value;
    };

    // buckets 0 means cmcHashDefaultBuckets. overlapText is the fatal text for a duplicate.
    cmcHashTable(std::uint32_t buckets, const char* overlapText)
        : chains_(buckets == 0 ? cmcHashDefaultBuckets : buckets), overlapText_(overlapText)
    {
    }

    // Adds key with value; a key already present stops the program and changes nothing.
    void Insert(std::string_view key, Value value)
    {
        auto& chain = chains_[bucketOf(key)];
        for (const Node& node : chain) {
            if (node.key == key)
                cmcFatalStop(overlapText_);
        }
        chain.push_front(Node{std::string(key), std::move(value)});
        ++size_;
    }

    // The node of key (exact, case-sensitive), or nullptr.
    [[nodiscard]] const Node* Find(std::string_view key) const
    {
        for (const Node& node : chains_[bucketOf(key)]) {
            if (node.key == key)
                return &node;
        }
        return nullptr;
    }
    [[nodiscard]] Node* Find(std::string_view key)
    {
        return const_cast<Node*>(static_cast<const cmcHashTable&>(*this).Find(key));
    }

    [[nodiscard]] std::uint32_t BucketCount() const { return static_cast<std::uint32_t>(chains_.size()); }
    [[nodiscard]] std::size_t Size() const { return size_; }

private:
    [[nodiscard]] std::size_t bucketOf(std::string_view key) const
    {
        return cmcHashBucket(key, BucketCount());
    }

    std::vector<std::forward_list<Node>> chains_;
    const char* overlapText_;
    std::size_t size_ = 0;
};
