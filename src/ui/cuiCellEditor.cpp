#include "ui/cuiCellEditor.h"

#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QFocusEvent>
#include <QKeyEvent>

cuiCellEditor::cuiCellEditor(cuiSheet& sheet, QWidget* parent) : QLineEdit(parent), sheet_(sheet)
{
    setFrame(false);
    setMaxLength(MaxLength);
    setContextMenuPolicy(Qt::NoContextMenu);
    hide();
}

void cuiCellEditor::keyPressEvent(QKeyEvent* event)
{
    sheet_.statusClear();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int key = event->key();
        sheet_.closeEditor(true);
        if (key == Qt::Key_Up)
            sheet_.MoveBy(0, -1);
        else if (key == Qt::Key_Down)
            sheet_.MoveBy(0, 1);
        event->accept();
        return;
    }
    case Qt::Key_Escape:
        // Closing without the text: the focus loss on the way must not commit it.
        sheet_.editorCancelling_ = true;
        sheet_.grid_->setFocus();
        hide();
        sheet_.editorCancelling_ = false;
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        sheet_.closeEditor(true);
        sheet_.EditorKey(*event);
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void cuiCellEditor::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && !sheet_.editorCancelling_)
        sheet_.CommitEditor();
}
