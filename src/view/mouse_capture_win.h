// Dragging a selection edge with the mouse: while a view holds the capture,
// the keyboard focus stays with the frame and the west-east sizing cursor
// shows.
#pragma once

#include <windows.h>

#include <cstdint>

// Focus to the frame, the mouse captured for the window, the sizing cursor,
// and the selection's anchor remembered as the drag origin.
void BeginMouseCapture(HWND window);
// Releases the capture and shows the arrow cursor.
void EndMouseCapture();

// The anchor position taken by the last BeginMouseCapture.
int32_t MouseDragOrigin();

// The mouse position field empties when the pointer leaves the views: a view
// asks for the leave notice on each mouse move, and on WM_MOUSELEAVE (which
// does not come while the view holds the capture) the position becomes -1.
void TrackMouseLeave(HWND window);
void OnMouseLeave();
