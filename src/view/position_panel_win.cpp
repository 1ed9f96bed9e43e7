#include "view/position_panel_win.h"

#include "view/freq_wnd.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <climits>

#include "base/app.h"
#include "base/app_options.h"
#include "base/host.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "device/volume.h"
#include "edit/links.h"
#include "resource.h"
#include "sound/document.h"
#include "view/selection_ops.h"

namespace {

// Whether the frame has a drag-out operation; the Drag button stays gray
// without one.
bool dragOutAvailable = false;

// The parser of a typed location reads no more than this.
const int LOCATION_TEXT_MAX = 25;

// The mouse field is rewritten only when the position moved; this is "never
// shown", so that the first update always writes.
const int32_t MOUSE_NOT_SHOWN = INT32_MIN;
int32_t shownMousePos = MOUSE_NOT_SHOWN;

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, INT32_MIN), INT32_MAX));
}

HWND Frame()
{
    return static_cast<HWND>(TheHost().FrameWindow());
}

HWND Control(int id)
{
    HWND frame = Frame();
    return frame ? GetDlgItem(frame, id) : nullptr;
}

void Enable(int id, bool enabled)
{
    if (HWND control = Control(id))
        EnableWindow(control, enabled);
}

void SetText(int id, const char* text)
{
    if (HWND control = Control(id))
        SetWindowTextA(control, text);
}

bool IsSelectionField(int id)
{
    return id == IDW_FIELD_START || id == IDW_FIELD_LENGTH;
}

// What a selection field stands for: the start, or the length (the end
// while selections are shown by their end).
int32_t SelectionFieldValue(int id)
{
    const Selection& sel = TheSelection();
    if (id == IDW_FIELD_START)
        return sel.selStart;
    if (TheAppOptions().showEnd)
        return ClampToInt32(static_cast<int64_t>(sel.selStart) + sel.selLength);
    return sel.selLength;
}

CGString SelectionFieldText(int id)
{
    return TheDocument().format.FormatLength(SelectionFieldValue(id), LENGTH_UNIT_DEFAULT);
}

// The program's own text for a field. Its edit mark is cleared, so that
// only what the user types afterwards counts as an edit to apply; the
// change notification this causes is not read back (a time shown with two
// decimals does not parse back to the same block).
void WriteField(HWND field, const char* text)
{
    SetWindowTextA(field, text);
    SendMessageA(field, EM_SETMODIFY, FALSE, 0);
}

// A field set from an update: left alone while disabled, and while it has
// the focus holding an edit the user has not sent yet.
void SetLocationField(int id, const char* text)
{
    HWND field = Control(id);
    if (!field || !IsWindowEnabled(field))
        return;
    if (GetFocus() == field && SendMessageA(field, EM_GETMODIFY, 0, 0) != 0)
        return;
    WriteField(field, text);
}

// A typed or stepped value of a selection field, as one undoable change.
void ApplySelectionField(int id, int32_t value)
{
    const Selection& sel = TheSelection();
    int32_t start = sel.selStart;
    int32_t length = sel.selLength;
    if (id == IDW_FIELD_START)
        SetSelection(value, length, ORIGIN_COMMAND);
    else if (TheAppOptions().showEnd)
        ViewSelectionLink().SelectBetween(start, value, ORIGIN_COMMAND);
    else
        SetSelection(start, value, ORIGIN_COMMAND);
}

int32_t ParseFieldText(HWND field)
{
    char text[LOCATION_TEXT_MAX + 1] = {};
    GetWindowTextA(field, text, sizeof text);
    return TheDocument().format.ParseLength(text, LENGTH_UNIT_DEFAULT);
}

// The step arrows sit over the right end of the focused field, as high as it.
void ShowStepArrows(HWND field)
{
    HWND arrows = Control(IDW_LOCATION_SCROLL);
    if (!arrows)
        return;
    RECT r;
    GetWindowRect(field, &r);
    MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&r), 2);
    int width = GetSystemMetrics(SM_CXVSCROLL);
    EnableWindow(arrows, TRUE);
    SetWindowPos(arrows, HWND_TOP, r.right - width, r.top, width, r.bottom - r.top,
        SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void HideStepArrows()
{
    if (HWND arrows = Control(IDW_LOCATION_SCROLL)) {
        ShowWindow(arrows, SW_HIDE);
        EnableWindow(arrows, FALSE);
    }
}

void ShowSelStart()
{
    SetLocationField(IDW_FIELD_START, SelectionFieldText(IDW_FIELD_START).c_str());
}

void ShowSelLength()
{
    SetLocationField(IDW_FIELD_LENGTH, SelectionFieldText(IDW_FIELD_LENGTH).c_str());
}

void ShowPlayPos()
{
    CGString text = TheDocument().format.FormatLength(TheSelection().playPos, LENGTH_LEADING_BLANK);
    SetLocationField(IDW_FIELD_PLAYPOS, text.c_str());
    NotePlayPosition(false);
}

void ShowMousePos()
{
    int32_t position = TheSelection().mousePos;
    if (position == shownMousePos)
        return;
    shownMousePos = position;
    // A negative position: the mouse is outside the views.
    CGString text;
    if (position >= 0)
        text = TheDocument().format.FormatLength(position, LENGTH_LEADING_BLANK);
    SetLocationField(IDW_FIELD_MOUSE, text.c_str());
}

// "12.50 secs, 215 KB": the seconds, then the user's unit, or kilobytes when
// that unit is seconds. While recording the length grows with the recording.
void ShowTotal()
{
    const Dev& dev = TheDev();
    CKV_Document& doc = TheDocument();
    int32_t total = dev.mode == DevMode::Recording ? dev.recordedLength : doc.length;
    int unit = TheAppOptions().defaultLengthUnit;
    if (unit != LENGTH_UNIT_BYTES && unit != LENGTH_UNIT_SAMPLES)
        unit = LENGTH_UNIT_KBYTES;
    CGString text;
    text.Format("%s%s %s", doc.format.FormatLength(total, LENGTH_UNIT_TIME | LENGTH_WITH_SUFFIX).c_str(),
        TheAppOptions().intl.listSeparator, doc.format.FormatLength(total, unit | LENGTH_WITH_SUFFIX).c_str());
    SetText(IDW_STATUS_LEFT, text.c_str());
}

void EnableTransport()
{
    const Dev& dev = TheDev();
    DevMode mode = dev.mode;
    // A latching button stays down while its play or record runs.
    if (mode == DevMode::Closed) {
        if (HWND last = Control(TheSelection().lastButton))
            SendMessageA(last, BM_SETSTATE, FALSE, 0);
    }
    bool canPlay = mode != DevMode::Recording && TheDocument().length != 0 && dev.playFormatOk;
    Enable(IDB_REWIND, canPlay);
    Enable(IDB_FAST_FORWARD, canPlay);
    Enable(IDB_PLAY, canPlay);
    Enable(IDB_STOP, mode != DevMode::Closed);
    Enable(IDB_RECORD, mode != DevMode::Playing && dev.recordFormatOk);
    Enable(IDB_FAST_PLAY, canPlay && ReadPlaybackRate());
    Enable(IDB_VOLUME, mode != DevMode::Recording && ReadVolume());
}

void ShowFormat()
{
    SetText(IDW_STATUS_RIGHT, TheDocument().format.GetDisplayName().c_str());
}

// "Kelvora - SOUND.WAV", or "(Untitled)" for a sound without a file; only a
// sound with a file can be dragged out, once the frame can drag files out.
void ShowTitle()
{
    HWND frame = Frame();
    if (!frame)
        return;
    const CKV_Document& doc = TheDocument();
    bool named = *doc.Name() != 0;
    char title[MAX_PATH] = {};
    const char* shown = LoadAppString(STR_UNTITLED);
    if (named)
        shown = GetFileTitleA(doc.Name(), title, sizeof title) == 0 ? title : doc.Name();
    CGString text;
    text.Format("%s - %s", LoadAppString(STR_PRODUCT_TITLE), shown);
    SetWindowTextA(frame, text.c_str());
    Enable(IDB_DRAG, named && dragOutAvailable);
}

void ShowLengthLabel()
{
    SetText(IDW_LABEL_LENGTH, LoadAppString(TheAppOptions().showEnd ? STR_LABEL_END : STR_LABEL_FIRST + 1));
}

}

void InstallPositionPanel()
{
    shownMousePos = MOUSE_NOT_SHOWN;
    SetViewUpdateHandler(UpdSelStart, ShowSelStart);
    SetViewUpdateHandler(UpdSelLength, ShowSelLength);
    SetViewUpdateHandler(UpdPlayPos, ShowPlayPos);
    SetViewUpdateHandler(UpdMousePos, ShowMousePos);
    SetViewUpdateHandler(UpdTotal, ShowTotal);
    SetViewUpdateHandler(UpdDevCaps, UpdateDeviceCaps);
    SetViewUpdateHandler(UpdTransport, EnableTransport);
    SetViewUpdateHandler(UpdFormat, ShowFormat);
    SetViewUpdateHandler(UpdTitle, ShowTitle);
    SetViewUpdateHandler(UpdLengthLabel, ShowLengthLabel);
}

void OnLocationNotify(int id, int code)
{
    if (!IsSelectionField(id))
        return;
    HWND field = Control(id);
    if (!field)
        return;
    App& app = TheApp();
    switch (code) {
    case EN_SETFOCUS:
        app.locationEditFocus = field;
        ShowStepArrows(field);
        break;
    case EN_KILLFOCUS:
        if (app.locationEditFocus == field)
            app.locationEditFocus = nullptr;
        HideStepArrows();
        // Enter (the focus goes to the frame), a click elsewhere or a switch
        // to another program sends what the user typed, once. A frame being
        // hidden or destroyed takes the focus too: nothing is sent then.
        if (SendMessageA(field, EM_GETMODIFY, 0, 0) != 0) {
            SendMessageA(field, EM_SETMODIFY, FALSE, 0);
            if (IsWindowVisible(Frame()))
                ApplySelectionField(id, ParseFieldText(field));
        }
        // In the display's own format again, also when nothing changed.
        if (IsWindowEnabled(field))
            WriteField(field, SelectionFieldText(id).c_str());
        break;
    default:
        // Text changes are the user's typing or the program's own writing;
        // neither is read until the edit is sent.
        break;
    }
}

void OnLocationStep(int scrollCode)
{
    if (scrollCode != SB_LINEUP && scrollCode != SB_LINEDOWN)
        return;
    HWND field = static_cast<HWND>(TheApp().locationEditFocus);
    int id = field ? GetDlgCtrlID(field) : 0;
    if (!IsSelectionField(id))
        return;
    // One step is one unit of the display: 0.01 s, a byte or a sample, at
    // least one block. It counts from what the field shows, typed or not.
    int32_t step = TheDocument().format.ParseLength(nullptr, LENGTH_UNIT_DEFAULT);
    bool typed = SendMessageA(field, EM_GETMODIFY, 0, 0) != 0;
    int64_t current = typed ? ParseFieldText(field) : SelectionFieldValue(id);
    int64_t next = scrollCode == SB_LINEUP ? current + step : current - step;
    SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    ApplySelectionField(id, ClampToInt32(std::max<int64_t>(next, 0)));
    WriteField(field, SelectionFieldText(id).c_str());
}

bool RestoreLocationEdit()
{
    HWND field = static_cast<HWND>(TheApp().locationEditFocus);
    int id = field ? GetDlgCtrlID(field) : 0;
    if (!IsSelectionField(id))
        return false;
    WriteField(field, SelectionFieldText(id).c_str());
    return true;
}

void SetDragOutAvailable(bool available)
{
    dragOutAvailable = available;
    UpdateViews(UpdTitle);
}
