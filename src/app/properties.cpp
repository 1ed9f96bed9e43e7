#include "app/properties.h"

#include <algorithm>
#include <climits>

#include "base/app_options.h"
#include "base/host.h"
#include "sound/document.h"
#include "sound/form.h"
#include "view/position_format.h"

namespace {

const int IN_USER_UNIT = LENGTH_UNIT_DEFAULT | LENGTH_WITH_SUFFIX;

int32_t ClampBlocks(int64_t n)
{
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(n, 0), INT32_MAX));
}

}

CGString FormatKbytes(uint64_t bytes)
{
    CGString text;
    text.Format("%llu Kbytes", static_cast<unsigned long long>(bytes / 1024));
    return text;
}

CGString FormatPlaySeconds(uint64_t bytes, uint32_t bytesPerSecond)
{
    uint64_t seconds = 0, hundredths = 0;
    if (bytesPerSecond != 0) {
        seconds = bytes / bytesPerSecond;
        hundredths = (bytes % bytesPerSecond) * 100 / bytesPerSecond;
    }
    CGString text;
    text.Format("%llu%s%02llu secs", static_cast<unsigned long long>(seconds),
        TheAppOptions().intl.decimalSeparator, static_cast<unsigned long long>(hundredths));
    return text;
}

PropertiesTexts BuildPropertiesTexts(int64_t clipboardBlocks, uint64_t memoryBytes, uint64_t diskBytes)
{
    CKV_Document& doc = TheDocument();
    Form& form = doc.format;
    const Selection& sel = TheSelection();
    PropertiesTexts t;

    t.fileName = doc.GetTitleName();
    t.format = form.GetDisplayName();
    const KvWaveFormat* w = form.Record();
    const uint32_t perSecond = w ? w->nAvgBytesPerSec : 0;
    t.bytesPerSecond.Format("%ld", static_cast<long>(perSecond));
    t.sizeBytes = form.FormatLength(doc.length, LENGTH_UNIT_BYTES | LENGTH_WITH_SUFFIX);
    t.sizeSamples = form.FormatLength(doc.length, LENGTH_UNIT_SAMPLES | LENGTH_WITH_SUFFIX);
    t.duration = form.FormatLength(doc.length, LENGTH_UNIT_TIME | LENGTH_WITH_SUFFIX);
    t.displayed = TheAppOptions().showWaveform ? FormatRange(sel.viewStart, sel.viewLength, IN_USER_UNIT)
                                          : CGString("None");
    t.selected = FormatRange(sel.selStart, sel.selLength, IN_USER_UNIT);
    t.clipboard = clipboardBlocks >= 0 ? form.FormatLength(ClampBlocks(clipboardBlocks), IN_USER_UNIT)
                                       : CGString("Empty");

    const RoomTexts room = BuildRoomTexts(w, memoryBytes, diskBytes);
    t.memoryKbytes = room.memoryKbytes;
    t.memorySeconds = room.memorySeconds;
    t.diskKbytes = room.diskKbytes;
    t.diskSeconds = room.diskSeconds;
    return t;
}

RoomTexts BuildRoomTexts(const KvWaveFormat* format, uint64_t memoryBytes, uint64_t diskBytes)
{
    const uint32_t perSecond = format ? format->nAvgBytesPerSec : 0;
    const uint32_t align = format ? format->nBlockAlign : 0;
    const uint64_t memory = align ? memoryBytes / align * align : 0;
    const uint64_t disk = align ? diskBytes / align * align : 0;
    return {FormatKbytes(memory), FormatPlaySeconds(memory, perSecond), FormatKbytes(disk),
        FormatPlaySeconds(disk, perSecond)};
}

uint64_t SoundMemory()
{
    const uint64_t memoryWhenUnknown = 1048576;
    const uint64_t bytes = TheHost().AvailableMemory();
    return bytes == UINT64_MAX ? memoryWhenUnknown : bytes;
}
