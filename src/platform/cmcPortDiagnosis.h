#pragma once
// Why a serial port could not be opened, in words the user can act on: the port is not
// there, the account may not use it (and which group grants it), or another program holds
// it (and which one, when it can be seen).
#include <string>
#include <vector>

// A process that has the device open or holds its lock file.
struct cmcPortHolder {
    int pid = 0;
    std::string program; // its command name; "" when unknown
};

// Who may use a device and whether this process is one of them.
struct cmcPortAccess {
    bool exists = false;
    bool permitted = false;    // this process may read and write it
    std::string group;         // the device's group ("" when unknown)
    bool groupMayUse = false;  // the group has read and write permission
    bool memberNow = false;    // this process runs with the group
    bool memberListed = false; // the account is listed in the group (a new login takes it on)
    std::string user;          // the account name
};

[[nodiscard]] cmcPortAccess CheckPortAccess(const std::string& device);

// Processes holding device: open descriptors seen in /proc (of the processes this account
// may inspect) and the lock files of the serial-port locking convention.
[[nodiscard]] std::vector<cmcPortHolder> FindPortHolders(const std::string& device);

// The message for a port that could not be opened. portLabel names the port for the user
// ("5" or the device path); refused tells that the port service was denied the device
// (in use, or locked, when access itself is allowed); systemText is its own error text.
[[nodiscard]] std::string DescribeAccessProblem(const cmcPortAccess& access, const std::string& portLabel);
[[nodiscard]] std::string DescribePortOpenFailure(const std::string& device, const std::string& portLabel,
                                                  bool refused, const std::string& systemText);
