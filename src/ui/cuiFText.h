#pragma once
// The text popup: a text box with the text in its escaped form ("%%" for '%', '%' and two
// hexadecimal digits for the radio's glyph codes), a preview in the radio's own glyphs, the
// character picker GI_Sheet_Sel_Text, OK and Cancel. Enter, OK, event 21 or a click
// elsewhere send the text; Escape or Cancel close without it.
#include "ui/cuiPopup.h"

#include <string>

class QLineEdit;
class QPushButton;
class cuiSheet;
class cuiFTextPreview;

class cuiFText : public cuiPopup {
    Q_OBJECT
public:
    // escapedText: the text as the text codec hands it over; limit: characters the field
    // holds. With selectAll the whole text starts selected, else the caret is at its end.
    cuiFText(const cmcCellCapsule& opener, CellHost& host, const std::string& escapedText, bool selectAll,
             int limit);

    [[nodiscard]] QLineEdit& TextBox() { return *text_; }
    [[nodiscard]] cuiSheet& Picker() { return *picker_; }
    [[nodiscard]] QPushButton& OkButton() { return *ok_; }
    [[nodiscard]] QPushButton& CancelButton() { return *cancel_; }
    // The text in the radio's character set, as the preview shows it.
    [[nodiscard]] const std::string& Bytes() const { return bytes_; }

protected:
    void SendResult() override;
    [[nodiscard]] bool AcceptsOnDeactivation() const override { return true; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int handlePicker(cmcCellCapsule& capsule, int mode);
    void insertCode(int code);
    void textChanged();

    int limit_;
    std::string bytes_;
    QLineEdit* text_ = nullptr;
    cuiFTextPreview* preview_ = nullptr;
    cuiSheet* picker_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
