// What the editing layer asks of the layers above it. The play/record engine,
// the views and the command table sit above the editing actions, yet an
// action has to stop the engine, move the selection and run an effect again
// for redo. Each of those layers installs its side here at start-up
// (InstallCoreLinks); until then the links do nothing.
#pragma once

#include <cstdint>

// Where a change of the selection, the view range or the play position comes
// from. Origins from ORIGIN_PROGRAM up commit the change (it becomes the
// state a later gesture is undone to); those above it are recorded for undo.
enum SelectionOrigin {
    ORIGIN_ENGINE = 0,          // the play/record engine: no clamping, no stop
    ORIGIN_DRAG = 2,            // a mouse drag in progress
    ORIGIN_GESTURE_START = 3,   // the button went down
    ORIGIN_PROGRAM = 4,         // a final change made by the program, not recorded
    ORIGIN_GESTURE_END = 5,     // the button came up
    ORIGIN_COMMAND = 6,         // a command or a key
};

// The play/record engine (device/engine.h).
class EngineLink {
public:
    virtual ~EngineLink() = default;
    // Stops playing or recording; the device is closed when it returns.
    virtual void Stop() = 0;
    // A sound change was completed: plays the changed selection when the
    // device options ask for that.
    virtual void PlayAfterChange() = 0;
};

// The selection operations (view/selection_ops.h); see there for what each
// does with its arguments.
class SelectionLink {
public:
    virtual ~SelectionLink() = default;
    virtual void SetSelection(int32_t start, int32_t length, int origin) = 0;
    virtual void SetViewRange(int32_t start, int32_t length, int origin) = 0;
    virtual void SetPlayPosition(int32_t position, int origin) = 0;
    virtual void RepaintRange(int32_t a, int32_t b) = 0;
    // A mouse gesture still changing the selection is dropped: the
    // selection goes back to the last committed one.
    virtual void DropGesture() = 0;

    // SetSelection from the smaller of a and b, as long as their difference.
    void SelectBetween(int32_t a, int32_t b, int origin);
};

// Applies an undo record whose restore step is not about samples or the
// selection: runs action `action` again (an effect over the current
// selection with the current settings, a display toggle) or puts back the
// saved option block `data`. Results as ActApply: 0, -1 (no way to apply
// it), or an error id.
using ActionRunner = int (*)(int action, const void* data, uint32_t size);

EngineLink& TheEngineLink();
SelectionLink& TheSelectionLink();
ActionRunner TheActionRunner();

// Null puts back the link that does nothing. The caller keeps ownership.
void SetEngineLink(EngineLink* link);
void SetSelectionLink(SelectionLink* link);
void SetActionRunner(ActionRunner runner);
