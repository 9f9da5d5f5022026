// The first cells of a channel row: the receive frequency of a conventional bank and the
// group identity of a trunked bank, which add a channel when a key arrives on the blank
// row; the transmit frequency and the tone squelch cells.
#include "cells/clChannelFamily.h"
#include "cells/clFieldRow.h"

#include "base/cmcEvMan.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <array>

namespace {

using L = clLogic;
using F = datField;

bool channelOf(clRun& run)
{
    if (clEnsureRecord(run, datKindChannel))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

// The blank row of a bank of the cell's type adds a channel; the cells of the other bank
// type show nothing there.
bool readyToEdit(clRun& run, clBankUse bank)
{
    if (run.blank) {
        // The row below a full table has no record; its bank is the last one.
        if (run.record.Kind() == datKindChannel && !clApplies(run.record, clWhen::Always, bank)) {
            run.capsule.output.clear();
            return false;
        }
        if (!clAddChannelAtBlankRow(run))
            return false;
    }
    if (!channelOf(run))
        return false;
    if (!clApplies(run.record, clWhen::Always, bank)) {
        clShowNotApplicable(run);
        return false;
    }
    return true;
}

cmcFrequencyPair pairOf(const datCh& ch)
{
    cmcFrequencyPair f;
    f.rx = ch.Get(F::ChRxFreq);
    f.tx = ch.Get(F::ChTxFreq);
    f.txOff = ch.Get(F::ChTxOff) != 0;
    f.inUse = ch.inUse;
    return f;
}

void storePair(clRun& run, const cmcFrequencyPair& f)
{
    run.record.Set(F::ChRxFreq, f.rx);
    run.record.Set(F::ChTxFreq, f.tx);
    run.record.store();
}

// CL_Mch_FreqR: the receive frequency; the transmit frequency follows it while the two
// are equal. A frequency in a range the coverage refuses is marked as an error.
void receiveFrequency(clRun& run)
{
    if (!readyToEdit(run, clBankUse::Conventional))
        return;
    cmcFrequencyPair f = pairOf(run.record);
    if (editFrequency(run.Codec(), f, cmcSide::Receive))
        storePair(run, f);
}

// CL_Mch_FreqT: "----" while transmitting is off; "<-" while equal to the receive side.
void transmitFrequency(clRun& run)
{
    if (run.blank) {
        run.capsule.output.clear();
        return;
    }
    if (!channelOf(run))
        return;
    if (!clApplies(run.record, clWhen::Always, clBankUse::Conventional) || run.record.Get(F::ChTxOff) != 0) {
        clShowNotApplicable(run);
        return;
    }
    cmcFrequencyPair f = pairOf(run.record);
    if (editFrequency(run.Codec(), f, cmcSide::Transmit))
        storePair(run, f);
}

// CL_Mch_CTone_R and _T: the tone squelch; the transmit tone follows the receive tone while
// the two are equal. A digital-only channel does not use them: they are drawn grey.
void toneOf(clRun& run, cmcSide side)
{
    if (run.blank) {
        run.capsule.output.clear();
        return;
    }
    if (!channelOf(run))
        return;
    if (!clApplies(run.record, clWhen::Always, clBankUse::Conventional)) {
        clShowNotApplicable(run);
        return;
    }
    cmcTonePair tones{run.record.Tone(F::ChRxTone), run.record.Tone(F::ChTxTone)};
    if (editTone(run.Codec(), tones, side)) {
        run.record.SetTone(F::ChRxTone, tones.rx);
        run.record.SetTone(F::ChTxTone, tones.tx);
        run.record.store();
    }
    if (clChannelType(run.record) == 3)
        run.capsule.fontColour = clSilverColour;
}
void receiveTone(clRun& run)
{
    toneOf(run, cmcSide::Receive);
}
void transmitTone(clRun& run)
{
    toneOf(run, cmcSide::Transmit);
}

// CL_Grp_RxId: the receive identity of a trunked group, 0 to 255; a channel of a trunked
// bank is in use while it is not 0.
void groupReceiveId(clRun& run)
{
    if (!readyToEdit(run, clBankUse::Trunked))
        return;
    int id = static_cast<int>(run.record.Get(F::ChDigitalMarker));
    cmcNumberForm form;
    form.lowest = 0;
    form.highest = 255;
    if (editNumber(run.Codec(), id, form) &&
        static_cast<std::uint32_t>(id) != run.record.Get(F::ChDigitalMarker)) {
        run.record.Set(F::ChDigitalMarker, static_cast<std::uint32_t>(id));
        run.record.store();
    }
}

constexpr std::array Bindings{
    clBinding{L::CL_Mch_FreqR, &receiveFrequency}, clBinding{L::CL_Mch_FreqT, &transmitFrequency},
    clBinding{L::CL_Mch_CTone_R, &receiveTone},    clBinding{L::CL_Mch_CTone_T, &transmitTone},
    clBinding{L::CL_Grp_RxId, &groupReceiveId},
};

} // namespace

bool clAddChannelAtBlankRow(clRun& run)
{
    if (!clIsAddKey(run.capsule)) {
        run.capsule.output.clear();
        return false;
    }
    cmcEeprom& image = run.Image();
    const int slot = run.Arg();
    const int bank = datBankOfChannel(image, std::min(slot, datMaxChannels - 1));
    if (datTotalChannels(image) >= datMaxChannels || !fits(image, datFitsChannels, 1, bank)) {
        clShowOverflow();
        run.capsule.output.clear();
        return false;
    }
    cmcEvents().Send(cmcEvCode::InsertChannel, bank, slot);
    // The record-table service added the channel; a row it could not add stays blank.
    const int first = datFirstChannel(image, bank);
    if (slot < first || slot >= first + datChannelCount(image, bank)) {
        run.capsule.output.clear();
        return false;
    }
    run.record.decode(datKindChannel, slot);
    run.kind = datKindChannel;
    run.blank = false;
    run.flags |= cmcRepaint::All;
    return true;
}

std::span<const clBinding> clChannelFrequencyBindings()
{
    return Bindings;
}
