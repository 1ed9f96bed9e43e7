#include "sound/sample_actions.h"

#include "base/error_message.h"

namespace {

class NoSampleActions : public SampleActions {
public:
    int ReplaceSound(const char*, const KvWaveFormat*) override { return ERR_INTERNAL; }
    int32_t PreparePaste() override { return 0; }
    void CompletePaste(bool) override {}
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
