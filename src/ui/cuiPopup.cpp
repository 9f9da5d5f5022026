#include "ui/cuiPopup.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/CellHost.h"
#include "cells/indActiveCell.h"
#include "platform/cmcScreens.h"
#include "ui/cuiPopupPlacement.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace {
int openPopups = 0;   // windows not destroyed yet
int activePopups = 0; // popups not done yet
} // namespace

cuiPopup::cuiPopup(const cmcCellCapsule& opener, CellHost& host)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), host_(host), opener_(opener)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(MainText().GetText("GI_Sys_AppTitle")));
    ownerWidget_ = static_cast<QWidget*>(opener.owner);
    ++openPopups;
    ++activePopups;
    cmcEvents().Register(&cuiPopup::onEvent, this);
}

cuiPopup::~cuiPopup()
{
    cmcEvents().Unregister(&cuiPopup::onEvent, this);
    --openPopups;
    if (!done_)
        --activePopups;
}

int cuiPopup::OpenCount()
{
    return openPopups;
}

QRect cuiPopup::OpenerRect() const
{
    const cmcCellRect& r = opener_.rect;
    const auto* owner = static_cast<const QWidget*>(opener_.owner);
    const QPoint topLeft =
        owner != nullptr ? owner->mapToGlobal(QPoint(r.left, r.top)) : QPoint(r.left, r.top);
    return {topLeft, QSize(r.width, r.height)};
}

QRect cuiPopup::WorkArea() const
{
    const QRect cell = OpenerRect();
    const QList<QRect> areas = cmcWorkAreas();
    if (areas.isEmpty())
        return {0, 0, 1024, 768};
    QRect nearest = areas.front();
    long best = -1;
    for (const QRect& area : areas) {
        const QPoint c = cell.center();
        const long dx =
            c.x() < area.left() ? area.left() - c.x() : (c.x() > area.right() ? c.x() - area.right() : 0);
        const long dy =
            c.y() < area.top() ? area.top() - c.y() : (c.y() > area.bottom() ? c.y() - area.bottom() : 0);
        const long distance = dx * dx + dy * dy;
        if (best < 0 || distance < best) {
            best = distance;
            nearest = area;
        }
    }
    return nearest;
}

void cuiPopup::PlaceAndShow()
{
    move(cuiPopupPlacement::Place(size(), OpenerRect(), WorkArea()));
    show();
    activateWindow();
}

void cuiPopup::Accept()
{
    finish(!cancelled_);
}

void cuiPopup::Cancel()
{
    cancelled_ = true;
    finish(false);
}

void cuiPopup::finish(bool send)
{
    if (done_)
        return;
    done_ = true;
    --activePopups;
    // Hidden first: a popup the result opens in turn is then the only one shown.
    hide();
    if (send)
        SendResult();
    close();
    // The opening sheet takes the keyboard back once the events of the closing are through,
    // unless a popup the result opened is showing by then.
    QPointer<QWidget> owner = ownerWidget_;
    if (owner == nullptr)
        return;
    QTimer::singleShot(0, owner, [owner] {
        if (owner != nullptr && activePopups == 0 && owner->isVisible()) {
            owner->window()->activateWindow();
            owner->setFocus(Qt::PopupFocusReason);
        }
    });
}

void cuiPopup::RunResult(int flex, int arg, const std::string& input)
{
    cmcCellObj cell;
    cell.logic = flex;
    cell.arg = arg;
    cmcCellCapsule chosen;
    chosen.cell = &cell;
    cmcCellCapsule result = opener_;
    result.source = &chosen;
    result.op = cmcCellCapsule::OpPopupChoice;
    result.key = 0;
    result.input = input;
    indActiveCell(host_).run(result, true);
}

void cuiPopup::RunResult(const cmcCellCapsule& chosen)
{
    cmcCellCapsule result = opener_;
    result.source = &chosen;
    result.op = cmcCellCapsule::OpPopupChoice;
    result.key = 0;
    indActiveCell(host_).run(result, true);
}

void cuiPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void cuiPopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Hidden without a decision: a click elsewhere took the activation.
    if (!done_) {
        if (AcceptsOnDeactivation())
            Accept();
        else
            Cancel();
    }
}

void cuiPopup::onEvent(void* user, const cmcEvent& event)
{
    auto& popup = *static_cast<cuiPopup*>(user);
    const auto owner = reinterpret_cast<std::intptr_t>(popup.opener_.owner);
    switch (event.code) {
    case cmcEvCode::ControlDestroyed:
        if (event.arg2 == owner) {
            popup.ownerWidget_ = nullptr;
            popup.Cancel();
        }
        break;
    case cmcEvCode::CommitEdits:
        if (popup.AcceptsOnDeactivation())
            popup.Accept();
        else
            popup.Cancel();
        break;
    case cmcEvCode::AskPopupOpen:
        if (event.arg2 == owner && !popup.done_)
            cmcEvents().Answer(1);
        break;
    default:
        break;
    }
}
