// The one application object: identity, start-up state and the measurements
// every layout uses. Portable: the Windows handles it keeps are opaque here and
// are created and released by the shell (app_win.cpp).
#pragma once

#include <cstdint>

#include "lib/gstring.h"

// Window show states as the platform numbers them.
enum { KV_SW_HIDE = 0, KV_SW_SHOWNORMAL = 1 };

// Action state values (owned by the editing actions): up to 2 the undo
// history is discarded; records are opened only above 3.
enum {
    ACTSTATE_REPLACING = 0,
    ACTSTATE_CLOSING = 1,
    ACTSTATE_LOADING = 2,
    ACTSTATE_READY = 4,
    ACTSTATE_UNDOING = 5,
    ACTSTATE_REDOING = 6,
};

enum { HELP_CONTEXT_GENERAL = 2000 };

class CKV_FrameWnd;

struct App {
    const char* className = "Kelvora";   // also the INI section and registry key
    void* instance = nullptr;            // HINSTANCE
    CGString commandLine;                // the text after the program name
    CKV_FrameWnd* frame = nullptr;       // set by the frame's creation message
    CGString programPath;
    CGString iniPath;
    int32_t showMode = KV_SW_SHOWNORMAL;
    void* accelMain = nullptr;           // IDA_MAIN
    void* accelEdit = nullptr;           // IDA_EDIT, no location edit focused
    void* accelLocation = nullptr;       // IDA_LOCATION, a location edit focused
    int32_t actionState = ACTSTATE_REPLACING;
    uint32_t helpContext = HELP_CONTEXT_GENERAL;
    uint8_t closeWhenDone = 0;
    uint8_t playOnStart = 0;
    uint8_t fileGiven = 0;
    int32_t charWidth = 0;               // average width of the variable-pitch system font
    int32_t charHeight = 0;
    int32_t labelWidths[4] = {};         // "Selection: Start", "Length", "Mouse", "Play Position"
    int32_t dialogBaseX = 0;
    int32_t dialogBaseY = 0;
    void* buttonFaceBrush = nullptr;     // HBRUSH of the button-face colour
    uint32_t invHighlight = 0;           // highlight colour complemented within 24 bits
    uint32_t invHighlightText = 0;
    void* cursorOwn = nullptr;           // IDC_KELVORA_CURSOR
    void* cursorSizeWE = nullptr;
    void* cursorArrow = nullptr;
    void* spectrogram = nullptr;         // non-null while the spectrogram window exists
    void* locationEditFocus = nullptr;   // HWND of the focused location edit, or null
};

App& TheApp();

// Restores the single object to its constructed state (tests and start-up).
void ResetApp();
