#include "edit/dtmf.h"

#include <cstring>

#include "edit/tone.h"

namespace {

// Four keys per row.
const int32_t ROW_HZ[4] = {697, 770, 852, 941};
const int32_t COLUMN_HZ[4] = {1209, 1336, 1477, 1633};
const char KEY_LABELS[DTMF_KEY_COUNT + 1] = "123A456B789C*0#D";

// Each tone of a pair at half of full scale, so that their sum fits.
constexpr int32_t DTMF_AMPLITUDE = 50;

}

bool DtmfKeyFrequencies(int key, DtmfPair* pair)
{
    if (key < 0 || key >= DTMF_KEY_COUNT)
        return false;
    pair->row = ROW_HZ[key / 4];
    pair->column = COLUMN_HZ[key % 4];
    return true;
}

int DtmfKeyIndex(char label)
{
    if (label >= 'a' && label <= 'd')
        label = static_cast<char>(label - 'a' + 'A');
    const char* found = label ? std::strchr(KEY_LABELS, label) : nullptr;
    return found ? static_cast<int>(found - KEY_LABELS) : -1;
}

bool SetDtmfTones(EffectSettings& settings, int key)
{
    DtmfPair pair;
    if (!DtmfKeyFrequencies(key, &pair))
        return false;
    settings.tone1Frequency = pair.row;
    settings.tone2Frequency = pair.column;
    settings.tone1Amplitude = DTMF_AMPLITUDE;
    settings.tone2Amplitude = DTMF_AMPLITUDE;
    settings.toneShape = TONE_SINE;
    return true;
}
