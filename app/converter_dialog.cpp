#include "converter_dialog.h"

#include <cstring>

#include "convert_command.h"
#include "resource.h"

namespace {

// The Convert command's window side: the framework's file dialogs and the application's
// message box, owned by the converter dialog, and its status control.
class TConverterWindowSide final : public wayfold::ConvertCommandUi {
public:
    TConverterWindowSide(TWindow& dialog, TStatic& status) : Dialog(dialog), Status(status) {}

    bool RunOpenDialog(wayfold::FileDialogSettings& settings) override { return Run<TFileOpenDialog>(settings); }
    bool RunSaveDialog(wayfold::FileDialogSettings& settings) override { return Run<TFileSaveDialog>(settings); }

    void ShowMessageBox(const char* text, const char* caption, unsigned type) override {
        Dialog.GetApplication()->MessageBox(Dialog.GetHandle(), text, caption, type);
    }

    void SetStatus(const char* text) override { SetWindowTextA(Status.GetHandle(), text); }

private:
    // The dialog object lives only while it runs; the settings carry the chosen path back.
    template <class TFileDialog>
    bool Run(wayfold::FileDialogSettings& settings) {
        TOpenSaveDialog::TData data(settings.flags, settings.filter, settings.initialDir, settings.defaultExt,
                                    settings.filterIndex);
        static_assert(sizeof data.FileName == sizeof settings.fileName, "one path size on both sides");
        std::memcpy(data.FileName, settings.fileName, sizeof data.FileName);
        if (TFileDialog(&Dialog, data).Execute() != IDOK) return false;
        std::memcpy(settings.fileName, data.FileName, sizeof settings.fileName);
        return true;
    }

    TWindow& Dialog;
    TStatic& Status;
};

}  // namespace

TwayfoldDlgClient::TwayfoldDlgClient(TWindow* parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module), Status(new TStatic(this, IDC_STATUS)) {}

TwayfoldDlgClient::~TwayfoldDlgClient() { Destroy(IDCANCEL); }

bool TwayfoldDlgClient::DispatchCommand(int id) {
    static const TResponseEntry<TwayfoldDlgClient> table[] = {
        {IDOK, &TwayfoldDlgClient::CmConvert},
    };
    return Respond(this, table, id) || TDialog::DispatchCommand(id);
}

void TwayfoldDlgClient::CmConvert() {
    TConverterWindowSide windowSide(*this, *Status);
    wayfold::RunConvertCommand(windowSide);
}
