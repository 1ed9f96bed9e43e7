// The system's audio compression manager (msacm32) behind the core's seam.
// The shell installs it at start-up with SetCompressionManager.
#pragma once

#include "sound/compression_manager.h"

CompressionManager& TheSystemCompressionManager();
