#include "app/cuiCloneProgress.h"

#include "platform/cmcScreens.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int cellPitch = cuiCloneProgress::BarWidth / cuiCloneProgress::Cells; // cell and its gap
constexpr int panelBorder = 2;
constexpr int margin = 8;
} // namespace

cuiCloneProgress::cuiCloneProgress(const QString& caption, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), panel_(new QFrame(this)),
      bar_(new QWidget(panel_))
{
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(panelBorder);
    panel_->setGeometry(margin, margin, BarWidth + 2 * panelBorder, BarHeight + 2 * panelBorder);
    bar_->setGeometry(panelBorder, panelBorder, BarWidth, BarHeight);
    bar_->installEventFilter(this);
    setFixedSize(BarWidth + 2 * panelBorder + 2 * margin, BarHeight + 2 * panelBorder + 2 * margin);
    cmcCentreOnOwner(*this, owner);
}

cuiCloneProgress::~cuiCloneProgress() = default;

int cuiCloneProgress::FilledCells(long long done, long long total)
{
    if (total <= 0 || done <= 0)
        return 0;
    return static_cast<int>(std::min<long long>(Cells, done * (Cells + 1) / total));
}

void cuiCloneProgress::SetProgress(long long done, long long total)
{
    const int filled = FilledCells(done, total);
    if (filled != filled_) {
        filled_ = filled;
        bar_->update();
    }
}

void cuiCloneProgress::Finish()
{
    finishing_ = true;
    close();
}

void cuiCloneProgress::closeEvent(QCloseEvent* event)
{
    if (finishing_)
        event->accept();
    else
        event->ignore();
}

void cuiCloneProgress::keyPressEvent(QKeyEvent* event)
{
    event->accept(); // swallowed: Escape does not close it either
}

bool cuiCloneProgress::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_ && event->type() == QEvent::Paint) {
        QPainter painter(bar_);
        const QColor window = palette().color(QPalette::Window);
        const QColor highlight = palette().color(QPalette::Highlight);
        painter.fillRect(bar_->rect(), window);
        for (int cell = 0; cell < Cells; ++cell)
            painter.fillRect(cell * cellPitch, 0, cellPitch - 1, BarHeight,
                             cell < filled_ ? highlight : window);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
