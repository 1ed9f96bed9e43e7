#include "base/update_views.h"

#include "base/host.h"

namespace {

uint32_t pending = 0;
// An update message is on its way to the frame; no second one is posted.
bool messagePosted = false;
ViewUpdateHandler handlers[VIEW_UPDATE_BITS] = {};

}

void UpdateViews(uint32_t mask)
{
    pending |= mask & UpdAll;
    if (pending == 0 || messagePosted)
        return;
    // Without a frame the bits wait; the frame's creation asks for a full
    // update anyway.
    Host& host = TheHost();
    if (!host.FrameExists())
        return;
    messagePosted = host.PostViewUpdate();
}

uint32_t RunPendingViewUpdates()
{
    uint32_t mask = pending;
    if (mask != 0) {
        // The message stays outstanding while the handlers run, so their own
        // requests neither post a message nor survive the pass.
        messagePosted = true;
        for (int bit = 0; bit < VIEW_UPDATE_BITS; bit++) {
            if ((mask & (1u << bit)) != 0 && handlers[bit] != nullptr)
                handlers[bit]();
        }
    }
    pending = 0;
    messagePosted = false;
    return mask;
}

uint32_t PendingViewUpdates()
{
    return pending;
}

void SetViewUpdateHandler(uint32_t update, ViewUpdateHandler handler)
{
    // Exactly one bit of the mask.
    if (update == 0 || (update & (update - 1)) != 0 || update > UpdLengthLabel)
        return;
    int bit = 0;
    while (!(update & (1u << bit)))
        bit++;
    handlers[bit] = handler;
}

void ResetViewUpdates()
{
    pending = 0;
    messagePosted = false;
    for (ViewUpdateHandler& handler : handlers)
        handler = nullptr;
}
