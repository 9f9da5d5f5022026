#pragma once
// Model parameters of the channel table, held outside the image and off when the program
// starts. The priority switch makes slot 0 the one priority channel A and B (and lets
// priority channels be deleted); the scan-list switch makes inserting, removing and carrying
// channels renumber the scan lists' channel references.
struct datModelSwitches {
    bool priority = false;
    bool scanList = false;
};

// The program's switches (one set for the process, off at start).
datModelSwitches& datSwitches();
