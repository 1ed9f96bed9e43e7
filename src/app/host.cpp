#include "app/host.h"

#include "lib/log.h"

namespace {

class HeadlessHost : public Host {
public:
    bool FrameExists() const override { return false; }
    bool PostViewUpdate() override { return false; }
    void PumpMessages(volatile int*) override {}
    void ShowError(int code) override { Log("App:Error %d", code); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    // Nobody can press Cancel without a window.
    void BeginProgress(const char*) override {}
    bool UpdateProgress(int32_t, int32_t) override { return false; }
    void EndProgress() override {}
};

HeadlessHost headless;
Host* current = &headless;

}

Host& TheHost()
{
    return *current;
}

void SetHost(Host* host)
{
    current = host ? host : &headless;
}
