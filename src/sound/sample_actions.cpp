#include "sound/sample_actions.h"

#include "base/error_message.h"
#include "sound/form.h"
#include "sound/wave_file.h"

namespace {

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

int PrepareFill(const char* name, int mode, const Form& format, int32_t* count)
{
    *count = 0;
    if (mode == READ_OPEN) {
        int rc = TheSampleActions().ReplaceSound(name, format.Record());
        if (rc)
            return rc;
    }
    return TheSampleActions().PreparePaste(count);
}

void CompleteFill(int result)
{
    TheSampleActions().CompletePaste(result);
}
