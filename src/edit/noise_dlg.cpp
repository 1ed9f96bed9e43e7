#include "edit/effect_dlg.h"
#include "edit/noise.h"
#include "resource.h"

namespace {

class NoiseDlg : public EffectDialog {
public:
    NoiseDlg() : EffectDialog(IDD_NOISE, AddNoise)
    {
        AddField(IDC_NOISE_AMPLITUDE, 0, 100, &EffectSettings::noiseAmplitude);
    }
};

}

bool NoiseDialog(HWND owner)
{
    NoiseDlg d;
    return d.Run(owner);
}
