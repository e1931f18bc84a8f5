#pragma once
// Resource ids shared by the .rc and the code.
#define IDR_MAINFRAME 128

// The button bars of the view and of each connection page.
#define IDD_VIEW_BUTTONBAR 101
#define IDD_PAGE_BUTTONBAR 102
#define IDC_PAGE_STATUS_LINK 1012

// Commands of the Connection and Tools menus that the button bars and the tab strip send.
#define ID_CONNECTION_CONNECT 32774
#define ID_CONNECTION_DISCONNECT 32775
#define ID_CONNECTION_SETTINGS 32776
#define ID_CONNECTION_CONNECT_ALL 32777
#define ID_CONNECTION_DISCONNECT_ALL 32778
#define ID_TOOLS_GENERAL_SETTINGS 32780
