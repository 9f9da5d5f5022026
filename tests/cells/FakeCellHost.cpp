#include "FakeCellHost.h"

#include <gtest/gtest.h>

FakeCellHost::FakeCellHost()
{
    const cmcIcfResult loaded =
        document_.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf");
    EXPECT_EQ(loaded, cmcIcfResult::Ok) << "the shipped initial file did not load";
}

void FakeCellHost::record(const cmcCellCapsule& opener, FakePopupRequest request)
{
    if (opener.cell) {
        request.openerLogic = opener.cell->logic;
        request.openerArg = opener.cell->arg;
    }
    popups.push_back(std::move(request));
}

void FakeCellHost::OpenSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                      int currentValue)
{
    FakePopupRequest r;
    r.kind = FakePopupRequest::Kind::Selection;
    r.list = listName;
    r.flex = flexCode;
    r.current = currentValue;
    record(opener, std::move(r));
}

void FakeCellHost::OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName,
                                           int flexCode, int currentValue, const std::string& title)
{
    FakePopupRequest r;
    r.kind = FakePopupRequest::Kind::ModelSelection;
    r.list = listName;
    r.flex = flexCode;
    r.current = currentValue;
    r.title = title;
    record(opener, std::move(r));
}

void FakeCellHost::OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                                     int labelStyle)
{
    FakePopupRequest r;
    r.kind = FakePopupRequest::Kind::BitField;
    r.current = static_cast<int>(bits);
    r.first = first;
    r.last = last;
    r.labelStyle = labelStyle;
    record(opener, std::move(r));
}

void FakeCellHost::OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText, int maxLength)
{
    FakePopupRequest r;
    r.kind = FakePopupRequest::Kind::Text;
    r.text = escapedText;
    r.maxLength = maxLength;
    record(opener, std::move(r));
}

void FakeCellHost::OpenCharacterEditor(const cmcCellCapsule& opener, const std::string& bits, int width,
                                       int height)
{
    FakePopupRequest r;
    r.kind = FakePopupRequest::Kind::CharacterEditor;
    r.text = bits;
    r.width = width;
    r.height = height;
    record(opener, std::move(r));
}

const FakePopupRequest& FakeCellHost::LastPopup() const
{
    static const FakePopupRequest none;
    EXPECT_FALSE(popups.empty()) << "no popup was asked for";
    return popups.empty() ? none : popups.back();
}

FakeCell::FakeCell(ctCategory category, clLogic logic, int arg)
    : FakeCell(static_cast<int>(category), clIndex(logic), arg)
{
}

FakeCell::FakeCell(int category, int logic, int arg)
{
    cell.category = category;
    cell.logic = logic;
    cell.arg = arg;
    sourceCell.category = ctNoCategory;
    source.cell = &sourceCell;
    Draw();
}

cmcCellCapsule& FakeCell::begin(bool event)
{
    capsule.cell = &cell;
    capsule.source = nullptr;
    capsule.eventSource = event ? &eventSourceTag_ : nullptr;
    capsule.output.clear();
    capsule.input.clear();
    capsule.state &= static_cast<std::uint8_t>(~(cmcCellCapsule::Warning | cmcCellCapsule::Error));
    capsule.selStart = 0;
    capsule.selLength = 0;
    capsule.key = 0;
    capsule.command = 0;
    capsule.op = cmcCellCapsule::OpKeyOrDraw;
    capsule.redirect = {};
    capsule.fontColour.reset();
    result = 0;
    return capsule;
}

cmcCellCapsule& FakeCell::Draw()
{
    begin(false);
    capsule.drawing = true;
    return capsule;
}

cmcCellCapsule& FakeCell::Key(int key)
{
    begin(true);
    capsule.drawing = false;
    capsule.key = key;
    return capsule;
}

cmcCellCapsule& FakeCell::Input(const std::string& text)
{
    begin(true);
    capsule.drawing = false;
    capsule.op = cmcCellCapsule::OpSetInput;
    capsule.input = text;
    return capsule;
}

cmcCellCapsule& FakeCell::Choice(clLogic flex, int value, const std::string& label, const std::string& input)
{
    begin(true);
    capsule.drawing = false;
    capsule.op = cmcCellCapsule::OpPopupChoice;
    capsule.input = input;
    sourceCell.logic = clIndex(flex);
    sourceCell.arg = value;
    if (label.empty())
        sourceCell.argText.reset();
    else
        sourceCell.argText = label;
    source.cell = &sourceCell;
    capsule.source = &source;
    return capsule;
}

CellTestBed::CellTestBed()
{
    previous_ = cmcSetEvMan(&events);
    events.Register(&CellTestBed::onEvent, this);
}

CellTestBed::~CellTestBed()
{
    events.Unregister(&CellTestBed::onEvent, this);
    cmcSetEvMan(previous_);
}

void CellTestBed::onEvent(void* user, const cmcEvent& event)
{
    if (event.code == cmcEvCode::Idle)
        return;
    static_cast<CellTestBed*>(user)->raised_.push_back({event.code, event.arg1, event.arg2});
}

std::vector<FakeRaisedEvent> CellTestBed::TakeEvents()
{
    timers.Advance(cmcEvMan::DispatchPeriodMs * 2);
    std::vector<FakeRaisedEvent> taken;
    taken.swap(raised_);
    return taken;
}

bool CellTestBed::Raised(cmcEvCode code)
{
    for (const FakeRaisedEvent& e : TakeEvents())
        if (e.code == code)
            return true;
    return false;
}
