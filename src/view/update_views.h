// Deferred view updates: whatever changes what is shown ORs its bits into a
// pending mask; the first bit set posts one update message to the frame, whose
// handler runs the handlers of the set bits in bit order.
#pragma once

#include <cstdint>

enum : uint32_t {
    UpdSelStart = 1,
    UpdSelLength = 2,
    UpdWave = 4,
    UpdPlayPos = 8,
    UpdMousePos = 16,
    UpdTotal = 32,
    UpdDevCaps = 64,
    UpdTransport = 128,
    UpdFormat = 256,
    UpdTitle = 512,
    UpdLengthLabel = 1024,
    UpdAll = 2047,
};

void UpdateViews(uint32_t flags);

// The frame's handler of the update message: takes the pending mask and runs
// the handlers of its bits in order. Returns the mask it ran.
uint32_t RunPendingViewUpdates();

// The pending mask (tests).
uint32_t PendingViewUpdates();

// One handler per bit, in bit order; views fill theirs as they are built.
using ViewUpdateHandler = void (*)();
void SetViewUpdateHandler(int bit, ViewUpdateHandler handler);
