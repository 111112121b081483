// The application object: the main window, the show command and the message loop.
#include "framework.h"

namespace {

TApplication* gCurrent = nullptr;
// What the process entry was given for the first window.
HINSTANCE gInstance = nullptr;
std::string gCommandLine;
int gCmdShow = SW_SHOWDEFAULT;

}  // namespace

TApplication::TApplication(const char* name) : TModule(name, gInstance), CmdShow(gCmdShow) { gCurrent = this; }

TApplication::~TApplication() {
    delete MainWindow;
    MainWindow = nullptr;
    if (gCurrent == this) gCurrent = nullptr;
}

TApplication* TApplication::GetCurrent() { return gCurrent; }

void TApplication::SetProcessStart(HINSTANCE instance, const char* commandLine, int cmdShow) {
    gInstance = instance;
    gCommandLine = commandLine ? commandLine : "";
    gCmdShow = cmdShow;
}

const char* TApplication::GetCmdLine() { return gCommandLine.c_str(); }

int TApplication::Run() {
    if (!InitInstance()) {
        MessageBox(nullptr, "The main window could not be created.", GetName(), MB_ICONSTOP | MB_OK);
        return 1;
    }
    return MessageLoop();
}

bool TApplication::InitInstance() {
    InitMainWindow();
    if (!MainWindow || !MainWindow->Create()) return false;
    ShowWindow(MainWindow->GetHandle(), CmdShow);
    UpdateWindow(MainWindow->GetHandle());
    return true;
}

void TApplication::InitMainWindow() { SetMainWindow(new TFrameWindow(nullptr, GetName())); }

TFrameWindow* TApplication::SetMainWindow(TFrameWindow* window) {
    TFrameWindow* previous = MainWindow;
    if (previous) previous->ClearFlag(wfMainWindow);
    MainWindow = window;
    if (MainWindow) {
        MainWindow->SetFlag(wfMainWindow);
        MainWindow->Attr.ExStyle |= WS_EX_APPWINDOW;  // a task-bar button
    }
    return previous;
}

int TApplication::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxExA(owner, text, caption ? caption : GetName(), type, 0);
}

bool TApplication::CanClose() { return !MainWindow || MainWindow->CanClose(); }

int TApplication::MessageLoop() {
    MSG msg = {};
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);  // WM_QUIT: its exit code
        if (got == -1) return 1;
        if (!ProcessAppMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool TApplication::ProcessAppMsg(MSG& msg) {
    // The window the message is for, or one of its parents, may want it first (a dialog's keys).
    for (HWND handle = msg.hwnd; handle; handle = GetParent(handle)) {
        TWindow* window = TWindow::FromHandle(handle);
        if (window && window->PreProcessMsg(msg)) return true;
    }
    return false;
}
