#include "cells/datTables.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <array>

namespace {
using R = datCountRule;
using U = datTableUse;

constexpr datTableDef Fixed(int id, int size, int n, int place)
{
    return {id, size, R::Fixed, n, place, U::Packed, false, 0};
}
constexpr datTableDef Blank(int id, int size, int n, int place)
{
    return {id, size, R::Fixed, n, place, U::Packed, true, 0};
}
constexpr datTableDef Unpacked(int id, int size, int n, int place, bool blank = false)
{
    return {id, size, R::Fixed, n, place, U::UnpackOnly, blank, 0};
}

// PTBL-ID, record size, count rule, static slots, static place. The packed rows are in the
// radio's packing order; that order is part of the radio's memory layout.
constexpr std::array Tables{
    datTableDef{2, 32, R::ChannelsOutsideBanks, datMaxChannels, 0xFF80, U::Packed, true, 0},
    Fixed(7, 16, 1, 0x10380),
    Fixed(15, 4, 17, 0x10390),
    Fixed(6, 32, 1, 0x107AC),
    Fixed(62, 2, 1, 0x107CC),
    Fixed(18, 12, 32, 0x103D4),
    Blank(27, 12, 32, 0x10554),
    Blank(32, 12, 8, 0x106D4),
    Blank(77, 12, 10, 0x10734),
    datTableDef{4, 32, R::BankChannels, datMaxChannels, 0xFF80, U::Packed, false, 2},
    datTableDef{5, 27, R::BankChannels, datMaxChannels, 0x107CE, U::Packed, false, 3},
    datTableDef{3, 27, R::ChannelsOutsideBanks, datMaxChannels, 0x107CE, U::Packed, true, 0},
    Fixed(8, 222, 1, 0x10B2E),
    Blank(10, 24, 16, 0x10C2C),
    Blank(11, 49, 16, 0x10DAC),
    Fixed(16, 34, 17, 0x111E8),
    Fixed(24, 16, 1, 0x11EA7),
    Fixed(25, 16, 1, 0x11E97),
    Fixed(26, 8, 1, 0x11C0F),
    Fixed(29, 42, 8, 0x11ABF),
    Fixed(30, 16, 24, 0x11EB7),
    Fixed(31, 16, 24, 0x12037),
    datTableDef{34, 16, R::IndividualIdsUsed, datMaxListEntries, 0x121C7, U::Packed, true, 0},
    datTableDef{35, 14, R::TalkGroupsUsed, datMaxListEntries, 0x14109, U::Packed, true, 0},
    Fixed(37, 33, 1, 0x15C67),
    Fixed(89, 24, 1, 0x176C8),
    Fixed(85, 1000, 1, 0x15E7C),
    Fixed(86, 1000, 1, 0x164F8),
    Fixed(9, 32, 1, 0x10C0C),
    Fixed(12, 128, 1, 0x110BC),
    Fixed(13, 12, 1, 0x1113C),
    Fixed(17, 37, 11, 0x1142A),
    Fixed(19, 20, 32, 0x115C1),
    Fixed(20, 52, 11, 0x11841),
    Fixed(21, 8, 1, 0x11A7D),
    Fixed(22, 24, 2, 0x11A85),
    Blank(28, 20, 32, 0x11C17),
    Blank(33, 2, 8, 0x121B7),
    Fixed(46, 54, 10, 0x17875),
    Fixed(63, 16, 100, 0x168E0),
    Fixed(64, 16, 100, 0x16F20),
    Fixed(65, 32, 1, 0x1A24B),
    Fixed(66, 18, 1, 0x1A26B),
    Fixed(67, 1, 1, 0x1A27D),
    Fixed(68, 1, 1, 0x1A27E),
    Fixed(69, 39, 1, 0x1A27F),
    Fixed(70, 96, 16, 0x1A2A6),
    Fixed(71, 12, 1, 0x1A8A6),
    Fixed(72, 2, 63, 0x1764A),
    Fixed(87, 4, 1, 0x1763C),
    Fixed(88, 2, 1, 0x17640),
    Fixed(73, 2, 1, 0x17642),
    Fixed(74, 2, 1, 0x17644),
    Fixed(75, 2, 1, 0x17646),
    Fixed(76, 2, 1, 0x17648),
    Blank(78, 2, 10, 0x17626),
    Fixed(79, 2, 1, 0x1763A),
    Fixed(80, 6, 1, 0x17620),
    Fixed(82, 16, 6, 0x175C0),
    Fixed(83, 2, 1, 0x14107),
    Fixed(84, 6, 1, 0x15C61),
    datTableDef{1, datDescriptorSize, R::Descriptors, datDescriptorCopySlots, datDescriptorCopyPlace,
                U::Packed, false, 0},
    // Tables that a radio image may hold: unpacked, and packed again when the image held them.
    Unpacked(38, 500, 1, 0x15C88),
    Unpacked(39, 500, 1, 0x16304),
    Unpacked(81, 96, 1, 0x17560),
    Unpacked(14, 4, 40, 0x11148, true),
    Unpacked(36, 4, 40, 0x16264, true),
    Unpacked(40, 1, 1, 0x176E0),
    Unpacked(41, 4, 1, 0x176E1),
    Unpacked(42, 8, 1, 0x176E5),
    Unpacked(43, 10, 20, 0x176ED, true),
    Unpacked(45, 6, 32, 0x177B5, true),
    Unpacked(47, 12, 5, 0x17A91),
    Unpacked(48, 20, 5, 0x17ACD),
    Unpacked(49, 8, 5, 0x17C35),
    Unpacked(50, 8, 5, 0x17C0D),
    Unpacked(51, 10, 5, 0x17BB3),
    Unpacked(52, 4, 5, 0x17B9F),
    Unpacked(53, 8, 5, 0x17BE5),
    Unpacked(54, 16, 5, 0x17B4F),
    Unpacked(55, 6, 5, 0x17B31),
    Unpacked(56, 10, 5, 0x17C5D),
    Unpacked(57, 10, 5, 0x17C8F),
    Unpacked(58, 6, 5, 0x17CC1),
    Unpacked(59, 15, 500, 0x184FF, true),
    Unpacked(60, 208, 5, 0x17CDF),
    Unpacked(61, 208, 5, 0x180EF),
    // Only the default image's preparation copies it.
    datTableDef{23, 10, R::Fixed, 1, 0x11AB5, U::PrefillOnly, false, 0},
};

// The working-area counts and mirrors after the descriptor copy; no table may cover them.
constexpr int WorkingCountsStart = datIndividualIdCountPlace;
constexpr int WorkingCountsEnd = datHeaderMirrorPlace + 4;
static_assert(WorkingCountsEnd == cmcImageSize);

bool Overlap(int start1, int end1, int start2, int end2)
{
    return start1 < end2 && start2 < end1;
}
} // namespace

std::span<const datTableDef> datTableList()
{
    return Tables;
}

const datTableDef* datFindTable(std::span<const datTableDef> tables, int ptblId)
{
    const auto it = std::find_if(tables.begin(), tables.end(),
                                 [ptblId](const datTableDef& t) { return t.ptblId == ptblId; });
    return it == tables.end() ? nullptr : &*it;
}

const datTableDef* datFindTable(int ptblId)
{
    return datFindTable(Tables, ptblId);
}

std::vector<std::string> datTableProblems(std::span<const datTableDef> tables)
{
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const datTableDef& t = tables[i];
        for (std::size_t j = i + 1; j < tables.size(); ++j) {
            if (tables[j].ptblId == t.ptblId)
                problems.push_back(Format("PTBL-ID %d is listed twice.", t.ptblId));
        }
        if (t.recordSize <= 0 || t.slots <= 0 || t.staticPlace < cmcWorkingAreaStart ||
            t.StaticEnd() > cmcImageSize)
            problems.push_back(Format("PTBL-ID %d: static place 0x%X (%d x %d bytes) lies outside the "
                                      "working area.",
                                      t.ptblId, t.staticPlace, t.slots, t.recordSize));
        if (Overlap(t.staticPlace, t.StaticEnd(), WorkingCountsStart, WorkingCountsEnd))
            problems.push_back(
                Format("PTBL-ID %d covers the working counts at 0x%X.", t.ptblId, WorkingCountsStart));
        for (std::size_t j = i + 1; j < tables.size(); ++j) {
            const datTableDef& u = tables[j];
            if (!Overlap(t.staticPlace, t.StaticEnd(), u.staticPlace, u.StaticEnd()))
                continue;
            const bool declaredShare = (t.sharesPlaceWith == u.ptblId || u.sharesPlaceWith == t.ptblId) &&
                                       t.staticPlace == u.staticPlace && t.StaticBytes() == u.StaticBytes();
            if (!declaredShare)
                problems.push_back(Format("The static places of PTBL-ID %d (0x%X) and %d (0x%X) overlap.",
                                          t.ptblId, t.staticPlace, u.ptblId, u.staticPlace));
        }
        if (t.sharesPlaceWith != 0 && datFindTable(tables, t.sharesPlaceWith) == nullptr)
            problems.push_back(Format("PTBL-ID %d shares the place of PTBL-ID %d, which is not listed.",
                                      t.ptblId, t.sharesPlaceWith));
    }
    // The bank's channel tables are packed as one block.
    std::vector<std::size_t> bank;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].count == datCountRule::BankChannels)
            bank.push_back(i);
    }
    if (!bank.empty() && bank.back() - bank.front() + 1 != bank.size())
        problems.push_back("The bank channel tables are not packed one after the other.");
    return problems;
}

void datSelfCheckTables(std::span<const datTableDef> tables)
{
    const std::vector<std::string> problems = datTableProblems(tables);
    if (!problems.empty())
        cmcFatalStop("Self Check Error.\nMemory map table: " + problems.front());
}

void datSelfCheckTables()
{
    datSelfCheckTables(Tables);
}
