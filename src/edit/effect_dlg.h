// The option dialogs of the effects. Each works on a copy of the stored
// effect settings; OK stores the copy (one undoable "Effect Setup" step when
// anything differs) and then runs the effect with it (a second step), Cancel
// changes nothing. The dialogs share one behaviour: centred on the screen,
// opened expanded or collapsed as the last one was ("More >>" / "<< Less"),
// number fields of an edit and a scroll bar, preset buttons checked while
// their value is the current one, Help showing the dialog's own topic.
#pragma once

#include <windows.h>

#include <cstdint>

#include "edit/effect_settings.h"
#include "lib/number_field_win.h"

// The entry points, run modally over `owner` (null: the frame). True when
// the dialog was closed with OK.
bool AmplifyDialog(HWND owner);
bool EchoDialog(HWND owner);
bool FadeDialog(HWND owner);
bool PitchDialog(HWND owner);
bool RemoveBackgroundDialog(HWND owner);
bool FillDialog(HWND owner);
bool ToneDialog(HWND owner);
bool NoiseDialog(HWND owner);

class EffectDialog {
public:
    typedef void (*Effect)(const EffectSettings&);

    EffectDialog(int templateId, Effect effect) : templateId(templateId), effect(effect) {}
    virtual ~EffectDialog() = default;
    EffectDialog(const EffectDialog&) = delete;
    EffectDialog& operator=(const EffectDialog&) = delete;

    bool Run(HWND owner);

protected:
    // A number field showing one setting: shown = stored × unit.
    void AddField(int id, int32_t minimum, int32_t maximum, int32_t EffectSettings::*member, int32_t unit = 1);
    // Buttons firstId, firstId + 1, ... with the presets values[0 .. count - 1]
    // of one setting: pressing one stores its value, and the one whose value
    // is the current one is checked.
    void AddPresets(int firstId, const int32_t* values, int count, int32_t EffectSettings::*member);

    // Sets a setting and shows it in its field (if it has one).
    void SetSetting(int32_t EffectSettings::*member, int32_t value);

    // Hooks of the single dialogs: controls beyond fields and presets are
    // set up in OnInit, their commands come to OnCommand (true: handled),
    // and ShowState shows whatever follows the working copy (the presets'
    // checks are shown before it).
    virtual void OnInit() {}
    virtual bool OnCommand(int id, int code) { return false; }
    // Scroll messages no field took (true: handled, the state is shown).
    virtual bool OnScroll(UINT message, WPARAM wParam, LPARAM lParam) { return false; }
    virtual void ShowState() {}
    // A setting changed through its field.
    virtual void OnFieldChanged(int32_t EffectSettings::*member) {}

    void Check(int id, bool on) const;

    HWND dialog = nullptr;
    EffectSettings work;

private:
    struct Field {
        NumberField control;
        int32_t EffectSettings::*member;
        int32_t unit;
    };
    struct Presets {
        int firstId;
        const int32_t* values;
        int count;
        int32_t EffectSettings::*member;
    };
    enum { MAX_FIELDS = 4, MAX_PRESET_GROUPS = 2 };

    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommandMessage(int id, int code);
    bool ReadFieldsForOk();
    void Refresh();
    Field* FieldOf(int32_t EffectSettings::*member);

    int templateId;
    Effect effect;
    Field fields[MAX_FIELDS] = {};
    int fieldCount = 0;
    Presets presets[MAX_PRESET_GROUPS] = {};
    int presetCount = 0;
};
