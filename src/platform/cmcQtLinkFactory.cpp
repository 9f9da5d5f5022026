#include "platform/cmcQtLinkFactory.h"

#include "platform/cmcComm.h"
#include "platform/cmcTcpClient.h"

std::unique_ptr<cmcSerialLink> cmcQtLinkFactory::CreateSerial()
{
    return std::make_unique<cmcComm>();
}

std::unique_ptr<cmcTcpLink> cmcQtLinkFactory::CreateTcp()
{
    return std::make_unique<cmcTcpClient>();
}
