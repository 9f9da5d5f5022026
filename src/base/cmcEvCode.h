#pragma once
// The numbered events of the event manager. The code is the contract between the raiser
// and the handlers; the list is complete, no other code is raised or handled. Arguments
// that name a control, window or record carry its address as std::intptr_t.
#include <cstdint>

enum class cmcEvCode : std::int32_t {
    // send; arg2: a control that is being destroyed. Popup editors, the tree builder and
    // the model windows close or free themselves when it is the control they depend on.
    ControlDestroyed = 1,
    // send; the main window manager refreshes menus (9) and then the tool bar (20).
    RefreshCommands = 2,
    // post; the main window manager shows the About window.
    ShowAbout = 3,
    // send with text; arg1: text colour, arg2: background colour, text: the status text.
    StatusText = 4,
    // send; the menu builder refreshes every item (caption, check mark, visibility).
    RefreshMenus = 9,
    // send; arg2: logic identifier of the item whose sub-items are deleted.
    DeleteSubItems = 10,
    // post/send with text; arg1: a sheet's popup menu or none, arg2: logic identifier of
    // the item to fill, text: the definition name whose "_Body" is built under it.
    BuildSubItems = 11,
    // ask; arg1: the item's owner. The sheet owning that popup menu answers with a copy
    // of its current cell.
    AskCurrentCell = 12,
    // post/send; every sheet redraws every cell that has a logic.
    RedrawAll = 13,
    // post; sheets redraw the logic cells whose index parameter equals arg2.
    RedrawIndex = 16,
    // send; sheets redraw the logic cells whose index parameter is at or above arg2.
    RedrawFromIndex = 18,
    // send; the tool bar builder refreshes every button.
    RefreshToolBar = 20,
    // send; sheets and popup editors commit an open edit and close it.
    CommitEdits = 21,
    // ask; arg2: a grid. An open popup editor of that grid answers 1.
    AskPopupOpen = 25,
    // post; the model main object rebuilds the tree.
    RebuildTree = 26,
    // send; the model main object prunes the tree and rebuilds the memory-channel branch.
    UpdateTree = 27,
    // send; arg2: entry number. Even codes insert, odd codes delete one table entry.
    InsertChannel = 28,
    DeleteChannel = 29,
    InsertRepeater = 30,
    DeleteRepeater = 31,
    InsertIndividualId = 32,
    DeleteIndividualId = 33,
    InsertTalkGroup = 34,
    DeleteTalkGroup = 35,
    // ask; channel sheets answer with the bank and channel they show.
    AskChannelPosition = 36,
    // post/send; channel sheets refresh their title line.
    RefreshSheetTitle = 37,
    // ask; channel sheets answer with their current row.
    AskCurrentRow = 38,
    // send; arg1: number of rows (0 meaning 1) that channel sheets add at the end.
    AddRows = 39,
    // send; arg1: number of rows (0 meaning 1) that channel sheets remove from the end.
    RemoveRows = 40,
    // post; the model tree refreshes the images of its bank nodes.
    RefreshBankImages = 41,
    // post with text; the bank node numbered arg2 takes the text as its caption.
    SetBankCaption = 42,
    // post; the bank node numbered arg2 takes the bank's name from the memory image.
    BankNameToCaption = 43,
    // post; the model main object opens the adjustment window, or closes it when open.
    ToggleAdjustWindow = 47,
    // send; the adjustment window refreshes its values.
    AdjustValuesChanged = 48,
    // send with text; the adjustment window of that sheet name closes.
    CloseAdjustWindow = 49,
    // send with an empty text, by the dispatcher at every tick that delivered no queued
    // event, so handlers that work on every event get a turn at least once per tick.
    Idle = 51,
};
