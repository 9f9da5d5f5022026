#include "ui/cuiFlector.h"

#include "ui/cuiGrid.h"
#include "ui/cuiImageList.h"
#include "ui/cuiSheet.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

cuiFlector::cuiFlector(const cmcCellCapsule& opener, CellHost& host) : cuiPopup(opener, host) {}

cuiFlector::cuiFlector(const cmcCellCapsule& opener, CellHost& host, cmcGTex& overlay,
                       const std::string& listName, int startLogic, int startArg)
    : cuiPopup(opener, host)
{
    sheet_ = new cuiSheet(this, host, &Opener(), startLogic, startArg, overlay, listName,
                          static_cast<const cuiImageList*>(opener.images));
    sheet_->SetPopupMode(true);
    Open({});
}

void cuiFlector::Open(const std::string& title)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!title.empty()) {
        auto* label = new QLabel(QString::fromStdString(title), this);
        label->setTextFormat(Qt::PlainText);
        label->setMargin(4);
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Button);
        layout->addWidget(label);
    }
    layout->addWidget(sheet_);
    sheet_->Build();
    cuiGrid& grid = sheet_->Grid();
    grid.SetScrollBarsShown(false);

    // Measure at a provisional size, then take the size the whole list needs.
    resize(200, 200);
    layout->activate();
    QSize size(sheet_->PreferredWidth(), sheet_->PreferredHeight());
    const QRect work = WorkArea();
    if (size.width() > work.width() || size.height() > work.height()) {
        grid.SetScrollBarsShown(true);
        resize(std::min(size.width(), work.width()), std::min(size.height(), work.height()));
        layout->activate();
        size = QSize(std::min(sheet_->PreferredWidth(), work.width()),
                     std::min(sheet_->PreferredHeight(), work.height()));
    }
    resize(size);
    layout->activate();
    const int col = grid.Col();
    const int row = grid.Row();
    grid.SetTopLeft(grid.FixedCols(), grid.FixedRows());
    grid.ScrollIntoView(col, row);
    PlaceAndShow();
    grid.setFocus(Qt::PopupFocusReason);
}
