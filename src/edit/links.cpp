#include "edit/links.h"

#include <algorithm>
#include <climits>

namespace {

class NoEngine : public EngineLink {
public:
    void Stop() override {}
    void PlayAfterChange() override {}
};

class NoSelection : public SelectionLink {
public:
    void SetSelection(int32_t, int32_t, int) override {}
    void SetViewRange(int32_t, int32_t, int) override {}
    void SetPlayPosition(int32_t, int) override {}
    void RepaintRange(int32_t, int32_t) override {}
    void DropGesture() override {}
};

int NoRunner(int, const void*, uint32_t)
{
    return -1;
}

NoEngine noEngine;
NoSelection noSelection;
EngineLink* engineLink = &noEngine;
SelectionLink* selectionLink = &noSelection;
ActionRunner actionRunner = NoRunner;

}

void SelectionLink::SelectBetween(int32_t a, int32_t b, int origin)
{
    int32_t low = std::min(a, b);
    int64_t length = static_cast<int64_t>(std::max(a, b)) - low;
    SetSelection(low, static_cast<int32_t>(std::min<int64_t>(length, INT32_MAX)), origin);
}

EngineLink& TheEngineLink()
{
    return *engineLink;
}

SelectionLink& TheSelectionLink()
{
    return *selectionLink;
}

ActionRunner TheActionRunner()
{
    return actionRunner;
}

void SetEngineLink(EngineLink* link)
{
    engineLink = link ? link : &noEngine;
}

void SetSelectionLink(SelectionLink* link)
{
    selectionLink = link ? link : &noSelection;
}

void SetActionRunner(ActionRunner runner)
{
    actionRunner = runner ? runner : NoRunner;
}
