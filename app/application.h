// TwayfoldApp: the application, named "wayfold"; builds the main window.
#pragma once

#include "framework.h"

class TwayfoldApp : public TApplication {
public:
    TwayfoldApp();
    ~TwayfoldApp() override;

protected:
    void InitMainWindow() override;
};
