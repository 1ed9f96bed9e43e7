// The volume popup: a borderless window under the Vol button holding one
// vertical slider (0 at the bottom, 255 at the top) that sets the play
// device's volume as the user moves it. It opens only when the volume can be
// read. All on the user-interface thread.
#pragma once

// Button IDB_VOLUME: closes the popup when it is open, else opens it with
// its top-left corner at the button's lower-left corner.
void ToggleVolumePopup();

// Closes the popup; returns whether it was open (Esc, the device options).
bool CloseVolumePopup();

// Up and Down while the popup is open: the slider moves by `delta` steps as
// if its arrows were pressed. Returns whether the popup was open.
bool StepVolumePopup(int delta);

// The popup's window (HWND), null while it is closed.
void* VolumePopupWindow();
