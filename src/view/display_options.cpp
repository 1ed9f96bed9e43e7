#include "view/display_options.h"

#include <cstring>

#include "base/app_options.h"
#include "base/update_views.h"
#include "edit/actions.h"
#include "sound/form.h"
#include "view/view_model.h"

namespace {

// "Display Options": its records hold the previous DisplayOptionsRecord.
const int DISPLAY_OPTIONS_ACTION = 5;

// The position fields and the mouse field: what a shown or hidden waveform
// or locations row has to fill again.
const uint32_t TOGGLE_UPDATES = UpdSelStart | UpdSelLength | UpdPlayPos | UpdMousePos;

DisplayLayoutHandler layoutHandler = nullptr;

uint8_t* FlagOf(int toggle)
{
    AppOptions& options = TheAppOptions();
    switch (toggle) {
    case TOGGLE_WAVEFORM:
        return &options.showWaveform;
    case TOGGLE_LOCATIONS:
        return &options.showLocations;
    case TOGGLE_LEFT:
        return &options.leftChannel;
    case TOGGLE_RIGHT:
        return &options.rightChannel;
    default:
        return nullptr;
    }
}

// A toggle is an action without data: completing it unprepared files it.
void RecordToggle(int toggle)
{
    ActComplete(toggle, 0);
}

void TogglePane(int toggle, uint8_t& flag)
{
    flag = flag ? 0 : 1;
    if (layoutHandler != nullptr && !layoutHandler(toggle, flag != 0)) {
        flag = flag ? 0 : 1;
        return;
    }
    UpdateViews(TOGGLE_UPDATES);
    RecordToggle(toggle);
}

void ToggleChannel(int toggle, uint8_t& flag)
{
    int otherToggle = toggle == TOGGLE_LEFT ? TOGGLE_RIGHT : TOGGLE_LEFT;
    uint8_t& other = *FlagOf(otherToggle);
    if (flag && !other) {
        other = 1;
        RecordToggle(otherToggle);
    }
    flag = flag ? 0 : 1;
    RecordToggle(toggle);
    RequestWholeWaveRepaint();
    UpdateViews(UpdWaveView);
}

bool IsDisplayUnit(int32_t unit)
{
    return unit >= LENGTH_UNIT_TIME && unit <= LENGTH_UNIT_SAMPLES;
}

void StoreDisplayOptions(const DisplayOptionsRecord& wanted)
{
    AppOptions& options = TheAppOptions();
    DisplayOptionsRecord current = {options.showEnd ? 1 : 0, options.defaultLengthUnit};
    if (current.showEnd == wanted.showEnd && current.defaultLengthUnit == wanted.defaultLengthUnit)
        return;
    ActPrepare(DISPLAY_OPTIONS_ACTION, DISPLAY_OPTIONS_ACTION, &current, sizeof current);
    options.showEnd = static_cast<uint8_t>(wanted.showEnd);
    options.defaultLengthUnit = wanted.defaultLengthUnit;
    // Every position, the total and the "Length"/"End" label are written
    // again in the new unit.
    UpdateViews(UpdAll);
    ActComplete(DISPLAY_OPTIONS_ACTION, ACT_PREPARED);
}

}

void SetDisplayLayoutHandler(DisplayLayoutHandler handler)
{
    layoutHandler = handler;
}

void ToggleDisplayOption(int toggle)
{
    uint8_t* flag = FlagOf(toggle);
    if (flag == nullptr)
        return;
    if (toggle == TOGGLE_LEFT || toggle == TOGGLE_RIGHT)
        ToggleChannel(toggle, *flag);
    else
        TogglePane(toggle, *flag);
}

bool SetDisplayOptions(bool showEnd, int32_t defaultLengthUnit)
{
    if (!IsDisplayUnit(defaultLengthUnit))
        return false;
    StoreDisplayOptions({showEnd ? 1 : 0, defaultLengthUnit});
    return true;
}

void RestoreDisplayOptions(const void* data, uint32_t size)
{
    if (data == nullptr || size != sizeof(DisplayOptionsRecord))
        return;
    DisplayOptionsRecord saved;
    std::memcpy(&saved, data, sizeof saved);
    saved.showEnd = saved.showEnd != 0 ? 1 : 0;
    StoreDisplayOptions(saved);
}
