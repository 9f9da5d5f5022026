#pragma once
// A sheet reference: "[" class "]" name "," kind letters. The name is the base of the
// sheet's overlay keys; the class chooses the sheet class; the kind letters are handed to
// the sheet (model sheets read them as a command).
#include <string>
#include <string_view>

struct cuiSheetRef {
    enum class Kind { Plain, ChannelBank, Common, MemoryChannels };

    std::string cls;  // between the last "[" and the following "]" before the first ","
    std::string name; // after that "]", or the whole part before the first ","
    std::string kind; // everything after the first ","

    [[nodiscard]] static cuiSheetRef Parse(std::string_view reference);
    // The sheet class for this reference: "St_ChBank" and "St_Common" by exact class, else a
    // first kind letter of M, Q, R, X, q or x gives the memory-channel sheet.
    [[nodiscard]] Kind SheetKind() const;
};
