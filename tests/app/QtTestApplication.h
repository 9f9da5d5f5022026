#pragma once
// Widgets need an application object; the first test that needs one makes it for the run
// (the program tests of this folder start the program as a process and need none).
#include <QApplication>

inline void EnsureQtApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
