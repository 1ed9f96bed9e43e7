#include "app/core_links.h"

#include "app/command_table.h"
#include "device/engine.h"
#include "edit/links.h"
#include "edit/open_document.h"
#include "sound/sample_actions.h"
#include "view/selection_ops.h"

void InstallCoreLinks()
{
    SetSampleActions(&EditSampleActions());
    SetEngineLink(&DeviceEngineLink());
    SetSelectionLink(&ViewSelectionLink());
    SetActionRunner(ApplyAction);
}
