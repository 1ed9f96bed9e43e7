#include "view/position_format.h"

#include <algorithm>
#include <climits>

#include "base/app_options.h"
#include "sound/document.h"
#include "sound/form.h"

CGString FormatRange(int32_t start, int32_t length, int flags)
{
    const Form& format = TheDocument().format;
    CGString first = format.FormatLength(start, flags & ~LENGTH_WITH_SUFFIX);
    CGString text;
    if (TheAppOptions().showEnd) {
        int64_t end = std::min<int64_t>(std::max<int64_t>(static_cast<int64_t>(start) + length, INT32_MIN), INT32_MAX);
        CGString second = format.FormatLength(static_cast<int32_t>(end), flags);
        text.Format("%s to %s", first.c_str(), second.c_str());
    } else {
        CGString second = format.FormatLength(length, flags);
        text.Format("start %s, length %s", first.c_str(), second.c_str());
    }
    return text;
}
