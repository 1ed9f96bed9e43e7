#include "edit/effect_dlg.h"
#include "edit/level_effects.h"
#include "resource.h"

namespace {

class FadeDlg : public EffectDialog {
public:
    FadeDlg() : EffectDialog(IDD_FADE, Fade)
    {
        AddField(IDC_FADE_START, 0, 100, &EffectSettings::fadeStart);
        AddField(IDC_FADE_END, 0, 100, &EffectSettings::fadeEnd);
    }

protected:
    bool OnCommand(int id, int code) override
    {
        if (code != BN_CLICKED || (id != IDC_FADE_IN && id != IDC_FADE_OUT))
            return false;
        const bool in = id == IDC_FADE_IN;
        SetSetting(&EffectSettings::fadeStart, in ? 0 : 100);
        SetSetting(&EffectSettings::fadeEnd, in ? 100 : 0);
        return true;
    }

    // A fade out is any fade ending in silence; a fade in one starting there.
    void ShowState() override
    {
        const bool out = work.fadeEnd == 0;
        Check(IDC_FADE_OUT, out);
        Check(IDC_FADE_IN, !out && work.fadeStart == 0);
    }
};

}

bool FadeDialog(HWND owner)
{
    FadeDlg d;
    return d.Run(owner);
}
