// Modeless dialogs from templates, their controls, and the common file dialogs.
#include <cstring>

#include "framework.h"

// ---------------------------------------------------------------- TDialog

TDialog::TDialog(TWindow* parent, int resourceId, TModule* module)
    : TWindow(parent, nullptr, module), ResourceId(resourceId) {}

bool TDialog::Create() {
    if (Handle) return true;
    HINSTANCE instance = GetModule() ? GetModule()->GetHandle() : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(ResourceId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!bytes || size < 18) return false;
    HWND parent = Parent ? Parent->GetHandle() : nullptr;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    if (!(Attr.Style & WS_CHILD)) {
        CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(bytes), parent, StdDlgProc, self);
        return Handle != nullptr;
    }
    // A child dialog: the same template without the popup style, caption, frame and border.
    std::vector<BYTE> copy(bytes, bytes + size);
    bool extended = copy[2] == 0xFF && copy[3] == 0xFF;  // DLGTEMPLATEEX: version 1, signature 0xFFFF
    std::size_t styleAt = extended ? 12 : 0, exStyleAt = extended ? 8 : 4;
    DWORD style, exStyle;
    std::memcpy(&style, &copy[styleAt], sizeof style);
    std::memcpy(&exStyle, &copy[exStyleAt], sizeof exStyle);
    style = (style & ~DWORD(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | DS_MODALFRAME)) | (Attr.Style & (WS_CHILD | WS_VISIBLE));
    exStyle &= ~DWORD(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    std::memcpy(&copy[styleAt], &style, sizeof style);
    std::memcpy(&copy[exStyleAt], &exStyle, sizeof exStyle);
    CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), parent, StdDlgProc, self);
    return Handle != nullptr;
}

void TDialog::Destroy(int returnValue) {
    ReturnValue = returnValue;
    TWindow::Destroy(returnValue);
}

bool TDialog::DispatchCommand(int id) {
    static const TResponseEntry<TDialog> table[] = {
        {IDOK, &TDialog::CmOk},
        {IDCANCEL, &TDialog::CmCancel},
    };
    return Respond(this, table, id) || TWindow::DispatchCommand(id);
}

void TDialog::CmOk() {
    if (CanClose()) Destroy(IDOK);
}

void TDialog::CmCancel() { Destroy(IDCANCEL); }

bool TDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The dialog manager turns WM_CLOSE into IDCANCEL.
    if (message == WM_CLOSE) return false;
    return TWindow::HandleMessage(message, wParam, lParam, result);
}

bool TDialog::PreProcessMsg(MSG& msg) { return Handle && IsDialogMessageA(Handle, &msg); }

INT_PTR CALLBACK TDialog::StdDlgProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        TDialog* dialog = reinterpret_cast<TDialog*>(lParam);
        dialog->Bind(handle);
        dialog->SetupWindow();
        return TRUE;  // the focus goes to the first control that takes it
    }
    TWindow* window = FromHandle(handle);
    if (!window) return FALSE;
    LRESULT result = 0;
    bool handled = window->HandleMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) window->Unbind();
    if (handled) SetWindowLongPtrA(handle, DWLP_MSGRESULT, result);
    return handled ? TRUE : FALSE;
}

// ---------------------------------------------------------------- TStatic

TStatic::TStatic(TWindow* parent, int resourceId, TModule* module) : TWindow(parent, nullptr, module) {
    Attr.Id = resourceId;
}

bool TStatic::Create() {
    if (!Handle && Parent && Parent->GetHandle()) BindControl(GetDlgItem(Parent->GetHandle(), Attr.Id));
    return Handle != nullptr;
}

// ---------------------------------------------------------------- file dialogs

TOpenSaveDialog::TData::TData(DWORD flags, const char* filter, const char* initialDir, const char* defaultExt,
                              int filterIndex)
    : Flags(flags | OFN_LONGNAMES),
      FilterIndex(filterIndex),
      InitialDir(initialDir ? initialDir : ""),
      DefExt(defaultExt ? defaultExt : "") {
    if (LOBYTE(LOWORD(GetVersion())) >= 4) Flags |= OFN_EXPLORER;
    // "desc|pattern|" becomes "desc\0pattern\0", and an empty text ends the list.
    if (filter && *filter) {
        Filter.assign(filter, filter + std::strlen(filter));
        for (char& c : Filter) {
            if (c == '|') c = '\0';
        }
        if (Filter.back() != '\0') Filter.push_back('\0');
        Filter.push_back('\0');
    }
}

TOpenSaveDialog::TOpenSaveDialog(TWindow* parent, TData& data, const char* title)
    : Parent(parent), Data(data), Title(title) {}

int TOpenSaveDialog::Execute() {
    Data.FileName[MaxPath - 1] = '\0';
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Parent ? Parent->GetHandle() : nullptr;
    ofn.lpstrFilter = Data.Filter.empty() ? nullptr : Data.Filter.data();
    ofn.nFilterIndex = static_cast<DWORD>(Data.FilterIndex);
    ofn.lpstrFile = Data.FileName;
    ofn.nMaxFile = MaxPath;
    ofn.lpstrInitialDir = Data.InitialDir.empty() ? nullptr : Data.InitialDir.c_str();
    ofn.lpstrTitle = Title;
    ofn.Flags = Data.Flags;
    ofn.lpstrDefExt = Data.DefExt.empty() ? nullptr : Data.DefExt.c_str();
    if (Run(ofn)) {
        Data.Error = 0;
        Data.FilterIndex = static_cast<int>(ofn.nFilterIndex);
        return IDOK;
    }
    Data.Error = CommDlgExtendedError();
    return IDCANCEL;
}
