#include "base/app_options.h"

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
}
