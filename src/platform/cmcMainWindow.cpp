#include "platform/cmcMainWindow.h"

#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget>& registered()
{
    static QPointer<QWidget> window;
    return window;
}
} // namespace

void cmcSetMainWindow(QWidget* window)
{
    registered() = window;
}

QWidget* cmcMainWindow()
{
    return registered().data();
}
