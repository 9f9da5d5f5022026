#pragma once
// The settings dialog of the network adaptor accessory (the LANU-7700): DHCP client mode
// on or off and, with it off, the IP address, subnet mask and default gateway, written to
// the radio through the clone link. It is created once and shown modally again and again;
// what was typed stays from one showing to the next, and the overlay's initial edit values
// are taken at the first showing only.
//
// The addresses are edited as dotted text and kept, once valid, in the 13-byte accessory
// record (byte 0 the DHCP mode, then address, mask and gateway, four octets each). Write is
// enabled with ON, or with OFF and all three addresses valid, so an invalid address never
// reaches the radio. A write that succeeds closes the dialog; one that fails leaves it open.
#include "link/cmcCloneDrv.h"

#include <QDialog>

#include <array>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class iuiAccessoryDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int Addresses = 3;
    using Record = cmcCloneDrv::AccessorySettings;
    // Starts the write of record; done is called once with the outcome (true: written).
    // False when nothing started.
    using Writer = std::function<bool(const Record& record, std::function<void(bool written)> done)>;

    explicit iuiAccessoryDialog(QWidget* owner = nullptr);
    ~iuiAccessoryDialog() override;

    void SetWriter(Writer writer) { writer_ = std::move(writer); }
    // What showing does before the window appears: the overlay texts (and the initial edit
    // values the first time), the layout, the enabled states, the focus on Cancel.
    void Prepare();
    // Prepare, centre on the owner, run modally.
    int ShowModal();

    [[nodiscard]] const Record& CurrentRecord() const { return record_; }
    [[nodiscard]] bool AddressValid(int i) const { return valid_[static_cast<std::size_t>(i)]; }
    [[nodiscard]] QLineEdit& AddressEdit(int i) const { return *edits_[static_cast<std::size_t>(i)]; }
    [[nodiscard]] QRadioButton& OnButton() const { return *on_; }
    [[nodiscard]] QRadioButton& OffButton() const { return *off_; }
    [[nodiscard]] QPushButton& WriteButton() const { return *write_; }
    [[nodiscard]] QPushButton& CancelButton() const { return *cancel_; }
    [[nodiscard]] QPushButton& ReadButton() const { return *read_; }

private:
    void applyTexts();
    void layOut();
    void addressChanged(int i);
    void modeClicked();
    void updateStates();
    void startWrite();

    QFrame* header_;
    QLabel* notice_;
    QGroupBox* group_;
    QLabel* dhcpLabel_;
    QRadioButton* on_;
    QRadioButton* off_;
    QFrame* separator_;
    std::array<QLabel*, Addresses> labels_{};
    std::array<QLineEdit*, Addresses> edits_{};
    QFrame* bottom_;
    QPushButton* cancel_;
    QPushButton* write_;
    QPushButton* read_;

    Record record_{};
    std::array<bool, Addresses> valid_{};
    bool initialValuesTaken_ = false;
    bool writing_ = false;
    Writer writer_;
};
