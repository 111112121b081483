// The window framework's own behaviour, with real windows: response tables, a dialog as a
// frame's client, shrink-to-client sizing, the keyboard interface of the message loop, the
// close sequence and the loop's exit code.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework.h"

namespace {

constexpr int kDialog = 100;  // framework_test.rc
constexpr int kIcon = 1;
constexpr int kStatus = 101;

// ---------------------------------------------------------------- response tables

class Base : public TEventHandler {
public:
    bool DispatchCommand(int id) override {
        static const TResponseEntry<Base> table[] = {
            {10, &Base::CmA},
            {11, &Base::CmB},
        };
        return Respond(this, table, id) || TEventHandler::DispatchCommand(id);
    }
    std::string log;

private:
    void CmA() { log += "A"; }
    void CmB() { log += "B"; }
};

class Derived : public Base {
public:
    bool DispatchCommand(int id) override {
        static const TResponseEntry<Derived> table[] = {
            {10, &Derived::CmC},
        };
        return Respond(this, table, id) || Base::DispatchCommand(id);
    }

private:
    void CmC() { log += "C"; }
};

TEST(ResponseTable, DerivedTableIsSearchedBeforeTheBase) {
    struct Case {
        int id;
        bool handled;
        const char* log;
    } cases[] = {
        {10, true, "C"},  // in both tables: only the derived handler runs
        {11, true, "B"},  // only in the base's
        {12, false, ""},  // in neither
    };
    for (const Case& c : cases) {
        Derived handler;
        EXPECT_EQ(handler.DispatchCommand(c.id), c.handled) << c.id;
        EXPECT_EQ(handler.log, c.log) << c.id;
    }
}

// ---------------------------------------------------------------- dialogs

// A dialog of the test template that counts the questions whether it may close.
class TestDialog : public TDialog {
public:
    explicit TestDialog(TWindow* parent = nullptr) : TDialog(parent, kDialog), Status(new TStatic(this, kStatus)) {}
    bool CanClose() override {
        ++canCloseAsked;
        return allowClose && TDialog::CanClose();
    }
    HWND Item(int id) const { return GetDlgItem(Handle, id); }

    TStatic* Status;
    int canCloseAsked = 0;
    bool allowClose = true;
};

// The same dialog with its own IDOK handler.
class OkDialog : public TestDialog {
public:
    using TestDialog::TestDialog;
    int oks = 0;

protected:
    bool DispatchCommand(int id) override {
        static const TResponseEntry<OkDialog> table[] = {
            {IDOK, &OkDialog::CmCount},
        };
        return Respond(this, table, id) || TestDialog::DispatchCommand(id);
    }

private:
    void CmCount() { ++oks; }
};

void Click(TDialog& dialog, int id) {
    SendMessageA(dialog.GetHandle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog.GetHandle(), id)));
}

TEST(Dialog, OwnIdokHandlerReplacesTheDefaultAndTheDialogStays) {
    OkDialog dialog;
    ASSERT_TRUE(dialog.Create());
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_TRUE(IsWindow(dialog.GetHandle()));
    EXPECT_EQ(dialog.canCloseAsked, 0);
}

TEST(Dialog, DefaultIdokAsksCanCloseAndIdcancelDestroysAtOnce) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND handle = dialog.GetHandle();
    dialog.allowClose = false;
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.canCloseAsked, 1);
    EXPECT_TRUE(IsWindow(handle));

    Click(dialog, IDCANCEL);
    EXPECT_EQ(dialog.canCloseAsked, 1);  // not asked again
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(dialog.GetHandle(), nullptr);
    EXPECT_EQ(dialog.GetReturnValue(), IDCANCEL);

    TestDialog agreeing;
    ASSERT_TRUE(agreeing.Create());
    handle = agreeing.GetHandle();
    Click(agreeing, IDOK);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(agreeing.GetReturnValue(), IDOK);
}

TEST(Dialog, StaticIsBoundToItsControl) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ASSERT_EQ(dialog.Status->GetHandle(), dialog.Item(kStatus));
    dialog.Status->SetText("Working...");
    char text[64] = {};
    GetWindowTextA(dialog.Item(kStatus), text, sizeof text);
    EXPECT_STREQ(text, "Working...");
}

TEST(OpenSaveData, FilterBecomesThePlatformListAndFlagsAreAdded) {
    TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, "GPX Files (*.gpx)|*.gpx|Any (*.*)|*.*|", ".", "gpx");
    const char expected[] = "GPX Files (*.gpx)\0*.gpx\0Any (*.*)\0*.*\0";  // and the final zero
    ASSERT_EQ(data.Filter.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(data.Filter.data(), expected, sizeof expected), 0);
    EXPECT_EQ(data.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_LONGNAMES | OFN_EXPLORER));
    EXPECT_EQ(data.FilterIndex, 0);
    EXPECT_EQ(data.InitialDir, ".");
    EXPECT_EQ(data.DefExt, "gpx");
    EXPECT_EQ(sizeof data.FileName, 260u);
    EXPECT_STREQ(data.FileName, "");
}

// ---------------------------------------------------------------- frame, application, loop

constexpr UINT kStep = WM_APP + 1;

// A frame that runs test steps from inside the message loop, once it is shown: each step
// runs after everything that the step before it posted.
class SteppingFrame : public TFrameWindow {
public:
    SteppingFrame(TWindow* client, std::vector<std::function<void()>> steps)
        : TFrameWindow(nullptr, "frame", client), Steps(std::move(steps)) {}

protected:
    void SetupWindow() override {
        TFrameWindow::SetupWindow();
        PostMessageA(Handle, kStep, 0, 0);
    }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != kStep) return TFrameWindow::HandleMessage(message, wParam, lParam, result);
        if (Next < Steps.size()) {
            Steps[Next++]();
            if (Handle) PostMessageA(Handle, kStep, 0, 0);
        }
        result = 0;
        return true;
    }

private:
    std::vector<std::function<void()>> Steps;
    std::size_t Next = 0;
};

// An application whose main window is a shrink-to-client frame around an OkDialog.
class TestApp : public TApplication {
public:
    explicit TestApp(std::vector<std::function<void()>> steps) : TApplication("test"), Steps(std::move(steps)) {}

    OkDialog* client = nullptr;
    HWND frameHandle = nullptr;

    // Run, with a guard: a loop still running after 10 s ends with 99.
    int RunGuarded() {
        UINT_PTR timer = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
        int result = Run();
        KillTimer(nullptr, timer);
        return result;
    }

protected:
    void InitMainWindow() override {
        client = new OkDialog(nullptr);
        Steps.insert(Steps.begin(), [this] { frameHandle = GetMainWindow()->GetHandle(); });
        TFrameWindow* frame = new SteppingFrame(client, Steps);
        frame->SetFlag(wfShrinkToClient);
        frame->SetIcon(nullptr, kIcon);
        frame->SetIconSm(nullptr, kIcon);
        SetMainWindow(frame);
    }

private:
    std::vector<std::function<void()>> Steps;
};

using Size = std::pair<long, long>;  // width, height

Size ClientSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

TEST(Frame, DialogClientFillsTheFrameAndTheFrameFollowsTheClientsSize) {
    TestApp* app = nullptr;
    auto frame = [&] { return app->frameHandle; };
    auto dialog = [&] { return app->client->GetHandle(); };
    Size templateSize;
    TestApp testApp({
        [&] {
            // A child without the template's caption, popup style and frame.
            DWORD style = static_cast<DWORD>(GetWindowLongA(dialog(), GWL_STYLE));
            DWORD exStyle = static_cast<DWORD>(GetWindowLongA(dialog(), GWL_EXSTYLE));
            EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
            EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | DS_MODALFRAME), 0u);
            EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE), 0u);
            EXPECT_EQ(GetParent(dialog()), frame());
            // Shrink-to-client: the frame's client area is the template's size (120 x 60 units).
            RECT units{0, 0, 120, 60};
            MapDialogRect(dialog(), &units);
            templateSize = {units.right, units.bottom};
            EXPECT_EQ(ClientSize(frame()), templateSize);
            EXPECT_EQ(ClientSize(dialog()), templateSize);
            // The main window: task-bar button, both icons, focus on the first control.
            EXPECT_TRUE(GetWindowLongA(frame(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
            EXPECT_NE(SendMessageA(frame(), WM_GETICON, ICON_BIG, 0), 0);
            EXPECT_NE(SendMessageA(frame(), WM_GETICON, ICON_SMALL, 0), 0);
            EXPECT_EQ(GetFocus(), app->client->Item(IDOK));
            // The user enlarges the frame: the dialog fills the larger client area.
            RECT window;
            GetWindowRect(frame(), &window);
            SetWindowPos(frame(), nullptr, 0, 0, window.right - window.left + 60, window.bottom - window.top + 40,
                         SWP_NOMOVE | SWP_NOZORDER);
        },
        [&] {
            Size larger{templateSize.first + 60, templateSize.second + 40};
            EXPECT_EQ(ClientSize(frame()), larger);
            EXPECT_EQ(ClientSize(dialog()), larger);
            RECT place;
            GetWindowRect(dialog(), &place);
            MapWindowPoints(nullptr, frame(), reinterpret_cast<POINT*>(&place), 2);
            EXPECT_EQ(place.left, 0);
            EXPECT_EQ(place.top, 0);
            // The client changes its own size: the frame follows.
            SetWindowPos(dialog(), nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER);
        },
        [&] {
            EXPECT_EQ(ClientSize(frame()), (Size{150, 90}));
            EXPECT_EQ(ClientSize(dialog()), (Size{150, 90}));
            PostMessageA(frame(), WM_CLOSE, 0, 0);
        },
    });
    app = &testApp;
    EXPECT_EQ(testApp.RunGuarded(), 0);
    EXPECT_FALSE(IsWindow(testApp.frameHandle));
}

TEST(Frame, EveryWayOutEndsTheLoopWithItsCode) {
    struct Case {
        const char* name;
        std::function<void(TestApp&)> action;
        int exitCode;
        int canCloseAsked;  // of the client: only closing the frame asks it
    } cases[] = {
        {"Esc in the dialog",
         [](TestApp&) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, 0, 0},
        {"Cancel button",
         [](TestApp& app) { Click(*app.client, IDCANCEL); }, 0, 0},
        {"client window destroyed",
         [](TestApp& app) { DestroyWindow(app.client->GetHandle()); }, 0, 0},
        {"frame closed", [](TestApp& app) { PostMessageA(app.frameHandle, WM_CLOSE, 0, 0); }, 0, 1},
        {"quit with a code", [](TestApp&) { PostQuitMessage(3); }, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestApp* app = nullptr;
        TestApp testApp({
            [&] { c.action(*app); },
        });
        app = &testApp;
        EXPECT_EQ(testApp.RunGuarded(), c.exitCode);
        if (c.exitCode == 0) {
            EXPECT_FALSE(IsWindow(testApp.frameHandle));
            // The client object lives until the application is destroyed.
            EXPECT_EQ(testApp.client->canCloseAsked, c.canCloseAsked);
        }
    }
}

TEST(Frame, KeyboardInterfaceFocusAndAClientThatRefusesToClose) {
    TestApp* app = nullptr;
    HWND other = nullptr;
    TestApp testApp({
        [&] {
            ASSERT_EQ(GetFocus(), app->client->Item(IDOK));
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // the default button
        },
        [&] {
            EXPECT_EQ(app->client->oks, 1);
            EXPECT_TRUE(IsWindow(app->client->GetHandle()));
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        },
        [&] {
            EXPECT_EQ(GetFocus(), app->client->Item(IDCANCEL));
            // Another window takes the activation for a while (as a message box does).
            other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
            SetActiveWindow(other);
        },
        [&] {
            EXPECT_EQ(GetActiveWindow(), other);
            DestroyWindow(other);
            SetActiveWindow(app->frameHandle);
        },
        [&] {
            // The focus is back on the control that had it.
            EXPECT_EQ(GetFocus(), app->client->Item(IDCANCEL));
            app->client->allowClose = false;
            PostMessageA(app->frameHandle, WM_CLOSE, 0, 0);
        },
        [&] {
            EXPECT_TRUE(IsWindow(app->frameHandle));  // the client objected
            app->client->allowClose = true;
            PostMessageA(app->frameHandle, WM_CLOSE, 0, 0);
        },
    });
    app = &testApp;
    EXPECT_EQ(testApp.RunGuarded(), 0);
    EXPECT_EQ(testApp.client->canCloseAsked, 2);
}

TEST(Application, ShowCommandComesFromTheProcessStart) {
    TApplication::SetProcessStart(GetModuleHandleA(nullptr), "", SW_SHOWMINNOACTIVE);
    bool iconic = false;
    TestApp* app = nullptr;
    TestApp testApp({
        [&] {
            iconic = IsIconic(app->frameHandle) != FALSE;
            PostMessageA(app->frameHandle, WM_CLOSE, 0, 0);
        },
    });
    app = &testApp;
    TApplication::SetProcessStart(GetModuleHandleA(nullptr), "", SW_SHOWDEFAULT);
    EXPECT_EQ(testApp.GetCmdShow(), SW_SHOWMINNOACTIVE);
    EXPECT_STREQ(testApp.GetName(), "test");
    EXPECT_EQ(testApp.RunGuarded(), 0);
    EXPECT_TRUE(iconic);
}

}  // namespace
