// A host for core tests: records what the core asks of the shell, and can press
// Cancel in the progress window or run a command while messages are routed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/host.h"

class TestHost : public Host {
public:
    TestHost() { SetHost(this); }
    ~TestHost() override { SetHost(nullptr); }

    bool FrameExists() const override { return frame; }
    bool PostViewUpdate() override
    {
        posts++;
        return postSucceeds;
    }
    void PumpMessages(volatile int*) override
    {
        pumps++;
        if (onPump) {
            // A command that arrives while a long action routes messages;
            // it runs once, as a click would.
            std::function<void()> command = std::move(onPump);
            onPump = nullptr;
            command();
        }
    }
    void ShowError(int code) override { errors.push_back(code); }
    void ShowInformation(const char* title, const char* text) override
    {
        informations.emplace_back(title ? title : "", text ? text : "");
    }

    void HistoryDiscarded() override { historyDiscards++; }

    void BeginWaitCursor() override
    {
        waitCursorBegins++;
        waitCursorDepth++;
    }
    void EndWaitCursor() override { waitCursorDepth--; }

    void BeginProgress(const char* actionName) override
    {
        progressNames.push_back(actionName ? actionName : "");
        progressOpen++;
        cancelPressed = false;
    }
    bool UpdateProgress(int32_t done, int32_t total) override
    {
        updates.emplace_back(done, total);
        if (cancelAt >= 0 && done >= cancelAt)
            cancelPressed = true;
        return cancelPressed;
    }
    void EndProgress() override { progressOpen--; }

    bool ClipboardHasSound() const override { return clipboardSound; }
    bool FrameMaximized() const override { return maximized; }
    void ShowHelp(void*, uint32_t command, uintptr_t data) override { helpRequests.emplace_back(command, data); }

    bool frame = false;
    int posts = 0;
    bool postSucceeds = true;
    int pumps = 0;
    std::vector<int> errors;
    std::vector<std::pair<std::string, std::string>> informations;    // (title, text) per box

    int historyDiscards = 0;

    std::function<void()> onPump;       // run at the next PumpMessages

    int waitCursorBegins = 0;
    int waitCursorDepth = 0;            // 0 when every Begin was ended

    int32_t cancelAt = -1;              // Cancel is pressed once done reaches it; -1: never
    bool cancelPressed = false;
    int progressOpen = 0;               // windows shown and not yet closed
    std::vector<std::string> progressNames;
    std::vector<std::pair<int32_t, int32_t>> updates;   // (done, total) per update

    bool clipboardSound = false;
    bool maximized = false;
    std::vector<std::pair<uint32_t, uintptr_t>> helpRequests;   // (command, data)
};
