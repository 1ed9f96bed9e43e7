// Decimal numbers with a fixed count of decimals, as the dialogs and the
// position fields type and show them: rates in kHz with three decimals,
// durations in seconds with two.
#pragma once

#include <cstdint>

#include "lib/gstring.h"

// Reads text as a number with at most `decimals` decimals after a "." (or
// the locale's decimal separator, which FormatThousandths writes) and
// returns it times 10^decimals: "22.05" with 3 decimals is 22050, "8" is 8000,
// "11.0257" is 11025 (decimals past the last one kept are ignored, not
// rounded). The first character that is neither a digit nor the first
// separator ends the number, so a leading blank or sign reads as 0. Values
// past INT32_MAX give INT32_MAX; null text and negative decimals count as
// none.
int32_t ParseFixed(const char* text, int decimals);

// A value in thousandths written as whole units, the locale's decimal
// separator and two truncated decimals: 22050 gives "22.05", 11025 "11.02",
// -1500 "-1.50".
CGString FormatThousandths(int32_t value);
