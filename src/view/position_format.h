// Range texts of the document's sound, in the user's display options: the
// Properties dialog's shown and selected ranges.
#pragma once

#include <cstdint>

#include "lib/gstring.h"

// "start 1.00, length 2.50 secs", or, while a selection is shown by its end,
// "1.00 to 3.50 secs". flags are those of Form::FormatLength (a LENGTH_UNIT_*
// unit, LENGTH_WITH_SUFFIX, LENGTH_LEADING_BLANK); the suffix goes only after
// the second value, so that the unit is named once. The end is start +
// length, saturating rather than wrapping past the largest position.
CGString FormatRange(int32_t start, int32_t length, int flags);
