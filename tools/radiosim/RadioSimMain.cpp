// torvane-radiosim: a radio of this family on a TCP port (the network adaptor) or a
// pseudo-terminal (the programming cable), with its memory loaded from a clone file. The
// first line on standard output is "listening HOST:PORT" or "pty PATH" once it is ready.
// Exit codes: 64 for a bad command line, the clone file code (1 to 9) when the image
// cannot be loaded, 69 when the port cannot be made, 70 for a definition error.
#include "radiosim/RadioSim.h"
#include "radiosim/RadioSimConfig.h"
#include "radiosim/RadioSimPtyPort.h"
#include "radiosim/RadioSimTcpPort.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcOverlayLoading.h"
#include "base/cmcTextTables.h"
#include "cells/indModelData.h"
#include "cli/CliSession.h"
#include "image/cmcEeprom.h"
#include "image/cmcIcfFile.h"
#include "image/cmcImageGeometry.h"
#include "platform/cmcQtTimers.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
constexpr int exitUsage = 64;
constexpr int exitUnavailable = 69;
constexpr int exitSoftware = 70;

struct LoadedImage {
    cmcEeprom image;
    std::uint16_t word1 = 0x8826;
    std::uint16_t word2 = 0x0000;
};

// Any model's clone file is taken: the radio is whatever the file holds.
cmcIcfResult loadImage(const std::string& path, LoadedImage& loaded)
{
    loaded.image.SetSize(cmcImageSize);
    cmcIcfFile file;
    file.SetImage(loaded.image);
    file.SetModelCheck([&loaded](int word1, int word2, cmcIcfResult&) {
        loaded.word1 = static_cast<std::uint16_t>(word1);
        loaded.word2 = static_cast<std::uint16_t>(word2);
        return true;
    });
    file.SetMapRevCheck([](int) { return true; });
    return file.ReadCloneFile(path, nullptr);
}

void saveMemory(const RadioSim& sim, const std::string& path)
{
    cmcEeprom copy;
    copy.CopyFrom(sim.Memory());
    cmcIcfFile file;
    file.SetImage(copy);
    file.SetModelWords(sim.Config().modelWord1, sim.Config().modelWord2);
    file.SetMapRev(sim.Config().mapRevision);
    const AddressRangeList ranges{{0, sim.ReadEnd()}, AddressRangeList::ListEnd};
    if (file.WriteCloneFile(path, ranges) != cmcIcfResult::Ok)
        std::fprintf(stderr, "torvane-radiosim: cannot save '%s'\n", path.c_str());
}
} // namespace

int main(int argc, char** argv)
{
    const RadioSimOptions options = ParseRadioSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "torvane-radiosim: %s\n%s", options.error.c_str(), RadioSimUsage());
        return exitUsage;
    }

    QCoreApplication application(argc, argv);
    cmcQtTimers timers;
    cmcSetFatalHandler([](const std::string& text) {
        std::fprintf(stderr, "torvane-radiosim: %s\n", text.c_str());
        std::fflush(nullptr);
        std::_Exit(exitSoftware);
    });

    // The overlay texts, for the messages of the clone file reader and writer.
    cmcGTex mainText;
    cmcGTex languages;
    cmcHelpGTex help;
    cmcSetTextTables(&mainText, &languages, &help);
    const std::string folder = CliSession::FindDataFolder();
    int language = 0;
    cmcLoadOverlays(folder, indOverlayBaseName, language);

    LoadedImage loaded;
    const std::string imagePath =
        options.imagePath.empty() ? folder + MainText().GetEntry("GI_App_InitialFile", 0) : options.imagePath;
    if (const cmcIcfResult result = loadImage(imagePath, loaded); result != cmcIcfResult::Ok) {
        std::fprintf(stderr, "torvane-radiosim: cannot load '%s'\n", imagePath.c_str());
        return static_cast<int>(result);
    }

    std::unique_ptr<RadioSimTcpPort> tcp;
    std::unique_ptr<RadioSimPtyPort> pty;
    RadioSimPort* port = nullptr;
    std::string error;
    std::string ready;
    if (options.pty) {
        pty = std::make_unique<RadioSimPtyPort>();
        if (!pty->Open(error)) {
            std::fprintf(stderr, "torvane-radiosim: %s\n", error.c_str());
            return exitUnavailable;
        }
        port = pty.get();
        ready = "pty " + pty->Path();
    } else {
        tcp = std::make_unique<RadioSimTcpPort>();
        if (!tcp->Listen(options.tcpHost, options.tcpPort, error)) {
            std::fprintf(stderr, "torvane-radiosim: cannot listen on %s:%d: %s\n", options.tcpHost.c_str(),
                         options.tcpPort, error.c_str());
            return exitUnavailable;
        }
        port = tcp.get();
        ready = "listening " + tcp->Address();
    }

    RadioSim sim(options.config, *port);
    sim.SetModelWords(loaded.word1, loaded.word2);
    sim.SetMemory(loaded.image);
    if (tcp)
        tcp->Attach(sim);

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(nullptr, &std::fclose);
    if (!options.logPath.empty()) {
        log.reset(std::fopen(options.logPath.c_str(), "w"));
        if (!log) {
            std::fprintf(stderr, "torvane-radiosim: cannot write the log '%s'\n", options.logPath.c_str());
            return exitUnavailable;
        }
        sim.SetLogSink([file = log.get()](const std::string& line) {
            std::fprintf(file, "%s\n", line.c_str());
            std::fflush(file);
        });
    }
    if (!options.savePath.empty())
        sim.SetWriteListener([&sim, path = options.savePath] { saveMemory(sim, path); });

    sim.Start();
    std::printf("%s\n", ready.c_str());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
