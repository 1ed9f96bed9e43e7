// Silence: the selected samples become the format's silence (0 for 16-bit,
// the byte 128 for 8-bit samples). With no selection the action first inserts
// the "INSERT" length of new samples at the cursor.
#include "edit/level_effects.h"

#include "edit/actions.h"
#include "edit/sample_math.h"
#include "sound/document.h"

namespace {

bool EveryChannelShown()
{
    int shown = 0;
    ForEachChannel([&](int) {
        shown++;
        return true;
    });
    return shown == TheDocument().format.Record()->nChannels;
}

}

void Silence()
{
    CKV_Document& doc = TheDocument();
    if (!doc.format.IsPcm())
        return;
    // With every channel on show each selected byte becomes silence, so the
    // chunks wholly inside the selection can hand their memory to the undo
    // record instead of being copied and cleared: without memory they read
    // as silence already. With a channel hidden its samples must stay.
    bool whole = EveryChannelShown();
    int32_t n = whole ? ActPrepareWaveTakingChunks(ACTION_SILENCE, RESTORE_SAMPLES)
                      : ActPrepareWave(ACTION_SILENCE, RESTORE_SAMPLES);
    if (n == 0)
        return;
    // Filling is as cheap as copying, so there is nothing to cancel.
    int32_t start = TheSelection().selStart;
    if (whole) {
        doc.SilenceBlocks(start, n);
    } else {
        ForEachChannel([&](int) {
            doc.FillSilence(start, n);
            return true;
        });
    }
    ActComplete(ACTION_SILENCE, ACT_PREPARED);
}
