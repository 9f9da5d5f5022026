#include "initial-image/InitialImage.h"

#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordLayout.h"
#include "cells/datTables.h"
#include "cells/indModelData.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace {
// Bytes written into the static form (or the system area): `records` copies, `stride` apart.
struct Declared {
    int address;
    int records;
    int stride;
    std::string_view bytes;
};

using namespace std::string_view_literals;

// The radio's header fields and the values that are not blank texts or zero.
constexpr Declared kDeclared[] = {
    {0x0180, 1, 0, "\x88\x24"sv},         // model word of the system area
    {datSignaturePlace, 1, 0, "ZELK Inc"sv},
    {0x02AA, 1, 0, "\x88\x26"sv},         // model word
    {0xFF80 + 8, 32, 32, "\x80\x00\x80\x00"sv}, // channels: receive and transmit tone off
    {0x10554, 32, 12, "\xFF\xFF\xFF\xFF"sv},    // MSK call list: no address
    {0x121C7, 1, 16, "\x00\x00\x00\x01"sv},     // the one individual ID: 1
    {0x14109, 1, 14, "\x00\x01"sv},             // the one talk group: 1
};

// The tables that a document carries besides the packed list, because cells edit them: tone
// entries, NAC channels, the repeater count, site and records, the channels' digital parts
// and the MDC aliases. Their blank-template tables hold one template record here.
constexpr int kCarried[] = {14, 36, 40, 41, 42, 43, 45, 59};

// Every text field of every record, in every slot, is blank (spaces) in a new document.
void blankTexts(std::uint8_t* b)
{
    for (int kind = 1; kind < datKindCount; ++kind) {
        const auto parts = datPartsOf(kind);
        for (const datFieldDef* field : datFieldsOf(kind)) {
            if (field->compose != datCompose::Text)
                continue;
            const datPartDef& part = parts[static_cast<std::size_t>(field->part)];
            if (part.form != datPartForm::Bytes)
                continue;
            for (int slot = 0; slot < part.slots; ++slot)
                for (int entry = 0; entry < field->entries; ++entry)
                    std::memset(b + part.base + part.stride * slot + field->lo.byte + entry * field->entryStride,
                                ' ', static_cast<std::size_t>(field->lo.nBytes));
        }
    }
}

// The packing list of the initial file: the program's packed tables, where the channel
// tables outside banks hold one template record, then the carried tables, then the
// descriptor table.
std::vector<datTableDef> initialTables()
{
    std::vector<datTableDef> tables;
    const datTableDef* descriptors = nullptr;
    for (const datTableDef& t : datTableList()) {
        if (t.use != datTableUse::Packed)
            continue;
        if (t.count == datCountRule::Descriptors) {
            descriptors = &t;
            continue;
        }
        datTableDef row = t;
        if (t.count == datCountRule::ChannelsOutsideBanks) {
            row.count = datCountRule::Fixed;
            row.slots = 1;
        }
        tables.push_back(row);
    }
    for (const int id : kCarried) {
        datTableDef row = *datFindTable(id);
        row.use = datTableUse::Packed;
        if (row.blankTemplate)
            row.slots = 1;
        tables.push_back(row);
    }
    tables.push_back(*descriptors);
    return tables;
}
} // namespace

void BuildInitialImage(cmcEeprom& image)
{
    image.SetSize(indModelImageSize);
    std::uint8_t* b = image.Bytes();
    blankTexts(b);
    for (const Declared& d : kDeclared)
        for (int r = 0; r < d.records; ++r)
            std::memcpy(b + d.address + r * d.stride, d.bytes.data(), d.bytes.size());
    datSetChannelCount(image, 0, 0);
    datSetIndividualIdCount(image, 1);
    datSetTalkGroupCount(image, 1);
    datSetRepeaterCount(image, 0, 0);
    Static2DynamicWith(image, false, initialTables());
}

cmcIcfResult WriteInitialImage(const std::string& path)
{
    cmcEeprom image;
    BuildInitialImage(image);
    cmcIcfFile file;
    file.SetImage(image);
    file.SetModelWords(indModelWord1, indModelWord2);
    file.SetMapRev(1);
    return file.WriteCloneFile(path, indAddressRanges(2));
}
