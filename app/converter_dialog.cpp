#include "converter_dialog.h"

#include "resource.h"

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
    // The Convert command comes here.
    (void)Status;
}
