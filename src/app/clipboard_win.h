// The Edit commands that use the clipboard. Sound goes there as one movable
// memory block under CF_WAVE holding a complete RIFF WAVE file image, and
// is taken from CF_WAVE, else CF_RIFF. The clipboard is open only for the
// time of one command.
#pragma once

#include <windows.h>

#include <cstdint>

// Requests besides the command ids of Cut, Copy and Paste (and their edit
// messages WM_CUT, WM_COPY, WM_PASTE).
enum ClipboardRequest {
    CLIP_QUERY = 0,     // 1 when the clipboard holds sound Paste can take, else 0
    CLIP_PROBE = 1,     // reads the headers of that sound for the paste length: 1 on success, else 0
};

// Runs a clipboard command for `owner` (the frame). For Cut, Copy and Paste
// a result above 0 is shown in the error box before it is returned; 0 is
// success and -1 means nothing was done (the clipboard could not be opened,
// nothing to paste, an empty selection). Nothing happens while the
// clipboard cannot be opened.
//
// Copy and Cut render the image before they touch the clipboard: when that
// fails (247) the clipboard keeps what it held and Cut keeps the samples.
// Beside the sound they put its picture (CF_METAFILEPICT) and icon
// (CF_BITMAP) when those can be made.
// Paste trusts nothing of another program's block: its size is the block's
// own, and damaged images are refused (250, 251) without any change.
int ClipboardCommand(HWND owner, int command);

// The movable, shareable block holding the image of the selection
// (selection true) or of the whole sound, or null (logged). The caller owns it.
HGLOBAL MakeClipWave(bool selection);
