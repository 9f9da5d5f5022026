#include "ui/cuiToolBar.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "cells/cmcCellCapsule.h"
#include "cells/cmcCellParser.h"
#include "cells/indActiveCell.h"
#include "ui/cuiImageList.h"
#include "ui/cuiToolBarLayout.h"

#include <QPainter>
#include <QToolButton>
#include <QWidget>

namespace {
// A separator: a gap of its width with an etched line down its middle; the line break's
// separator is a single pixel wide.
class SeparatorWidget final : public QWidget {
public:
    SeparatorWidget(int width, QWidget* parent) : QWidget(parent), width_(width)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }
    [[nodiscard]] QSize sizeHint() const override { return {width_, 1}; }
    [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int x = width() / 2;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(x, 2, x, height() - 3);
        if (width_ > 2) {
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(x + 1, 2, x + 1, height() - 3);
        }
    }

private:
    int width_;
};
} // namespace

cuiToolBar::cuiToolBar(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name,
                       const cuiImageList& images)
    : owner_(owner), host_(host), overlay_(overlay), name_(std::move(name)), images_(images),
      bar_(new QWidget(owner)), context_(std::make_unique<QObject>())
{
    layout_ = new cuiToolBarLayout(bar_);
    bar_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    cmcEvents().Register(&cuiToolBar::onEvent, this);
}

cuiToolBar::~cuiToolBar()
{
    cmcEvents().Unregister(&cuiToolBar::onEvent, this);
    context_.reset();
    // The buttons go with the bar; deleting it later lets a click that destroys the bar end.
    if (!bar_.isNull()) {
        bar_->hide();
        bar_->deleteLater();
    }
}

void cuiToolBar::BuildButtons(ClickHandler onClick)
{
    onClick_ = std::move(onClick);
    cmcParseCell(basicCell_, overlay_.GetEntry(name_ + "_BasicCell", 0), nullptr, nullptr);
    const std::string key = name_ + "_Body";
    for (int i = 0;; ++i) {
        const std::string line = overlay_.GetEntry(key, i);
        if (!line.empty() && line.front() == '#')
            break;
        addEntry(line);
    }
    bar_->adjustSize();
}

void cuiToolBar::addEntry(const std::string& line)
{
    Entry entry;
    entry.cell = std::make_unique<cmcCellObj>();
    cmcParseCell(*entry.cell, line, nullptr, &basicCell_);
    const std::string& text = entry.cell->DisplayText();
    if (text == "-") {
        entry.kind = Kind::Separator;
        layout_->addWidget(new SeparatorWidget(SeparatorWidth, bar_));
    } else if (text == "/") {
        entry.kind = Kind::LineBreak;
        layout_->addWidget(new SeparatorWidget(1, bar_));
        layout_->AddLineBreak();
    } else {
        auto* button = new QToolButton(bar_);
        button->setAutoRaise(false);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(images_.Size(), images_.Size()));
        button->setToolTip(QString::fromStdString(text));
        const int index = static_cast<int>(entries_.size());
        QObject::connect(button, &QToolButton::clicked, context_.get(), [this, index] { clicked(index); });
        layout_->addWidget(button);
        entry.button = button;
    }
    entries_.push_back(std::move(entry));
    applyImage(entries_.back());
}

void cuiToolBar::applyImage(Entry& entry)
{
    if (entry.button.isNull() || entry.cell->imageIndex == entry.image)
        return;
    entry.image = entry.cell->imageIndex;
    entry.button->setIcon(entry.image >= 0 ? QIcon(images_.At(entry.image)) : QIcon());
}

cuiToolBar::Kind cuiToolBar::KindAt(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return Kind::Separator;
    return entries_[static_cast<std::size_t>(index)].kind;
}

QToolButton* cuiToolBar::Button(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return entries_[static_cast<std::size_t>(index)].button.data();
}

const cmcCellObj* cuiToolBar::CellAt(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return entries_[static_cast<std::size_t>(index)].cell.get();
}

void cuiToolBar::Refresh()
{
    for (Entry& entry : entries_) {
        if (entry.button.isNull())
            continue;
        cmcCellObj& cell = *entry.cell;
        // The display rules only set flags: a button once pressed must be able to come up.
        cell.marks &= static_cast<std::uint8_t>(~cmcCellObj::FlagMask);
        cell.extra &= static_cast<std::uint8_t>(~cmcCellObj::ExtraFlag);
        cmcCellCapsule capsule;
        capsule.owner = owner_.data();
        capsule.cell = &cell;
        indActiveCell active(host_);
        (void)active.run(capsule);
        entry.down = (cell.marks & cmcCellObj::Flag0) != 0;
        entry.button->setCheckable(entry.down);
        entry.button->setChecked(entry.down);
        entry.button->setEnabled((cell.marks & cmcCellObj::Flag2) == 0);
        applyImage(entry);
    }
}

void cuiToolBar::clicked(int index)
{
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    const cmcCellObj cell = *entry.cell; // the command may rebuild the bar
    if (onClick_) {
        // The handler owns the buttons' states (the character editor groups them).
        onClick_(index, cell);
        return;
    }
    // A check button toggles itself when clicked; what it shows is the logic's business.
    if (!entry.button.isNull() && entry.button->isCheckable())
        entry.button->setChecked(entry.down);
    cmcCellObj copy = cell;
    cmcCellCapsule capsule;
    capsule.owner = owner_.data();
    capsule.cell = &copy;
    capsule.key = cmcKey::Enter;
    indActiveCell active(host_);
    (void)active.run(capsule);
}

void cuiToolBar::onEvent(void* user, const cmcEvent& event)
{
    if (event.code == cmcEvCode::RefreshToolBar)
        static_cast<cuiToolBar*>(user)->Refresh();
}
