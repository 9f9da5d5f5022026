#pragma once
// The model tree: the navigation tree with the bank nodes of this radio family. A bank node
// is a node whose sheet reference has the class "St_ChBank" and kind letters "Bank" followed
// by the bank number (blanks around it are ignored; no number is bank 0).
//
// Events: 41 gives every bank node the picture of its bank's state in the working image
// (images 8/9 when the bank's second bank flag is set, else 6/7 when its first bank flag is
// set, else 4/5; the second of the pair when the bank holds a channel); 42 gives the first
// bank node of the bank numbered by the second argument the event's text as its caption;
// 43 does the same with the bank's name from the working image.
#include "ui/cuiTree.h"

#include <optional>
#include <string>
#include <string_view>

class iuiTree final : public cuiTree {
public:
    static constexpr int BankImages = 4; // plain bank (empty, with channels)
    static constexpr int FirstFlagImages = 6;
    static constexpr int SecondFlagImages = 8;
    static constexpr int MaxCaptionChars = 33;

    using cuiTree::cuiTree;

    // The bank number of a bank node's sheet reference; none for any other reference.
    [[nodiscard]] static std::optional<int> BankNumberOf(std::string_view reference);
    // The first bank node of bank; none when there is none.
    [[nodiscard]] QTreeWidgetItem* FindBankNode(int bank) const;
    // The picture of a bank's state in the working image.
    [[nodiscard]] int BankImage(int bank);

protected:
    void HandleEvent(const cmcEvent& event) override;

private:
    void refreshBankImages();
    void setBankCaption(int bank, const std::string& caption);
    [[nodiscard]] std::string bankName(int bank);
};
