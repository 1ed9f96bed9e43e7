// Silence: the selected samples become the format's silence (0 for 16-bit,
// the byte 128 for 8-bit samples). With no selection the action first inserts
// the "INSERT" length of new samples at the cursor.
#include "edit/level_effects.h"

#include <cstring>

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

// When every channel is on show the blocks are silenced whole, a run of one
// chunk at a time: as fast as clearing memory, where channel by channel
// would touch each byte on its own.
void SilenceBlocks(int32_t start, int32_t n)
{
    CKV_Document& doc = TheDocument();
    int value = IsWideSamples() ? 0 : 128;
    size_t align = static_cast<size_t>(doc.format.BlockAlign());
    doc.SetChannel(1);                  // the first channel: the blocks' first byte
    for (int32_t done = 0; done < n;) {
        uint8_t* p;
        int32_t run = doc.GetRun(&p, start + done, n - done);
        if (run < 1)
            break;
        std::memset(p, value, static_cast<size_t>(run) * align);
        done += run;
    }
    doc.ReleaseCursor();
}

}

void Silence()
{
    int32_t n = PrepareSampleEffect(ACTION_SILENCE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    // Filling is as cheap as copying, so there is nothing to cancel.
    CKV_Document& doc = TheDocument();
    int32_t start = TheSelection().selStart;
    int shown = 0;
    ForEachChannel([&](int) {
        shown++;
        return true;
    });
    if (shown == doc.format.Record()->nChannels) {
        SilenceBlocks(start, n);
    } else {
        ForEachChannel([&](int) {
            doc.FillSilence(start, n);
            return true;
        });
    }
    ActComplete(ACTION_SILENCE, ACT_PREPARED);
}
