// The shell as the core's host: the frame, its update message, the message
// pump, the error and information boxes, the wait cursor and the progress
// dialog of long actions.
#pragma once

#include <windows.h>

#include "base/host.h"

enum { WM_KV_UPDATE_VIEWS = 1034 };

class WindowsHost : public Host {
public:
    bool FrameExists() const override;
    bool PostViewUpdate() override;
    void PumpMessages(volatile int* flag) override;
    void ShowError(int code) override;
    void ShowInformation(const char* title, const char* text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void BeginProgress(const char* actionName) override;
    bool UpdateProgress(int32_t done, int32_t total) override;
    void EndProgress() override;
    void* FrameWindow() const override;
    bool FrameVisible() const override;
    void PostCloseRequest() override;
    uint32_t StartTimer(uint32_t id, uint32_t periodMs) override;
    void StopTimer(uint32_t id) override;
    uint64_t AvailableMemory() const override;
    bool ClipboardHasSound() const override;
    int64_t ClipboardSoundLength() override;
    bool FrameMaximized() const override;
    void ShowHelp(void* owner, uint32_t command, uintptr_t data) override;
    bool RunDialog(int templateId) override;

private:
    HCURSOR previousCursor = nullptr;   // current before the wait cursor
    DWORD routedAt = 0;                 // tick count of the last routing between progress checks
    bool routedOnce = false;
    int waitDepth = 0;
};
