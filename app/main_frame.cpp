#include "main_frame.h"

#include "converter_dialog.h"
#include "resource.h"

TSDIDecFrame::TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool showMenuHints,
                           TModule* module)
    : TDecoratedFrame(parent, title, client ? client : new TwayfoldDlgClient(nullptr, IDD_CLIENT, nullptr),
                      showMenuHints, module) {}

TSDIDecFrame::~TSDIDecFrame() = default;
