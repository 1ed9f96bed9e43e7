// The shell as the core's host: the frame, its update message, the message
// pump and the error box.
#pragma once

#include "app/host.h"

enum { WM_KV_UPDATE_VIEWS = 1034 };

class WindowsHost : public Host {
public:
    bool FrameExists() const override;
    void PostViewUpdate() override;
    void PumpMessages(volatile int* flag) override;
    void ShowError(int code) override;
};
