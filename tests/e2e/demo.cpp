// wayfold_demo FOLDER: starts wayfold.exe in FOLDER, converts FOLDER\waypoints.gpx to
// waypoints.csv through the real dialogs, writes the window's screen rectangle
// ("x y width height") to FOLDER\window.txt, and keeps the window up until FOLDER\done
// exists; then closes it. scripts/screenshot.sh takes the picture in between.
#include <cstdio>
#include <string>

#include "driver.h"

using namespace wayfold::e2e;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wayfold_demo FOLDER\n");
        return 2;
    }
    std::string folder = std::string(argv[1]) + "\\";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "wayfold.exe";

    AppProcess app;
    std::string reason;
    if (!app.Start(program, folder, -1, &reason)) {
        std::fprintf(stderr, "wayfold_demo: %s\n", reason.c_str());
        return 1;
    }
    SetWindowPos(app.frame(), nullptr, 24, 24, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    PostClick(app.client(), IDOK);
    FileDialog open = WaitForFileDialog(app.thread(), app.frame(), "Open");
    if (!open.window) return 1;
    open.Choose(folder + "waypoints.gpx");
    FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    if (!save.window) return 1;
    save.Choose(save.fileName());
    if (HWND question = WaitForTopWindow(app.thread(), save.window, "#32770", nullptr, 500)) {
        PostClick(question, IDYES);  // an earlier waypoints.csv
    }
    if (!WaitUntil([&] { return app.status().find("converted") != std::string::npos; })) {
        std::fprintf(stderr, "wayfold_demo: no summary, the status shows \"%s\"\n", app.status().c_str());
        return 1;
    }
    RedrawWindow(app.frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);

    RECT rect;
    GetWindowRect(app.frame(), &rect);
    if (std::FILE* out = std::fopen((folder + "window.txt").c_str(), "w")) {
        std::fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fclose(out);
    }
    WaitUntil([&] { return GetFileAttributesA((folder + "done").c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
    PostMessageA(app.frame(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    app.WaitForExit(&code);
    return static_cast<int>(code);
}
