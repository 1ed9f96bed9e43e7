// libFuzzer target over the clipboard image reader: every input is taken as
// the memory block another program put on the clipboard, measured, and
// pasted at the cursor, over a selection in Replace mode and mixed into it.
#include <cstdint>
#include <vector>

#include "base/app_options.h"
#include "edit/clip_wave.h"
#include "edit/open_document.h"
#include "fuzz_support.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"

namespace {

using fuzz::Bytes;
using wave::Chunk;

std::vector<Bytes> Seeds()
{
    Bytes odd = wave::Riff({Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}), Chunk("fmt ", wave::Fmt(1, 2, 22050, 8)),
        Chunk("data", fuzz::Samples(301))});
    return {
        wave::Pcm(1, 11025, 8, fuzz::Samples(200)),
        wave::Pcm(2, 44100, 16, fuzz::Samples(400)),
        odd,
        wave::Riff({Chunk("fmt ", wave::Fmt(1, 1, 8000, 16)), Chunk("data", fuzz::Samples(64), 1000000000)}),
    };
}

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(*argc, *argv, Seeds(), "kelvora_clip_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The reader gets its own copy, as a locked clipboard block would be.
    Bytes block(data, data + size);
    const uint8_t* p = block.empty() ? nullptr : block.data();
    // An existing sound of 16-bit stereo: the pastes convert into it.
    const KvWaveFormat stereo = {1, 2, 22050, 88200, 4, 16, 0};
    for (int pass = 0; pass < 3; pass++) {
        fuzz::ResetCore();
        NewDocument(&stereo);
        TheDocument().InsertSpace(0, 3000);
        TheAppOptions().mixOld = pass == 2 ? 100 : 0;
        SetSelection(1000, pass == 0 ? 0 : 1500, ORIGIN_PROGRAM);
        ReadClipWave(p, block.size(), pass == 0 ? READ_MEASURE : READ_PASTE);
        if (pass == 0)
            ReadClipWave(p, block.size(), READ_PASTE);
    }
    return 0;
}
