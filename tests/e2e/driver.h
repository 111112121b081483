// Drives the real wayfold.exe from another process, the way a user would: it starts the
// program, finds its windows, presses buttons and keys with posted messages, fills in the
// common file dialogs and reads message boxes and control texts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wayfold::e2e {

// Generous: only a failing test waits this long, and a loaded machine may be slow.
constexpr DWORD kTimeoutMs = 30000;

// A window's text read through WM_GETTEXT, which works across processes for every
// control (GetWindowText does not for edit and combo boxes of another process).
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// Polls `condition` every 10 ms until it holds; false on timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kTimeoutMs);

// The first visible top-level window of `threadId` with this owner and class (and title,
// unless nullptr) that shows up within the timeout; nullptr if none does.
HWND WaitForTopWindow(DWORD threadId, HWND owner, const char* className, const char* title,
                      DWORD timeoutMs = kTimeoutMs);
// The same, without waiting: is there such a window right now?
HWND FindTopWindow(DWORD threadId, HWND owner, const char* className, const char* title);

// The program's visible top-level windows with their texts, for failure messages.
std::string DescribeWindows(DWORD threadId);

// A visible child of `parent` (at any depth) with this class and style bits.
HWND FindChild(HWND parent, const char* className, LONG styleMask, LONG style);

// Whether the screen shows `icon`, drawn at `size` by `size` pixels, anywhere in `area`
// (its transparent pixels may show anything). Another process's icons cannot be read
// from here under Wine, so their pictures are compared.
bool ShowsIcon(const RECT& area, HICON icon, int size);

// Posts a click of the button `id` of `dialog`, as BN_CLICKED from the button itself.
void PostClick(HWND dialog, int id);
// Posts a key press and release to `window` (the focus window of the program's thread).
void PostKey(HWND window, UINT virtualKey);

// What a message box shows.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string text;
    std::string caption;
    bool onlyOk = false;    // one visible button, OK
    bool stopIcon = false;  // its icon draws like the system's stop icon
};

// A message box owned by `owner`, read once it is up; window is nullptr on timeout.
MessageBoxSeen WaitForMessageBox(DWORD threadId, HWND owner);

// The common file dialogs, explorer style.
struct FileDialog {
    HWND window = nullptr;
    std::string fileName() const;    // the text of its file-name field
    std::string fileType() const;    // the selected entry of its file-type list
    void Choose(const std::string& name) const;  // types the name, presses the OK button
    void Cancel() const;
};
FileDialog WaitForFileDialog(DWORD threadId, HWND owner, const char* title);

// The overwrite question of a save dialog: answers Yes or No.
bool AnswerReplaceQuestion(DWORD threadId, HWND saveDialog, bool replace, std::string* text = nullptr);

// One running wayfold.exe. Ends the process in the destructor if it still runs.
class AppProcess {
public:
    AppProcess() = default;
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;
    ~AppProcess();

    // Starts the program in `directory`; with a show command, passes it in STARTUPINFO.
    // Returns false (with a reason) when the program or its window did not come up.
    bool Start(const std::string& exe, const std::string& directory, int showCommand = -1,
               std::string* reason = nullptr);

    // Waits for the process to end; false on timeout.
    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = kTimeoutMs);
    bool running() const;

    DWORD thread() const { return info_.dwThreadId; }
    HWND frame() const { return frame_; }
    HWND client() const { return client_; }
    HWND control(int id) const { return GetDlgItem(client_, id); }
    std::string status() const;
    // The window that has the keyboard focus in the program's thread.
    HWND focus() const;

private:
    PROCESS_INFORMATION info_ = {};
    HWND frame_ = nullptr;
    HWND client_ = nullptr;
};

}  // namespace wayfold::e2e
