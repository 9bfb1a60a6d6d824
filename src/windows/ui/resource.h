// Resource identifiers shared by the C++ sources and the resource script.
#ifndef SORVEL_UI_RESOURCE_H
#define SORVEL_UI_RESOURCE_H

#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDD_SURFACE_DIALOG  102
#define IDR_MAINFRAME       128

// Command id of the About item in the system menu. The system keeps the low
// four bits of system-menu command ids for itself, so this must be a
// multiple of 16 below 0xF000.
#define IDM_ABOUTBOX        0x0010

#endif // SORVEL_UI_RESOURCE_H
