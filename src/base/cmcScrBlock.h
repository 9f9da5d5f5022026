#pragma once
// A command text "name arg, arg, ..." as the sheets write their open commands ("Bank 3").
#include <string>
#include <string_view>
#include <vector>

class cmcScrBlock {
public:
    explicit cmcScrBlock(std::string_view text);
    [[nodiscard]] const std::string& Name() const { return name_; }
    [[nodiscard]] int Count() const { return static_cast<int>(args_.size()); }
    // Argument i (from 0); empty when i is out of range.
    [[nodiscard]] std::string Item(int i) const;

private:
    std::string name_;
    std::vector<std::string> args_;
};
