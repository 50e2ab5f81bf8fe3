// Resource numbers of the host's own resources.
#pragma once

#define IDI_KANTREL 107
#define IDR_ACCELERATORS 109
#define IDM_TIME_MODE 33041

// The desk menu and the view menu, and the commands they send to the main window.
#define IDR_DESK_MENU 109
#define IDR_VIEW_MENU 232
#define IDM_ABOUT 104
#define IDM_QUIT 105
#define IDM_LOAD_SHOW 32771
#define IDM_SAVE_SHOW 32772
#define IDM_ECHO 32773
#define IDM_EXTERN_DISPLAY1 32774
#define IDM_EXTERN_DISPLAY2 32775
#define IDM_ARRANGE 32776
#define IDM_OPTIONS 32778
#define IDM_SHOW_HKEYS 32779
#define IDM_SHOW_HSCROLL 32780
#define IDM_SHOW_VSCROLL 32781
#define IDM_SHORTCUTS 32782
#define IDM_CLEAR_SCREEN 32783
#define IDM_CLEAR_ALL_SCREENS 32784
#define IDM_COVER_DESKTOP 32785

// The About box.
#define IDD_ABOUT 103
#define IDC_ABOUT_VERSION 1000
