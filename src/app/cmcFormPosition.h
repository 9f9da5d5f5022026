#pragma once
// The remembered placement of one model edit window. Only the name, the bounds and the
// window state are stored; the grid position and the open flag live for the run.
#include <string>

struct cmcFormPosition {
    enum State { Normal = 0, Minimised = 1, Maximised = 2 };

    std::string name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int topRow = -1;
    int leftColumn = -1;
    int currentRow = -1;
    int currentColumn = -1;
    int windowState = Normal;
    int open = 0;
};
