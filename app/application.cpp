#include "application.h"

#include "main_frame.h"
#include "resource.h"

TwayfoldApp::TwayfoldApp() : TApplication("wayfold") {}

TwayfoldApp::~TwayfoldApp() = default;

void TwayfoldApp::InitMainWindow() {
    // A start that asks for a maximised or minimised window opens a normal one; hidden and
    // minimised-without-activation starts are kept.
    if (GetCmdShow() != SW_HIDE && GetCmdShow() != SW_SHOWMINNOACTIVE) SetCmdShow(SW_SHOWNORMAL);

    TSDIDecFrame* frame = new TSDIDecFrame(nullptr, GetName(), nullptr, false, nullptr);
    frame->SetFlag(wfShrinkToClient);
    // Visible, clipping its client, captioned, sizable, minimisable, with a system menu; no
    // maximise box, and a top-level window.
    frame->Attr.Style |= 0x12CE0000;
    frame->Attr.Style &= 0xBFFEFFFF;
    frame->SetIcon(this, IDI_FRAME);
    // The small icon needs a shell that shows one: system version 4 and later.
    if (LOBYTE(LOWORD(GetVersion())) > 3) frame->SetIconSm(this, IDI_FRAME);
    SetMainWindow(frame);
}
