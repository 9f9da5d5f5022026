#pragma once
// The links of the program: the serial port (cmcComm) and the network socket
// (cmcTcpClient).
#include "link/cmcLink.h"

class cmcQtLinkFactory final : public cmcLinkFactory {
public:
    std::unique_ptr<cmcSerialLink> CreateSerial() override;
    std::unique_ptr<cmcTcpLink> CreateTcp() override;
};
