#pragma once
// Inclusive image address ranges and lists of them. A list is read in order up to, not
// including, the first pair whose end is below its start; this family's lists end with the
// pair (1, 0). Pairs after that end are kept but never count.
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

struct AddressRange {
    int start = 0;
    int end = 0; // inclusive

    // A pair whose end is below its start ends a list.
    [[nodiscard]] bool EndsList() const { return end < start; }
    [[nodiscard]] bool Contains(int address) const { return address >= start && address <= end; }
    // Bytes in the range; 0 for a pair that ends a list.
    [[nodiscard]] long long Length() const
    {
        return EndsList() ? 0 : static_cast<long long>(end) - start + 1;
    }

    bool operator==(const AddressRange&) const = default;
};

class AddressRangeList {
public:
    // The pair that ends this family's lists.
    static constexpr AddressRange ListEnd{1, 0};

    AddressRangeList() = default;
    AddressRangeList(std::initializer_list<AddressRange> pairs) : pairs_(pairs) {}
    explicit AddressRangeList(std::vector<AddressRange> pairs) : pairs_(std::move(pairs)) {}

    // Appends a pair as it is; an ending pair ends the list there.
    void Add(AddressRange pair) { pairs_.push_back(pair); }

    // The ranges in force, in order: every pair before the first one that ends the list.
    // The mutable form lets a caller adjust a range in place (an end the radio reports).
    [[nodiscard]] std::span<const AddressRange> Ranges() const;
    [[nodiscard]] std::span<AddressRange> Ranges();
    [[nodiscard]] auto begin() const { return Ranges().begin(); }
    [[nodiscard]] auto end() const { return Ranges().end(); }
    [[nodiscard]] bool IsEmpty() const { return Ranges().empty(); }

    // True when address lies in one of the ranges in force.
    [[nodiscard]] bool Contains(int address) const;
    // Bytes covered by the ranges in force, counted once per range.
    [[nodiscard]] long long ByteCount() const;

    // Every pair as stored, including an ending pair and whatever follows it.
    [[nodiscard]] const std::vector<AddressRange>& Pairs() const { return pairs_; }

private:
    [[nodiscard]] std::size_t countInForce() const;

    std::vector<AddressRange> pairs_;
};
