#include "lib/log_sink_win.h"

#include <windows.h>

void DebugOutputLogSink::Output(const char* text)
{
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}
