#include "base/error_message.h"

#include "base/string_table.h"

ErrorBoxContent MakeErrorBox(int code)
{
    ErrorBoxContent box;
    if (code < ERR_RESOURCES || code > ERR_INTERNAL) {
        box.text.Format(LoadAppString(ERR_INTERNAL), static_cast<unsigned>(code));
        return box;
    }
    if (code == ERR_RESOURCES || code == ERR_NO_MEMORY) {
        // Shown when memory or resources ran out: no formatting, nothing to allocate
        // beyond the text itself.
        box.text = LoadAppString(code);
        box.stopIcon = true;
        return box;
    }
    box.text.Format(LoadAppString(code), static_cast<unsigned>(code));
    return box;
}

const char* ErrorBoxTitle()
{
    return "Kelvora Error";
}
