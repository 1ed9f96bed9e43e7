#include "edit/effect_dlg.h"
#include "edit/pitch.h"
#include "edit/pitch_factor.h"
#include "resource.h"

namespace {

const int32_t PRESETS[] = {
    int32_t(PITCH_PRESETS[0]), int32_t(PITCH_PRESETS[1]), int32_t(PITCH_PRESETS[2]), int32_t(PITCH_PRESETS[3])};

// The factor is shown three ways: the slider (-200 .. 200), the preset
// buttons and the text ("1.50"). Each follows the others, but the text is
// not rewritten while the user is typing in it.
class PitchDlg : public EffectDialog {
public:
    PitchDlg() : EffectDialog(IDD_PITCH, PitchChange)
    {
        AddPresets(IDC_PITCH_PRESET, PRESETS, 4, &EffectSettings::pitchFactor);
    }

protected:
    void OnInit() override
    {
        slider.Init(dialog, IDC_PITCH_SLIDER, PITCH_SLIDER_MIN, PITCH_SLIDER_MAX, 0);
        if (work.pitchFactor < int32_t(PITCH_FACTOR_MIN) || work.pitchFactor > int32_t(PITCH_FACTOR_MAX))
            work.pitchFactor = int32_t(PITCH_FACTOR_ONE);
    }

    bool OnScroll(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!slider.OnMessage(message, wParam, lParam))
            return false;
        work.pitchFactor = int32_t(PitchFactorFromSlider(slider.value));
        return true;
    }

    bool OnCommand(int id, int code) override
    {
        if (id == IDC_PITCH_INVERT && code == BN_CLICKED) {
            work.pitchFactor = int32_t(InvertPitchFactor(uint32_t(work.pitchFactor)));
            return true;
        }
        if (id != IDC_PITCH_TEXT)
            return false;
        HWND edit = GetDlgItem(dialog, IDC_PITCH_TEXT);
        if (code == EN_KILLFOCUS) {
            SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
            return true;
        }
        if (code != EN_UPDATE || !SendMessageA(edit, EM_GETMODIFY, 0, 0))
            return false;
        char text[32] = {};
        GetWindowTextA(edit, text, sizeof text);
        const int32_t typed = int32_t(ParsePitchFactor(text));
        if (typed == work.pitchFactor)
            return false;
        work.pitchFactor = typed;
        return true;
    }

    void ShowState() override
    {
        slider.value = PitchSliderFromFactor(uint32_t(work.pitchFactor));
        slider.Update(NumberField::SHOW_SCROLL);
        HWND edit = GetDlgItem(dialog, IDC_PITCH_TEXT);
        if (edit && !(GetFocus() == edit && SendMessageA(edit, EM_GETMODIFY, 0, 0))) {
            SetWindowTextA(edit, FormatPitchFactor(uint32_t(work.pitchFactor)).c_str());
            SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
        }
    }

private:
    NumberField slider;
};

}

bool PitchDialog(HWND owner)
{
    PitchDlg d;
    return d.Run(owner);
}
