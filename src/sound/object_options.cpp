#include "sound/object_options.h"

namespace {
ObjectOptions theObjectOptions;
}

ObjectOptions& TheObjectOptions()
{
    return theObjectOptions;
}

void ResetObjectOptions()
{
    theObjectOptions = ObjectOptions();
}
