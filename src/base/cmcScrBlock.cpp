#include "base/cmcScrBlock.h"

#include "base/cmcText.h"

cmcScrBlock::cmcScrBlock(std::string_view text)
{
    const std::size_t blank = text.find(' ');
    name_ = TrimBlanks(text.substr(0, blank));
    const std::string rest = blank == std::string_view::npos ? std::string() : TrimBlanks(text.substr(blank));
    for (int i = 0;; ++i) {
        std::optional<std::string> field = FieldOf(rest, ',', i);
        if (!field)
            break;
        args_.push_back(TrimBlanks(*field));
    }
}

std::string cmcScrBlock::Item(int i) const
{
    if (i < 0 || i >= Count())
        return {};
    return args_[static_cast<std::size_t>(i)];
}
