#include "sound/sample_actions.h"

#include <algorithm>

#include "base/error_message.h"
#include "base/host.h"
#include "lib/log.h"
#include "sound/document.h"
#include "sound/form.h"
#include "sound/wave_file.h"

namespace {

// A 32-bit process addresses 2 GiB; its code, the system's libraries, the
// heaps and the undo copy of a selection leave about three quarters of that
// to one sound.
const uint64_t MAX_SOUND_BYTES = uint64_t{3} << 29;

class NoSampleActions : public SampleActions {
public:
    int ReplaceSound(const char*, const KvWaveFormat*) override { return ERR_INTERNAL; }
    int PreparePaste(int32_t* count) override
    {
        *count = 0;
        return 0;
    }
    void CompletePaste(int) override {}
    bool Progress(int32_t) override { return false; }
};

NoSampleActions noSampleActions;
SampleActions* installed = &noSampleActions;

}

SampleActions& TheSampleActions()
{
    return *installed;
}

void SetSampleActions(SampleActions* actions)
{
    installed = actions ? actions : &noSampleActions;
}

int CheckSoundSize(int64_t blocks, const Form& format)
{
    if (blocks <= 0)
        return 0;
    uint64_t bytes = static_cast<uint64_t>(blocks) * static_cast<uint64_t>(std::max(format.BlockAlign(), 1));
    if (blocks > INT32_MAX || bytes > MAX_SOUND_BYTES || bytes > TheHost().AvailableMemory()) {
        Log("Doc:CheckSoundSize(%lld) NO MEMORY", static_cast<long long>(blocks));
        return ERR_NO_MEMORY;
    }
    return 0;
}

int PrepareFill(const char* name, int mode, const Form& format, int32_t* count)
{
    *count = 0;
    const Selection& sel = TheSelection();
    int64_t blocks = sel.pendingLength;
    // Over a selection no more than it holds is written, and saved for undo
    // first; an empty one gets new room.
    if (mode != READ_OPEN && sel.selLength > 0)
        blocks = std::min<int64_t>(blocks, sel.selLength);
    int rc = CheckSoundSize(blocks, mode == READ_OPEN ? format : TheDocument().format);
    if (rc)
        return rc;
    if (mode == READ_OPEN) {
        rc = TheSampleActions().ReplaceSound(name, format.Record());
        if (rc)
            return rc;
    }
    return TheSampleActions().PreparePaste(count);
}

void CompleteFill(int result)
{
    TheSampleActions().CompletePaste(result);
}
