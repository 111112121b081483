#include "driver.h"

#include <vector>

namespace wayfold::e2e {
namespace {

// Control ids of the explorer-style file dialogs and their overwrite question.
constexpr int kFileNameField = 0x47C;  // cmb13, a ComboBoxEx32
constexpr int kFileTypeList = 0x470;   // cmb1

struct TopWindowQuery {
    HWND owner;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<TopWindowQuery*>(parameter);
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != query->owner) return TRUE;
    if (query->className && ClassName(window) != query->className) return TRUE;
    if (query->title && WindowText(window) != query->title) return TRUE;
    query->found = window;
    return FALSE;
}

struct ChildQuery {
    const char* className;
    LONG styleMask;
    LONG style;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<ChildQuery*>(parameter);
    if (!IsWindowVisible(window) || ClassName(window) != query->className) return TRUE;
    if ((GetWindowLongA(window, GWL_STYLE) & query->styleMask) != query->style) return TRUE;
    query->found = window;
    return FALSE;
}

BOOL CALLBACK CountVisibleButtons(HWND window, LPARAM parameter) {
    auto* buttons = reinterpret_cast<std::vector<HWND>*>(parameter);
    if (IsWindowVisible(window) && ClassName(window) == "Button") buttons->push_back(window);
    return TRUE;
}

// The pixels of `bitmap` as 0x00RRGGBB, top row first; then releases the three objects.
std::vector<DWORD> ReadPixelsAndRelease(HDC screen, HDC memory, HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The pixels of a screen rectangle, as 32-bit values.
std::vector<DWORD> CaptureScreen(const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    return ReadPixelsAndRelease(screen, memory, bitmap, width, height);
}

// `icon` drawn over `background`, at `width` by `height`.
std::vector<DWORD> DrawIconOver(HICON icon, int width, int height, DWORD background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // Background given as 0x00RRGGBB (the DIB order); a COLORREF is 0x00BBGGRR.
    HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    SelectObject(memory, old);
    return ReadPixelsAndRelease(screen, memory, bitmap, width, height);
}

// Another process's icon cannot be read from here, so compare what is on screen with the
// system's stop icon drawn over the same background.
bool ShowsStopIcon(HWND iconControl) {
    if (!iconControl) return false;
    RECT rect;
    GetWindowRect(iconControl, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    return WaitUntil(
        [&] {
            std::vector<DWORD> shown = CaptureScreen(rect);
            DWORD background = shown[0] & 0xFFFFFF;
            return shown == DrawIconOver(LoadIconA(nullptr, IDI_HAND), width, height, background) &&
                   shown != DrawIconOver(LoadIconA(nullptr, IDI_EXCLAMATION), width, height, background);
        },
        kTimeoutMs);
}

}  // namespace

bool ShowsIcon(const RECT& area, HICON icon, int size) {
    // The icon's opaque pixels are those that come out the same over black and over white.
    std::vector<DWORD> overBlack = DrawIconOver(icon, size, size, 0x000000);
    std::vector<DWORD> overWhite = DrawIconOver(icon, size, size, 0xFFFFFF);
    std::vector<size_t> opaque;
    for (size_t i = 0; i < overBlack.size(); ++i) {
        if ((overBlack[i] & 0xFFFFFF) == (overWhite[i] & 0xFFFFFF)) opaque.push_back(i);
    }
    if (opaque.empty()) return false;
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> shown = CaptureScreen(area);
    for (int y = 0; y + size <= height; ++y) {
        for (int x = 0; x + size <= width; ++x) {
            bool match = true;
            for (size_t i : opaque) {
                size_t row = i / static_cast<size_t>(size), column = i % static_cast<size_t>(size);
                DWORD pixel = shown[(static_cast<size_t>(y) + row) * static_cast<size_t>(width) + static_cast<size_t>(x) + column];
                if ((pixel & 0xFFFFFF) != (overBlack[i] & 0xFFFFFF)) {
                    match = false;
                    break;
                }
            }
            if (match) return true;
        }
    }
    return false;
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kTimeoutMs, &length)) {
        return "<no answer>";
    }
    return std::string(text, length);
}

std::string ClassName(HWND window) {
    char name[256] = {};
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

HWND FindTopWindow(DWORD threadId, HWND owner, const char* className, const char* title) {
    TopWindowQuery query = {owner, className, title, nullptr};
    EnumThreadWindows(threadId, MatchTopWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForTopWindow(DWORD threadId, HWND owner, const char* className, const char* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(threadId, owner, className, title)) != nullptr; }, timeoutMs);
    return found;
}

namespace {

BOOL CALLBACK DescribeChild(HWND window, LPARAM parameter) {
    auto* out = reinterpret_cast<std::string*>(parameter);
    if (IsWindowVisible(window) && (ClassName(window) == "Static" || ClassName(window) == "Button")) {
        *out += "    " + ClassName(window) + " " + std::to_string(GetDlgCtrlID(window)) + " \"" + WindowText(window) + "\"\n";
    }
    return TRUE;
}

BOOL CALLBACK DescribeTopWindow(HWND window, LPARAM parameter) {
    auto* out = reinterpret_cast<std::string*>(parameter);
    if (!IsWindowVisible(window)) return TRUE;
    char owner[32];
    wsprintfA(owner, "%p", static_cast<void*>(GetWindow(window, GW_OWNER)));
    *out += "  " + ClassName(window) + " \"" + WindowText(window) + "\" owner " + owner + "\n";
    EnumChildWindows(window, DescribeChild, parameter);
    return TRUE;
}

}  // namespace

std::string DescribeWindows(DWORD threadId) {
    std::string out = "windows of the program:\n";
    EnumThreadWindows(threadId, DescribeTopWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND FindChild(HWND parent, const char* className, LONG styleMask, LONG style) {
    ChildQuery query = {className, styleMask, style, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostKey(HWND window, UINT virtualKey) {
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

MessageBoxSeen WaitForMessageBox(DWORD threadId, HWND owner) {
    MessageBoxSeen seen;
    // A message box is a #32770 with a static text of id 0xFFFF; wait until it has its text.
    WaitUntil([&] {
        HWND box = FindTopWindow(threadId, owner, "#32770", nullptr);
        if (!box || !GetDlgItem(box, 0xFFFF)) return false;
        seen.window = box;
        return true;
    });
    if (!seen.window) return seen;
    seen.text = WindowText(GetDlgItem(seen.window, 0xFFFF));
    seen.caption = WindowText(seen.window);
    std::vector<HWND> buttons;
    EnumChildWindows(seen.window, CountVisibleButtons, reinterpret_cast<LPARAM>(&buttons));
    seen.onlyOk = buttons.size() == 1 && GetDlgCtrlID(buttons[0]) == IDOK;
    seen.stopIcon = ShowsStopIcon(FindChild(seen.window, "Static", SS_TYPEMASK, SS_ICON));
    return seen;
}

std::string FileDialog::fileName() const { return WindowText(GetDlgItem(window, kFileNameField)); }

std::string FileDialog::fileType() const {
    // The window text of a drop-down list is its selected entry.
    return WindowText(GetDlgItem(window, kFileTypeList));
}

void FileDialog::Choose(const std::string& name) const {
    HWND field = GetDlgItem(window, kFileNameField);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG, kTimeoutMs,
                        &ignored);
    PostClick(window, IDOK);
}

void FileDialog::Cancel() const { PostClick(window, IDCANCEL); }

FileDialog WaitForFileDialog(DWORD threadId, HWND owner, const char* title) {
    FileDialog dialog;
    // Visible before its controls are all there: wait for the file-name field too.
    WaitUntil([&] {
        HWND found = FindTopWindow(threadId, owner, "#32770", title);
        if (!found || !IsWindowVisible(GetDlgItem(found, kFileNameField))) return false;
        dialog.window = found;
        return true;
    });
    return dialog;
}

bool AnswerReplaceQuestion(DWORD threadId, HWND saveDialog, bool replace, std::string* text) {
    HWND question = nullptr;
    WaitUntil([&] {
        question = FindTopWindow(threadId, saveDialog, "#32770", nullptr);
        return question && GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO);
    });
    if (!question) return false;
    if (text) *text = WindowText(GetDlgItem(question, 0xFFFF));
    PostClick(question, replace ? IDYES : IDNO);
    return true;
}

AppProcess::~AppProcess() {
    if (!info_.hProcess) return;
    if (running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, kTimeoutMs);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool AppProcess::Start(const std::string& exe, const std::string& directory, int showCommand, std::string* reason) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &info_)) {
        if (reason) *reason = "CreateProcess failed with error " + std::to_string(GetLastError());
        return false;
    }
    WaitForInputIdle(info_.hProcess, kTimeoutMs);
    frame_ = WaitForTopWindow(info_.dwThreadId, nullptr, nullptr, "wayfold");
    if (!frame_) {
        if (reason) *reason = "no window captioned \"wayfold\"";
        return false;
    }
    WaitUntil([&] {
        client_ = FindChild(frame_, "#32770", 0, 0);
        return client_ && GetDlgItem(client_, IDOK) && IsWindowVisible(client_);
    });
    if (!client_) {
        if (reason) *reason = "no dialog inside the window";
        return false;
    }
    return true;
}

bool AppProcess::WaitForExit(DWORD* exitCode, DWORD timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

bool AppProcess::running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::string AppProcess::status() const { return WindowText(control(101)); }

HWND AppProcess::focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(info_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

}  // namespace wayfold::e2e
