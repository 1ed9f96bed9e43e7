#include "base/host.h"

#include <string>

#include "lib/log.h"

namespace {

class HeadlessHost : public Host {
public:
    bool FrameExists() const override { return false; }
    bool PostViewUpdate() override { return false; }
    void PumpMessages(volatile int*) override {}
    void ShowError(int code) override { Log("App:Error %d", code); }
    void ShowInformation(const char* title, const char* text) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    // Nobody can press Cancel without a window.
    void BeginProgress(const char*) override {}
    bool UpdateProgress(int32_t, int32_t) override { return false; }
    void EndProgress() override {}
};

// Log lines carry no line break: the text's lines are joined by "; ".
void HeadlessHost::ShowInformation(const char* title, const char* text)
{
    std::string line;
    for (const char* c = text ? text : ""; *c; c++) {
        if (*c != '\n')
            line += *c;
        else if (c[1])
            line += "; ";
    }
    Log("App:%s: %s", title ? title : "", line.c_str());
}

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
