// Deferred view updates. Whatever changes what is shown ORs its bits into a
// pending mask with UpdateViews; the first bit set posts one update message
// to the frame, whose handler (RunPendingViewUpdates) runs the handlers of
// the set bits in bit order. Many requests before the message arrives are
// served by one pass. Single-threaded: call from the user-interface thread.
#pragma once

#include <cstdint>

// The bits, in the order their handlers run.
enum : uint32_t {
    UpdSelStart = 1,            // selection start field
    UpdSelLength = 2,           // selection length (or end) field
    UpdWaveView = 4,            // waveform, zoom bar and overview strip
    UpdPlayPos = 8,             // play position field and spectrum marker
    UpdMousePos = 16,           // mouse position field
    UpdTotal = 32,              // total length line
    UpdDevCaps = 64,            // device volume, rate and format support
    UpdTransport = 128,         // transport buttons enabled
    UpdFormat = 256,            // format line
    UpdTitle = 512,             // window title and the drag button
    UpdLengthLabel = 1024,      // "Length" or "End" label
    UpdAll = 2047,
};

enum { VIEW_UPDATE_BITS = 11 };

void UpdateViews(uint32_t mask);

// The frame's handler of the update message. Runs the handlers of the
// pending bits from bit 0 upwards, then clears the mask and the outstanding
// message: requests made while the handlers run are dropped, so that a
// handler whose control echoes a change back cannot feed itself. Returns the
// mask it ran (0 when nothing was pending).
uint32_t RunPendingViewUpdates();

// The pending mask (tests).
uint32_t PendingViewUpdates();

// The handler of one update (UpdSelStart .. UpdLengthLabel); null removes
// it, and a value that is not one of those bits is ignored. Each view
// installs its own when its window is created.
using ViewUpdateHandler = void (*)();
void SetViewUpdateHandler(uint32_t update, ViewUpdateHandler handler);

// Forgets the pending mask, the outstanding message and every handler
// (start-up and tests).
void ResetViewUpdates();
