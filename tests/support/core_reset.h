// The core's single objects put back as a newly started program has them,
// for the native tests, the fuzz targets and the benchmarks alike (no test
// framework needed).
#pragma once

#include "app/core_links.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "view/view_model.h"

// Loads the built-in strings, then resets the app, its options, the selection,
// the wave view and the action lifecycle (no undo or redo records, ready), and
// connects the core's layers.
// False when the strings do not load; nothing is reset then.
inline bool ResetCore()
{
    if (!LoadBuiltInStrings())
        return false;
    ResetApp();
    ResetSettings();
    ResetSelection();
    ResetWaveView();
    ResetActionLifecycle();
    InstallCoreLinks();
    return true;
}
