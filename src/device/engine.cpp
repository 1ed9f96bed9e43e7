#include "device/engine.h"

// The wave devices arrive with the engine; until a device can be opened there
// is never anything to stop.
int Stop()
{
    return 0;
}
