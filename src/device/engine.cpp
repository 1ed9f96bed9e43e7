#include "device/engine.h"

#include "app/error_message.h"

// The wave devices arrive with the engine; until a device can be opened there
// is never anything to stop.
int Stop()
{
    return 0;
}

// Until the wave devices are driven, nothing can be played: say so rather
// than report a playback that did not happen.
int Play()
{
    return ERR_DEVICE_FAILED;
}
