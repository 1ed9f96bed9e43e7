#include "sound/compression_manager.h"

namespace {
CompressionManager* theCompressionManager = nullptr;
}

CompressionManager* TheCompressionManager()
{
    return theCompressionManager;
}

void SetCompressionManager(CompressionManager* manager)
{
    theCompressionManager = manager;
}

CompressionManager* UsableCompressionManager()
{
    CompressionManager* manager = theCompressionManager;
    if (manager == nullptr || manager->Version() < COMPRESSION_MANAGER_MIN_VERSION)
        return nullptr;
    return manager;
}
