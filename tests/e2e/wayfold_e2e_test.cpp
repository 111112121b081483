// wayfold.exe as a user meets it: started as its own process and worked through its
// window, the real file dialogs and message boxes, checked by what it shows and writes.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "conversion_run.h"
#include "driver.h"
#include "../test_support.h"

namespace wayfold::e2e {
namespace {

namespace fs = std::filesystem;

const char kGpx[] =
    "<?xml version=\"1.0\"?>\r\n<gpx>\r\n"
    "<wpt lat=\"46.2044\" lon=\"6.1432\"><name>Jet d'eau</name><desc>Fountain, 140 m high</desc></wpt>\r\n"
    "<wpt lat=\"46.21\" lon=\"6.15\"><name>Bains des P&amp;quis</name><cmt>Open all year</cmt></wpt>\r\n"
    "<wpt lat=\"46.23\" lon=\"6.21\"><desc>no name</desc></wpt>\r\n"
    "<wpt lon=\"6.22\"><name>no latitude</name></wpt>\r\n"
    "</gpx>\r\n";
const char kCsv[] =
    "6.1432,46.2044,Jet d'eau,\"Fountain, 140 m high\"\r\n"
    "6.15,46.21,Bains des P&quis,Open all year\r\n";
const char kPrompt[] = "Click the \"Convert\" button to begin";

constexpr int kStatusId = 101;
constexpr int kClientTemplateId = 2000;

using test::SummaryText;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The program sits next to this driver.
std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return (fs::path(path).parent_path() / "wayfold.exe").string();
}

// A Linux folder prepared by the test script with links to devices that fail on reading
// (/proc/self/mem) and on writing (/dev/full), seen through Wine's Z: drive; "" if none.
std::string DeviceLinksFolder() {
    const char* folder = std::getenv("WAYFOLD_E2E_LINKS");
    if (!folder || !*folder) return "";
    std::string path = std::string("Z:") + folder;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path + "\\";
}

using Size = std::pair<LONG, LONG>;          // width, height in pixels
using Place = std::array<LONG, 4>;           // left, top, right, bottom

// The C library's text for the error of reading `path`, as the program meets it.
std::string ReadErrorText(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "<cannot open " + path + ">";
    char block[4096];
    errno = 0;
    std::size_t read = std::fread(block, 1, sizeof block, file);
    int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (read != 0 || error == 0) return "<no read error from " + path + ">";
    return std::strerror(error);
}

// The size of the dialog template's 200 by 111 units in pixels, measured with a dialog
// of this driver built from the program's own template.
Size TemplateSizeInPixels() {
    Size size = {0, 0};
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) return size;
    HWND dialog = CreateDialogParamA(program, MAKEINTRESOURCEA(kClientTemplateId), nullptr,
                                     [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (dialog) {
        RECT units = {0, 0, 200, 111};
        MapDialogRect(dialog, &units);
        size = {units.right, units.bottom};
        DestroyWindow(dialog);
    }
    FreeLibrary(program);
    return size;
}

// Whether the caption of `frame` shows the program's icon IDI_FRAME (1) at the small-icon
// size: WM_GETICON does not answer across processes under Wine, so the picture is compared.
bool CaptionShowsFrameIcon(HWND frame) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) return false;
    HICON icon = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
    RECT window, client;
    GetWindowRect(frame, &window);
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT caption = {window.left, window.top, window.left + 4 * size, client.top};  // its left end
    bool shown = icon && WaitUntil([&] { return ShowsIcon(caption, icon, size); });
    if (icon) DestroyIcon(icon);
    FreeLibrary(program);
    return shown;
}

Size ClientSize(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

// Where a control sits inside the dialog, in the dialog's client coordinates.
Place PlaceInDialog(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}


// Holds a file open without sharing, so that the program cannot open it.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~FileLock() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class WayfoldWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = (fs::temp_directory_path() / ("wayfold-e2e-" + std::to_string(GetCurrentProcessId()))).string() + "\\";
        fs::create_directories(folder_);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void SetUp() override {
        for (const char* name : {"trip.gpx", "trip.Gpx", "locked.gpx"}) WriteBytes(At(name), kGpx);
        fs::create_directories(At("old.gpx"));
        WriteBytes(At("old.gpx\\notes.txt"), kGpx);
        for (const char* name : {"trip.csv", "second.csv", "old.csv", "out.csv"}) fs::remove(At(name));
    }

    static std::string At(const std::string& name) { return folder_ + name; }

    void Start(AppProcess& app, int showCommand = -1) {
        std::string reason;
        ASSERT_TRUE(app.Start(ProgramPath(), folder_, showCommand, &reason)) << reason;
    }

    // Presses "Convert GPX File" and waits for the open dialog.
    static FileDialog PressConvert(const AppProcess& app) {
        PostClick(app.client(), IDOK);
        return WaitForFileDialog(app.thread(), app.frame(), "Open");
    }

    static void ExpectStatus(const AppProcess& app, const std::string& expected) {
        WaitUntil([&] { return app.status() == expected; });
        EXPECT_EQ(app.status(), expected);
    }

    // A whole conversion of trip.gpx into `output` (typed into the save dialog as given).
    void Convert(const AppProcess& app, const std::string& output, bool replace = false) {
        FileDialog open = PressConvert(app);
        ASSERT_TRUE(open.window);
        open.Choose(At("trip.gpx"));
        FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
        ASSERT_TRUE(save.window);
        save.Choose(output);
        if (replace) {
            ASSERT_TRUE(AnswerReplaceQuestion(app.thread(), save.window, true));
        }
        ExpectStatus(app, SummaryText(2, 1, 1));
    }

    static void Quit(AppProcess& app) {
        PostMessageA(app.frame(), WM_CLOSE, 0, 0);
        DWORD code = 1;
        EXPECT_TRUE(app.WaitForExit(&code));
        EXPECT_EQ(code, 0u);
    }

    static std::string folder_;
};

std::string WayfoldWindow::folder_;

TEST_F(WayfoldWindow, AtStart) {
    AppProcess app;
    Start(app);

    char caption[64] = {};
    GetWindowTextA(app.frame(), caption, sizeof caption);
    EXPECT_STREQ(caption, "wayfold");
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    LONG style = GetWindowLongA(app.frame(), GWL_STYLE);
    EXPECT_EQ(static_cast<DWORD>(style) & ~static_cast<DWORD>(WS_CLIPSIBLINGS), 0x12CE0000u) << std::hex << style;
    EXPECT_TRUE(GetWindowLongA(app.frame(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_FALSE(IsZoomed(app.frame()));
    EXPECT_FALSE(IsIconic(app.frame()));

    // The dialog fills the frame, which is just large enough for the whole template.
    LONG clientStyle = GetWindowLongA(app.client(), GWL_STYLE);
    EXPECT_TRUE(clientStyle & WS_CHILD);
    EXPECT_FALSE(clientStyle & WS_DLGFRAME);
    Size templateSize = TemplateSizeInPixels();
    ASSERT_GT(templateSize.first, 0);
    EXPECT_EQ(ClientSize(app.frame()), templateSize);
    EXPECT_EQ(ClientSize(app.client()), templateSize);

    EXPECT_TRUE(CaptionShowsFrameIcon(app.frame())) << "the caption shows the program's icon IDI_FRAME";

    EXPECT_EQ(WindowText(app.control(IDOK)), "Convert GPX File");
    EXPECT_EQ(WindowText(app.control(IDCANCEL)), "Exit");
    EXPECT_EQ(app.status(), kPrompt);
    EXPECT_EQ(app.focus(), app.control(IDOK));

    Quit(app);
}

TEST_F(WayfoldWindow, ConvertsThroughTheFileDialogs) {
    AppProcess app;
    Start(app);

    FileDialog open = PressConvert(app);
    ASSERT_TRUE(open.window);
    EXPECT_EQ(open.fileType(), "GPX Files (*.gpx)");
    EXPECT_EQ(app.status(), kPrompt) << "the status changes only at an outcome";
    // The open dialog starts in the program's current folder, so a bare name is found there.
    open.Choose("trip.gpx");

    // The save dialog shows the proposed name in the input's folder; accepted as it is.
    FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    EXPECT_EQ(save.fileType(), "CSV Files (*.csv)");
    EXPECT_EQ(save.fileName(), "trip.csv");
    save.Choose(save.fileName());
    ExpectStatus(app, SummaryText(2, 1, 1));
    EXPECT_EQ(ReadBytes(At("trip.csv")), kCsv);

    // A second press starts again; the summary stays until the new outcome. A path with
    // ".gpx" in a folder name passes the check, and the proposed name is cut there.
    open = PressConvert(app);
    ASSERT_TRUE(open.window);
    EXPECT_EQ(app.status(), SummaryText(2, 1, 1));
    open.Choose(At("old.gpx\\notes.txt"));
    save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    EXPECT_EQ(save.fileName(), "old.csv");
    save.Choose(save.fileName());
    WaitUntil([&] { return ReadBytes(At("old.csv")) == kCsv; });
    EXPECT_EQ(ReadBytes(At("old.csv")), kCsv);
    ExpectStatus(app, SummaryText(2, 1, 1));

    // A name typed without extension gets ".csv".
    open = PressConvert(app);
    ASSERT_TRUE(open.window);
    open.Choose(At("trip.gpx"));
    save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    save.Choose(At("second"));
    WaitUntil([&] { return ReadBytes(At("second.csv")) == kCsv; });
    EXPECT_EQ(ReadBytes(At("second.csv")), kCsv);
    ExpectStatus(app, SummaryText(2, 1, 1));

    Quit(app);
}

TEST_F(WayfoldWindow, AsksBeforeReplacingAnExistingFile) {
    AppProcess app;
    Start(app);
    WriteBytes(At("trip.csv"), "keep me");

    // No: back in the save dialog, the file untouched.
    FileDialog open = PressConvert(app);
    ASSERT_TRUE(open.window);
    open.Choose(At("trip.gpx"));
    FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    save.Choose(At("trip.csv"));
    std::string question;
    ASSERT_TRUE(AnswerReplaceQuestion(app.thread(), save.window, false, &question));
    EXPECT_NE(question.find("already exists"), std::string::npos) << question;
    save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    save.Cancel();
    ExpectStatus(app, "No output file chosen.");
    EXPECT_EQ(ReadBytes(At("trip.csv")), "keep me");

    // Yes: replaced by the conversion.
    Convert(app, At("trip.csv"), true);
    EXPECT_EQ(ReadBytes(At("trip.csv")), kCsv);

    Quit(app);
}

TEST_F(WayfoldWindow, EnterConverts) {
    AppProcess app;
    Start(app);
    PostKey(app.focus(), VK_RETURN);
    FileDialog open = WaitForFileDialog(app.thread(), app.frame(), "Open");
    ASSERT_TRUE(open.window) << "Enter opens the open dialog";
    open.Cancel();
    ExpectStatus(app, "No input file chosen.");
    Quit(app);
}

// The file dialogs get the command's flags: the open dialog takes only an existing file,
// the save dialog only a path whose folder exists. Each says so and stays open.
TEST_F(WayfoldWindow, FileDialogsRefuseMissingFilesAndFolders) {
    AppProcess app;
    Start(app);
    FileDialog open = PressConvert(app);
    ASSERT_TRUE(open.window);
    open.Choose(At("missing.gpx"));
    HWND complaint = WaitForTopWindow(app.thread(), open.window, "#32770", nullptr);
    ASSERT_TRUE(complaint) << DescribeWindows(app.thread());
    PostClick(complaint, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(complaint); }));
    open.Choose(At("trip.gpx"));

    FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
    ASSERT_TRUE(save.window);
    save.Choose(At("no such folder\\trip.csv"));
    complaint = WaitForTopWindow(app.thread(), save.window, "#32770", nullptr);
    ASSERT_TRUE(complaint) << DescribeWindows(app.thread());
    PostClick(complaint, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(complaint); }));
    save.Cancel();
    ExpectStatus(app, "No output file chosen.");
    Quit(app);
}

// Every way a command can fail, one after another in one window: the message box (text,
// caption, stop icon, OK only) with the previous status still shown, then the status.
TEST_F(WayfoldWindow, EveryFailureEndsWithItsStatus) {
    const std::string links = DeviceLinksFolder();
    struct Row {
        const char* title;
        std::string open;      // typed into the open dialog; "": Cancel
        std::string save;      // typed into the save dialog; "": Cancel; "-": no save dialog
        bool replace;          // the replace question comes and is answered Yes
        std::string locked;    // a file held open without sharing during the row
        std::string boxText;   // "": no message box
        std::string boxCaption;
        std::string status;
        bool ran = false;      // the conversion had started: "Working..." shows during the box
    };
    const std::vector<Row> rows = {
        {"open dialog cancelled", "", "-", false, "", "", "", "No input file chosen."},
        {"not a GPX name", At("trip.Gpx"), "-", false, "", "This is not a GPX file.", At("trip.Gpx"),
         "Not a GPX file."},
        {"input cannot be opened", At("locked.gpx"), "-", false, At("locked.gpx"), std::strerror(EACCES),
         At("locked.gpx"), "Could not open the file."},
        {"save dialog cancelled", At("trip.gpx"), "", false, "", "", "", "No output file chosen."},
        {"output cannot be opened", At("trip.gpx"), At("locked.gpx"), true, At("locked.gpx"), std::strerror(EACCES),
         At("locked.gpx"), "Could not open the output file."},
        {"output is the input", At("trip.gpx"), At("trip.gpx"), true, "", "The output file is the input file.",
         At("trip.gpx"), "Could not open the output file."},
        {"read error", links + "unreadable.gpx", At("out.csv"), false, "", ReadErrorText(links + "unreadable.gpx"),
         links + "unreadable.gpx", "Could not read the file.", true},
        // A device is no existing file to the save dialog: no replace question.
        {"disk full", At("trip.gpx"), links + "full.csv", false, "", std::strerror(ENOSPC), links + "full.csv",
         "Could not write the output file.", true},
    };

    AppProcess app;
    Start(app);
    std::string previous = kPrompt;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        if (row.open.rfind("Z:", 0) == 0 || row.save.rfind("Z:", 0) == 0) {
            if (links.empty()) {
                ADD_FAILURE() << "WAYFOLD_E2E_LINKS is not set: run this through scripts/test-stages/30-e2e.sh";
                continue;
            }
        }
        FileLock lock(row.locked.empty() ? std::string("<none>") : row.locked);
        ASSERT_EQ(lock.held(), !row.locked.empty());

        FileDialog open = PressConvert(app);
        ASSERT_TRUE(open.window);
        if (row.open.empty()) {
            open.Cancel();
        } else {
            open.Choose(row.open);
        }
        if (row.save != "-") {
            FileDialog save = WaitForFileDialog(app.thread(), app.frame(), "Save As");
            ASSERT_TRUE(save.window);
            if (row.save.empty()) {
                save.Cancel();
            } else {
                save.Choose(row.save);
                if (row.replace) {
                    ASSERT_TRUE(AnswerReplaceQuestion(app.thread(), save.window, true)) << DescribeWindows(app.thread());
                }
            }
        }
        if (!row.boxText.empty()) {
            MessageBoxSeen box = WaitForMessageBox(app.thread(), app.frame());
            ASSERT_TRUE(box.window) << DescribeWindows(app.thread());
            EXPECT_EQ(box.text, row.boxText);
            EXPECT_EQ(box.caption, row.boxCaption);
            EXPECT_TRUE(box.onlyOk);
            EXPECT_TRUE(box.stopIcon);
            EXPECT_EQ(app.status(), row.ran ? "Working..." : previous) << "the status waits until the box is dismissed";
            PostClick(box.window, IDOK);
        }
        ExpectStatus(app, row.status);
        EXPECT_FALSE(FindTopWindow(app.thread(), app.frame(), "#32770", nullptr)) << DescribeWindows(app.thread());
        EXPECT_EQ(ReadBytes(At("trip.gpx")), kGpx) << "the input is never changed";
        EXPECT_FALSE(fs::exists(At("trip.csv")));
        previous = row.status;
    }
    // Still ready: a conversion after all the failures.
    Convert(app, At("trip.csv"));
    EXPECT_EQ(ReadBytes(At("trip.csv")), kCsv);
    Quit(app);
}

TEST_F(WayfoldWindow, EveryWayOutEndsWithExitCodeZero) {
    struct WayOut {
        const char* title;
        void (*leave)(const AppProcess& app);
    } waysOut[] = {
        {"Exit button", [](const AppProcess& app) { PostClick(app.client(), IDCANCEL); }},
        {"Esc", [](const AppProcess& app) { PostKey(app.focus(), VK_ESCAPE); }},
        {"Tab to Exit, then Enter",
         [](const AppProcess& app) {
             PostKey(app.focus(), VK_TAB);
             WaitUntil([&] { return app.focus() == app.control(IDCANCEL); });
             PostKey(app.focus(), VK_RETURN);
         }},
        {"close box", [](const AppProcess& app) { PostMessageA(app.frame(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](const AppProcess& app) {
             PostMessageA(app.frame(), WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1 | (1u << 29)));
         }},
    };
    for (const WayOut& way : waysOut) {
        SCOPED_TRACE(way.title);
        AppProcess app;
        Start(app);
        way.leave(app);
        DWORD code = 1;
        ASSERT_TRUE(app.WaitForExit(&code)) << "the program did not end";
        EXPECT_EQ(code, 0u);
    }
}

TEST_F(WayfoldWindow, StartsNormalWhateverShowCommandItIsGiven) {
    const Size templateSize = TemplateSizeInPixels();
    struct Case {
        int showCommand;
        bool minimised;
    } cases[] = {
        {SW_SHOWMAXIMIZED, false},
        {SW_SHOWMINIMIZED, false},
        {SW_SHOWDEFAULT, false},
        {SW_SHOWMINNOACTIVE, true},  // passed on as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("show command " + std::to_string(c.showCommand));
        AppProcess app;
        Start(app, c.showCommand);
        EXPECT_FALSE(IsZoomed(app.frame()));
        EXPECT_EQ(IsIconic(app.frame()) != FALSE, c.minimised);
        if (!c.minimised) {
            EXPECT_EQ(ClientSize(app.frame()), templateSize);
        }
        Quit(app);
    }
}

TEST_F(WayfoldWindow, ResizingLeavesTheControlsInPlace) {
    AppProcess app;
    Start(app);
    std::vector<Place> places;
    for (int id : {IDOK, IDCANCEL, kStatusId}) places.push_back(PlaceInDialog(app.client(), app.control(id)));
    RECT frame;
    GetWindowRect(app.frame(), &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;

    for (SIZE grow : {SIZE{200, 150}, SIZE{-80, -60}}) {
        SCOPED_TRACE(std::to_string(grow.cx) + "," + std::to_string(grow.cy));
        SetWindowPos(app.frame(), nullptr, 0, 0, width + grow.cx, height + grow.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        WaitUntil([&] { return ClientSize(app.client()) == ClientSize(app.frame()); });
        EXPECT_EQ(ClientSize(app.client()), ClientSize(app.frame())) << "the dialog fills the window";
        RECT now;
        GetWindowRect(app.frame(), &now);
        EXPECT_EQ(now.right - now.left, width + grow.cx) << "the window keeps the size it was given";
        std::vector<Place> placesNow;
        for (int id : {IDOK, IDCANCEL, kStatusId}) placesNow.push_back(PlaceInDialog(app.client(), app.control(id)));
        EXPECT_EQ(placesNow, places);
    }
    Quit(app);
}

TEST_F(WayfoldWindow, TwoCopiesRunSideBySide) {
    AppProcess first, second;
    Start(first);
    Start(second);
    EXPECT_NE(first.frame(), second.frame());
    Convert(second, At("trip.csv"));
    EXPECT_EQ(first.status(), kPrompt);
    Quit(first);
    Quit(second);
}

}  // namespace
}  // namespace wayfold::e2e
