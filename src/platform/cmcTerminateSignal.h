#pragma once
// A polite end on SIGTERM and SIGINT (a session logout, a shell's Ctrl+C): the signal is
// handed to the event loop, which closes the windows as if the user had, so the program
// ends the normal way and writes its settings. No effect on platforms without signals.
void cmcCloseWindowsOnTerminate();
