#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "lib/gstring.h"                // KV_PRINTF_FORMAT

// Where log lines go. The Windows shell installs one that writes to the
// debugger; tests install a MemoryLogSink. Lines carry no line break.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void Output(const char* text) = 0;
};

// The debug log. A line passes when its category bits meet the mask OR its
// level reaches the threshold; with the defaults (mask all bits, threshold 0)
// every line passes. Writing never fails and never changes behaviour.
class CLogBase {
public:
    CLogBase() = default;
    CLogBase(const CLogBase&) = delete;
    CLogBase& operator=(const CLogBase&) = delete;
    virtual ~CLogBase();

    // Sends the text to the current sink when the line passes. Returns 0.
    virtual int Write(uint32_t category, int lineLevel, const char* text);

    // When the line passes, formats it into 2064 characters (longer lines are
    // cut) and hands it to Write; otherwise formats nothing. Returns 0.
    virtual int Printf(uint32_t category, int lineLevel, const char* fmt, va_list args)
        KV_PRINTF_FORMAT(4, 0);

    bool Passes(uint32_t category, int lineLevel) const
    {
        return (category & mask) != 0 || lineLevel >= level;
    }

    int32_t level = 0;                  // threshold: lines at or above it always pass
    uint32_t mask = 0xFFFFFFFFu;        // categories that pass at any level
};

// The program's one log object; usable from any static object's constructor
// or destructor.
CLogBase& TheLog();

// The usual internal-failure line, "Form:SetSize(%d) FAIL": category 1, level 3.
void Log(const char* fmt, ...) KV_PRINTF_FORMAT(1, 2);

// Installs the sink for all log objects (nullptr discards the lines, the
// state at start-up) and returns the previous one. The sink is borrowed: it
// must outlive its installation.
LogSink* SetLogSink(LogSink* sink);

// Keeps every line in memory, for tests.
class MemoryLogSink : public LogSink {
public:
    void Output(const char* text) override;

    const std::vector<std::string>& Lines() const { return lines; }
    void Clear() { lines.clear(); }
    // True when some line contains `text` (a whole line or a part of one).
    bool Contains(const std::string& text) const;

private:
    std::vector<std::string> lines;
};
