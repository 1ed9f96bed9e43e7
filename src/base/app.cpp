#include "base/app.h"

namespace {
App theApp;
}

App& TheApp()
{
    return theApp;
}

void ResetApp()
{
    theApp = App();
}
