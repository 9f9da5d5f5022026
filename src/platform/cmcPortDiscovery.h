#pragma once
// The serial ports present on this computer, for the port choice of the link options and
// for opening a port by its number. Devices are found under /dev (ttyUSB*, ttyACM*, the
// links under serial/by-id) and through the serial-port enumeration of the platform (which
// also tells the real ttyS* UARTs from the many nodes without hardware behind them); each
// gets its number from the port map. Port lines read "5: FT232R USB UART (/dev/ttyUSB0)".
#include "base/cmcSettingsStore.h"
#include "platform/cmcPortMap.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;

// A serial port as the platform's enumeration reports it.
struct cmcSerialDeviceInfo {
    std::string path;        // "/dev/ttyUSB0"
    std::string description; // "FT232R USB UART"; may be empty
};

class cmcPortDiscovery {
public:
    // Where devices are looked for; tests give a folder of their own and a fixed list.
    struct Source {
        std::string devRoot = "/dev";
        std::function<std::vector<cmcSerialDeviceInfo>()> systemPorts;
    };
    static Source SystemSource();

    explicit cmcPortDiscovery(cmcSettingsStore& store, Source source = SystemSource());

    // The numbers of the present ports, as decimal texts, ascending (the plain port list).
    std::vector<std::string> ListRegistryPorts();
    // The numbers of the present ports, ascending. Devices met for the first time get
    // their numbers here.
    std::vector<int> ListDevicePorts();
    // One line "n: description (device)" for each of numbers whose device is present,
    // ascending by number. A device without a description of its own is named by its
    // by-id link name or as a serial port.
    std::vector<std::string> ListPortDescriptions(const std::vector<int>& numbers);

    // The device of port number ("" when none).
    [[nodiscard]] std::string DeviceOf(int number) const { return map_.DeviceOf(number); }
    // A device path the user typed: its number, given one when new; 0 when the path does
    // not name a character device.
    int AssignDevicePath(const std::string& path);
    // The port number a port choice names: a device path (see AssignDevicePath), or
    // PortNumberOf the text.
    int NumberOfChoice(std::string_view text);

    // The descriptive port choice: the port lines, the port of the box's current text
    // selected again, the drop-down widened to the longest line.
    void FillPortChoice(QComboBox& box);
    // The plain port choice: the port numbers; the box's text stays as it was.
    void FillPlainPortChoice(QComboBox& box);

private:
    struct Found {
        std::string path;
        std::string description;
    };
    void scan();
    [[nodiscard]] std::string describe(const std::string& device) const;

    cmcPortMap map_;
    Source source_;
    bool scanned_ = false;
    std::vector<cmcSerialDeviceInfo> system_;
    std::vector<std::string> devices_; // found by the last scan, in numbering order
};

// "COMn" gives n; any other text the decimal number at its start (0 when none).
[[nodiscard]] int PortNumberOf(std::string_view text);
// Device names in natural order: "ttyUSB2" before "ttyUSB10".
[[nodiscard]] bool NaturalLess(std::string_view a, std::string_view b);
// A device is present when its path (or the target of its link) exists.
[[nodiscard]] bool IsDevicePresent(const std::string& path);

// The same on the program's settings store and this computer's devices.
std::vector<std::string> ListRegistryPorts();
std::vector<int> ListDevicePorts();
std::vector<std::string> ListPortDescriptions(const std::vector<int>& numbers);
void FillPortChoice(QComboBox& box);
void FillPlainPortChoice(QComboBox& box);
