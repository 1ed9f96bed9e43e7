#include "sound/compression_manager.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "app/app_options.h"
#include "app/host.h"
#include "app/string_ids.h"
#include "app/string_table.h"
#include "lib/log.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/form.h"

namespace {

CompressionManager* theCompressionManager = nullptr;

// Room the chooser gets beyond the largest format: a whole WAVEFORMATEX.
constexpr uint32_t CHOOSER_EXTRA_BYTES = 18;
constexpr int CHOOSER_NAME_CHARS = 256;

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

int ChooseFormatWithManager(void* owner)
{
    CompressionManager* manager = UsableCompressionManager();
    if (!TheAppOptions().useAcm || manager == nullptr)
        return 0;
    static char chosenName[CHOOSER_NAME_CHARS];
    chosenName[0] = '\0';
    uint32_t largest = manager->MaxFormatSize();
    if (largest < sizeof(KvWaveFormat) || largest > UINT16_MAX + sizeof(KvWaveFormat))
        return 0;
    uint32_t bytes = largest + CHOOSER_EXTRA_BYTES;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[bytes]());
    if (!block)
        return 0;

    // A PCM record has no cbSize of its own: the zeroed block supplies 0.
    const CKV_Document& doc = TheDocument();
    auto* format = reinterpret_cast<KvWaveFormat*>(block.get());
    if (doc.format.Record())
        std::memcpy(format, doc.format.Record(), std::min(doc.format.Size(), largest));
    if (format->wFormatTag == WAVE_TAG_PCM)
        format->cbSize = 0;

    FormatChoice choice;
    choice.owner = owner;
    choice.format = format;
    choice.size = largest;
    choice.title = LoadAppString(STR_ACT_CONVERT_FORMAT);
    choice.name = chosenName;
    choice.nameSize = CHOOSER_NAME_CHARS;
    choice.convertibleFrom = doc.length > 0 ? doc.format.Record() : nullptr;
    int rc = manager->ChooseFormat(choice);
    if (rc == COMPRESSION_CANCELLED)
        return 2;
    if (rc != 0 || Form::RecordSize(format) > bytes) {
        Log("acmFORMATCHOOSE %d", rc);
        return 0;
    }
    int result = ConvertFormat(format);
    if (result > 0)
        TheHost().ShowError(result);
    return 1;
}
