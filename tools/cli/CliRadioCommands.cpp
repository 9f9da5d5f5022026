// torvane-cli radio: the program's clone sequences without windows.
//   radio info  (--tcp HOST:PORT | --serial DEVICE) [--password TEXT] [--low-speed]
//   radio read  ... -o FILE    reads the radio and saves the result as the program would
//   radio write FILE ... [--yes] opens FILE with the program's checks and writes it
// The same clone manager, driver and preparation as the program run on the real links
// under a Qt event loop. Messages go to standard error; a confirmation is answered OK only
// with --yes; the clone password comes from --password. While standard error is a terminal
// a progress bar shows the bytes moved. Exit code: 0, the clone result code, the clone
// file code of a file that cannot be opened or saved, 3 for a cancelled or refused
// command, 64 for a usage error.
#include "base/cmcGTex.h"
#include "base/cmcMemorySettingsStore.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"
#include "cells/indCloneInfo.h"
#include "cells/indDataCheck.h"
#include "cli/CliCellHost.h"
#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "link/indCloneHost.h"
#include "link/indCloneMan.h"
#include "link/indCloneSequences.h"
#include "platform/cmcComm.h"
#include "platform/cmcPortDiscovery.h"
#include "platform/cmcQtTimers.h"
#include "platform/cmcTcpClient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

struct RadioOptions {
    std::string command; // info, read, write
    std::string file;    // write: the clone file; read: the output
    std::optional<std::string> password;
    std::string tcp;
    std::string serial;
    bool lowSpeed = false;
    bool yes = false;
};

void complain(const std::string& text)
{
    std::fprintf(stderr, "torvane-cli: %s\n", text.c_str());
}

std::optional<RadioOptions> parse(const std::vector<std::string>& arguments)
{
    RadioOptions o;
    o.command = arguments[0];
    if (o.command != "info" && o.command != "read" && o.command != "write") {
        complain("radio: the command is info, read or write, not '" + o.command + "'.");
        return std::nullopt;
    }
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if ((a == "--tcp" || a == "--serial" || a == "--password" || a == "-o") && !hasValue) {
            complain("radio: " + a + " needs a value.");
            return std::nullopt;
        }
        if (a == "--tcp")
            o.tcp = arguments[++i];
        else if (a == "--serial")
            o.serial = arguments[++i];
        else if (a == "--password")
            o.password = arguments[++i];
        else if (a == "-o" && o.command == "read")
            o.file = arguments[++i];
        else if (a == "--low-speed")
            o.lowSpeed = true;
        else if (a == "--yes")
            o.yes = true;
        else if (o.command == "write" && o.file.empty() && !a.empty() && a.front() != '-')
            o.file = a;
        else {
            complain("radio: unknown argument '" + a + "'.");
            return std::nullopt;
        }
    }
    if (o.tcp.empty() == o.serial.empty()) {
        complain("radio: give either --tcp HOST:PORT or --serial DEVICE.");
        return std::nullopt;
    }
    if (o.command != "info" && o.file.empty()) {
        complain(o.command == "read" ? "radio read: give the output file with -o FILE."
                                     : "radio write: give the clone file to write.");
        return std::nullopt;
    }
    if (o.password && (o.password->empty() || o.password->size() > indCloneMan::MaxPasswordLength)) {
        complain("radio: the clone password has 1 to 16 characters.");
        return std::nullopt;
    }
    return o;
}

// The network adaptor's address: a dotted IPv4 address, or a host name looked up once.
std::optional<indLinkSettings> networkSettings(const std::string& text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        complain("radio: --tcp wants HOST:PORT.");
        return std::nullopt;
    }
    bool portOk = false;
    const int port = QString::fromStdString(text.substr(colon + 1)).toInt(&portOk);
    if (!portOk || port < 1 || port > 65535) {
        complain("radio: the TCP port must be a number from 1 to 65535.");
        return std::nullopt;
    }
    const QString host = QString::fromStdString(text.substr(0, colon));
    QHostAddress address;
    if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv4Protocol) {
        address.clear();
        for (const QHostAddress& found : QHostInfo::fromName(host).addresses())
            if (found.protocol() == QAbstractSocket::IPv4Protocol) {
                address = found;
                break;
            }
    }
    if (address.isNull()) {
        complain("radio: no IPv4 address for '" + host.toStdString() + "'.");
        return std::nullopt;
    }
    indLinkSettings settings;
    settings.network = true;
    settings.ipAddress = address.toString().toStdString();
    settings.tcpPort = port;
    return settings;
}

// The links of the tool: a serial device named on the command line gets a port number of
// this run only (nothing is written to the program's port map); a plain number is a port
// of the program's own map.
class CliLinkFactory final : public cmcLinkFactory {
public:
    explicit CliLinkFactory(bool ownMap) : ownMap_(ownMap) {}
    std::unique_ptr<cmcSerialLink> CreateSerial() override
    {
        return std::make_unique<cmcComm>(ownMap_ ? &store_ : nullptr);
    }
    std::unique_ptr<cmcTcpLink> CreateTcp() override { return std::make_unique<cmcTcpClient>(); }
    // The number of a device path in this run's map; 0 when it names no device.
    int Assign(const std::string& device)
    {
        return cmcPortMap(store_).Assign(device,
                                         [](const std::string& path) { return IsDevicePresent(path); });
    }

private:
    bool ownMap_;
    cmcMemorySettingsStore store_;
};

// Message boxes on standard error; OK/Yes only when --yes was given.
class CliResponder final : public cmcMessageResponder {
public:
    explicit CliResponder(bool yes) : yes_(yes), previous_(cmcSetMessageResponder(this)) {}
    ~CliResponder() override { cmcSetMessageResponder(previous_); }
    CliResponder(const CliResponder&) = delete;
    CliResponder& operator=(const CliResponder&) = delete;

    cmcMbResult Respond(const cmcMessage& message) override
    {
        std::fprintf(stderr, "%s\n", message.text.c_str());
        if (message.buttons == cmcMbButtons::Ok)
            return cmcMbResult::Ok;
        if (yes_)
            return cmcFirstButton(message.buttons);
        std::fprintf(stderr, "(not confirmed: give --yes to answer OK)\n");
        return message.buttons == cmcMbButtons::YesNo || message.buttons == cmcMbButtons::YesNoCancel
                   ? cmcMbResult::No
                   : cmcMbResult::Cancel;
    }

private:
    bool yes_;
    cmcMessageResponder* previous_;
};

class CliRadioHost final : public indCloneHost {
public:
    CliRadioHost(CliSession& session, std::optional<std::string> password)
        : session_(session), password_(std::move(password)), terminal_(isatty(STDERR_FILENO) != 0)
    {
    }

    void ShowProgress(const std::string& caption) override
    {
        caption_ = caption;
        shown_ = terminal_;
    }
    void UpdateProgress(long long done, long long total) override
    {
        if (!shown_)
            return;
        constexpr int width = 40;
        const long long filled = total > 0 ? std::min<long long>(width, done * width / total) : 0;
        const long long percent = total > 0 ? std::min<long long>(100, done * 100 / total) : 0;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(width, '.');
        std::fprintf(stderr, "\r%s [%s] %3lld%% %lld/%lld", caption_.c_str(), bar.c_str(), percent, done,
                     total);
        std::fflush(stderr);
    }
    void CloseProgress() override
    {
        if (shown_)
            std::fputc('\n', stderr);
        shown_ = false;
    }
    std::optional<std::string> AskClonePassword() override
    {
        if (!password_)
            complain("the radio has a clone password: give it with --password TEXT.");
        return password_;
    }
    void ShowCloneInfo(const indCloneInfo& info) override
    {
        std::printf("model words: %04X %04X\n", info.word1, info.word2);
        for (int logic = clIndex(clLogic::CL_CloneInfo_Model); logic < clIndex(clLogic::CL_CloneInfo_Dummy);
             ++logic) {
            std::string text = indCloneInfoText(info, static_cast<clLogic>(logic));
            while (!text.empty() && text.back() == '\n')
                text.pop_back();
            for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
                text.replace(at, 1, "; ");
            std::printf("%s: %s\n", std::string(clLogicName(logic).substr(13)).c_str(), text.c_str());
        }
    }
    int CountDataErrors() override
    {
        CliCellHost cells(session_.Document());
        return indCountDataErrors(cells);
    }

private:
    CliSession& session_;
    std::optional<std::string> password_;
    bool terminal_;
    bool shown_ = false;
    std::string caption_;
};

int radio(CliSession& session, const std::vector<std::string>& arguments)
{
    const std::optional<RadioOptions> options = parse(arguments);
    if (!options)
        return cliUsage;
    static int argc = 1;
    static char name[] = "torvane-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (QCoreApplication::instance() == nullptr)
        application = std::make_unique<QCoreApplication>(argc, argv);

    indLinkSettings settings;
    if (!options->tcp.empty()) {
        const std::optional<indLinkSettings> network = networkSettings(options->tcp);
        if (!network)
            return cliUsage;
        settings = *network;
    }
    bool digitsOnly = !options->serial.empty();
    for (const char c : options->serial)
        digitsOnly = digitsOnly && c >= '0' && c <= '9';
    CliLinkFactory links(!digitsOnly);
    if (!options->serial.empty()) {
        settings.comPort =
            digitsOnly ? std::stoi(options->serial.substr(0, 4)) : links.Assign(options->serial);
        if (settings.comPort < 1 || settings.comPort > 256) {
            complain("radio: '" + options->serial + "' is not a serial device or port number (1 to 256).");
            return cliUsage;
        }
    }
    settings.highSpeed = !options->lowSpeed;

    indDocument& document = session.Document();
    if (options->command == "write")
        if (const cmcIcfResult opened = document.Open(options->file); opened != cmcIcfResult::Ok)
            return static_cast<int>(opened);

    cmcQtTimers timers;
    CliResponder responder(options->yes);
    CliRadioHost host(session, options->password);
    indCloneMan manager(links, host);
    manager.SetLinkSettings(settings);
    indCloneSequences sequences(manager, document, host);

    QEventLoop loop;
    std::optional<indCloneSequences::Outcome> outcome;
    const indCloneSequences::Done done = [&](const indCloneSequences::Outcome& o) {
        outcome = o;
        loop.quit();
    };
    bool started = false;
    if (options->command == "info")
        started = sequences.ShowCloneInfo(done);
    else if (options->command == "read")
        started = sequences.ReadRadio(done);
    else
        started = sequences.WriteRadio(done);
    if (!started)
        return cliRefused;
    if (!outcome)
        loop.exec();
    if (!outcome || outcome->cancelled)
        return cliRefused;
    if (outcome->code != 0)
        return outcome->code;
    if (options->command == "read") {
        const cmcIcfResult saved = document.Save(options->file);
        if (saved != cmcIcfResult::Ok)
            return static_cast<int>(saved);
        std::fprintf(stderr, "Saved to '%s'.\n", options->file.c_str());
    }
    return cliOk;
}

constexpr std::array kCommands{
    CliCommand{"radio",
               "info|read|write (--tcp HOST:PORT | --serial DEVICE) [--password TEXT] [--low-speed] [--yes]"
               " (read: -o FILE; write: FILE)",
               1, -1, radio},
};

} // namespace

std::span<const CliCommand> CliRadioCommands()
{
    return kCommands;
}
