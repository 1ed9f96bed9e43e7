// The debug log's Windows sink: the debugger output.
#pragma once

#include "lib/log.h"

class DebugOutputLogSink : public LogSink {
public:
    void Output(const char* text) override;
};
