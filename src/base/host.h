// The shell as the core sees it: the few things the core asks of the windows
// around it. The program installs the Windows host at start-up; tests install
// their own. Without a host the core runs headless (nothing is shown).
#pragma once

#include <cstdint>

class Host {
public:
    virtual ~Host() = default;

    // The frame window exists (views can be told to update).
    virtual bool FrameExists() const = 0;

    // Posts the view-update message to the frame; its handler runs the
    // pending updates (RunPendingViewUpdates).
    // False when the message could not be posted (it is asked for again).
    virtual bool PostViewUpdate() = 0;

    // Routes waiting window messages until *flag is 0 (with a zero flag: once).
    virtual void PumpMessages(volatile int* flag) = 0;

    // Shows the error box for an error code (no owner window).
    virtual void ShowError(int code) = 0;

    // Shows a message box with the information icon and an OK button, owned
    // by the frame window, and returns when it is closed. The text may hold
    // line breaks.
    virtual void ShowInformation(const char* title, const char* text) = 0;

    // Both undo histories were emptied (a new sound replaced the old one):
    // whatever the Undo and Redo items named is gone.
    virtual void HistoryDiscarded() {}
    // The wait cursor while a sound-changing action runs. Begin keeps the
    // cursor that was current and End puts it back; the calls pair up.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // The progress window of a long action, named after the action. Update
    // shows `done` of `total` blocks (total > 0) and returns true once the
    // user has pressed Cancel; the window stays until End.
    virtual void BeginProgress(const char* actionName) = 0;
    virtual bool UpdateProgress(int32_t done, int32_t total) = 0;
    virtual void EndProgress() = 0;

    // What the play/record engine asks of the frame window; headless there
    // is no frame to show, close or time.
    // The frame's window handle (HWND), to which the wave devices send their
    // messages; null headless.
    virtual void* FrameWindow() const { return nullptr; }
    // The frame is shown on the screen (play repeats only then).
    virtual bool FrameVisible() const { return false; }
    // Asks the frame to close, as the user would: the program then ends
    // through its normal shutdown.
    virtual void PostCloseRequest() {}
    // A timer of the frame that fires every periodMs as timer `id`; returns
    // the timer's id, 0 when none could be started.
    virtual uint32_t StartTimer(uint32_t id, uint32_t periodMs) { return 0; }
    virtual void StopTimer(uint32_t id) {}

    // Bytes the system can still give the program: the smaller of its free
    // address space and the memory left to commit. UINT64_MAX when unknown.
    virtual uint64_t AvailableMemory() const { return UINT64_MAX; }

    // What the menu states ask: the clipboard holds sound the Paste command
    // can take, and the frame is maximized.
    virtual bool ClipboardHasSound() const { return false; }
    // The length of the sound the clipboard holds, in blocks of the
    // document's format; -1 when it holds none that can be read.
    virtual int64_t ClipboardSoundLength() { return -1; }
    virtual bool FrameMaximized() const { return false; }

    // Runs the program's modal dialog `templateId` (an option dialog, with
    // what its OK does) over the frame. False when it was cancelled, or
    // headless, where there are no dialogs.
    virtual bool RunDialog(int templateId) { return false; }

    // A request to the help viewer: the platform's help command and its
    // data (a context id, or a pointer for the keyword search), for the
    // window that asks (HWND; null: the frame).
    virtual void ShowHelp(void* owner, uint32_t command, uintptr_t data) {}
};

// The installed host, never null: a headless host when none was installed.
Host& TheHost();
void SetHost(Host* host);
