#pragma once
// The frame every link option dialog shares: a fixed-size window captioned from its key
// prefix ("<prefix>Caption"), the notice ("<prefix>Notice", several lines), one or two
// input fields (or the port list) with the input method off and sized from a sample text,
// and the OK (default) and Cancel buttons ("<prefix>Buttons" entries 0 and 1, as wide as
// the text of "<prefix>SizeOfButtons" and twice as high as the text). Distances are
// measured in the letter "W" of the dialog's font. OK runs the dialog's check, which
// stores the value and closes, or shows the refusal and returns the focus to the field;
// Cancel and the close box close without any change.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class cuiOptionDialog final : public QDialog {
    Q_OBJECT
public:
    enum class FieldKind { Edit, Masked, PortList };
    struct Field {
        FieldKind kind = FieldKind::Edit;
        int maxLength = 0;
        QString widthSample;
        std::string labelKey = {}; // a label left of the field (the two password fields)
    };
    // True accepts and closes; false keeps the dialog open (the check showed its message).
    using Check = std::function<bool(cuiOptionDialog& dialog)>;

    cuiOptionDialog(std::string prefix, std::vector<Field> fields, QWidget* owner = nullptr,
                    std::string buttonsKey = {});
    ~cuiOptionDialog() override;

    void SetCheck(Check check) { check_ = std::move(check); }
    // The line edit of field i (the port list's edit line for a port list).
    [[nodiscard]] QLineEdit& Edit(int i);
    [[nodiscard]] QString Text(int i) const;
    [[nodiscard]] QComboBox* PortList() const { return portList_; }
    [[nodiscard]] QPushButton& OkButton() const { return *ok_; }
    [[nodiscard]] QPushButton& CancelButton() const { return *cancel_; }
    [[nodiscard]] const std::string& Prefix() const { return prefix_; }

    // What OK does: the check, then close when it accepts.
    void TryAccept();
    // The refusal: the message of key (error icon, caption GI_Sys_AppTitle), the focus
    // back to field i with its text selected.
    void Refuse(const char* key, int field = 0);
    // Centred on the main window (kept on screen) and shown modally; the dialog's result.
    int Run();

private:
    void build(const std::vector<Field>& fields);

    std::string prefix_;
    std::string buttonsKey_;
    Check check_;
    QLabel* notice_ = nullptr;
    std::vector<QLineEdit*> edits_;
    QComboBox* portList_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
