#include "edit/actions.h"

#include "app/app.h"
#include "app/app_options.h"
#include "edit/effect_settings.h"
#include "device/engine.h"
#include "lib/log.h"
#include "sound/document.h"
#include "view/selection_ops.h"

const ActionRow ActionTable[ACTION_COUNT] = {
    {0, 4, 0x1000},
    {0, 180, 0x204},
    {0, 181, 0x0},
    {0, 182, 0x0},
    {0, 183, 0x10},
    {0, 184, 0x10},
    {0, 185, 0x10},
    {0, 186, 0x10},
    {0, 187, 0x18},
    {0, 188, 0x10},
    {0, 189, 0x10},
    {0, 190, 0x10},
    {0, 191, 0x10},
    {3103, 192, 0x84},
    {3107, 193, 0x84},
    {3105, 194, 0x6C6},
    {3106, 194, 0x6C6},
    {0, 195, 0x204},
    {0, 196, 0x206},
    {2016, 197, 0x6},
    {2018, 198, 0x6},
    {2017, 199, 0x6},
    {2019, 200, 0x6},
    {-3411, 204, 0x704},
    {-3412, 205, 0x6},
    {-2021, 201, 0x6},
    {-2022, 203, 0x606},
    {-3415, 206, 0x6},
    {-2023, 202, 0x606},
    {-2024, 207, 0x606},
    {-3416, 208, 0x1004},
    {-3417, 209, 0x6},
};

namespace {

// The open action between prepare and completion (-1: none). The undo
// records themselves arrive with the history.
int openAction = -1;
int nestingCount = 0;

uint32_t FlagsOf(int action)
{
    return action >= 0 && action < ACTION_COUNT ? ActionTable[action].flags : 0;
}

}

bool ActIsOpen()
{
    return openAction >= 0;
}

int ComputeEditMode()
{
    const CKV_Document& doc = TheDocument();
    if (TheApp().actionState <= ACTSTATE_LOADING || TheSelection().selLength == 0)
        return EDIT_INSERT;
    if (TheAppOptions().mixOld == 0 || !doc.format.IsPcm())
        return EDIT_REPLACE;
    return EDIT_MIX;
}

void ResetUndoHistory(int level)
{
    App& app = TheApp();
    if (level <= ACTSTATE_LOADING)
        openAction = -1;
    else if (ActIsOpen())
        return;
    if (level == ACTSTATE_READY) {
        if (--nestingCount <= 0) {
            nestingCount = 0;
            app.actionState = ACTSTATE_READY;
        }
    } else {
        nestingCount++;
        app.actionState = level;
    }
}

uint32_t ActPrepare(int action, int kind, const void* data, uint32_t size)
{
    if (ActIsOpen()) {
        Log("App:ActPrepare(%d) REENTRANT", action);
        return 0;
    }
    if (TheApp().actionState > 3)
        openAction = action;
    return size;
}

int32_t ActPrepareWave(int action, int kind)
{
    if (action != ACTION_RECORD)
        Stop();
    Selection& sel = TheSelection();
    sel.editMode = ComputeEditMode();
    uint32_t flags = FlagsOf(action);
    int32_t n = 0;
    if (sel.editMode != EDIT_INSERT) {
        n = sel.selLength;
        if (n == 0)
            return 0;
        if ((flags & ACT_PASTE_LENGTH) && n > sel.pendingLength) {
            n = sel.pendingLength;
            SetSelection(sel.selStart, n, ORIGIN_COMMAND);
        }
    } else {
        if (!(flags & ACT_NO_SELECTION_OK)) {
            Log("ActPrepareWave can't NO SELECT insert !");
            return 0;
        }
        if (flags & ACT_INSERT_SPACE) {
            CKV_Document& doc = TheDocument();
            n = (flags & ACT_PASTE_LENGTH)
                ? sel.pendingLength
                : static_cast<int32_t>(doc.format.MsToBlocks(
                    static_cast<uint32_t>(TheEffectSettings().insertLength)));
            if (n <= 0)
                return 0;
            if (!doc.InsertSpace(sel.selStart, n))
                return 0;
            SetSelection(sel.selStart, n, ORIGIN_PROGRAM);
        }
        kind = RESTORE_INSERTED;
    }
    return static_cast<int32_t>(ActPrepare(action, kind, nullptr, static_cast<uint32_t>(n)));
}

bool ActProgress(int32_t position)
{
    return false;
}

void ActComplete(int action, uint32_t flags)
{
    if (ActIsOpen() && openAction != action)
        return;
    flags |= FlagsOf(action);
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    if (flags & ACT_NO_RECORD) {
        if ((flags & ACT_NO_SELECTION_OK) && sel.editMode == EDIT_INSERT) {
            doc.DeleteRange(sel.selStart, sel.selLength);
            SetSelection(sel.selStart, 0, ORIGIN_PROGRAM);
        }
        openAction = -1;
        return;
    }
    if (flags & ACT_CHANGES_WAVE) {
        doc.ReleaseCursor();
        if (sel.viewLength == 0)
            SetViewRange(sel.selStart, doc.length, ORIGIN_PROGRAM);
        RepaintRange(sel.selStart, (flags & ACT_LENGTH_CHANGED) ? 0 : sel.selStart + sel.selLength);
    }
    int state = TheApp().actionState;
    openAction = -1;
    if (state < ACTSTATE_READY)
        return;
    int step = state == ACTSTATE_UNDOING ? -1 : 1;
    if (flags & (ACT_CHANGES_WAVE | ACT_CHANGES_DOC))
        doc.changeCount += step;
    if (flags & ACT_CHANGES_SETTINGS)
        TheAppOptions().settingsChanged += step;
}
