#include "edit/effect_dlg.h"
#include "edit/level_effects.h"
#include "resource.h"

namespace {

const int32_t AMPLIFY_PRESETS[] = {300, 200, 150, 50, 33};

class AmplifyDlg : public EffectDialog {
public:
    AmplifyDlg() : EffectDialog(IDD_AMPLIFY, Amplify)
    {
        AddField(IDC_AMPLIFY_VALUE, 0, 1000, &EffectSettings::amplification);
        AddPresets(IDC_AMPLIFY_PRESET, AMPLIFY_PRESETS, 5, &EffectSettings::amplification);
    }
};

}

bool AmplifyDialog(HWND owner)
{
    AmplifyDlg d;
    return d.Run(owner);
}
