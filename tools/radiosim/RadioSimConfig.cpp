#include "radiosim/RadioSimConfig.h"

#include "base/cmcText.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
// A whole number in C notation (decimal, or hexadecimal with 0x) within low..high.
std::optional<long> parseNumber(const std::string& text, int base, long low, long high)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return value;
}

void putText(std::array<std::uint8_t, RadioSimInfoSize>& r, int at, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        r[static_cast<std::size_t>(at) + i] = static_cast<std::uint8_t>(text[i]);
}

// Bytes that would end or restart the information frame on the wire.
bool isDelimiter(long value)
{
    return value == 0xFD || value == 0xFE;
}
} // namespace

std::array<std::uint8_t, RadioSimInfoSize> RadioSimInfoRecord(const RadioSimConfig& config)
{
    std::array<std::uint8_t, RadioSimInfoSize> r{};
    r[0] = RadioSimInfoSize;
    putText(r, 2, "TORVANE RADIOSIM");
    putText(r, 18, "SIMULATED RADIO ");
    r[34] = config.revision;
    r[35] = config.mapRevision;
    putText(r, 37, "000A0B00000C");
    r[49] = 0x01;
    r[50] = 0x04;              // option 2
    r[51] = 0x10;              // DSP present
    r[52] = 0xC0;              // front unit; MCU, SCU and PC board
    std::uint8_t flags = 0x01; // PC board address present
    if (!config.password.empty()) {
        flags |= 0x08;
        if (!config.passwordForRead)
            flags |= 0x10;
    }
    r[53] = flags;
    putText(r, 56, Format("%04X", static_cast<unsigned>(config.lastAddress & 0xFFFF)));
    putText(r, 60, "1A2B");
    putText(r, 72, "3C4D");
    putText(r, 76, "12");
    putText(r, 82, "5E6F");
    putText(r, 87, "C0A8000B");
    r[99] = 0x10;
    r[100] = 0x0A;
    r[101] = 0x11;
    r[102] = 0x12;
    putText(r, 103, "7A8B");
    putText(r, 107, "9C0D");
    putText(r, 127, "01360");
    putText(r, 132, "01740");
    return r;
}

bool ParseRadioSimFault(const std::string& text, RadioSimFaults& faults)
{
    const std::size_t at = text.find('@');
    const std::string name = text.substr(0, at);
    std::optional<long> n;
    if (at != std::string::npos) {
        n = parseNumber(text.substr(at + 1), 10, 0, 1000000);
        if (!n)
            return false;
    }
    const int count = static_cast<int>(n.value_or(0));
    const bool takesCount = name == "bad-checksum" || name == "stall" || name == "drop" || name == "busy";
    if (n && !takesCount)
        return false;
    if (name == "silent")
        faults.silent = true;
    else if (name == "refuse")
        faults.refuse = true;
    else if (name == "bad-checksum")
        faults.badChecksumRecord = n ? count : 1;
    else if (name == "bad-count")
        faults.badCount = true;
    else if (name == "stall")
        faults.stallAfter = count;
    else if (name == "drop")
        faults.dropAfter = count;
    else if (name == "write-fail")
        faults.writeFail = true;
    else if (name == "busy")
        faults.busyWrites = n ? count : 1;
    else
        return false;
    return !(name == "bad-checksum" && faults.badChecksumRecord < 1);
}

const char* RadioSimUsage()
{
    return "usage: torvane-radiosim (--tcp HOST:PORT | --pty) [--image FILE] [--save FILE]\n"
           "         [--revision N] [--map-rev N] [--password TEXT] [--password-for-read]\n"
           "         [--last-address HEX] [--baud N] [--pace] [--echo] [--log FILE]\n"
           "         [--fault NAME[@N]]...\n"
           "faults: silent, refuse, bad-checksum@N, bad-count, stall@N, drop@N, write-fail, busy@N\n";
}

RadioSimOptions ParseRadioSimOptions(const std::vector<std::string>& arguments)
{
    RadioSimOptions o;
    RadioSimConfig& c = o.config;
    const auto refuse = [&o](std::string why) {
        o.error = std::move(why);
        return o;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const std::string value = hasValue ? arguments[i + 1] : std::string();
        const bool takesValue = a == "--tcp" || a == "--image" || a == "--save" || a == "--revision" ||
                                a == "--map-rev" || a == "--password" || a == "--last-address" ||
                                a == "--log" || a == "--fault" || a == "--baud";
        if (takesValue && !hasValue)
            return refuse(a + " needs a value");
        if (takesValue)
            ++i;
        if (a == "--tcp") {
            const std::size_t colon = value.rfind(':');
            const auto port = colon == std::string::npos ? std::nullopt
                                                         : parseNumber(value.substr(colon + 1), 10, 0, 65535);
            if (!port || colon == 0)
                return refuse("--tcp wants HOST:PORT with a port of 0 to 65535");
            o.tcpHost = value.substr(0, colon);
            o.tcpPort = static_cast<int>(*port);
        } else if (a == "--pty") {
            o.pty = true;
        } else if (a == "--image") {
            o.imagePath = value;
        } else if (a == "--save") {
            o.savePath = value;
        } else if (a == "--log") {
            o.logPath = value;
        } else if (a == "--revision" || a == "--map-rev") {
            const auto n = parseNumber(value, 0, 0, 255);
            if (!n || isDelimiter(*n))
                return refuse(a + " wants a byte value other than 0xFD and 0xFE");
            (a == "--revision" ? c.revision : c.mapRevision) = static_cast<std::uint8_t>(*n);
        } else if (a == "--password") {
            if (value.empty() || value.size() > 16 || !IsPrintableAscii(value))
                return refuse("--password wants 1 to 16 printable ASCII characters");
            c.password = value;
        } else if (a == "--password-for-read") {
            c.passwordForRead = true;
        } else if (a == "--last-address") {
            const auto n = parseNumber(value, 16, 0x000F, 0xFF7F);
            if (!n)
                return refuse("--last-address wants a hexadecimal address of 000F to FF7F");
            c.lastAddress = static_cast<int>(*n);
        } else if (a == "--baud") {
            const auto n = parseNumber(value, 10, 1, 4000000);
            if (!n)
                return refuse("--baud wants a positive number");
            c.baud = static_cast<int>(*n);
        } else if (a == "--pace") {
            c.pace = true;
        } else if (a == "--echo") {
            c.echo = true;
        } else if (a == "--fault") {
            if (!ParseRadioSimFault(value, c.faults))
                return refuse("unknown fault '" + value + "'");
        } else {
            return refuse("unknown argument '" + a + "'");
        }
    }
    if ((o.tcpPort >= 0) == o.pty)
        return refuse("choose one of --tcp HOST:PORT and --pty");
    if (c.passwordForRead && c.password.empty())
        return refuse("--password-for-read needs --password");
    return o;
}
