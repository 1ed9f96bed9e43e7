#include "lib/log.h"

#include <cstdio>
#include <new>

namespace {

LogSink* currentSink = nullptr;

} // namespace

CLogBase::~CLogBase() = default;

int CLogBase::Write(uint32_t category, int lineLevel, const char* text)
{
    if (currentSink && text && Passes(category, lineLevel))
        currentSink->Output(text);
    return 0;
}

int CLogBase::Printf(uint32_t category, int lineLevel, const char* fmt, va_list args)
{
    if (!Passes(category, lineLevel) || !fmt)
        return 0;
    char buffer[2064];
    if (std::vsnprintf(buffer, sizeof buffer, fmt, args) < 0)
        return 0;
    return Write(category, lineLevel, buffer);
}

CLogBase& TheLog()
{
    // Built on first use in static storage and never destroyed, so other
    // static objects may log from their constructors and their destructors.
    alignas(CLogBase) static unsigned char storage[sizeof(CLogBase)];
    static CLogBase* const log = ::new (storage) CLogBase;
    return *log;
}

void Log(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    TheLog().Printf(1, 3, fmt, args);
    va_end(args);
}

LogSink* SetLogSink(LogSink* sink)
{
    LogSink* previous = currentSink;
    currentSink = sink;
    return previous;
}

void MemoryLogSink::Output(const char* text)
{
    lines.emplace_back(text);
}

bool MemoryLogSink::Contains(const std::string& text) const
{
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}
