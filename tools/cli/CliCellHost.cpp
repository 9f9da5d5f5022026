#include "cli/CliCellHost.h"

#include "cells/indDocument.h"

CliCellHost::CliCellHost(indDocument& document)
    : document_(document), previousEvents_(cmcSetEvMan(&events_)),
      service_(std::make_unique<datRecordService>(events_, document.Working(), document.Default())),
      previousResponder_(cmcSetMessageResponder(&responder_))
{
}

CliCellHost::~CliCellHost()
{
    cmcSetMessageResponder(previousResponder_);
    service_.reset();
    cmcSetEvMan(previousEvents_);
}

void CliCellHost::OpenSelectionPopup(const cmcCellCapsule&, const std::string& listName, int flexCode,
                                     int currentValue)
{
    popup_ = {CliPopup::Kind::Selection, listName, flexCode, currentValue};
}

void CliCellHost::OpenModelSelectionPopup(const cmcCellCapsule&, const std::string& listName, int flexCode,
                                          int currentValue, const std::string&)
{
    popup_ = {CliPopup::Kind::ModelSelection, listName, flexCode, currentValue};
}

void CliCellHost::OpenBitFieldPopup(const cmcCellCapsule&, unsigned bits, int first, int last, int)
{
    popup_ = {CliPopup::Kind::BitField, {}, 0, static_cast<int>(bits), first, last};
}

void CliCellHost::OpenTextPopup(const cmcCellCapsule&, const std::string&, int)
{
    popup_ = {};
    popup_.kind = CliPopup::Kind::Text;
}

void CliCellHost::OpenCharacterEditor(const cmcCellCapsule&, const std::string&, int width, int height)
{
    popup_ = {};
    popup_.kind = CliPopup::Kind::CharacterEditor;
    popup_.width = width;
    popup_.height = height;
}

CliPopup CliCellHost::TakePopup()
{
    CliPopup taken = popup_;
    popup_ = {};
    return taken;
}

std::vector<std::string> CliCellHost::TakeRefusals()
{
    std::vector<std::string> taken;
    taken.swap(responder_.refusals);
    return taken;
}

cmcMbResult CliCellHost::Responder::Respond(const cmcMessage& message)
{
    if (message.buttons == cmcMbButtons::Ok)
        refusals.push_back(message.text);
    return cmcFirstButton(message.buttons);
}
