// The process entry of a program built on the framework: it keeps what Windows passed for the
// first window and calls the program's AppMain with the C library's arguments.
#include <cstdlib>

#include "framework.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int cmdShow) {
    TApplication::SetProcessStart(instance, commandLine, cmdShow);
    return AppMain(__argc, __argv);
}
