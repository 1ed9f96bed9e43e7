#include "edit/effect_dlg.h"

#include "base/app.h"
#include "base/app_options.h"
#include "base/dialog_help_key_win.h"
#include "base/dialog_owner_win.h"
#include "base/expand_dialog_win.h"
#include "lib/dialog_helpers_win.h"
#include "resource.h"

bool EffectDialog::Run(HWND owner)
{
    work = TheEffectSettings();
    if (RunModalDialog(owner, templateId, Procedure, reinterpret_cast<LPARAM>(this)) != IDOK)
        return false;
    // Two steps: the settings (only when they changed), then the effect.
    SetEffectSettings(work);
    effect(TheEffectSettings());
    return true;
}

void EffectDialog::AddField(int id, int32_t minimum, int32_t maximum, int32_t EffectSettings::*member, int32_t unit)
{
    if (fieldCount == MAX_FIELDS)
        return;
    Field& f = fields[fieldCount++];
    f.control.id = id;
    f.control.minimum = minimum;
    f.control.maximum = maximum;
    f.member = member;
    f.unit = unit > 0 ? unit : 1;
}

void EffectDialog::AddPresets(int firstId, const int32_t* values, int count, int32_t EffectSettings::*member)
{
    if (presetCount < MAX_PRESET_GROUPS)
        presets[presetCount++] = {firstId, values, count, member};
}

EffectDialog::Field* EffectDialog::FieldOf(int32_t EffectSettings::*member)
{
    for (int i = 0; i < fieldCount; i++)
        if (fields[i].member == member)
            return &fields[i];
    return nullptr;
}

void EffectDialog::SetSetting(int32_t EffectSettings::*member, int32_t value)
{
    work.*member = value;
    if (Field* f = FieldOf(member)) {
        f->control.value = static_cast<int32_t>(static_cast<int64_t>(value) * f->unit);
        f->control.Update(NumberField::SHOW_EDIT | NumberField::SHOW_SCROLL | NumberField::FORCE_EDIT);
        // A value beyond the field's range is kept as the field shows it.
        work.*member = f->control.value / f->unit;
    }
}

void EffectDialog::Check(int id, bool on) const
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void EffectDialog::Refresh()
{
    for (int g = 0; g < presetCount; g++) {
        const Presets& p = presets[g];
        for (int i = 0; i < p.count; i++)
            Check(p.firstId + i, p.values[i] == work.*p.member);
    }
    ShowState();
}

void EffectDialog::OnInitDialog()
{
    CenterWindow(dialog);
    ExpandDialog(dialog, TheAppOptions().extra ? IDC_EXPAND_MORE : IDC_EXPAND_LESS, true);
    for (int i = 0; i < fieldCount; i++) {
        Field& f = fields[i];
        f.control.Init(dialog, f.control.id, f.control.minimum, f.control.maximum,
            static_cast<int32_t>(static_cast<int64_t>(work.*f.member) * f.unit));
        // A stored value the field cannot show (a tone above half the
        // sound's rate) opens as the nearest one it can.
        work.*f.member = f.control.value / f.unit;
    }
    OnInit();
    Refresh();
}

bool EffectDialog::ReadFieldsForOk()
{
    for (int i = 0; i < fieldCount; i++) {
        Field& f = fields[i];
        HWND edit = GetDlgItem(dialog, f.control.id);
        if (!edit || !IsWindowEnabled(edit))
            continue;
        if (!f.control.ReadEdit()) {
            // Not a number: the user corrects it before the dialog closes.
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, 0, -1);
            return false;
        }
        work.*f.member = f.control.value / f.unit;
    }
    return true;
}

void EffectDialog::OnCommandMessage(int id, int code)
{
    if (RouteCancelOrHelp(dialog, id, static_cast<uint32_t>(templateId)))
        return;
    switch (id) {
    case IDOK:
        if (ReadFieldsForOk())
            EndDialog(dialog, IDOK);
        return;
    case IDC_EXPAND_MORE:
    case IDC_EXPAND_LESS:
        ExpandDialog(dialog, id, false);
        return;
    default:
        break;
    }
    if (code == BN_CLICKED)
        for (int g = 0; g < presetCount; g++) {
            const Presets& p = presets[g];
            if (id >= p.firstId && id < p.firstId + p.count) {
                SetSetting(p.member, p.values[id - p.firstId]);
                Refresh();
                return;
            }
        }
    if (OnCommand(id, code))
        Refresh();
}

INT_PTR EffectDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        for (int i = 0; i < fieldCount; i++) {
            Field& f = fields[i];
            if (id != f.control.id)
                continue;
            if (code == EN_KILLFOCUS) {
                // The typing is over: the field shows the value it took.
                f.control.Update(NumberField::SHOW_EDIT | NumberField::FORCE_EDIT);
            } else if (f.control.OnMessage(message, wParam, lParam)) {
                work.*f.member = f.control.value / f.unit;
                OnFieldChanged(f.member);
                Refresh();
            }
            return TRUE;
        }
        OnCommandMessage(id, code);
        return TRUE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        for (int i = 0; i < fieldCount; i++) {
            Field& f = fields[i];
            if (f.control.OnMessage(message, wParam, lParam)) {
                work.*f.member = f.control.value / f.unit;
                OnFieldChanged(f.member);
                Refresh();
                return TRUE;
            }
        }
        if (OnScroll(message, wParam, lParam)) {
            Refresh();
            return TRUE;
        }
        return FALSE;
    default:
        return DialogColour(message, wParam);
    }
}

INT_PTR CALLBACK EffectDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<EffectDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->dialog = hwnd;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<EffectDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}
