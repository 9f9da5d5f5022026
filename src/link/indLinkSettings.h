#pragma once
// The link options a clone operation uses: the program takes them from its settings
// (PortSelect, ComPort, Clone_SpeedHigh, IpAddress, TcpipPort), the command-line tool from
// its arguments.
#include <string>

struct indLinkSettings {
    bool network = false;  // the network adaptor (TCP), else the serial cable
    int comPort = 1;       // serial port number, 1 to 256
    bool highSpeed = true; // memory moves at 38400 baud, else at 9600
    std::string ipAddress = "192.168.0.11";
    int tcpPort = 41000;
};
