// Windows as objects: the handle-to-object link, creation, the close sequence, icons, and
// frames that lay out and follow their client window.
#include <algorithm>

#include "framework.h"

namespace {

// The window property that links a window handle to its object.
const char kObjectProperty[] = "TWindow.Object";

}  // namespace

TModule::TModule(const char* name, HINSTANCE instance)
    : Name(name ? name : ""), Instance(instance ? instance : GetModuleHandleA(nullptr)) {}

bool TEventHandler::DispatchCommand(int) { return false; }

// ---------------------------------------------------------------- TWindow

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : Title(title ? title : ""), Module(module) {
    SetParent(parent);
}

TWindow::~TWindow() {
    if (Handle && FromHandle(Handle) == this) {
        HWND handle = Handle;
        Unbind();  // the derived parts are gone: the last messages get default processing
        DestroyWindow(handle);
    }
    for (TWindow* child : std::vector<TWindow*>(Children)) {
        delete child;
    }
    SetParent(nullptr);
    if (Icon) DestroyIcon(Icon);
    if (IconSm) DestroyIcon(IconSm);
}

TWindow* TWindow::FromHandle(HWND handle) {
    return handle ? static_cast<TWindow*>(GetPropA(handle, kObjectProperty)) : nullptr;
}

void TWindow::SetParent(TWindow* parent) {
    if (Parent) {
        std::vector<TWindow*>& siblings = Parent->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    Parent = parent;
    if (Parent) Parent->Children.push_back(this);
}

TModule* TWindow::GetModule() const {
    if (Module) return Module;
    return GetApplication();
}

TApplication* TWindow::GetApplication() const { return TApplication::GetCurrent(); }

void TWindow::Bind(HWND handle) {
    Handle = handle;
    SetPropA(handle, kObjectProperty, this);
}

void TWindow::Unbind() {
    if (Handle) RemovePropA(Handle, kObjectProperty);
    Handle = nullptr;
    // Child windows are destroyed before their parent: forget the handles that are gone.
    for (TWindow* child : Children) {
        if (child->Handle && !IsWindow(child->Handle)) child->Handle = nullptr;
    }
}

bool TWindow::RegisterClass() {
    HINSTANCE instance = GetModule() ? GetModule()->GetHandle() : GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, GetClassName(), &existing)) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = StdWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = GetClassName();
    return RegisterClassExA(&windowClass) != 0;
}

bool TWindow::Create() {
    if (Handle) return true;
    if (!RegisterClass()) return false;
    HWND parent = Parent ? Parent->Handle : nullptr;
    HMENU menuOrId = (Attr.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(Attr.Id)) : nullptr;
    HINSTANCE instance = GetModule() ? GetModule()->GetHandle() : GetModuleHandleA(nullptr);
    // StdWndProc binds the handle at WM_NCCREATE, so that WM_CREATE reaches SetupWindow.
    CreateWindowExA(Attr.ExStyle, GetClassName(), Title.c_str(), Attr.Style, Attr.X, Attr.Y, Attr.W, Attr.H,
                    parent, menuOrId, instance, this);
    return Handle != nullptr;
}

void TWindow::Destroy(int) {
    if (Handle) DestroyWindow(Handle);
}

void TWindow::CloseWindow(int returnValue) {
    TApplication* application = GetApplication();
    bool mayClose = IsFlagSet(wfMainWindow) && application ? application->CanClose() : CanClose();
    if (mayClose) Destroy(returnValue);
}

bool TWindow::CanClose() {
    for (TWindow* child : Children) {
        if (child->Handle && !child->CanClose()) return false;
    }
    return true;
}

int TWindow::MessageBox(const char* text, const char* caption, UINT type) {
    TApplication* application = GetApplication();
    return application ? application->MessageBox(Handle, text, caption, type)
                       : MessageBoxExA(Handle, text, caption, type, 0);
}

void TWindow::SetupWindow() {
    SendIcons();
    CreateChildren();
}

void TWindow::CreateChildren() {
    for (TWindow* child : Children) {
        if (!child->Handle) child->Create();
    }
}

HICON TWindow::LoadIconAt(TModule* module, int resourceId, bool small) const {
    if (!module) module = GetModule();
    HINSTANCE instance = module ? module->GetHandle() : GetModuleHandleA(nullptr);
    int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, cx, cy, 0));
}

bool TWindow::SetIcon(TModule* module, int resourceId) {
    HICON icon = LoadIconAt(module, resourceId, false);
    if (!icon) return false;
    if (Icon) DestroyIcon(Icon);
    Icon = icon;
    SendIcons();
    return true;
}

bool TWindow::SetIconSm(TModule* module, int resourceId) {
    HICON icon = LoadIconAt(module, resourceId, true);
    if (!icon) icon = LoadIconAt(module, resourceId, false);
    if (!icon) return false;
    if (IconSm) DestroyIcon(IconSm);
    IconSm = icon;
    SendIcons();
    return true;
}

void TWindow::SendIcons() {
    if (!Handle) return;
    if (Icon) SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
    if (IconSm) SendMessageA(Handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(IconSm));
}

bool TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_CREATE:
        SetupWindow();
        return false;
    case WM_COMMAND:
        // Menu items, accelerators and button clicks; other control notifications are not commands.
        if (HIWORD(wParam) <= 1 && DispatchCommand(LOWORD(wParam))) {
            result = 0;
            return true;
        }
        return false;
    case WM_SIZE:
        if (Parent && Parent->Handle) Parent->ChildResized(this);
        return false;
    case WM_CLOSE:
        CloseWindow();
        result = 0;
        return true;
    case WM_DESTROY:
        if (IsFlagSet(wfMainWindow)) PostQuitMessage(0);
        return false;
    default:
        return false;
    }
}

void TWindow::ChildResized(TWindow*) {}

bool TWindow::PreProcessMsg(MSG&) { return false; }

LRESULT CALLBACK TWindow::StdWndProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* window = FromHandle(handle);
    if (!window && message == WM_NCCREATE) {
        window = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window) window->Bind(handle);
    }
    if (!window) return DefWindowProcA(handle, message, wParam, lParam);
    LRESULT result = 0;
    if (!window->HandleMessage(message, wParam, lParam, result)) {
        result = DefWindowProcA(handle, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) window->Unbind();
    return result;
}

// ---------------------------------------------------------------- frames

TLayoutWindow::TLayoutWindow(TWindow* parent, const char* title, TModule* module) : TWindow(parent, title, module) {}

void TLayoutWindow::Layout() {
    if (!Handle || !ClientWnd || !ClientWnd->GetHandle()) return;
    RECT area;
    GetClientRect(Handle, &area);
    InLayout = true;
    MoveWindow(ClientWnd->GetHandle(), 0, 0, area.right, area.bottom, TRUE);
    InLayout = false;
}

bool TLayoutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_SIZE && wParam != SIZE_MINIMIZED) Layout();
    return TWindow::HandleMessage(message, wParam, lParam, result);
}

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient,
                           TModule* module)
    : TLayoutWindow(parent, title, module) {
    // A top-level frame with every standard decoration; the client stays clear of painting.
    Attr.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN | (parent ? WS_CHILD : 0);
    if (shrinkToClient) SetFlag(wfShrinkToClient);
    ClientWnd = client;
    if (ClientWnd) {
        ClientWnd->SetParent(this);
        ClientWnd->Attr.Style = (ClientWnd->Attr.Style & ~WS_POPUP) | WS_CHILD | WS_VISIBLE;
    }
}

void TFrameWindow::SetupWindow() {
    TLayoutWindow::SetupWindow();  // icons, then the child windows, the client among them
    if (IsFlagSet(wfShrinkToClient)) ResizeToClient();
    Layout();
}

void TFrameWindow::ResizeToClient() {
    if (!ClientWnd || !ClientWnd->GetHandle()) return;
    RECT client, frame, area;
    GetWindowRect(ClientWnd->GetHandle(), &client);
    GetWindowRect(Handle, &frame);
    GetClientRect(Handle, &area);
    // The frame's own parts (caption, borders) stay as they are; the client area takes the
    // client window's size.
    int width = (frame.right - frame.left - area.right) + (client.right - client.left);
    int height = (frame.bottom - frame.top - area.bottom) + (client.bottom - client.top);
    SetWindowPos(Handle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrameWindow::ChildResized(TWindow* child) {
    if (child == ClientWnd && !InLayout && IsFlagSet(wfShrinkToClient)) ResizeToClient();
}

bool TFrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_ACTIVATE:
        // Leaving, remember which control had the focus; coming back, give it back to that one
        // (a child dialog is told nothing of activation and would start again at its first).
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle, focus)) RestoreFocus = focus;
        } else if (!HIWORD(wParam) && RestoreFocus && IsWindow(RestoreFocus) && IsChild(Handle, RestoreFocus)) {
            SetFocus(RestoreFocus);
            result = 0;
            return true;
        }
        break;
    case WM_SETFOCUS:
        // The client takes the focus (a dialog gives it to its control).
        if (ClientWnd && ClientWnd->GetHandle()) {
            SetFocus(ClientWnd->GetHandle());
            result = 0;
            return true;
        }
        break;
    case WM_PARENTNOTIFY:
        // The client window is gone: the frame has nothing left to show.
        if (LOWORD(wParam) == WM_DESTROY && ClientWnd && reinterpret_cast<HWND>(lParam) == ClientWnd->GetHandle()) {
            PostMessageA(Handle, WM_CLOSE, 0, 0);
        }
        break;
    default:
        break;
    }
    return TLayoutWindow::HandleMessage(message, wParam, lParam, result);
}

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const char* title, TWindow* client, bool showMenuHints,
                                 TModule* module)
    : TFrameWindow(parent, title, client, false, module), ShowMenuHints(showMenuHints) {}
