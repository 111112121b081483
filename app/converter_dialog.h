// TwayfoldDlgClient: the converter dialog, the main window's client.
#pragma once

#include "framework.h"

class TwayfoldDlgClient : public TDialog {
public:
    TwayfoldDlgClient(TWindow* parent, int resourceId, TModule* module = nullptr);
    ~TwayfoldDlgClient() override;

protected:
    bool DispatchCommand(int id) override;

private:
    void CmConvert();

    TStatic* Status;  // IDC_STATUS; a child object, deleted with the dialog
};
