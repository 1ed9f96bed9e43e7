// Dragging the sound's file out of the frame to another program's window:
// the Drag button starts it, the frame's mouse messages carry it, and on
// release over a window that accepts files that window receives the file as
// if it had been dropped from the shell.
#pragma once

#include <windows.h>

#include <string>

// The Drag button was pressed. Nothing happens for a sound without a file
// name, nor for a modified one that is not saved after the save question
// (the receiver would get the old file). Otherwise the frame captures the
// mouse and the cursor tells whether the window under it takes files.
void BeginDragOut(HWND frame, POINT screen);

// The frame's mouse messages while the drag runs; each returns false when
// no drag runs (the message is the frame's as usual).
bool DragOutMouseMove(HWND frame, POINT client);
bool DragOutButtonUp(HWND frame, POINT client);
bool DragOutCancel(HWND frame);

// The block a window that accepts files receives (WM_DROPFILES): the
// shell's DROPFILES header, then the ANSI name and a second zero ending the
// list. Null when memory is short; the receiver frees it.
HGLOBAL MakeDropBlock(const std::string& name, POINT screen, bool nonClient);
