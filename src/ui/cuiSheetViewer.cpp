#include "ui/cuiSheetViewer.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/datRecordService.h"
#include "cells/indDocument.h"
#include "ui/cuiCellHost.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetRef.h"

#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

std::optional<cuiSheetViewer::Request> cuiSheetViewer::TakeArguments(std::vector<std::string>& arguments)
{
    const auto word = std::find(arguments.begin(), arguments.end(), "--sheet");
    if (word == arguments.end() || word + 1 == arguments.end())
        return std::nullopt;
    Request request;
    request.reference = *(word + 1);
    // The next word is the clone file unless it is an option or one of the program's words.
    const auto isWord = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        return text == "/mintaro" || text == "/glimmer_kit";
    };
    auto end = word + 2;
    if (end != arguments.end() && !end->starts_with("-") && !isWord(*end)) {
        request.file = *end;
        ++end;
    }
    arguments.erase(word, end);
    return request;
}

cuiSheetViewer::cuiSheetViewer(const Request& request, const std::string& dataFolder, int zoomPercent)
    : document_(std::make_unique<indDocument>())
{
    const cuiSheetRef ref = cuiSheetRef::Parse(request.reference);
    setWindowTitle(QString::fromStdString(MainText().GetText("GI_Sys_AppTitle") + " - " + ref.name));
    if (document_->LoadInitialFile(dataFolder + MainText().GetText("GI_App_InitialFile")) != cmcIcfResult::Ok)
        return;
    if (!request.file.empty() && document_->Open(request.file) != cmcIcfResult::Ok)
        return;
    host_ = std::make_unique<cuiCellHost>(*document_, zoomPercent);
    // Adding and removing channels and list entries goes through the record-table service.
    records_ = std::make_unique<datRecordService>(cmcEvents(), document_->Working(), document_->Default());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    sheet_ = new cuiSheet(this, *host_, nullptr, 0, 0, MainText(), ref.name);
    sheet_->SetWidthKey(request.reference);
    sheet_->SetKind(ref.kind);
    layout->addWidget(sheet_);
    sheet_->Build();
    const cuiGrid& grid = sheet_->Grid();
    resize(std::min(grid.TotalWidth() + 40, 1200), std::min(grid.TotalHeight() + 40, 800));
    ready_ = true;
}

cuiSheetViewer::~cuiSheetViewer()
{
    // The sheet saves its widths and closes its popups while the document still lives.
    delete sheet_;
}
