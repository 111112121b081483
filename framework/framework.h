// A thin window framework over the 8-bit (ANSI) Win32 API, in the classic style: an
// application object with a message loop, windows as C++ objects, frames with a client
// window, modeless dialogs from templates, and response tables that map command ids to
// handlers. Only what a small dialog-based program needs.
//
// How a program uses it:
//
//   // A dialog with a response table: IDOK runs CmGo; everything else (IDCANCEL destroys
//   // the dialog) is TDialog's.
//   class TMyDialog : public TDialog {
//   public:
//     TMyDialog(TWindow* parent, int resourceId, TModule* module = nullptr)
//       : TDialog(parent, resourceId, module), Status(new TStatic(this, IDC_STATUS)) {}
//     ~TMyDialog() override { Destroy(IDCANCEL); }
//   protected:
//     bool DispatchCommand(int id) override {
//       static const TResponseEntry<TMyDialog> table[] = {
//         {IDOK, &TMyDialog::CmGo},
//       };
//       return Respond(this, table, id) || TDialog::DispatchCommand(id);
//     }
//   private:
//     void CmGo() {
//       SetWindowTextA(Status->GetHandle(), "Going...");
//       GetApplication()->MessageBox(GetHandle(), "Text", "Caption", MB_ICONSTOP | MB_OK);
//     }
//     TStatic* Status;  // owned by the dialog, as its child object
//   };
//
//   // A frame whose client is the dialog; the frame owns it.
//   class TMyFrame : public TDecoratedFrame {
//   public:
//     TMyFrame(const char* title)
//       : TDecoratedFrame(nullptr, title, new TMyDialog(nullptr, IDD_MAIN), false) {}
//   };
//
//   // The application: InitMainWindow builds the main window; Run creates and shows it
//   // and returns the message loop's exit code.
//   class TMyApp : public TApplication {
//   public:
//     TMyApp() : TApplication("myapp") {}
//   protected:
//     void InitMainWindow() override {
//       TFrameWindow* frame = new TMyFrame(GetName());
//       frame->SetFlag(wfShrinkToClient);
//       frame->SetIcon(this, IDI_MAIN);
//       SetMainWindow(frame);
//     }
//   };
//
//   int AppMain(int, char*[]) { TMyApp app; return app.Run(); }  // link wayfold_framework_entry
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>
#include <vector>

class TApplication;
class TWindow;

// The program's entry function; the framework's WinMain (library wayfold_framework_entry)
// stores the instance, command line and show command and then calls it.
int AppMain(int argc, char* argv[]);

// A module: an executable or DLL with its resources.
class TModule {
public:
    TModule(const char* name, HINSTANCE instance);
    virtual ~TModule() = default;
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    const char* GetName() const { return Name.c_str(); }
    HINSTANCE GetHandle() const { return Instance; }

private:
    std::string Name;
    HINSTANCE Instance;
};

// One line of a response table: a command id and the handler that answers it.
template <class T>
struct TResponseEntry {
    int Id;
    void (T::*Handler)();
};

// Something that answers commands. Each class with a response table overrides
// DispatchCommand: it looks in its own table first and then asks its base class.
class TEventHandler {
public:
    virtual ~TEventHandler() = default;

    // Runs the handler of command `id`; false when no table has an entry for it.
    virtual bool DispatchCommand(int id);

protected:
    template <class T, std::size_t N>
    static bool Respond(T* object, const TResponseEntry<T> (&table)[N], int id) {
        for (const TResponseEntry<T>& entry : table) {
            if (entry.Id == id) {
                (object->*entry.Handler)();
                return true;
            }
        }
        return false;
    }
};

enum TWindowFlag : unsigned {
    wfMainWindow = 0x1,      // the application's main window (set by SetMainWindow)
    wfShrinkToClient = 0x2,  // a frame sized so that its client area fits its client window
};

// A window object. The Win32 window exists between Create and its destruction; the object
// may live longer. A window object owns its child window objects and deletes them with
// itself.
class TWindow : public TEventHandler {
public:
    // Creation attributes, editable until the window exists.
    struct TAttr {
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, W = CW_USEDEFAULT, H = CW_USEDEFAULT;
        int Id = 0;  // the control id of a child window
    } Attr;

    TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
    ~TWindow() override;  // destroys the window if it still exists
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // The window object of a handle, or null when the handle is not one of ours.
    static TWindow* FromHandle(HWND handle);

    HWND GetHandle() const { return Handle; }
    TWindow* GetParent() const { return Parent; }
    void SetParent(TWindow* parent);  // before the window exists
    const char* GetTitle() const { return Title.c_str(); }
    TModule* GetModule() const;
    TApplication* GetApplication() const;

    void SetFlag(unsigned flag) { Flags |= flag; }
    void ClearFlag(unsigned flag) { Flags &= ~flag; }
    bool IsFlagSet(unsigned flag) const { return (Flags & flag) != 0; }

    // Large and small icon from an icon resource of `module` (null: the window's module),
    // loaded at the system's standard and small icon sizes (the small one falls back to
    // the standard size). They reach the window with WM_SETICON as soon as it exists.
    bool SetIcon(TModule* module, int resourceId);
    bool SetIconSm(TModule* module, int resourceId);

    virtual bool Create();
    virtual void Destroy(int returnValue = 0);
    // Asks CanClose and destroys the window when it agrees; the main window asks the
    // application instead.
    virtual void CloseWindow(int returnValue = 0);
    virtual bool CanClose();  // true when every child window agrees

    // The application's message box with this window as owner.
    int MessageBox(const char* text, const char* caption, UINT type);

protected:
    // Called once the window exists (from WM_CREATE or WM_INITDIALOG): sends the icons and
    // creates the child windows.
    virtual void SetupWindow();
    virtual void CreateChildren();

    // Handles one message; false leaves it to the window's default processing.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A child window changed its size (its WM_SIZE).
    virtual void ChildResized(TWindow* child);
    // Keyboard handling before a message is dispatched (a dialog's navigation keys).
    virtual bool PreProcessMsg(MSG& msg);

    virtual const char* GetClassName() const { return "TWindow"; }
    bool RegisterClass();

    void Bind(HWND handle);  // the handle-to-object link, made when the window is created
    void Unbind();
    void BindControl(HWND control) { Handle = control; }  // a control made by the parent's template

    static LRESULT CALLBACK StdWndProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Handle = nullptr;
    TWindow* Parent = nullptr;
    std::vector<TWindow*> Children;
    std::string Title;
    TModule* Module = nullptr;

private:
    friend class TApplication;
    friend class TDialog;
    void SendIcons();
    HICON LoadIconAt(TModule* module, int resourceId, bool small) const;

    unsigned Flags = 0;
    HICON Icon = nullptr;
    HICON IconSm = nullptr;
};

// A window that lays its client window out over its whole client area.
class TLayoutWindow : public TWindow {
public:
    TLayoutWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);

protected:
    void Layout();  // the client fills the client area
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    TWindow* ClientWnd = nullptr;
    bool InLayout = false;
};

// A top-level frame around one client window, which it owns. With wfShrinkToClient the
// frame is sized so that its client area is exactly the client window's size, when it is
// created and whenever the client window changes its own size. The focus goes to the client
// and, after another window was active, back to the control that had it. When the client
// window is destroyed, the frame closes itself.
class TFrameWindow : public TLayoutWindow {
public:
    TFrameWindow(TWindow* parent, const char* title = nullptr, TWindow* client = nullptr,
                 bool shrinkToClient = false, TModule* module = nullptr);

    TWindow* GetClientWindow() const { return ClientWnd; }

protected:
    void SetupWindow() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ChildResized(TWindow* child) override;
    void ResizeToClient();

    HWND RestoreFocus = nullptr;  // the control that had the focus when the frame was left
};

// A frame that can carry decorations (tool bars, status bars) around its client; a frame
// without any is a plain frame.
class TDecoratedFrame : public TFrameWindow {
public:
    TDecoratedFrame(TWindow* parent, const char* title, TWindow* client, bool showMenuHints = false,
                    TModule* module = nullptr);

private:
    bool ShowMenuHints;  // kept for a menu; without one there are no hints to show
};

// A modeless dialog made from a dialog template resource. As the client of a frame (its
// Attr.Style holds WS_CHILD) it is shown as a child without the template's caption, popup
// style and frame. The message loop gives it the standard dialog keyboard interface.
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int resourceId, TModule* module = nullptr);

    bool Create() override;
    void Destroy(int returnValue = 0) override;
    int GetReturnValue() const { return ReturnValue; }

protected:
    // IDOK: destroys the dialog with IDOK when CanClose agrees; IDCANCEL: destroys it at once.
    bool DispatchCommand(int id) override;
    void CmOk();
    void CmCancel();

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreProcessMsg(MSG& msg) override;

    static INT_PTR CALLBACK StdDlgProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    int ResourceId;
    int ReturnValue = 0;
};

// A static control of the parent dialog's template, reached by its control id.
class TStatic : public TWindow {
public:
    TStatic(TWindow* parent, int resourceId, TModule* module = nullptr);

    bool Create() override;  // binds the template's control
    void SetText(const char* text) { SetWindowTextA(Handle, text); }
};

// The common open and save dialogs.
class TOpenSaveDialog {
public:
    enum { MaxPath = 260 };

    // The settings of one dialog, kept by the caller and read back after it ran.
    struct TData {
        // `filter`: descriptions and patterns, each ended by "|" ("Text (*.txt)|*.txt|").
        // OFN_LONGNAMES, and OFN_EXPLORER on system versions 4 and later, are added.
        TData(DWORD flags, const char* filter, const char* initialDir, const char* defaultExt,
              int filterIndex = 0);

        DWORD Flags;
        std::vector<char> Filter;  // the platform's list: zero-ended texts, an empty one last
        int FilterIndex;
        std::string InitialDir;
        std::string DefExt;
        char FileName[MaxPath] = {};  // in: the proposed name; out: the chosen path
        DWORD Error = 0;             // CommDlgExtendedError of a failed dialog, 0 after Cancel
    };

    TOpenSaveDialog(TWindow* parent, TData& data, const char* title = nullptr);
    virtual ~TOpenSaveDialog() = default;

    // Runs the dialog modally: IDOK when the user chose a file, IDCANCEL otherwise.
    int Execute();

protected:
    virtual BOOL Run(OPENFILENAMEA& ofn) = 0;

    TWindow* Parent;
    TData& Data;
    const char* Title;
};

class TFileOpenDialog : public TOpenSaveDialog {
public:
    using TOpenSaveDialog::TOpenSaveDialog;

protected:
    BOOL Run(OPENFILENAMEA& ofn) override { return GetOpenFileNameA(&ofn); }
};

class TFileSaveDialog : public TOpenSaveDialog {
public:
    using TOpenSaveDialog::TOpenSaveDialog;

protected:
    BOOL Run(OPENFILENAMEA& ofn) override { return GetSaveFileNameA(&ofn); }
};

// The application: its name, its main window, the show command of its first window and the
// message loop. One per process.
class TApplication : public TModule {
public:
    explicit TApplication(const char* name);
    ~TApplication() override;  // deletes the main window object

    // The application of this process, or null before one is constructed.
    static TApplication* GetCurrent();
    // Stored by the process entry before AppMain runs.
    static void SetProcessStart(HINSTANCE instance, const char* commandLine, int cmdShow);
    static const char* GetCmdLine();  // the command line after the program name

    // InitInstance, then the message loop; the loop's exit code (the quit message's).
    int Run();

    TFrameWindow* GetMainWindow() const { return MainWindow; }
    // Makes `window` the main window (marked, with WS_EX_APPWINDOW); returns the previous.
    TFrameWindow* SetMainWindow(TFrameWindow* window);

    // The show command for the main window, from the process start unless changed.
    int GetCmdShow() const { return CmdShow; }
    void SetCmdShow(int cmdShow) { CmdShow = cmdShow; }

    int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
    virtual bool CanClose();  // asks the main window

protected:
    // Calls InitMainWindow, then creates the main window and shows it once with the show
    // command. False when there is no main window or it could not be created.
    virtual bool InitInstance();
    // The hook that builds the main window and hands it over with SetMainWindow.
    virtual void InitMainWindow();
    virtual int MessageLoop();
    bool ProcessAppMsg(MSG& msg);

private:
    TFrameWindow* MainWindow = nullptr;
    int CmdShow;
};
