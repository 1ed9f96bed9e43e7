#include "edit/undo_history.h"

#include <cstring>
#include <new>

#include "app/app.h"
#include "app/app_options.h"
#include "app/error_message.h"
#include "app/string_ids.h"
#include "app/string_table.h"
#include "edit/actions.h"
#include "edit/echo.h"
#include "edit/effect_settings.h"
#include "edit/fill.h"
#include "edit/level_effects.h"
#include "edit/low_pass.h"
#include "edit/mixing_options.h"
#include "edit/noise.h"
#include "edit/pitch.h"
#include "edit/remove_background.h"
#include "edit/tone.h"
#include "lib/log.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "view/display_options.h"
#include "view/selection_ops.h"

namespace {

// Plain values, so records destroyed during static destruction still find them.
uint32_t memoryInUse = 0;
RestoreHandler restoreHandlers[ACTION_COUNT] = {};
ReleaseHandler releaseHandlers[ACTION_COUNT] = {};

// The saved range of a "Select" or "Display" record.
struct SavedRange {
    int32_t start;
    int32_t length;
};

// The frames of a sample record: a count, then that many whole frames in the
// document's format. False for a record that does not hold them.
bool SavedFrames(const CKV_ACTSTORE& rec, const uint8_t** frames, int32_t* n)
{
    if (!rec.data || rec.size < 4)
        return false;
    uint32_t count;
    std::memcpy(&count, rec.data.get(), 4);
    uint64_t align = static_cast<uint64_t>(TheDocument().format.BlockAlign());
    if (count > INT32_MAX || 4 + align * count > rec.size)
        return false;
    *frames = rec.data.get() + 4;
    *n = static_cast<int32_t>(count);
    return true;
}

// The steps of Undo and Redo: the newest record of `from` is applied in
// `state`, so that its inverse goes to the other history.
int ApplyNewest(CKV_ACTLIST& from, int state)
{
    if (from.IsEmpty() || ActIsBusy())
        return -1;
    // Taken out of its history while it is applied, so that nothing filed
    // meanwhile can destroy it under our feet; it still counts as memory in use.
    std::unique_ptr<CKV_ACTSTORE> rec(from.Newest());
    from.RemoveRecord(rec.get());
    ResetUndoHistory(state);
    int rc = ActApply(*rec);
    ResetUndoHistory(ACTSTATE_READY);
    // Nothing changed: the step can be tried again.
    if (rc > 0)
        from.InsertAfter(rec.release(), nullptr);
    return rc;
}

}

CKV_ACTSTORE::CKV_ACTSTORE(uint32_t action, uint32_t kind, uint32_t size)
    : action(action), kind(kind), size(size)
{
    memoryInUse += ACTSTORE_OVERHEAD + size;
    if (size)
        data.reset(new (std::nothrow) uint8_t[size]);
}

CKV_ACTSTORE::~CKV_ACTSTORE()
{
    memoryInUse -= ACTSTORE_OVERHEAD + size;
    if (data && action < ACTION_COUNT && releaseHandlers[action])
        releaseHandlers[action](data.get(), size);
    // The base destructor unlinks the record from its history.
}

CKV_ACTLIST::~CKV_ACTLIST()
{
    DeleteAll();
}

CKV_ACTLIST& TheUndoHistory()
{
    static CKV_ACTLIST history;
    return history;
}

CKV_ACTLIST& TheRedoHistory()
{
    static CKV_ACTLIST history;
    return history;
}

uint32_t UndoMemoryInUse()
{
    return memoryInUse;
}

void SetRestoreHandler(int kind, RestoreHandler handler)
{
    if (kind >= 0 && kind < ACTION_COUNT)
        restoreHandlers[kind] = handler;
}

void SetReleaseHandler(int action, ReleaseHandler handler)
{
    if (action >= 0 && action < ACTION_COUNT)
        releaseHandlers[action] = handler;
}

void ActFile(CKV_ACTSTORE* record, CKV_ACTLIST& history)
{
    if (!record)
        return;
    if (record->kind == ACTION_NONE || record->Lost()) {
        delete record;
        return;
    }
    uint32_t limit = TheAppOptions().undoMemory;
    if (limit != 0 && memoryInUse >= limit) {
        while (!history.IsEmpty() && memoryInUse > limit)
            history.DestroyOldest();
    }
    // The depth is a 16-bit count; 0 keeps one record, as 1 does.
    int depth = TheAppOptions().undoCount;
    if (history.Count() >= depth && !history.IsEmpty())
        history.DestroyOldest();
    history.InsertAfter(record, nullptr);
}

int ActUndo()
{
    return ApplyNewest(TheUndoHistory(), ACTSTATE_UNDOING);
}

int ActRedo()
{
    return ApplyNewest(TheRedoHistory(), ACTSTATE_REDOING);
}

int ReplaceSelectedFrames(int32_t m, const uint8_t* frames, int32_t n)
{
    CKV_Document& doc = TheDocument();
    int32_t start = TheSelection().selStart;
    doc.SetChannel(255);
    // Both leave the store as it was when they fail.
    if (n > m && !doc.InsertSpace(start + m, n - m))
        return -1;
    if (n < m && !doc.DeleteRange(start + n, m - n))
        return -1;
    bool written = n == 0 || doc.WriteBlocks(start, frames, n) == start + n;
    SetSelection(start, n, ORIGIN_PROGRAM);
    return written ? 0 : ERR_NO_MEMORY;
}

int ActRestoreWave(int kind, int action, const uint8_t* frames, int32_t n)
{
    if (kind < 0 || kind >= ACTION_COUNT || n < 0 || (n > 0 && !frames))
        return -1;
    Selection& sel = TheSelection();
    // A paste step puts back exactly the saved frames, whatever sound now
    // waits on the clipboard.
    int32_t pending = sel.pendingLength;
    bool pasteLength = (ActionTable[kind].flags & ACT_PASTE_LENGTH) != 0;
    if (pasteLength)
        sel.pendingLength = n;
    int32_t m;
    bool prepared = ActTryPrepareWave(kind, action, &m);
    if (pasteLength)
        sel.pendingLength = pending;
    if (!prepared)
        return -1;
    int rc = ReplaceSelectedFrames(m, frames, n);
    if (rc < 0) {
        ActComplete(kind, ACT_PREPARED | ACT_NO_RECORD);
        return ERR_NO_MEMORY;
    }
    // Even when not every frame could be written, the new record holds what
    // the selection held before, so the step is filed.
    ActComplete(kind, ACT_PREPARED | (m != n ? uint32_t{ACT_LENGTH_CHANGED} : 0u));
    return rc;
}

int ActApply(const CKV_ACTSTORE& record)
{
    int kind = static_cast<int>(record.kind);
    int action = static_cast<int>(record.action);
    const uint8_t* data = record.data.get();
    uint32_t size = data ? record.size : 0;
    switch (kind) {
    case ACTION_RECORD:
    case ACTION_PASTE:
    case ACTION_PASTE_FILE:
    case ACTION_CHANGE: {
        const uint8_t* frames;
        int32_t n;
        if (!SavedFrames(record, &frames, &n))
            break;
        return ActRestoreWave(kind, action, frames, n);
    }
    case ACTION_SELECT:
    case ACTION_DISPLAY: {
        SavedRange range;
        if (size != sizeof range)
            break;
        std::memcpy(&range, data, sizeof range);
        if (kind == ACTION_SELECT)
            SetSelection(range.start, range.length, ORIGIN_COMMAND);
        else
            SetViewRange(range.start, range.length, ORIGIN_COMMAND);
        return 0;
    }
    case ACTION_DEVICE_OPTIONS:
    case ACTION_OBJECT_OPTIONS:
        if (!restoreHandlers[kind])
            break;
        restoreHandlers[kind](data, size);
        return 0;
    case ACTION_DISPLAY_OPTIONS:
        RestoreDisplayOptions(data, size);
        return 0;
    case ACTION_MIXING_OPTIONS:
        RestoreMixingOptions(data, size);
        return 0;
    case ACTION_EFFECT_SETUP: {
        EffectSettings settings;
        if (size != sizeof settings)
            break;
        std::memcpy(&settings, data, sizeof settings);
        SetEffectSettings(settings);
        return 0;
    }
    case ACTION_TOGGLE_WAVE:
    case ACTION_TOGGLE_LOCATIONS:
    case ACTION_TOGGLE_LEFT:
    case ACTION_TOGGLE_RIGHT:
        ToggleDisplayOption(kind);
        return 0;
    case ACTION_CUT:
    case ACTION_DELETE:
        return ActRestoreWave(kind, action, nullptr, 0);
    // Effects run again over the current selection with the current settings;
    // Reverse undoes itself this way.
    case ACTION_AMPLIFY:
        Amplify(TheEffectSettings());
        return 0;
    case ACTION_FADE:
        Fade(TheEffectSettings());
        return 0;
    case ACTION_SILENCE:
        Silence();
        return 0;
    case ACTION_REVERSE:
        Reverse();
        return 0;
    case ACTION_NORMALIZE:
        RemoveOffset();
        return 0;
    case ACTION_LOW_PASS:
        LowPass();
        return 0;
    case ACTION_REMOVE_BACKGROUND:
        RemoveBackground(TheEffectSettings());
        return 0;
    case ACTION_FILL:
        Fill(TheEffectSettings());
        return 0;
    case ACTION_TONE:
        Tone(TheEffectSettings());
        return 0;
    case ACTION_NOISE:
        AddNoise(TheEffectSettings());
        return 0;
    case ACTION_ECHO:
        Echo(TheEffectSettings());
        return 0;
    case ACTION_PITCH:
        PitchChange(TheEffectSettings());
        return 0;
    case ACTION_CONVERT:
        return RestoreConvertedFormat(data, size);
    default:
        break;
    }
    Log("Act:Apply kind %d", kind);
    return -1;
}

bool GetUndoLabel(CGString& text)
{
    const CKV_ACTSTORE* rec = TheUndoHistory().Newest();
    text.Format(LoadAppString(STR_MENU_UNDO), ActionName(rec ? static_cast<int>(rec->action) : 0));
    return rec != nullptr;
}

bool GetRedoLabel(CGString& text)
{
    const CKV_ACTSTORE* rec = TheRedoHistory().Newest();
    text.Format(LoadAppString(STR_MENU_REDO), ActionName(rec ? static_cast<int>(rec->kind) : 0));
    return rec != nullptr;
}
