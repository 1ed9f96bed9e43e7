// The system's wave devices (winmm) behind the core's seam. The shell
// installs them at start-up with SetWaveDevices. Devices opened with
// DEV_CALLBACK_WINDOW report to the frame window (MM_WOM_DONE, MM_WIM_DATA).
#pragma once

#include "device/wave_device.h"

WaveDevices& TheSystemWaveDevices();
