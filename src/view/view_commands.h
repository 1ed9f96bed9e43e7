// The view and transport commands that only move the selection, the shown
// range or the play position: cursor keys, zoom, select all, go to start or
// end, rewind and fast forward. Each is one undoable "Select" or "Display"
// step (origin command), or nothing when it changes nothing.
#pragma once

// The cursor keys, numbered as the platform's virtual keys.
enum CursorKey {
    KEY_PAGE_UP = 33,           // back one view length
    KEY_PAGE_DOWN = 34,         // on one view length
    KEY_END = 35,               // the end of the sound
    KEY_HOME = 36,              // the start of the sound
    KEY_LEFT = 37,              // back a twentieth of the view
    KEY_RIGHT = 39,             // on a twentieth of the view
};

// Moves the selection start, keeping the length; with Shift and a non-empty
// selection changes the length instead. Then the view follows the selection
// end. Other keys are ignored.
void OnCursorKey(int key, bool shift);

// Half or twice the shown length, around the selection start, or centred on
// the cursor when nothing is selected.
void ZoomIn();
void ZoomOut();
// Shows the selection, or from the cursor to the end when nothing is
// selected.
void ZoomSelect();
void DisplayAll();

void SelectAll();
void GoToStart();               // cursor at 0
void GoToEnd();                 // cursor at the end of the sound

// With a selection the play position goes to its start (Rewind) or end
// (Fast Forward); without, the cursor goes to the start or end of the sound.
void Rewind();
void FastForward();
