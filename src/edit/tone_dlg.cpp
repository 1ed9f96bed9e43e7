#include "edit/dtmf.h"
#include "edit/effect_dlg.h"
#include "edit/tone.h"
#include "lib/dialog_helpers_win.h"
#include "resource.h"
#include "sound/document.h"

namespace {

const int32_t SHAPES[] = {TONE_SINE, TONE_SQUARE, TONE_SAWTOOTH};

// The amplitude a tone gets when its box is checked.
const int32_t TONE_ON_AMPLITUDE = 50;

// Each tone's controls: its box, then frequency and amplitude fields (each
// an edit and a scroll bar) up to IDC_TONEn_AMPLITUDE + 1.
struct ToneControls {
    int box;
    int32_t EffectSettings::*frequency;
    int32_t EffectSettings::*amplitude;
};
const ToneControls TONES[] = {
    {IDC_TONE1_ON, &EffectSettings::tone1Frequency, &EffectSettings::tone1Amplitude},
    {IDC_TONE2_ON, &EffectSettings::tone2Frequency, &EffectSettings::tone2Amplitude},
};

// Half the document's rate: the highest tone it can hold.
int32_t HighestFrequency()
{
    const KvWaveFormat* w = TheDocument().format.Record();
    return w ? int32_t(w->nSamplesPerSec / 2) : 0;
}

class ToneDlg : public EffectDialog {
public:
    ToneDlg() : EffectDialog(IDD_TONE, Tone)
    {
        const int32_t top = HighestFrequency();
        AddField(IDC_TONE1_FREQUENCY, 0, top, &EffectSettings::tone1Frequency);
        AddField(IDC_TONE1_AMPLITUDE, 0, 100, &EffectSettings::tone1Amplitude);
        AddField(IDC_TONE2_FREQUENCY, 0, top, &EffectSettings::tone2Frequency);
        AddField(IDC_TONE2_AMPLITUDE, 0, 100, &EffectSettings::tone2Amplitude);
        AddPresets(IDC_TONE_SHAPE, SHAPES, 3, &EffectSettings::toneShape);
    }

protected:
    void OnInit() override
    {
        for (const ToneControls& t : TONES)
            EnableTone(t);
    }

    bool OnCommand(int id, int code) override
    {
        if (code != BN_CLICKED)
            return false;
        for (const ToneControls& t : TONES)
            if (id == t.box) {
                // The box is not automatic: its click turns the tone over.
                SetSetting(t.amplitude, work.*t.amplitude ? 0 : TONE_ON_AMPLITUDE);
                EnableTone(t);
                return true;
            }
        const int key = id - IDC_TONE_KEYPAD;
        if (key < 0 || key >= DTMF_KEY_COUNT || !SetDtmfTones(work, key))
            return false;
        // Shows the pair the key sounds; pressing it generates nothing.
        for (const ToneControls& t : TONES)
            EnableTone(t);
        return true;
    }

    // A box shows whether its tone sounds; typing 0 as the amplitude
    // clears it, but leaves the fields enabled for the next figure.
    void ShowState() override
    {
        for (const ToneControls& t : TONES)
            Check(t.box, work.*t.amplitude != 0);
    }

private:
    void EnableTone(const ToneControls& t)
    {
        const bool on = work.*t.amplitude != 0;
        EnableControlRange(dialog, t.box + 1, t.box + 6, on);
        // A disabled edit is not written: show what changed meanwhile.
        if (on) {
            SetSetting(t.frequency, work.*t.frequency);
            SetSetting(t.amplitude, work.*t.amplitude);
        }
    }
};

}

bool ToneDialog(HWND owner)
{
    ToneDlg d;
    return d.Run(owner);
}
