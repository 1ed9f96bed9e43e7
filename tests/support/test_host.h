// A host for core tests: records what the core asks of the shell.
#pragma once

#include <vector>

#include "app/host.h"

class TestHost : public Host {
public:
    TestHost() { SetHost(this); }
    ~TestHost() override { SetHost(nullptr); }

    bool FrameExists() const override { return frame; }
    void PostViewUpdate() override { posts++; }
    void PumpMessages(volatile int*) override { pumps++; }
    void ShowError(int code) override { errors.push_back(code); }

    bool frame = false;
    int posts = 0;
    int pumps = 0;
    std::vector<int> errors;
};
