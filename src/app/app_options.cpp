#include "app/app_options.h"

#include "edit/effect_settings.h"

namespace {
AppOptions theAppOptions;
}

AppOptions& TheAppOptions()
{
    return theAppOptions;
}

void ResetAppOptions()
{
    theAppOptions = AppOptions();
    TheEffectSettings().SetToDefault();
}
