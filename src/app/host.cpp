#include "app/host.h"

#include "lib/log.h"

namespace {

class HeadlessHost : public Host {
public:
    bool FrameExists() const override { return false; }
    void PostViewUpdate() override {}
    void PumpMessages(volatile int*) override {}
    void ShowError(int code) override { Log("App:Error %d", code); }
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
