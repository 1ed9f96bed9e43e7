#include "edit/effect_settings.h"

namespace {
EffectSettings theEffectSettings;
}

EffectSettings& TheEffectSettings()
{
    return theEffectSettings;
}
