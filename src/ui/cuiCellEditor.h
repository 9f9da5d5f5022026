#pragma once
// The sheet's in-place editor: a borderless single-line text box over the edited cell.
// Enter, Up and Down commit (Up and Down then move the cursor), Escape cancels, Page Up and
// Page Down commit and go on to the sheet; losing the focus commits.
#include <QLineEdit>

class cuiSheet;

class cuiCellEditor final : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int MaxLength = 1024;

    cuiCellEditor(cuiSheet& sheet, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    cuiSheet& sheet_;
};
