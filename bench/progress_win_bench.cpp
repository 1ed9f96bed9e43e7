// Measures what the progress dialog costs a long effect: Amplification of a
// long stereo sound, all of it selected, in the real program with the dialog
// shown and brought up to date at every progress check, against the same
// effect whose progress is not shown (its checks still route messages).
//
//     progress_bench_win [--minutes N] [--reps N]
//
// Ten minutes at 44100 Hz are past the 21 million blocks where a 32-bit
// percentage would overflow; the count starts again for the second channel.
// Run it inside a Wine virtual desktop: on a bare X display without a window
// manager Wine waits two seconds for every window it hides.
#include "bench_support.h"

#include <windows.h>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "app/host_win.h"
#include "edit/effect_settings.h"
#include "edit/level_effects.h"
#include "edit/undo_history.h"
#include "view/selection_ops.h"

namespace {

using namespace bench;

const double TARGET_RATIO = 1.1;
const int32_t AMPLIFY_PERCENT = 150;
const int32_t FILL_BLOCKS = 1 << 20;

// The program's host without the dialog.
class HiddenProgressHost : public WindowsHost {
public:
    void BeginProgress(const char*) override {}
    bool UpdateProgress(int32_t, int32_t) override { return false; }
    void EndProgress() override {}
};

bool MakeSound(int32_t blocks)
{
    KvWaveFormat f = bench::PcmFormat(CHANNELS, BITS, RATE);
    CKV_Document& doc = TheDocument();
    if (NewDocument(&f) != 0 || !doc.InsertSpace(0, blocks))
        return false;
    std::vector<int16_t> buffer(size_t(FILL_BLOCKS) * CHANNELS);
    for (int32_t at = 0; at < blocks; at += FILL_BLOCKS) {
        const int32_t n = std::min(FILL_BLOCKS, blocks - at);
        for (int32_t i = 0; i < n; i++) {
            buffer[2 * i] = int16_t(((at + i) % 200) * 200 - 20000);
            buffer[2 * i + 1] = int16_t(((at + i) % 147) * 300 - 22000);
        }
        if (doc.WriteBlocks(at, reinterpret_cast<uint8_t*>(buffer.data()), n) != at + n)
            return false;
    }
    SetSelection(0, blocks, ORIGIN_PROGRAM);
    ResetActionLifecycle();
    return true;
}

}

int main(int argc, char** argv)
{
    int minutes = 10, reps = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--minutes"))
            minutes = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--reps"))
            reps = std::atoi(argv[i + 1]);
    }
    StartProgram("progress_bench");
    if (int rc = AppStartup(GetModuleHandleA(nullptr), false, "", SW_SHOWNORMAL); rc != 0) {
        std::printf("start-up FAILED (%d)\n", rc);
        return 1;
    }
    const int32_t blocks = int32_t(RATE) * 60 * minutes;
    if (!MakeSound(blocks)) {
        std::printf("no memory for %d minutes\n", minutes);
        return 1;
    }
    TheEffectSettings().amplification = AMPLIFY_PERCENT;
    Host* shown = &TheHost();
    HiddenProgressHost hidden;
    std::vector<double> withDialog, without;
    for (int r = 0; r < reps; r++) {
        for (Host* host : {shown, static_cast<Host*>(&hidden)}) {
            SetHost(host);
            const auto from = SteadyClock::now();
            Amplify(TheEffectSettings());
            const auto to = SteadyClock::now();
            SetHost(shown);
            (host == shown ? withDialog : without).push_back(Seconds(from, to));
            if (ActUndo() != 0) {
                std::printf("undo FAILED\n");
                return 1;
            }
        }
    }
    // The dialog's own showing and closing, without an action.
    std::vector<double> openClose;
    for (int r = 0; r < reps; r++) {
        const auto from = SteadyClock::now();
        shown->BeginProgress("Amplification");
        shown->EndProgress();
        openClose.push_back(Seconds(from, SteadyClock::now()));
    }
    const double ratio = Best(withDialog) / Best(without);
    std::printf("Amplification of %d blocks (%d min stereo 16-bit), best of %d\n", blocks, minutes, reps);
    std::printf("  with the progress dialog    %8.3f s\n", Best(withDialog));
    std::printf("  without                     %8.3f s\n", Best(without));
    std::printf("  dialog shown and closed      %8.3f s\n", Best(openClose));
    std::printf("  ratio %.3f (target %.1f): %s\n", ratio, TARGET_RATIO, Verdict(ratio <= TARGET_RATIO));
    DestroyWindow(TheApp().frame->hwnd);
    RunMainLoop();
    AppCleanup();
    return 0;
}
