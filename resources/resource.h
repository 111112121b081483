// Resource ids of wayfold.exe, shared by the resource script and the program.
#pragma once

#define IDI_FRAME 1             // the main window's icon and the program file's icon
#define IDI_FRAME_CLASSIC 1001  // the same picture in 16 colours and monochrome; not loaded

#define IDD_CLIENT 2000  // the converter dialog, the main window's client
#define IDC_STATUS 101   // its status text
