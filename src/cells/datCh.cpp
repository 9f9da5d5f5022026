#include "cells/datCh.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <algorithm>

namespace {

std::uint64_t maskOf(int width)
{
    return width >= 64 ? ~0ull : ((1ull << width) - 1);
}

std::uint64_t readPiece(const std::uint8_t* bytes, const datPiece& piece)
{
    std::uint64_t v = 0;
    for (int k = 0; k < piece.nBytes; ++k)
        v = (v << 8) | bytes[piece.byte + k];
    return (v >> piece.bitLow) & maskOf(piece.width);
}

void writePiece(std::uint8_t* bytes, const datPiece& piece, std::uint64_t value)
{
    std::uint64_t v = 0;
    for (int k = 0; k < piece.nBytes; ++k)
        v = (v << 8) | bytes[piece.byte + k];
    const std::uint64_t mask = maskOf(piece.width) << piece.bitLow;
    v = (v & ~mask) | ((value << piece.bitLow) & mask);
    for (int k = piece.nBytes - 1; k >= 0; --k) {
        bytes[piece.byte + k] = static_cast<std::uint8_t>(v & 0xFF);
        v >>= 8;
    }
}

void checkBlock(const cmcEeprom& image, int first, int n)
{
    if (!image.IsValidAddress(first) || !image.IsValidAddress(first + n - 1))
        cmcFatalStop("Out of EEPROM image address (record).");
}

bool bitOf(const cmcEeprom& image, int base, int i)
{
    return (image.GetByte(base + i / 8) & (0x80 >> (i % 8))) != 0;
}

void setBitOf(cmcEeprom& image, int base, int i, bool on)
{
    const int place = base + i / 8;
    const auto mask = static_cast<std::uint8_t>(0x80 >> (i % 8));
    const std::uint8_t old = image.GetByte(place);
    image.SetByte(place, static_cast<std::uint8_t>(on ? (old | mask) : (old & ~mask)));
}

} // namespace

datCh::datCh(cmcEeprom& image) : datCh(image, datSwitches()) {}

datCh::datCh(cmcEeprom& image, const datModelSwitches& switches)
    : image_(&image), source_(&image), switches_(&switches)
{
}

datCh::datCh(const cmcEeprom& image) : image_(nullptr), source_(&image), switches_(&datSwitches()) {}

int datCh::partRecord(const datPartDef& part) const
{
    return part.by == datPartIndex::Site ? datSiteOfRepeater(*source_, index_) : index_;
}

void datCh::decode(int kind, int index)
{
    if (!datIsRecordKind(kind) || index < 0 || index >= datSlotsOf(kind))
        cmcFatalStop(Format("Record %d of kind %d does not exist.", index, kind));
    kind_ = kind;
    index_ = index;
    readParts();
    decodeStatus();
}

void datCh::encode(int kind, int index)
{
    if (image_ == nullptr || !datIsRecordKind(kind) || index < 0 || index >= datSlotsOf(kind) ||
        (kind_ != 0 && kind != kind_))
        cmcFatalStop(Format("Record %d of kind %d cannot be written.", index, kind));
    kind_ = kind;
    index_ = index;
    applyEncodeRules();
    writeParts();
    encodeStatus();
}

void datCh::store()
{
    encode(kind_, index_);
    decode(kind_, index_);
}

void datCh::reload()
{
    decode(kind_, index_);
}

void datCh::readParts()
{
    for (auto& r : raw_)
        r.fill(0);
    for (const datPartDef& p : datPartsOf(kind_)) {
        auto& out = raw_[static_cast<std::size_t>(p.part)];
        const int r = partRecord(p);
        switch (p.form) {
        case datPartForm::Bytes:
            checkBlock(*source_, p.base + p.stride * r, p.size);
            source_->ReadBlock(p.base + p.stride * r, out.data(), p.size);
            break;
        case datPartForm::Bit:
            out[0] = bitOf(*source_, p.base, r) ? 1 : 0;
            break;
        case datPartForm::BitColumn:
            for (int list = 0; list < p.size; ++list)
                out[static_cast<std::size_t>(list)] = bitOf(*source_, p.base + p.stride * list, r) ? 1 : 0;
            break;
        }
    }
}

void datCh::writeParts()
{
    for (const datPartDef& p : datPartsOf(kind_)) {
        const auto& in = raw_[static_cast<std::size_t>(p.part)];
        const int r = partRecord(p);
        switch (p.form) {
        case datPartForm::Bytes: {
            const int first = p.base + p.stride * r;
            checkBlock(*image_, first, p.size);
            for (int b = 0; b < p.size; ++b) {
                if (b != p.statusByte)
                    image_->SetByte(first + b, in[static_cast<std::size_t>(b)]);
            }
            break;
        }
        case datPartForm::Bit:
            setBitOf(*image_, p.base, r, (in[0] & 1) != 0);
            break;
        case datPartForm::BitColumn:
            for (int list = 0; list < p.size; ++list)
                setBitOf(*image_, p.base + p.stride * list, r, (in[static_cast<std::size_t>(list)] & 1) != 0);
            break;
        }
    }
}

const datFieldDef& datCh::fieldOf(datField field) const
{
    const datFieldDef& f = datFieldOf(field);
    if (f.kind != kind_)
        cmcFatalStop(Format("Field %d does not belong to record kind %d.", static_cast<int>(field), kind_));
    return f;
}

std::uint32_t datCh::Get(datField field, int entry) const
{
    const datFieldDef& f = fieldOf(field);
    const int e = std::clamp(entry, 0, f.entries - 1);
    const std::uint8_t* bytes = raw_[static_cast<std::size_t>(f.part)].data() + e * f.entryStride;
    if (f.compose == datCompose::Bcd4) {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int d = (i % 2 == 0) ? (bytes[f.lo.byte + i / 2] >> 4) : (bytes[f.lo.byte + i / 2] & 0x0F);
            if (d > 9)
                return 65535;
            value = value * 10 + static_cast<std::uint32_t>(d);
        }
        return value;
    }
    std::uint64_t value = readPiece(bytes, f.lo);
    if (f.hi.width > 0)
        value |= readPiece(bytes, f.hi) << f.lo.width;
    switch (f.rule) {
    case datReadRule::ClampFrequency:
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, datMaxRepeaterFrequency));
    case datReadRule::ZeroReadsAs3:
        return value == 0 ? 3 : static_cast<std::uint32_t>(value);
    case datReadRule::Inverted:
        return value == 0 ? 1 : 0;
    case datReadRule::None:
        break;
    }
    return static_cast<std::uint32_t>(value);
}

void datCh::Set(datField field, std::uint32_t value, int entry)
{
    const datFieldDef& f = fieldOf(field);
    const int e = std::clamp(entry, 0, f.entries - 1);
    std::uint8_t* bytes = raw_[static_cast<std::size_t>(f.part)].data() + e * f.entryStride;
    if (f.compose == datCompose::Bcd4) {
        // Four digits, or all nibbles 0xF for a value that has no four-digit form.
        std::uint32_t v = value;
        for (int i = 3; i >= 0; --i) {
            const int d = value > 9999 ? 0x0F : static_cast<int>(v % 10);
            v /= 10;
            std::uint8_t& byte = bytes[f.lo.byte + i / 2];
            byte = static_cast<std::uint8_t>((i % 2 == 0) ? ((byte & 0x0F) | (d << 4)) : ((byte & 0xF0) | d));
        }
        return;
    }
    std::uint64_t v = value;
    if (f.rule == datReadRule::Inverted)
        v = value == 0 ? 1 : 0;
    writePiece(bytes, f.lo, v);
    if (f.hi.width > 0)
        writePiece(bytes, f.hi, v >> f.lo.width);
}

std::string datCh::Text(datField field) const
{
    const datFieldDef& f = fieldOf(field);
    const auto& bytes = raw_[static_cast<std::size_t>(f.part)];
    return {reinterpret_cast<const char*>(bytes.data() + f.lo.byte), static_cast<std::size_t>(f.lo.nBytes)};
}

void datCh::SetText(datField field, std::string_view text, char pad)
{
    const datFieldDef& f = fieldOf(field);
    auto& bytes = raw_[static_cast<std::size_t>(f.part)];
    for (int i = 0; i < f.lo.nBytes; ++i) {
        const char c = i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : pad;
        bytes[static_cast<std::size_t>(f.lo.byte + i)] = static_cast<std::uint8_t>(c);
    }
}

int datCh::DigitCount(datField field) const
{
    return 2 * fieldOf(field).lo.nBytes;
}

int datCh::Digit(datField field, int i) const
{
    const datFieldDef& f = fieldOf(field);
    if (i < 0 || i >= 2 * f.lo.nBytes)
        return 0x0F;
    const std::uint8_t byte =
        raw_[static_cast<std::size_t>(f.part)][static_cast<std::size_t>(f.lo.byte + i / 2)];
    return (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
}

void datCh::SetDigit(datField field, int i, int value)
{
    const datFieldDef& f = fieldOf(field);
    if (i < 0 || i >= 2 * f.lo.nBytes)
        return;
    std::uint8_t& byte = raw_[static_cast<std::size_t>(f.part)][static_cast<std::size_t>(f.lo.byte + i / 2)];
    const int d = value & 0x0F;
    byte = static_cast<std::uint8_t>((i % 2 == 0) ? ((byte & 0x0F) | (d << 4)) : ((byte & 0xF0) | d));
}

datTone datCh::Tone(datField field) const
{
    return datDecodeTone(static_cast<std::uint16_t>(Get(field)));
}

void datCh::SetTone(datField field, const datTone& tone)
{
    Set(field, datEncodeTone(static_cast<std::uint16_t>(Get(field)), tone));
}

bool datCh::InScanList(int list) const
{
    if (kind_ != datKindChannel || list < 0 || list >= 17)
        return false;
    return raw_[3][static_cast<std::size_t>(list)] != 0;
}

void datCh::SetInScanList(int list, bool on)
{
    if (kind_ != datKindChannel || list < 0 || list >= 17)
        return;
    raw_[3][static_cast<std::size_t>(list)] = on ? 1 : 0;
}

std::uint32_t datCh::ScanMembership() const
{
    std::uint32_t lists = 0;
    for (int list = 0; list < 16; ++list) {
        if (InScanList(list))
            lists |= 0x8000u >> list;
    }
    return lists;
}

void datCh::SetScanMembership(std::uint32_t lists)
{
    for (int list = 0; list < 16; ++list)
        SetInScanList(list, (lists & (0x8000u >> list)) != 0);
}

std::span<std::uint8_t> datCh::Part(int p)
{
    const auto parts = datPartsOf(kind_);
    if (p < 0 || p >= static_cast<int>(parts.size()))
        return {};
    const datPartDef& def = parts[static_cast<std::size_t>(p)];
    const int n = def.form == datPartForm::Bit ? 1 : def.size;
    return {raw_[static_cast<std::size_t>(p)].data(), static_cast<std::size_t>(n)};
}

std::span<const std::uint8_t> datCh::Part(int p) const
{
    const auto parts = datPartsOf(kind_);
    if (p < 0 || p >= static_cast<int>(parts.size()))
        return {};
    const datPartDef& def = parts[static_cast<std::size_t>(p)];
    const int n = def.form == datPartForm::Bit ? 1 : def.size;
    return {raw_[static_cast<std::size_t>(p)].data(), static_cast<std::size_t>(n)};
}

void datCh::AdoptSharedParts(const datCh& other)
{
    if (other.kind_ != kind_)
        return;
    for (const datPartDef& p : datPartsOf(kind_)) {
        if (p.by == datPartIndex::Site)
            raw_[static_cast<std::size_t>(p.part)] = other.raw_[static_cast<std::size_t>(p.part)];
    }
}
