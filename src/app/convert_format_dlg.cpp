#include "app/convert_format_dlg.h"

#include "app/error_box_win.h"
#include "app/properties.h"
#include "base/app_options.h"
#include "base/dialog_help_key_win.h"
#include "base/dialog_owner_win.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/convert_format.h"
#include "lib/dialog_helpers_win.h"
#include "lib/disk_free_win.h"
#include "resource.h"
#include "sound/document.h"
#include "sound/fixed_text.h"
#include "sound/form.h"
#include "sound/pcm_convert.h"

namespace {

// Characters of a typed rate that are read.
const int RATE_TEXT_CHARS = 49;

struct ConvertChoice {
    Form chosen;
    bool setDefault = false;
    bool showing = false;       // the dialog writes its own controls
};

// Linear samples whatever their width or wrapping: their size can be chosen.
bool IsLinear(const KvWaveFormat* w)
{
    return w && (w->wFormatTag == WAVE_TAG_PCM || w->wFormatTag == WAVE_TAG_IEEE_FLOAT
                    || w->wFormatTag == WAVE_TAG_EXTENSIBLE);
}

void ShowRoom(HWND dialog, const Form& form)
{
    const KvWaveFormat* w = form.Record();
    const uint32_t perSecond = w ? w->nAvgBytesPerSec : 0;
    char text[16];
    wsprintfA(text, "%lu", static_cast<unsigned long>(perSecond));
    SetDlgItemTextA(dialog, IDC_PROP_RATE, text);
    const RoomTexts room = BuildRoomTexts(w, SoundMemory(), GetDiskFree(nullptr));
    SetDlgItemTextA(dialog, IDC_PROP_MEMORY_KBYTES, room.memoryKbytes.c_str());
    SetDlgItemTextA(dialog, IDC_PROP_MEMORY_SECONDS, room.memorySeconds.c_str());
    SetDlgItemTextA(dialog, IDC_PROP_DISK_KBYTES, room.diskKbytes.c_str());
    SetDlgItemTextA(dialog, IDC_PROP_DISK_SECONDS, room.diskSeconds.c_str());
}

// The rate list shows the preset of the rate, or the rate itself.
void ShowRate(HWND dialog, const Form& form)
{
    const KvWaveFormat* w = form.Record();
    HWND list = GetDlgItem(dialog, IDC_CONVERT_RATE);
    const uint32_t rate = w ? w->nSamplesPerSec : 0;
    for (int i = 0; i < STR_RATE_COUNT; i++)
        if (RATE_PRESETS[i] == rate) {
            SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    CGString text;
    text.Format("%lu%s%03lu kHz", static_cast<unsigned long>(rate / 1000), TheAppOptions().intl.decimalSeparator,
        static_cast<unsigned long>(rate % 1000));
    SetWindowTextA(list, text.c_str());
}

void ShowChoice(HWND dialog, ConvertChoice& c)
{
    c.showing = true;
    const KvWaveFormat* w = c.chosen.Record();
    const bool linear = IsLinear(w);
    CheckRadioButton(dialog, IDC_CONVERT_MONO, IDC_CONVERT_STEREO,
        w && w->nChannels == 2 ? IDC_CONVERT_STEREO : IDC_CONVERT_MONO);
    // A 24-bit or float sound checks neither size: both convert it.
    CheckDlgButton(dialog, IDC_CONVERT_8BIT, linear && w->wBitsPerSample == 8 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CONVERT_16BIT, linear && w->wBitsPerSample == 16 && w->wFormatTag == WAVE_TAG_PCM
                                                  ? BST_CHECKED : BST_UNCHECKED);
    EnableControlRange(dialog, IDC_CONVERT_SIZE, IDC_CONVERT_16BIT, linear);
    CheckDlgButton(dialog, IDC_CONVERT_DEFAULT, c.setDefault ? BST_CHECKED : BST_UNCHECKED);
    ShowRoom(dialog, c.chosen);
    c.showing = false;
}

// Linear samples of a chosen size become plain PCM of that size.
void ChooseSize(ConvertChoice& c, uint16_t bits)
{
    const KvWaveFormat* w = c.chosen.Record();
    if (!w)
        return;
    KvWaveFormat pcm = {WAVE_TAG_PCM, w->nChannels, w->nSamplesPerSec, 0, 0, bits, 0};
    c.chosen.Set(&pcm);
}

void OnRateTyped(HWND dialog, ConvertChoice& c)
{
    char text[RATE_TEXT_CHARS + 1] = {};
    GetDlgItemTextA(dialog, IDC_CONVERT_RATE, text, sizeof text);
    const int32_t rate = ParseFixed(text, 3);
    // Nothing readable yet: the user may be clearing the field to type; the
    // rate's text comes back when the field is left.
    if (rate > 0)
        c.chosen.Record()->nSamplesPerSec = static_cast<uint32_t>(rate);
}

bool OnConvertCommand(HWND dialog, ConvertChoice& c, int id, int code)
{
    KvWaveFormat* w = c.chosen.Record();
    if (RouteCancelOrHelp(dialog, id, IDD_CONVERT))
        return true;
    switch (id) {
    case IDC_CONVERT_MONO:
    case IDC_CONVERT_STEREO:
        if (w)
            w->nChannels = id == IDC_CONVERT_STEREO ? 2 : 1;
        break;
    case IDC_CONVERT_8BIT:
    case IDC_CONVERT_16BIT:
        ChooseSize(c, id == IDC_CONVERT_16BIT ? 16 : 8);
        break;
    case IDC_CONVERT_RATE:
        if (c.showing || !w)
            return false;
        if (code == CBN_SELCHANGE) {
            const auto index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < STR_RATE_COUNT)
                w->nSamplesPerSec = RATE_PRESETS[index];
        } else if (code == CBN_EDITCHANGE) {
            OnRateTyped(dialog, c);
        } else if (code == CBN_KILLFOCUS) {
            c.chosen.Normalize();
            ShowRate(dialog, c.chosen);
        } else {
            return false;
        }
        break;
    case IDC_CONVERT_DEFAULT:
        c.setDefault = !c.setDefault;
        break;
    case IDOK: {
        c.chosen.Normalize();
        const int rc = ConvertFormat(c.chosen.Record());
        if (rc > 0) {
            ShowError(dialog, rc);
            return true;
        }
        if (c.setDefault) {
            TheDefaultFormat().Set(c.chosen);
            // The new default reaches the settings file at exit.
            TheAppOptions().settingsChanged++;
        }
        EndDialog(dialog, IDOK);
        return true;
    }
    default:
        return false;
    }
    c.chosen.Normalize();
    ShowChoice(dialog, c);
    return true;
}

INT_PTR CALLBACK ConvertFormatProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* c = reinterpret_cast<ConvertChoice*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        c = reinterpret_cast<ConvertChoice*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        HWND list = GetDlgItem(dialog, IDC_CONVERT_RATE);
        for (int i = 0; i < STR_RATE_COUNT; i++)
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadAppString(STR_RATE_FIRST + i)));
        SendMessageA(list, CB_LIMITTEXT, RATE_TEXT_CHARS, 0);
        c->showing = true;
        ShowRate(dialog, c->chosen);
        ShowChoice(dialog, *c);
        return TRUE;
    }
    case WM_COMMAND:
        return c && OnConvertCommand(dialog, *c, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    default:
        return DialogColour(message, wParam);
    }
}

}

bool ConvertFormatDialog(HWND owner)
{
    const int chosen = ChooseFormatWithManager(OwnerWindow(owner));
    if (chosen == 1)
        return true;
    if (chosen == 2)
        return false;
    ConvertChoice choice;
    if (!choice.chosen.Set(TheDocument().format))
        return false;
    return RunModalDialog(owner, IDD_CONVERT, ConvertFormatProc, reinterpret_cast<LPARAM>(&choice)) == IDOK;
}
