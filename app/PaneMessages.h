#pragma once
// Messages and commands between the read-only text panes and the windows above them. Macros, as the
// resource ids and message numbers of the other windows are, so that a header of theirs may name them too.
#include "win/Win32.h"

// To the main window, lParam the clicked read-only pane's handle: at most one pane shows a selection.
#define WM_APP_EDIT_CLICKED (WM_APP + 0x8)
// To the main window: give the keyboard focus back to the active send line.
#define WM_APP_FOCUS_SEND_LINE (WM_APP + 0x9)
// Up from a receive pane's text to the view, sent; lParam a SpotTestRequest.
#define WM_APP_TEST_IN_SPOT_FILTERS (WM_APP + 0x1A)

// Commands of the read-only panes' context menu.
#define ID_EDIT_COPY 57634
#define ID_EDIT_SELECT_ALL 57642
#define ID_EDIT_COPY_ALL 32790
#define ID_TEST_IN_SPOT_FILTERS 32798
// The log pane's header asks its parent to show or hide the log text.
#define ID_VIEW_LOG_PANE 32779
