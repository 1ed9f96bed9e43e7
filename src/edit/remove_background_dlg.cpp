#include "edit/effect_dlg.h"
#include "edit/remove_background.h"
#include "resource.h"

namespace {

// The duration is kept in tens of milliseconds (as the settings file has
// always stored it) and shown, as its label says, in milliseconds.
const int32_t DURATION_UNIT_MS = 10;
const int32_t DURATION_MAX = 1000;      // tens of milliseconds

class RemoveBackgroundDlg : public EffectDialog {
public:
    RemoveBackgroundDlg() : EffectDialog(IDD_BACKGROUND, RemoveBackground)
    {
        AddField(IDC_BACKGROUND_THRESHOLD, 0, 100, &EffectSettings::noiseThreshold);
        AddField(IDC_BACKGROUND_DURATION, 0, DURATION_MAX * DURATION_UNIT_MS, &EffectSettings::noiseDuration,
            DURATION_UNIT_MS);
    }

protected:
    bool OnCommand(int id, int code) override
    {
        if (id != IDC_BACKGROUND_DELETE || code != BN_CLICKED)
            return false;
        work.noiseDelete = work.noiseDelete ? 0 : 1;
        return true;
    }

    void ShowState() override { Check(IDC_BACKGROUND_DELETE, work.noiseDelete != 0); }
};

}

bool RemoveBackgroundDialog(HWND owner)
{
    RemoveBackgroundDlg d;
    return d.Run(owner);
}
