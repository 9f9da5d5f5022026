#pragma once
// The work record: the decoded form of one record of any kind. The cell logic decodes the
// record a cell addresses, reads and changes its fields and encodes it back; the clipboard
// and the record moves use it to carry records from slot to slot.
//
// A record holds the bytes of its parts (datRecordLayout.h) as the image had them, so
// every byte no field names goes back unchanged, and the status bits, which are not kept in
// the record at all but computed from references elsewhere in the image when decoding and
// written back as references when encoding:
//   bit 0  channel is priority channel A (reference at 0x10380)
//   bit 1  channel is priority channel B (reference at 0x10382)
//   bit 2  channel is the third channel reference (0x10B43), and that reference is in force
//   bit 3  the third channel reference is not in force (bit 5 of 0x10B4D, inverted)
//   bit 4  first bank flag (bank's bit in the array at 0x10B42, most significant first)
//   bit 5  second bank flag (bank's bit in the array at 0x10BC8)
//   bit 6  repeater is its site's home repeater (byte 7 of the site record, from 1)
//   bit 7  repeater marked for deletion (clears byte 7 of the site record when this
//          repeater is the home repeater; wins over bit 6)
// Encoding writes a reference only for a set bit 0, 1, 2 or 6, so a record that moves
// takes its marks with it and a record without marks leaves them where they are.
#include "cells/datRecordLayout.h"
#include "cells/datSwitches.h"
#include "cells/datTone.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class cmcEeprom;

inline constexpr std::uint8_t datStPrioA = 0x01;
inline constexpr std::uint8_t datStPrioB = 0x02;
inline constexpr std::uint8_t datStThird = 0x04;
inline constexpr std::uint8_t datStThirdOff = 0x08;
inline constexpr std::uint8_t datStBank1 = 0x10;
inline constexpr std::uint8_t datStBank2 = 0x20;
inline constexpr std::uint8_t datStHome = 0x40;
inline constexpr std::uint8_t datStDelete = 0x80;
// Bits that belong to the slot rather than to the record.
inline constexpr std::uint8_t datStSlotBits = datStBank1 | datStBank2;

// Places of the channel references.
inline constexpr int datPrioAPlace = 0x10380;
inline constexpr int datPrioBPlace = 0x10382;
inline constexpr int datThirdRefPlace = 0x10B43;
inline constexpr int datThirdInForcePlace = 0x10B4D; // bit 5
inline constexpr int datBankFlags1Place = 0x10B42;
inline constexpr int datBankFlags2Place = 0x10BC8;
// The individual-ID reference of the power status identity.
inline constexpr int datPowerStatusIdPlace = 0x17623;

// Highest frequency a repeater field reads as.
inline constexpr std::uint32_t datMaxRepeaterFrequency = 799'999'950;

class datCh {
public:
    // The record works on image (not owned) with the program's switches.
    explicit datCh(cmcEeprom& image);
    datCh(cmcEeprom& image, const datModelSwitches& switches);
    // A record that only reads image (the default image): encoding it is refused until
    // SetImage points it at an image it may write.
    explicit datCh(const cmcEeprom& image);

    // Fills the record from record index of kind. An index outside the kind's places, or a
    // kind that is not one, is a fault of the program's own definitions and stops it.
    void decode(int kind, int index);
    // Writes every part and the status bits' references to record index of kind.
    void encode(int kind, int index);
    // Encodes to the record it was decoded from, then decodes again.
    void store();
    // Decodes the record it was decoded from again.
    void reload();

    [[nodiscard]] int Kind() const { return kind_; }
    [[nodiscard]] int Index() const { return index_; }
    [[nodiscard]] const cmcEeprom& Image() const { return *source_; }
    [[nodiscard]] const datModelSwitches& Switches() const { return *switches_; }
    // Points the record at another image; the decoded contents stay.
    void SetImage(cmcEeprom& image)
    {
        image_ = &image;
        source_ = &image;
    }

    std::uint8_t status = 0;
    // Channels: receive frequency or digital marker not 0. Repeaters: receive frequency not
    // 0. ID lists: inside the used count. Other kinds: always.
    bool inUse = false;

    // Field values, through the layout. entry selects an entry of a repeated field.
    [[nodiscard]] std::uint32_t Get(datField field, int entry = 0) const;
    void Set(datField field, std::uint32_t value, int entry = 0);
    // Text and byte fields: the bytes as stored.
    [[nodiscard]] std::string Text(datField field) const;
    // Writes text, cut to the field's length and padded with pad.
    void SetText(datField field, std::string_view text, char pad = ' ');
    // Digit fields: nibble i (from 0).
    [[nodiscard]] int Digit(datField field, int i) const;
    void SetDigit(datField field, int i, int value);
    [[nodiscard]] int DigitCount(datField field) const;

    [[nodiscard]] datTone Tone(datField field) const;
    void SetTone(datField field, const datTone& tone);

    // Channels: membership of scan lists 0 to 15, list 0 in the most significant of 16 bits.
    [[nodiscard]] std::uint32_t ScanMembership() const;
    void SetScanMembership(std::uint32_t lists);
    [[nodiscard]] bool InScanList(int list) const;
    void SetInScanList(int list, bool on);

    // The bytes of part p (Bit parts: one byte 0 or 1; BitColumn parts: one byte per list).
    [[nodiscard]] std::span<std::uint8_t> Part(int p);
    [[nodiscard]] std::span<const std::uint8_t> Part(int p) const;
    // Takes the parts that belong to a site rather than to the record (a repeater's site
    // record and text) from other, so moving a record never writes stale site data.
    void AdoptSharedParts(const datCh& other);

private:
    void readParts();
    void writeParts();
    void decodeStatus();
    void encodeStatus();
    void applyEncodeRules();
    [[nodiscard]] int partRecord(const datPartDef& part) const;
    [[nodiscard]] const datFieldDef& fieldOf(datField field) const;

    cmcEeprom* image_;        // where encode writes; null for a read-only record
    const cmcEeprom* source_; // where decode reads
    const datModelSwitches* switches_;
    int kind_ = 0;
    int index_ = 0;
    std::array<std::array<std::uint8_t, datMaxPartBytes>, datMaxParts> raw_{};
};

// Individual IDs and talk groups do not use 65520 to 65534: an edit that lands on one stores
// 65535 when the space key stepped it up, 65519 otherwise, so stepping passes over them.
[[nodiscard]] constexpr std::uint32_t datSkipReservedId(std::uint32_t id, bool spaceKey)
{
    if (id < 65520 || id > 65534)
        return id;
    return spaceKey ? 65535 : 65519;
}
