#include "UiTestBed.h"

#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "support/ShippedTexts.h"
#include "ui/cuiGrid.h"

#include <QApplication>
#include <QVBoxLayout>

#include <fstream>
#include <set>

namespace {
void readLines(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "#End_Of_Ovl")
            break;
        lines.push_back(line);
    }
}
} // namespace

// The shipped overlay with the fixture records; a fixture record replaces the shipped one
// of the same key.
std::vector<std::string> UiTestBed::OverlayLines()
{
    std::vector<std::string> fixture;
    readLines(std::string(UI_TEST_DATA) + "TestSheets.ovl", fixture);
    std::set<std::string> replaced;
    for (const std::string& line : fixture) {
        if (line.size() > 1 && line[0] == '#')
            replaced.insert(line);
    }
    std::vector<std::string> shipped;
    readLines(ShippedTexts::ProgramFolder() + "RB8826E.OVL", shipped);
    std::vector<std::string> lines;
    bool skipping = false;
    for (const std::string& line : shipped) {
        if (!line.empty() && line[0] == '#')
            skipping = replaced.count(line) != 0;
        if (!skipping)
            lines.push_back(line);
    }
    lines.insert(lines.end(), fixture.begin(), fixture.end());
    lines.push_back("#End_Of_Ovl");
    return lines;
}

UiTestBed::UiTestBed() : host(document, 100)
{
    (void)main.SetLines(OverlayLines());
    const std::string folder = ShippedTexts::ProgramFolder();
    languages.SetFile(folder + "RB8826T.OVL");
    help.SetFile(folder + "RB8826H.OVL");
    cmcSetTextTables(&main, &languages, &help);
    previousEvents_ = cmcSetEvMan(&events);
    previousStore_ = cmcSetSettingsStore(&settings);
    (void)document.LoadInitialFile(folder + "RB8826T_Initial.icf");
    records = std::make_unique<datRecordService>(events, document.Working(), document.Default());
}

UiTestBed::~UiTestBed()
{
    window_.reset();
    records.reset();
    cmcSetSettingsStore(previousStore_);
    cmcSetEvMan(previousEvents_);
    cmcSetTextTables(nullptr, nullptr, nullptr);
}

cuiSheet& UiTestBed::Open(const std::string& name, const std::function<void(cuiSheet&)>& configure)
{
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* sheet = new cuiSheet(window_.get(), host, nullptr, 0, 0, main, name);
    sheet->SetWidthKey(name);
    if (configure)
        configure(*sheet);
    layout->addWidget(sheet);
    window_->resize(900, 600);
    window_->show();
    sheet->Build();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get()); // a popup of an earlier test may have held it
    sheet->Grid().setFocus();
    Settle();
    return *sheet;
}

void UiTestBed::Close()
{
    window_.reset();
}

void UiTestBed::ProgramChannels(int n)
{
    cmcEeprom& image = Image();
    datSetChannelCount(image, 0, n);
    for (int i = 0; i < n; ++i) {
        datCh ch(image);
        ch.decode(datKindChannel, i);
        const auto hz = 150'000'000u + 12'500u * static_cast<std::uint32_t>(i);
        ch.Set(datField::ChRxFreq, hz);
        ch.Set(datField::ChTxFreq, hz);
        ch.SetText(datField::ChName, "CH" + std::to_string(i));
        ch.encode(datKindChannel, i);
    }
    (void)Static2Dynamic(image, false);
}

void UiTestBed::Settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        timers.Advance(cmcEvMan::DispatchPeriodMs);
    }
    QApplication::processEvents();
}
