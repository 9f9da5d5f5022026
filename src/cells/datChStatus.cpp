// The parts of the work record that depend on its kind: the status bits computed from and
// written back to references, the in-use rule, and the bits the encoder derives.
#include "cells/datCh.h"

#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>

namespace {

int readBE16(const cmcEeprom& image, int place)
{
    return GetBE16(image.Bytes() + place);
}
void writeBE16(cmcEeprom& image, int place, int value)
{
    SetBE16(image.Bytes() + place, value);
}

bool bankBit(const cmcEeprom& image, int base, int bank)
{
    return (image.GetByte(base + bank / 8) & (0x80 >> (bank % 8))) != 0;
}

void setBankBit(cmcEeprom& image, int base, int bank, bool on)
{
    const int place = base + bank / 8;
    const auto mask = static_cast<std::uint8_t>(0x80 >> (bank % 8));
    const std::uint8_t old = image.GetByte(place);
    image.SetByte(place, static_cast<std::uint8_t>(on ? (old | mask) : (old & ~mask)));
}

bool thirdInForce(const cmcEeprom& image)
{
    return (image.GetByte(datThirdInForcePlace) & 0x20) != 0;
}

// A text holds a character other than a blank.
bool hasText(std::string_view text)
{
    return text.find_first_not_of(' ') != std::string_view::npos;
}

std::uint8_t bankStatus(const cmcEeprom& image, int bank)
{
    std::uint8_t s = 0;
    if (bankBit(image, datBankFlags1Place, bank))
        s |= datStBank1;
    if (bankBit(image, datBankFlags2Place, bank))
        s |= datStBank2;
    return s;
}

void writeBankStatus(cmcEeprom& image, int bank, std::uint8_t status)
{
    setBankBit(image, datBankFlags1Place, bank, (status & datStBank1) != 0);
    setBankBit(image, datBankFlags2Place, bank, (status & datStBank2) != 0);
}

} // namespace

void datCh::decodeStatus()
{
    status = 0;
    inUse = true;
    const cmcEeprom& image = *source_;
    switch (kind_) {
    case datKindChannel: {
        const bool inForce = thirdInForce(image);
        if (switches_->priority) {
            if (index_ == 0)
                status |= datStPrioA | datStPrioB;
        } else {
            if (readBE16(image, datPrioAPlace) == index_)
                status |= datStPrioA;
            if (readBE16(image, datPrioBPlace) == index_)
                status |= datStPrioB;
        }
        if (inForce && readBE16(image, datThirdRefPlace) == index_)
            status |= datStThird;
        if (!inForce)
            status |= datStThirdOff;
        status |= bankStatus(image, datBankOfChannel(image, index_));
        inUse = Get(datField::ChRxFreq) != 0 || Get(datField::ChDigitalMarker) != 0;
        break;
    }
    case datKindBank:
        status = bankStatus(image, index_);
        break;
    case datKindRepeater: {
        const int site = datSiteOfRepeater(image, index_);
        const int number = index_ - datFirstRepeater(image, site) + 1;
        if (Get(datField::RptSiteHome) == static_cast<std::uint32_t>(number))
            status |= datStHome;
        // In use by the stored frequency, before any clamping.
        inUse = (raw_[0][0] | raw_[0][1] | raw_[0][2] | raw_[0][3]) != 0;
        break;
    }
    case datKindIndividualId:
        inUse = index_ < datIndividualIdCount(image);
        break;
    case datKindTalkGroup:
        inUse = index_ < datTalkGroupCount(image);
        break;
    default:
        break;
    }
}

void datCh::encodeStatus()
{
    cmcEeprom& image = *image_;
    switch (kind_) {
    case datKindChannel: {
        if (switches_->priority) {
            const auto both = static_cast<std::uint8_t>(datStPrioA | datStPrioB);
            status = static_cast<std::uint8_t>(index_ == 0 ? (status | both) : (status & ~both));
        }
        if (status & datStPrioA)
            writeBE16(image, datPrioAPlace, index_);
        if (status & datStPrioB)
            writeBE16(image, datPrioBPlace, index_);
        if (status & datStThird)
            writeBE16(image, datThirdRefPlace, index_);
        const std::uint8_t force = image.GetByte(datThirdInForcePlace);
        image.SetByte(datThirdInForcePlace,
                      static_cast<std::uint8_t>((status & datStThirdOff) ? (force & ~0x20) : (force | 0x20)));
        writeBankStatus(image, datBankOfChannel(image, index_), status);
        break;
    }
    case datKindBank:
        writeBankStatus(image, index_, status);
        break;
    case datKindRepeater: {
        const datPartDef& site = datPartsOf(datKindRepeater)[1];
        const int s = datSiteOfRepeater(image, index_);
        const int place = site.base + site.stride * s + site.statusByte;
        const int number = index_ - datFirstRepeater(image, s) + 1;
        // A repeater marked for deletion takes the home mark with it only when it holds it:
        // deleting another repeater of the site keeps the site's home repeater.
        if (status & datStDelete) {
            if (image.GetByte(place) == number)
                image.SetByte(place, 0);
        } else if (status & datStHome) {
            image.SetByte(place, static_cast<std::uint8_t>(number));
        }
        break;
    }
    default:
        break;
    }
}

void datCh::applyEncodeRules()
{
    switch (kind_) {
    case datKindMskIdGroup:
        Set(datField::MskGrpHasText, hasText(Text(datField::MskGrpText)) ? 1 : 0);
        break;
    case datKindMskCallList: {
        // The address part is rewritten whole: 0xFF in all four bytes, then the digits.
        const std::uint32_t address = Get(datField::MskCallAddress);
        std::fill_n(raw_[0].begin(), 4, std::uint8_t{0xFF});
        Set(datField::MskCallAddress, address);
        Set(datField::MskCallHasText, hasText(Text(datField::MskCallText)) ? 1 : 0);
        break;
    }
    default:
        break;
    }
}
