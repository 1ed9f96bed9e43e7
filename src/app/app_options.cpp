#include "app/app_options.h"

#include "app/object_options.h"

#include "edit/effect_settings.h"
#include "sound/form.h"

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
    ResetObjectOptions();
    // Empty, so that new sounds get the built-in default format.
    TheDefaultFormat().SetSize(0);
}
