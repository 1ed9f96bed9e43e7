#include "edit/echo.h"
#include "edit/effect_dlg.h"
#include "resource.h"

namespace {

const int32_t DELAY_PRESETS[] = {20, 66, 100, 200, 333};     // ms: room .. canyon
const int32_t STRENGTH_PRESETS[] = {20, 35, 50};             // percent: weak .. strong

class EchoDlg : public EffectDialog {
public:
    EchoDlg() : EffectDialog(IDD_ECHO, Echo)
    {
        AddField(IDC_ECHO_STRENGTH, 0, 100, &EffectSettings::echoStrength);
        AddField(IDC_ECHO_DELAY, 0, 1000, &EffectSettings::echoDelay);
        AddPresets(IDC_ECHO_DELAY_PRESET, DELAY_PRESETS, 5, &EffectSettings::echoDelay);
        AddPresets(IDC_ECHO_STRENGTH_PRESET, STRENGTH_PRESETS, 3, &EffectSettings::echoStrength);
    }

protected:
    bool OnCommand(int id, int code) override
    {
        if (id != IDC_ECHO_CHORUS || code != BN_CLICKED)
            return false;
        work.echoChorus = work.echoChorus ? 0 : 1;
        return true;
    }

    void ShowState() override { Check(IDC_ECHO_CHORUS, work.echoChorus != 0); }
};

}

bool EchoDialog(HWND owner)
{
    EchoDlg d;
    return d.Run(owner);
}
