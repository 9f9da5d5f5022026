#include "ui/cuiSheetRef.h"

cuiSheetRef cuiSheetRef::Parse(std::string_view reference)
{
    cuiSheetRef ref;
    const std::size_t comma = reference.find(',');
    const std::string_view head = reference.substr(0, comma);
    if (comma != std::string_view::npos)
        ref.kind = std::string(reference.substr(comma + 1));
    const std::size_t open = head.rfind('[');
    const std::size_t close = open == std::string_view::npos ? std::string_view::npos : head.find(']', open);
    if (close == std::string_view::npos) {
        ref.name = std::string(head);
    } else {
        ref.cls = std::string(head.substr(open + 1, close - open - 1));
        ref.name = std::string(head.substr(close + 1));
    }
    return ref;
}

cuiSheetRef::Kind cuiSheetRef::SheetKind() const
{
    if (cls == "St_ChBank")
        return Kind::ChannelBank;
    if (cls == "St_Common")
        return Kind::Common;
    if (!kind.empty() && std::string_view("MQRXqx").find(kind.front()) != std::string_view::npos)
        return Kind::MemoryChannels;
    return Kind::Plain;
}
