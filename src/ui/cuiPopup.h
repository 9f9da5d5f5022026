#pragma once
// What the three popup editors share: a borderless popup window next to the opening cell, a
// copy of the opening cell's capsule through which the result goes back (a dispatcher run
// with op 2 and the chosen cell as source), the done and cancelled flags, and the events of
// the event manager: 1 for the owner closes without result, 21 commits (or closes a list),
// 25 for the owner answers 1 (the opening sheet's wheel waits while a popup is open).
// Closing by a click elsewhere (losing the activation) accepts or discards as the editor
// defines. The window deletes itself once closed.
#include "cells/cmcCellCapsule.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

class CellHost;
struct cmcEvent;

class cuiPopup : public QWidget {
    Q_OBJECT
public:
    cuiPopup(const cmcCellCapsule& opener, CellHost& host);
    ~cuiPopup() override;
    cuiPopup(const cuiPopup&) = delete;
    cuiPopup& operator=(const cuiPopup&) = delete;

    // Sends the result once (unless cancelled) and closes.
    void Accept();
    // Closes without result.
    void Cancel();
    [[nodiscard]] bool Done() const { return done_; }
    [[nodiscard]] const cmcCellCapsule& Opener() const { return opener_; }
    // The opening cell in screen coordinates.
    [[nodiscard]] QRect OpenerRect() const;
    // The work area of the monitor nearest to the opening cell.
    [[nodiscard]] QRect WorkArea() const;
    // Moves the window next to the opening cell (at its current size) and shows it.
    void PlaceAndShow();

    // The popups open right now (tests and the host look at them).
    static int OpenCount();

protected:
    // Builds and sends the result (a run of the opening cell); only Accept calls it.
    virtual void SendResult() = 0;
    // Whether losing the activation accepts (text and bit editors) or discards (lists).
    [[nodiscard]] virtual bool AcceptsOnDeactivation() const = 0;
    // Runs the opening cell with op 2 and a source cell of logic flex and value arg.
    void RunResult(int flex, int arg, const std::string& input);
    void RunResult(const cmcCellCapsule& chosen);
    CellHost& Host() { return host_; }

    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void finish(bool send);
    static void onEvent(void* user, const cmcEvent& event);

    CellHost& host_;
    cmcCellCapsule opener_;
    bool done_ = false;
    bool cancelled_ = false;
    QPointer<QWidget> ownerWidget_; // the opening control, none once it is going away
};
