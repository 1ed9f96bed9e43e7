#include "sound/compression_manager.h"

#include <cstring>

#include "lib/log.h"

namespace {

CompressionManager* theCompressionManager = nullptr;


}

int CompressionManager::OpenStream(const KvWaveFormat*, const KvWaveFormat*, CompressionStream* stream)
{
    *stream = nullptr;
    return COMPRESSION_NOT_POSSIBLE;
}

int CompressionManager::StreamSize(CompressionStream, uint32_t, uint32_t* destinationBytes)
{
    *destinationBytes = 0;
    return COMPRESSION_NOT_POSSIBLE;
}

int CompressionManager::ConvertStream(CompressionStream, StreamConversion&, uint32_t)
{
    return COMPRESSION_NOT_POSSIBLE;
}

int CompressionManager::ChooseFormat(FormatChoice&)
{
    return COMPRESSION_NOT_POSSIBLE;
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
