#include "cells/datSettingsMap.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "cells/datCounts.h"
#include "cells/datTables.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <map>

namespace {

// The MDC status and message tables: records of 208 bytes whose last 16 bytes are flags.
constexpr int MdcRecordBytes = 208;
constexpr int MdcFlagEntries = 16;
constexpr int MdcSystems = 5;

std::vector<datSettingDef> joined()
{
    std::vector<datSettingDef> rows;
    for (const auto family : {datSettingRowsRadio(), datSettingRowsCommon(), datSettingRowsMaker()})
        rows.insert(rows.end(), family.begin(), family.end());
    return rows;
}

std::uint32_t readNumber(const cmcEeprom& image, int address, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | image.GetByte(address + i);
    return v;
}

void writeNumber(cmcEeprom& image, int address, int bytes, std::uint32_t v)
{
    for (int i = bytes - 1; i >= 0; --i) {
        image.SetByte(address + i, static_cast<std::uint8_t>(v & 0xFF));
        v >>= 8;
    }
}

std::uint32_t readPart(const cmcEeprom& image, const datSetPart& part, int address)
{
    return (readNumber(image, address, part.bytes) >> part.lo) & part.Mask();
}

void writePart(cmcEeprom& image, const datSetPart& part, int address, std::uint32_t bits)
{
    const std::uint32_t mask = part.Mask() << part.lo;
    const std::uint32_t old = readNumber(image, address, part.bytes);
    writeNumber(image, address, part.bytes, (old & ~mask) | ((bits << part.lo) & mask));
}

std::string hex(int v)
{
    return Format("0x%X", static_cast<unsigned>(v));
}

std::string nameOf(const datSettingDef& row)
{
    return std::string(clLogicName(clIndex(row.logic)));
}

// Whether an address lies where the memory image keeps settings that a save carries: the
// radio's system area, or the static place of a table the memory map packs or unpacks.
bool savedPlace(int address)
{
    if (address >= 0 && address < datDynamicBase)
        return true;
    for (const datTableDef& t : datTableList())
        if (t.use != datTableUse::PrefillOnly && address >= t.staticPlace && address < t.StaticEnd())
            return true;
    return false;
}

void rowProblems(const datSettingDef& row, std::vector<std::string>& problems)
{
    const std::string name = nameOf(row);
    if (row.nParts == 0 && row.length == 0)
        problems.push_back(name + ": no bits");
    for (int p = 0; p < row.nParts; ++p) {
        const datSetPart& part = row.parts[static_cast<std::size_t>(p)];
        if (part.bytes < 1 || part.bytes > 4 || part.width == 0 || part.lo + part.width > 8 * part.bytes)
            problems.push_back(name + ": part " + std::to_string(p) + " has bits outside its bytes");
        if (part.weight <= 0)
            problems.push_back(name + ": part " + std::to_string(p) + " has no weight");
    }
    if (row.isSigned && row.nParts != 1)
        problems.push_back(name + ": a signed value of several parts");
    if (row.divisor <= 0)
        problems.push_back(name + ": divisor below 1");
    if (row.IsList() && (row.list == nullptr || *row.list == '\0'))
        problems.push_back(name + ": a choice without a list");
    if (row.lo > row.hi)
        problems.push_back(name + ": empty range");
    if ((row.codec == datSetCodec::Digits || row.codec == datSetCodec::HexDigits) &&
        (row.nParts != 1 || row.digits < 1 || row.digits > 2 * row.parts[0].bytes))
        problems.push_back(name + ": more digits than its bytes hold");
    if (row.IsText() && row.length < 1)
        problems.push_back(name + ": a text without bytes");

    // Parts of one row never share a bit; every byte of every element lies in the image,
    // where a save keeps it.
    std::map<int, std::uint8_t> used;
    std::vector<datSetByte> all;
    for (int n = 0; n < datSettingElements(row); ++n) {
        used.clear();
        for (int p = 0; p < row.nParts; ++p) {
            datSettingDef one = row;
            one.parts[0] = row.parts[static_cast<std::size_t>(p)];
            one.nParts = 1;
            one.length = 0;
            for (const datSetByte& b : datSettingBytes(one, n)) {
                if ((used[b.address] & b.mask) != 0)
                    problems.push_back(name + ": parts overlap at " + hex(b.address));
                used[b.address] |= b.mask;
            }
        }
        const std::vector<datSetByte> bytes = datSettingBytes(row, n);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    const auto outside = std::find_if(all.begin(), all.end(), [](const datSetByte& b) {
        return b.address < 0 || b.address >= cmcImageSize;
    });
    if (outside != all.end())
        problems.push_back(name + ": place " + hex(outside->address) + " outside the image");
    else if (const auto lost = std::find_if(all.begin(), all.end(),
                                            [](const datSetByte& b) { return !savedPlace(b.address); });
             lost != all.end())
        problems.push_back(name + ": place " + hex(lost->address) + " outside every saved table");
    for (const int place :
         {row.grey != datSetGrey::Never ? row.greyPlace : 0, row.loAbovePlace, row.hiBelowPlace})
        if (place != 0 && (place < 0 || place + 1 >= cmcImageSize))
            problems.push_back(name + ": condition place " + hex(place) + " outside the image");
}

} // namespace

std::span<const datSettingDef> datSettingsMap()
{
    static const std::vector<datSettingDef> rows = joined();
    return rows;
}

const datSettingDef* datFindSetting(int logic)
{
    static const std::vector<const datSettingDef*> index = [] {
        std::vector<const datSettingDef*> v(static_cast<std::size_t>(clLogicCount), nullptr);
        for (const datSettingDef& row : datSettingsMap())
            for (const clLogic l : {row.logic, row.logic2})
                if (l != clLogic::Count_ && v[static_cast<std::size_t>(clIndex(l))] == nullptr)
                    v[static_cast<std::size_t>(clIndex(l))] = &row;
        return v;
    }();
    if (logic < 0 || logic >= clLogicCount)
        return nullptr;
    return index[static_cast<std::size_t>(logic)];
}

int datSettingElements(const datSettingDef& row)
{
    switch (row.array) {
    case datSetArray::None:
        return 1;
    case datSetArray::Stride:
        return MdcSystems;
    case datSetArray::MdcFlag:
        return MdcSystems * MdcFlagEntries;
    }
    return 1;
}

int datSettingPlace(const datSettingDef& row, int part, int n)
{
    const int place = row.parts[static_cast<std::size_t>(part)].place;
    switch (row.array) {
    case datSetArray::None:
        return place;
    case datSetArray::Stride:
        return place + row.stride * n;
    case datSetArray::MdcFlag:
        return place + MdcRecordBytes * (n / MdcFlagEntries) + n % MdcFlagEntries;
    }
    return place;
}

std::int64_t datReadSetting(const cmcEeprom& image, const datSettingDef& row, int n)
{
    if (row.nParts == 0)
        return 0;
    std::int64_t sum = 0;
    for (int p = 0; p < row.nParts; ++p) {
        const datSetPart& part = row.parts[static_cast<std::size_t>(p)];
        std::int64_t bits = readPart(image, part, datSettingPlace(row, p, n));
        if (row.isSigned && part.width < 64 && (bits >> (part.width - 1)) != 0)
            bits -= std::int64_t{1} << part.width;
        sum += bits * part.weight;
    }
    if (sum == 0 && row.zeroReadsAs != 0)
        return row.zeroReadsAs;
    return sum / row.divisor;
}

void datWriteSetting(cmcEeprom& image, const datSettingDef& row, int n, std::int64_t value)
{
    if (row.nParts == 0)
        return;
    std::int64_t rest = value * row.divisor;
    // Largest weight first: each part takes what its weight divides out of the rest.
    std::array<int, datSetMaxParts> order{0, 1, 2};
    const auto weightOf = [&row](int p) { return row.parts[static_cast<std::size_t>(p)].weight; };
    for (std::size_t i = 1; i < static_cast<std::size_t>(row.nParts); ++i)
        for (std::size_t j = i; j > 0 && weightOf(order[j]) > weightOf(order[j - 1]); --j)
            std::swap(order[j], order[j - 1]);
    for (int i = 0; i < row.nParts; ++i) {
        const int p = order[static_cast<std::size_t>(i)];
        const datSetPart& part = row.parts[static_cast<std::size_t>(p)];
        std::int64_t bits = rest / part.weight;
        if (!row.isSigned)
            bits = std::clamp<std::int64_t>(bits, 0, part.Mask());
        rest -= bits * part.weight;
        writePart(image, part, datSettingPlace(row, p, n), static_cast<std::uint32_t>(bits) & part.Mask());
        if (row.mirrorPlace != 0)
            writePart(image, part, row.mirrorPlace, static_cast<std::uint32_t>(bits) & part.Mask());
    }
}

datSetRange datSettingRange(const cmcEeprom& image, const datSettingDef& row)
{
    datSetRange r{row.lo, row.hi};
    if (row.loAbovePlace != 0)
        r.lo = std::max(r.lo, GetBE16(image.Bytes() + row.loAbovePlace) + 1);
    if (row.hiBelowPlace != 0)
        r.hi = std::min(r.hi, GetBE16(image.Bytes() + row.hiBelowPlace) - 1);
    if (row.codec == datSetCodec::IdEntry)
        r.hi = std::min(r.hi, datIndividualIdCount(image) - 1);
    return r;
}

bool datSettingGrey(const cmcEeprom& image, const datSettingDef& row)
{
    switch (row.grey) {
    case datSetGrey::Never:
        return false;
    case datSetGrey::BitClear:
        return (image.GetByte(row.greyPlace) & (1u << row.greyBit)) == 0;
    case datSetGrey::TextBlank:
        for (int i = 0; i < row.greyBit; ++i) {
            const std::uint8_t c = image.GetByte(row.greyPlace + i);
            if (c != ' ' && c != 0)
                return false;
        }
        return true;
    }
    return false;
}

std::vector<datSetByte> datSettingBytes(const datSettingDef& row, int n)
{
    std::vector<datSetByte> out;
    if (row.nParts == 0 || row.length > 4) {
        const int place = datSettingPlace(row, 0, n);
        for (int i = 0; i < row.length; ++i)
            out.push_back({place + i, 0xFF});
        return out;
    }
    for (int p = 0; p < row.nParts; ++p) {
        const datSetPart& part = row.parts[static_cast<std::size_t>(p)];
        const int place = datSettingPlace(row, p, n);
        const std::uint64_t mask = std::uint64_t{part.Mask()} << part.lo;
        for (int i = 0; i < part.bytes; ++i) {
            const auto m = static_cast<std::uint8_t>((mask >> (8 * (part.bytes - 1 - i))) & 0xFF);
            if (m == 0)
                continue;
            auto it = std::find_if(out.begin(), out.end(),
                                   [&](const datSetByte& b) { return b.address == place + i; });
            if (it == out.end())
                out.push_back({place + i, m});
            else
                it->mask |= m;
            if (row.mirrorPlace != 0)
                out.push_back({row.mirrorPlace + i, m});
        }
    }
    return out;
}

std::vector<std::string> datSettingsMapProblems(std::span<const datSettingDef> rows)
{
    std::vector<std::string> problems;
    std::vector<bool> bound(static_cast<std::size_t>(clLogicCount), false);
    for (const datSettingDef& row : rows) {
        for (const clLogic l : {row.logic, row.logic2}) {
            if (l == clLogic::Count_)
                continue;
            const auto i = static_cast<std::size_t>(clIndex(l));
            if (i >= bound.size()) {
                problems.push_back("a row binds no known logic");
                continue;
            }
            if (bound[i])
                problems.push_back(std::string(clLogicName(clIndex(l))) + ": bound by two rows");
            bound[i] = true;
        }
        rowProblems(row, problems);
    }
    return problems;
}

void datSelfCheckSettingsMap()
{
    const std::vector<std::string> problems = datSettingsMapProblems(datSettingsMap());
    if (!problems.empty())
        cmcFatalStop("Settings map: " + problems.front());
}
