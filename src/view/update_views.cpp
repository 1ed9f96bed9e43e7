#include "view/update_views.h"

#include "app/host.h"

namespace {

const int HANDLER_COUNT = 11;

uint32_t pending = 0;
bool messagePosted = false;
ViewUpdateHandler handlers[HANDLER_COUNT] = {};

}

void UpdateViews(uint32_t flags)
{
    pending |= flags & UpdAll;
    Host& host = TheHost();
    if (pending && !messagePosted && host.FrameExists()) {
        messagePosted = true;
        host.PostViewUpdate();
    }
}

uint32_t RunPendingViewUpdates()
{
    uint32_t mask = pending;
    pending = 0;
    messagePosted = false;
    for (int bit = 0; bit < HANDLER_COUNT; bit++) {
        if ((mask & (1u << bit)) && handlers[bit])
            handlers[bit]();
    }
    return mask;
}

uint32_t PendingViewUpdates()
{
    return pending;
}

void SetViewUpdateHandler(int bit, ViewUpdateHandler handler)
{
    if (bit >= 0 && bit < HANDLER_COUNT)
        handlers[bit] = handler;
}
