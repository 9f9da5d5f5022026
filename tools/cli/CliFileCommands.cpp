// The document commands: the open sequence, a summary of a file, a new file, and a file
// opened and saved again as the program does.
#include "cells/datMemoryMap.h"
#include "cells/datTables.h"
#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "image/cmcBigEndian.h"

#include <array>
#include <cstdio>

namespace {
int code(cmcIcfResult result) { return static_cast<int>(result); }

int check(CliSession& session, const std::vector<std::string>& arguments)
{
    const cmcIcfResult result = session.Document().Open(arguments[0]);
    if (result == cmcIcfResult::Ok)
        std::printf("OK\n");
    return code(result);
}

int info(CliSession& session, const std::vector<std::string>& arguments)
{
    indDocument& document = session.Document();
    if (const cmcIcfResult result = document.Open(arguments[0]); result != cmcIcfResult::Ok)
        return code(result);
    const cmcEeprom& image = document.Working();
    const std::uint8_t* b = image.Bytes();
    const int usedEnd = GetBE16(b + datUsedEndPlace);
    std::printf("model words: %04X %04X\n", document.FileWord1(), document.FileWord2());
    std::printf("comment: %s\n", document.Comment().c_str());
    std::printf("map revision: %d\n", document.FileMapRev());
    std::printf("channels in bank 0: %d\n", datChannelCount(image, 0));
    std::printf("individual IDs: %d\n", datIndividualIdCount(image));
    std::printf("talk groups: %d\n", datTalkGroupCount(image));
    std::printf("repeaters: %d\n", static_cast<int>(b[datSiteCountPlace]));
    std::printf("end of the used dynamic area: 0x%04X\n", usedEnd);
    std::printf("free bytes in the dynamic area: %d\n", datDynamicEnd - usedEnd);
    std::printf("table descriptors: %d\n", GetBE16(b + datDescriptorTablePlace + 4));
    return cliOk;
}

int makeNew(CliSession& session, const std::vector<std::string>& arguments)
{
    session.Document().New();
    return code(session.Document().Save(arguments[0]));
}

int roundTrip(CliSession& session, const std::vector<std::string>& arguments)
{
    if (const cmcIcfResult result = session.Document().Open(arguments[0]); result != cmcIcfResult::Ok)
        return code(result);
    return code(session.Document().Save(arguments[1]));
}

constexpr std::array kCommands{
    CliCommand{"check", "FILE", 1, 1, check},
    CliCommand{"info", "FILE", 1, 1, info},
    CliCommand{"new", "OUT", 1, 1, makeNew},
    CliCommand{"roundtrip", "FILE OUT", 2, 2, roundTrip},
};
} // namespace

std::span<const CliCommand> CliFileCommands() { return kCommands; }
