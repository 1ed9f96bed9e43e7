#include "edit/effect_settings.h"

#include <cstring>

#include "edit/actions.h"

namespace {

EffectSettings theEffectSettings;

}

EffectSettings& TheEffectSettings()
{
    return theEffectSettings;
}

void SetEffectSettings(const EffectSettings& settings)
{
    // The block is 18 plain 32-bit values without padding, so comparing and
    // saving its bytes compares and saves the values.
    if (std::memcmp(&settings, &theEffectSettings, sizeof(EffectSettings)) == 0)
        return;
    EffectSettings old = theEffectSettings;
    if (ActPrepare(ACTION_EFFECT_SETUP, ACTION_EFFECT_SETUP, &old, sizeof(old)) == 0)
        return;
    theEffectSettings = settings;
    ActComplete(ACTION_EFFECT_SETUP, ACT_PREPARED);
}
