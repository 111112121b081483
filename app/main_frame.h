// TSDIDecFrame: the main window, a bare decorated frame around the converter dialog.
#pragma once

#include "framework.h"

class TSDIDecFrame : public TDecoratedFrame {
public:
    // Without a client of its own, the frame makes the converter dialog its client.
    TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool showMenuHints = false,
                 TModule* module = nullptr);
    ~TSDIDecFrame() override;
};
