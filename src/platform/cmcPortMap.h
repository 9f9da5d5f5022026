#pragma once
// The numbers of the serial ports. The link options, the "ComPort" setting and the port
// menu items name a serial port by a number from 1 to 256; this map gives every serial
// device the program has met (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*, the links under
// /dev/serial/by-id, a device path the user typed) a number of its own and keeps it in the
// settings store under the machine root, so a number means the same device in every run.
//
//   [LocalMachine\HARDWARE\DEVICEMAP\SERIALCOMM]
//   "COM1"="/dev/ttyS0"
//   "COM2"="/dev/ttyUSB0"
#include "base/cmcSettingsStore.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class cmcPortMap {
public:
    static constexpr int MaxPort = 256;
    static constexpr const char* KeyPath = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

    explicit cmcPortMap(cmcSettingsStore& store) : store_(store) {}

    // The device of port number, "" when the number has none.
    [[nodiscard]] std::string DeviceOf(int number) const;
    // The number of device, 0 when it has none.
    [[nodiscard]] int NumberOf(const std::string& device) const;
    // Every number that has a device, ascending.
    [[nodiscard]] std::vector<std::pair<int, std::string>> Entries() const;

    // The number of device, given one when it has none: the lowest free number, or when
    // all are taken the lowest whose device is not present now. 0 when none can be given
    // (or the store cannot be written). A new number is flushed to the store at once, so
    // it survives a program that does not end normally.
    int Assign(const std::string& device, const std::function<bool(const std::string&)>& present);

private:
    cmcSettingsStore& store_;
};
