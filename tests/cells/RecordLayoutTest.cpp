#include "RecordTestImage.h"

#include "cells/datTone.h"
#include "cells/datVudaAdr.h"
#include "image/cmcBigEndian.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

void fillRandom(cmcEeprom& image, std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (int a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, static_cast<std::uint8_t>(random()));
}

// Image addresses of the bits the encoder derives for record index of kind.
std::vector<std::pair<int, std::uint8_t>> derivedPlaces(int kind, int index)
{
    std::vector<std::pair<int, std::uint8_t>> places;
    for (const datDerivedBits& d : datDerivedBitsList()) {
        if (d.kind != kind)
            continue;
        const datPartDef& part = datPartsOf(kind)[static_cast<std::size_t>(d.part)];
        places.emplace_back(part.base + part.stride * index + d.byte, d.mask);
    }
    return places;
}

TEST(RecordLayout, TablesAreSound)
{
    EXPECT_EQ(datLayoutProblems(), std::vector<std::string>{});
    std::set<std::string_view> categories;
    for (int kind = 0; kind < datKindCount; ++kind) {
        EXPECT_EQ(datRecordKinds[static_cast<std::size_t>(kind)].kind, kind);
        if (kind > 0) {
            EXPECT_TRUE(categories.insert(datKindOf(kind).category).second) << kind;
            EXPECT_GE(datSlotsOf(kind), datKindOf(kind).highest + 1) << kind;
        }
    }
    EXPECT_EQ(datKindOf(99).kind, 0);
}

// Arbitrary bytes in a record's places come back unchanged after decode and encode, except
// the bits the encoder derives, which a second round trip leaves alone.
TEST(RecordLayout, DecodeEncodeRoundTripsEveryKind)
{
    SwitchesGuard guard;
    datSwitches() = {};
    cmcEeprom original;
    MakeBlankImage(original);
    cmcEeprom image;
    for (int kind = 1; kind < datKindCount; ++kind) {
        const int slots = datSlotsOf(kind);
        for (int index : {0, slots / 2, slots - 1}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " record " << index);
            fillRandom(original, static_cast<std::uint32_t>(kind * 1000 + index));
            image.CopyFrom(original);
            datCh rec(image);
            rec.decode(kind, index);
            rec.encode(kind, index);

            cmcEeprom expected;
            expected.CopyFrom(original);
            for (const auto& [place, mask] : derivedPlaces(kind, index)) {
                const auto merged = (original.GetByte(place) & ~mask) | (image.GetByte(place) & mask);
                expected.SetByte(place, static_cast<std::uint8_t>(merged));
            }
            for (int a = 0; a < image.GetSize(); ++a) {
                ASSERT_EQ(image.GetByte(a), expected.GetByte(a)) << "address 0x" << std::hex << a;
            }
            cmcEeprom once;
            once.CopyFrom(image);
            rec.decode(kind, index);
            rec.encode(kind, index);
            EXPECT_TRUE(image.Equals(once));
        }
    }
}

// The fields read the places the radio keeps them in.
struct FieldCase {
    datField field;
    int index;
    int place; // first image byte
    std::vector<std::uint8_t> bytes;
    std::uint32_t value;
};

TEST(RecordLayout, FieldsReadTheirPlaces)
{
    const std::vector<FieldCase> cases = {
        {datField::ChRxFreq, 2, 0xFF80 + 64, {0x88, 0xB7, 0xD8, 0x40}, 0x08B7D840}, // flag bit 7 left out
        {datField::ChInhibit, 2, 0xFF80 + 64, {0x88}, 1},
        {datField::ChTxOff, 1, 0xFF80 + 32 + 4, {0x80}, 1},
        {datField::ChMode, 0, 0xFF80 + 12, {0x03}, 3},
        {datField::ChBandwidth, 0, 0xFF80 + 12, {0x10}, 2}, // bit 1 from bit 4
        {datField::ChBandwidth, 0, 0xFF80 + 12, {0x40}, 1}, // bit 0 from bit 6
        {datField::ChPower, 3, 0x107CE + 81, {0x02}, 2},
        {datField::ChTgList, 1, 0x107CE + 27 + 23, {0x01, 0x2C}, 300},
        {datField::ChIndList, 1, 0x107CE + 27 + 25, {0x00, 0x07}, 7},
        {datField::ChDigitalMarker, 4, 0x177B5 + 24, {0x5A}, 0x5A},
        {datField::IndId, 3, 0x121C7 + 48, {0x00, 0x01, 0x00, 0x02}, 65538},
        {datField::TgId, 499, 0x14109 + 14 * 499, {0xFF, 0xEF}, 65519},
        {datField::RptRxFreq, 1, 0x176ED + 10, {0xFF, 0xFF, 0xFF, 0xFF}, 799'999'950},
        {datField::RptPower, 0, 0x176ED + 8, {0x00}, 3},
        {datField::RptPower, 0, 0x176ED + 8, {0x08}, 1},
        {datField::RptSiteArea, 5, 0x176E5, {0x80}, 1},
        {datField::ScanMode, 2, 0x111E8 + 68 + 24, {0x03, 0x20}, 19}, // bit 4 from byte 25 bit 5
        {datField::ScanCancelCh, 2, 0x111E8 + 68 + 25, {0x08, 0x00, 0x02}, 18},
        {datField::ScanDispText, 0, 0x111E8 + 25, {0x80}, 1},
        {datField::ScanPrio2Ch, 16, 0x111E8 + 34 * 16 + 32, {0x00, 0x1F}, 31},
        {datField::DtmfCount, 10, 0x1142A + 370 + 36, {0x05}, 5},
        {datField::MskCallAddress, 4, 0x10554 + 48, {0x40, 0x95}, 4095},
        {datField::MskCallAddress, 4, 0x10554 + 48, {0x4A, 0x95}, 65535},
        {datField::MskCallSel, 0, 0x11C17 + 13, {0x10}, 0}, // set means off
        {datField::MskCallSel, 0, 0x11C17 + 13, {0x00}, 1},
        {datField::MskGrpBell, 7, 0x11ABF + 42 * 7 + 29, {0x03}, 3},
        {datField::MskShortSel, 3, 0x121B7 + 6, {0x02}, 1},
        {datField::NacSel, 9, 0x10BAE + 1, {0x40}, 1}, // entry 9: bit 6 of the second byte
        {datField::NacTx, 39, 0x16264 + 156 + 2, {0x00, 0x3F}, 63},
        {datField::EncKey, 62, 0x1764A + 124, {0x7F, 0xFF}, 32767},
        {datField::SdmSel, 9, 0x17626 + 18, {0x02}, 1},
        {datField::ChSwMove, 31, 0x1A24B + 31, {0x11}, 0x11},
        {datField::TtLow1, 1, 0x110BC + 9 + 3, {0xAB, 0xC0}, 0xABC},
        {datField::TtHigh1, 1, 0x110BC + 9 + 4, {0x0D, 0xEF}, 0xDEF},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << static_cast<int>(c.field) << " record " << c.index);
        cmcEeprom image;
        MakeBlankImage(image);
        for (std::size_t k = 0; k < c.bytes.size(); ++k)
            image.SetByte(c.place + static_cast<int>(k), c.bytes[k]);
        const datFieldDef& def = datFieldOf(c.field);
        datCh rec(image);
        rec.decode(def.kind, c.index);
        EXPECT_EQ(rec.Get(c.field), c.value);
    }
}

TEST(RecordLayout, SettingAFieldChangesOnlyItsBits)
{
    cmcEeprom image;
    MakeBlankImage(image);
    image.SetByte(0x107CE + 17, 0xF8); // options sharing the lockout's byte
    image.SetByte(0x107CE + 0, 0x83);  // power save and power level
    datCh ch(image);
    ch.decode(datKindChannel, 0);
    ch.Set(datField::ChLockout, 0x1F);
    ch.encode(datKindChannel, 0);
    EXPECT_EQ(image.GetByte(0x107CE + 0), 0x8F);
    EXPECT_EQ(image.GetByte(0x107CE + 17), 0xFF);

    ch.Set(datField::ChLockout, 0x05); // bits 0-1 = 1, bits 2-4 = 1
    ch.encode(datKindChannel, 0);
    EXPECT_EQ(image.GetByte(0x107CE + 0), 0x87);
    EXPECT_EQ(image.GetByte(0x107CE + 17), 0xF9);

    // Scan membership: list 0 in the most significant bit, one bitmap per list.
    ch.SetScanMembership(0x8001);
    ch.encode(datKindChannel, 0);
    EXPECT_EQ(image.GetByte(0x10390), 0x80);          // list 0, channel 0
    EXPECT_EQ(image.GetByte(0x10390 + 4 * 15), 0x80); // list 15
    EXPECT_EQ(image.GetByte(0x10390 + 4), 0x00);

    datCh twin(image);
    twin.decode(datKindChannel, 9);
    twin.SetInScanList(3, true);
    twin.encode(datKindChannel, 9);
    EXPECT_EQ(image.GetByte(0x10390 + 12 + 1), 0x40); // channel 9: second byte, bit 6
}

TEST(RecordLayout, EncodingDerivesTheTextFlagsAndTheCallListAddress)
{
    cmcEeprom image;
    MakeBlankImage(image);
    datCh group(image);
    group.decode(datKindMskIdGroup, 1);
    group.SetText(datField::MskGrpText, "   ");
    group.encode(datKindMskIdGroup, 1);
    EXPECT_EQ(image.GetByte(0x11ABF + 42 + 29) & 0x04, 0);
    group.SetText(datField::MskGrpText, "  A");
    group.encode(datKindMskIdGroup, 1);
    EXPECT_EQ(image.GetByte(0x11ABF + 42 + 29) & 0x04, 0x04);

    datCh call(image);
    call.decode(datKindMskCallList, 2);
    call.Set(datField::MskCallAddress, 123);
    call.SetText(datField::MskCallText, "BASE");
    call.encode(datKindMskCallList, 2);
    const int adr = 0x10554 + 24;
    EXPECT_EQ(image.GetByte(adr), 0x01);
    EXPECT_EQ(image.GetByte(adr + 1), 0x23);
    EXPECT_EQ(image.GetByte(adr + 2), 0xFF);
    EXPECT_EQ(image.GetByte(adr + 3), 0xFF);
    EXPECT_EQ(image.GetByte(0x11C17 + 40 + 13) & 0x20, 0x20);
    call.Set(datField::MskCallAddress, 65535);
    call.encode(datKindMskCallList, 2);
    EXPECT_EQ(image.GetByte(adr), 0xFF);
    EXPECT_EQ(image.GetByte(adr + 1), 0xFF);
}

TEST(RecordLayout, ToneFieldKeepsTheBitsItDoesNotName)
{
    const datTone dtcs = datDecodeTone(0x7123); // on, DTCS, inverted, code 0x123
    EXPECT_TRUE(dtcs.on);
    EXPECT_TRUE(dtcs.dtcs);
    EXPECT_TRUE(dtcs.inverted);
    EXPECT_EQ(dtcs.dtcsCode, 0x123);
    EXPECT_EQ(datEncodeTone(0x7123, dtcs), 0x7123);

    const datTone off = datDecodeTone(0x9E08);
    EXPECT_FALSE(off.on);
    EXPECT_FALSE(off.dtcs);
    EXPECT_EQ(off.toneIndex, 8);
    datTone ctcss = off;
    ctcss.on = true;
    ctcss.toneIndex = 20;
    EXPECT_EQ(datEncodeTone(0x9E08, ctcss), 0x1E14); // bits 1-4 of the first byte kept
}

TEST(RecordLayout, StatusBitsComeFromAndGoToTheReferences)
{
    SwitchesGuard guard;
    datSwitches() = {};
    cmcEeprom image;
    MakeBlankImage(image);
    datSetChannelCount(image, 0, 8);
    SetBE16(image.Bytes() + datPrioAPlace, 3);
    SetBE16(image.Bytes() + datPrioBPlace, 5);
    SetBE16(image.Bytes() + datThirdRefPlace, 5);
    image.SetByte(datThirdInForcePlace, 0x20);
    image.SetByte(datBankFlags1Place, 0x80);

    datCh ch(image);
    ch.decode(datKindChannel, 3);
    EXPECT_EQ(ch.status, datStPrioA | datStBank1);
    ch.decode(datKindChannel, 5);
    EXPECT_EQ(ch.status, datStPrioB | datStThird | datStBank1);

    // Marks written on another slot move the references there.
    ch.decode(datKindChannel, 6);
    ch.status = datStPrioA | datStThirdOff | datStBank2;
    ch.encode(datKindChannel, 6);
    EXPECT_EQ(GetBE16(image.Bytes() + datPrioAPlace), 6);
    EXPECT_EQ(GetBE16(image.Bytes() + datPrioBPlace), 5);
    EXPECT_EQ(image.GetByte(datThirdInForcePlace) & 0x20, 0);
    EXPECT_EQ(image.GetByte(datBankFlags1Place), 0x00);
    EXPECT_EQ(image.GetByte(datBankFlags2Place), 0x80);

    // With the priority switch, slot 0 is priority channel A and B whatever is stored.
    datSwitches().priority = true;
    ch.decode(datKindChannel, 0);
    EXPECT_EQ(ch.status & (datStPrioA | datStPrioB), datStPrioA | datStPrioB);
    ch.decode(datKindChannel, 6);
    EXPECT_EQ(ch.status & (datStPrioA | datStPrioB), 0);
    ch.status |= datStPrioB;
    ch.encode(datKindChannel, 6);
    EXPECT_EQ(GetBE16(image.Bytes() + datPrioBPlace), 5);
}

TEST(RecordLayout, RepeaterHomeAndDeletionMarksUseTheSiteRecord)
{
    cmcEeprom image;
    MakeBlankImage(image);
    datSetRepeaterCount(image, 0, 4);
    const int home = 0x176E5 + 7;
    image.SetByte(home, 3);
    image.SetByte(0x176E5 + 3, 0x77); // a site byte no field names
    datCh rpt(image);
    rpt.decode(datKindRepeater, 2);
    EXPECT_EQ(rpt.status & datStHome, datStHome);
    rpt.decode(datKindRepeater, 0);
    EXPECT_EQ(rpt.status & datStHome, 0);
    rpt.status |= datStHome;
    rpt.encode(datKindRepeater, 0);
    EXPECT_EQ(image.GetByte(home), 1);
    datCh other(image);
    other.decode(datKindRepeater, 3);
    other.status |= datStDelete; // another repeater leaves the site's home alone
    other.encode(datKindRepeater, 3);
    EXPECT_EQ(image.GetByte(home), 1);
    rpt.status |= datStDelete; // wins over the home mark
    rpt.encode(datKindRepeater, 0);
    EXPECT_EQ(image.GetByte(home), 0);
    EXPECT_EQ(image.GetByte(0x176E5 + 3), 0x77);
}

TEST(RecordLayout, InUseFollowsEachKindsRule)
{
    cmcEeprom image;
    MakeBlankImage(image);
    datSetIndividualIdCount(image, 2);
    datCh rec(image);
    rec.decode(datKindChannel, 0);
    EXPECT_FALSE(rec.inUse);
    image.SetByte(0x177B5, 1); // digital channel marker
    rec.decode(datKindChannel, 0);
    EXPECT_TRUE(rec.inUse);
    rec.decode(datKindIndividualId, 1);
    EXPECT_TRUE(rec.inUse);
    rec.decode(datKindIndividualId, 2);
    EXPECT_FALSE(rec.inUse);
    image.SetByte(0x176ED + 3, 1);
    rec.decode(datKindRepeater, 0);
    EXPECT_TRUE(rec.inUse);
}

TEST(RecordLayout, DecodingOutsideTheTableIsADefinitionError)
{
    FatalCatcher fatal;
    cmcEeprom image;
    MakeBlankImage(image);
    datCh rec(image);
    EXPECT_THROW(rec.decode(datKindChannel, 32), FatalStop);
    EXPECT_THROW(rec.decode(0, 0), FatalStop);
    rec.decode(datKindDtmf, 0);
    EXPECT_THROW((void)rec.Get(datField::ChRxFreq), FatalStop);
    const cmcEeprom& readOnly = image;
    datCh view(readOnly);
    view.decode(datKindDtmf, 0);
    EXPECT_THROW(view.encode(datKindDtmf, 0), FatalStop);
}

TEST(RecordCounts, CountsAreClampedToTheirTables)
{
    cmcEeprom image;
    MakeBlankImage(image);
    SetBE16(image.Bytes() + datBankCountPlace, 40);
    EXPECT_EQ(datChannelCount(image, 0), 32);
    EXPECT_EQ(datChannelCount(image, 1), 0);
    image.SetByte(datSiteCountPlace, 25);
    EXPECT_EQ(datRepeaterCount(image, 0), 20);
    SetBE16(image.Bytes() + datTalkGroupCountPlace, 0xFFFF);
    EXPECT_EQ(datTalkGroupCount(image), 500);
    datSetIndividualIdCount(image, 123);
    EXPECT_EQ(GetBE16(image.Bytes() + datIndividualIdCountPlace), 123);
    datSetChannelCount(image, 0, 99);
    EXPECT_EQ(GetBE16(image.Bytes() + datBankCountPlace), 32);
    EXPECT_EQ(datFirstChannel(image, 0), 0);
    EXPECT_EQ(datBankOfChannel(image, 31), 0);
}

} // namespace

namespace {

TEST(RecordLists, ReservedIdsAreSteppedOver)
{
    EXPECT_EQ(datSkipReservedId(65519, true), 65519u);
    EXPECT_EQ(datSkipReservedId(65520, true), 65535u);
    EXPECT_EQ(datSkipReservedId(65534, false), 65519u);
    EXPECT_EQ(datSkipReservedId(65535, false), 65535u);
}

TEST(RecordLists, AddressPlanFollowsTheBaseAddress)
{
    cmcEeprom image;
    MakeBlankImage(image);
    SetBE16(image.Bytes() + datVudaAdr::BasePlace, 1000);
    datVudaAdr plan;
    plan.Read(image);
    EXPECT_EQ(plan.Base(), 1000);
    EXPECT_TRUE(plan.Individual().Holds(999));
    EXPECT_FALSE(plan.Individual().Holds(1000));
    EXPECT_TRUE(plan.Group().Holds(1000));
    EXPECT_TRUE(plan.Group().Holds(4095));
    EXPECT_FALSE(plan.Group().Holds(4096));
    for (const datAddressRange& r : plan.BasePairs()) {
        EXPECT_EQ(r.low, 1000);
        EXPECT_EQ(r.high, 4095);
    }
    EXPECT_EQ(plan.FullPairs().size(), 32u);
    EXPECT_EQ(plan.FullPairs()[31].low, 0);
    EXPECT_EQ(plan.FullPairs()[31].high, 4095);

    plan.SetBase(0x2345); // beyond twelve bits
    EXPECT_EQ(plan.Base(), 4095);
    plan.SetBase(0);
    EXPECT_FALSE(plan.Individual().Holds(0)); // an empty individual range
    plan.SetBase(512);
    plan.Write(image);
    EXPECT_EQ(GetBE16(image.Bytes() + datVudaAdr::BasePlace), 512);
}

} // namespace
