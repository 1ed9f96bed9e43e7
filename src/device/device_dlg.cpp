#include "device/device_dlg.h"

#include "base/dialog_help_key_win.h"
#include "base/dialog_owner_win.h"
#include "device/device_catalogue.h"
#include "device/device_info.h"
#include "lib/dialog_helpers_win.h"
#include "lib/gstring.h"
#include "lib/number_field_win.h"
#include "resource.h"

namespace {

// The dialog's working copy of the options and its repeat-count field.
struct DeviceOptionsState {
    DevOptions copy;
    NumberField count;
};

class ComboSink : public DeviceListSink {
public:
    explicit ComboSink(HWND combo) : combo(combo) {}
    void AddItem(int32_t, const char* name) override
    {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }

private:
    HWND combo;
};

void FillList(HWND dialog, int id, int direction, int32_t current)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    ComboSink sink(combo);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(ListDevices(sink, direction, current)), 0);
}

// A device chosen in an earlier run and missing now is kept; the group says
// so while the mapper plays in its place.
void NameGroup(HWND dialog, int listId, const char* title, int direction, uint16_t product)
{
    const bool missing = product != MAPPER_PRODUCT_ID && FindDeviceByProduct(direction, product) == WAVE_MAPPER_ID;
    CGString text;
    text.Format(missing ? "%s (the chosen device is not present)" : "%s", title);
    // The group box is the control before the list.
    SetWindowTextA(GetWindow(GetDlgItem(dialog, listId), GW_HWNDPREV), text.c_str());
}

void ShowOptions(HWND dialog, DeviceOptionsState& s)
{
    const DevOptions& c = s.copy;
    CheckDlgButton(dialog, IDC_PLAY_AFTER_CHANGE, c.playAfterChange ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PLAY_AFTER_SELECT, c.playAfterSelection ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_RECORD_LOW_PRIORITY, c.recordLowPriority ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dialog, IDC_REPEAT_FOREVER, IDC_REPEAT_TIMES,
        c.repeatCount ? IDC_REPEAT_TIMES : IDC_REPEAT_FOREVER);
    // A synchronous device plays once, whatever is chosen.
    const bool repeats = (c.playCaps.dwSupport & DEVCAPS_SYNC) == 0;
    EnableControlRange(dialog, IDC_REPEAT_FOREVER, IDC_REPEAT_TIMES, repeats);
    EnableControlRange(dialog, IDC_REPEAT_COUNT, IDC_REPEAT_COUNT + 1, repeats && c.repeatCount != 0);
    if (c.repeatCount != 0) {
        s.count.value = static_cast<int32_t>(c.repeatCount);
        s.count.Update(NumberField::SHOW_EDIT | NumberField::SHOW_SCROLL);
    }
    NameGroup(dialog, IDC_PLAY_DEVICE, "Play Device", WAVE_OUTPUT, c.playProduct);
    NameGroup(dialog, IDC_RECORD_DEVICE, "Record Device", WAVE_INPUT, c.recordProduct);
}

void OnDeviceChosen(HWND dialog, DeviceOptionsState& s, int listId)
{
    const int direction = listId == IDC_PLAY_DEVICE ? WAVE_OUTPUT : WAVE_INPUT;
    const int index = static_cast<int>(SendDlgItemMessageA(dialog, listId, CB_GETCURSEL, 0, 0));
    const int32_t id = ListedDeviceId(direction, index);
    if (direction == WAVE_OUTPUT)
        SelectPlayDevice(s.copy, id);
    else
        SelectRecordDevice(s.copy, id);
}

bool OnOptionsCommand(HWND dialog, DeviceOptionsState& s, int id, int code)
{
    DevOptions& c = s.copy;
    if (RouteCancelOrHelp(dialog, id, IDD_DEVICE_OPTIONS))
        return true;
    switch (id) {
    case IDC_PLAY_DEVICE:
    case IDC_RECORD_DEVICE:
        if (code != CBN_SELCHANGE)
            return false;
        OnDeviceChosen(dialog, s, id);
        break;
    case IDC_REPEAT_FOREVER:
        c.repeatCount = 0;
        break;
    case IDC_REPEAT_TIMES:
        if (c.repeatCount == 0)
            c.repeatCount = 1;
        break;
    case IDC_PLAY_AFTER_CHANGE:
        c.playAfterChange = !c.playAfterChange;
        break;
    case IDC_PLAY_AFTER_SELECT:
        c.playAfterSelection = !c.playAfterSelection;
        break;
    case IDC_RECORD_LOW_PRIORITY:
        c.recordLowPriority = !c.recordLowPriority;
        break;
    case IDC_PLAY_INFO:
        ShowDeviceInfo(dialog, IDD_PLAY_INFO, c.playDevice);
        return true;
    case IDC_RECORD_INFO:
        ShowDeviceInfo(dialog, IDD_RECORD_INFO, c.recordDevice);
        return true;
    case IDOK:
        if (IsWindowEnabled(GetDlgItem(dialog, IDC_REPEAT_COUNT)) && s.count.ReadEdit())
            c.repeatCount = static_cast<uint32_t>(s.count.value);
        EndDialog(dialog, IDOK);
        return true;
    default:
        return false;
    }
    ShowOptions(dialog, s);
    return true;
}

INT_PTR CALLBACK DeviceOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<DeviceOptionsState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        s = reinterpret_cast<DeviceOptionsState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        FillList(dialog, IDC_PLAY_DEVICE, WAVE_OUTPUT, s->copy.playDevice);
        FillList(dialog, IDC_RECORD_DEVICE, WAVE_INPUT, s->copy.recordDevice);
        s->count.Init(dialog, IDC_REPEAT_COUNT, 1, MAX_REPEAT_COUNT, s->copy.repeatCount ? s->copy.repeatCount : 1);
        ShowOptions(dialog, *s);
        return TRUE;
    case WM_COMMAND:
        if (!s)
            return FALSE;
        if (LOWORD(wParam) == IDC_REPEAT_COUNT) {
            if (HIWORD(wParam) == EN_KILLFOCUS)
                s->count.Update(NumberField::SHOW_EDIT | NumberField::FORCE_EDIT);
            else if (s->count.OnMessage(message, wParam, lParam))
                s->copy.repeatCount = static_cast<uint32_t>(s->count.value);
            return TRUE;
        }
        return OnOptionsCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_HSCROLL:
        if (s && s->count.OnMessage(message, wParam, lParam))
            s->copy.repeatCount = static_cast<uint32_t>(s->count.value);
        return TRUE;
    default:
        return DialogColour(message, wParam);
    }
}

void FillPlayInfo(HWND dialog, int32_t id)
{
    KvWaveOutCaps caps = {};
    const bool known = TheWaveDevices().GetOutCaps(id, caps) == 0;
    if (!known)
        caps = {};
    SetDlgItemTextA(dialog, IDC_INFO_PLAY_NAME, known ? caps.szPname : NO_DEVICE_TEXT);
    for (int rate = RATE_11025; rate <= RATE_44100; rate++)
        SetDlgItemTextA(dialog, IDC_INFO_PLAY_11K + rate, FormatSupportText(caps.dwFormats, rate));
    SetDlgItemTextA(dialog, IDC_INFO_PITCH, ControlSupportText(caps.dwSupport, DEVCAPS_PITCH));
    SetDlgItemTextA(dialog, IDC_INFO_VOLUME, VolumeSupportText(caps.dwSupport));
    SetDlgItemTextA(dialog, IDC_INFO_RATE, ControlSupportText(caps.dwSupport, DEVCAPS_PLAYBACKRATE));
}

void FillRecordInfo(HWND dialog, int32_t id)
{
    KvWaveInCaps caps = {};
    const bool known = TheWaveDevices().GetInCaps(id, caps) == 0;
    if (!known)
        caps = {};
    SetDlgItemTextA(dialog, IDC_INFO_RECORD_NAME, known ? caps.szPname : NO_DEVICE_TEXT);
    for (int rate = RATE_11025; rate <= RATE_44100; rate++)
        SetDlgItemTextA(dialog, IDC_INFO_RECORD_11K + rate, FormatSupportText(caps.dwFormats, rate));
}

// The creation parameter: the template id in the low 16 bits, the device id
// (play or record, as the template says) above.
INT_PTR CALLBACK DeviceInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const int templateId = LOWORD(lParam);
        const auto device = static_cast<int32_t>(static_cast<int16_t>(HIWORD(lParam)));
        CenterWindow(dialog);
        const DevOptions& options = TheDevOptions();
        if (templateId != IDD_RECORD_INFO)
            FillPlayInfo(dialog, templateId == IDD_DEVICE_INFO ? options.playDevice : device);
        if (templateId != IDD_PLAY_INFO)
            FillRecordInfo(dialog, templateId == IDD_DEVICE_INFO ? options.recordDevice : device);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return DialogColour(message, wParam);
    }
}

}

bool DeviceOptionsDialog(HWND owner)
{
    DeviceOptionsState state;
    state.copy = TheDevOptions();
    if (RunModalDialog(owner, IDD_DEVICE_OPTIONS, DeviceOptionsProc, reinterpret_cast<LPARAM>(&state)) != IDOK)
        return false;
    SetDeviceOptions(state.copy);
    return true;
}

bool DeviceInfoDialog(HWND owner)
{
    ShowDeviceInfo(owner, IDD_DEVICE_INFO, WAVE_MAPPER_ID);
    return true;
}

void ShowDeviceInfo(HWND owner, int templateId, int32_t deviceId)
{
    const LPARAM param = MAKELPARAM(templateId, static_cast<uint16_t>(static_cast<int16_t>(deviceId)));
    RunModalDialog(owner, templateId, DeviceInfoProc, param);
}
