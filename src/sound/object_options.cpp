#include "sound/object_options.h"

#include <cstring>
#include <string>

#include "lib/dib_layout.h"

namespace {

ObjectOptions theObjectOptions;

// The packed record: flags, the date's eight bytes, the label's length and
// the icon's length (32 bits each but the date), then the label's text and the
// icon's bytes.
const size_t PACKED_FIXED_BYTES = 4 + 8 + 4 + 4;

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool SameDate(const ObjectDate& a, const ObjectDate& b)
{
    return a.day == b.day && a.month == b.month && a.year == b.year && a.dayOfWeek == b.dayOfWeek
        && a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

// Header and colour table, then the rows from wherever the layout has them.
bool CopyIcon(const uint8_t* data, const DibLayout& layout, std::vector<uint8_t>& icon)
{
    uint64_t front = uint64_t(layout.headerSize) + layout.colourBytes;
    uint64_t total = front + layout.bitsSize;
    if (total > MAX_ICON_BYTES)
        return false;
    std::vector<uint8_t> copy(data + layout.headerOffset, data + layout.headerOffset + front);
    copy.insert(copy.end(), data + layout.bitsOffset, data + layout.bitsOffset + layout.bitsSize);
    icon.swap(copy);
    return true;
}

}

ObjectOptions& TheObjectOptions()
{
    return theObjectOptions;
}

void ResetObjectOptions()
{
    theObjectOptions = ObjectOptions();
}

bool SameObjectOptions(const ObjectOptions& a, const ObjectOptions& b)
{
    return a.flags == b.flags && SameDate(a.date, b.date) && a.icon == b.icon
        && std::strcmp(a.label.c_str(), b.label.c_str()) == 0;
}

ObjectDate ObjectDateOf(const CalendarTime& time)
{
    ObjectDate d;
    d.day = uint8_t(time.day);
    d.month = uint8_t(time.month);
    d.year = uint16_t(time.year);
    d.dayOfWeek = uint8_t(time.dayOfWeek);
    d.hour = uint8_t(time.hour);
    d.minute = uint8_t(time.minute);
    d.second = uint8_t(time.second);
    return d;
}

std::vector<uint8_t> PackObjectOptions(const ObjectOptions& options)
{
    std::vector<uint8_t> out;
    uint32_t labelBytes = uint32_t(options.label.Length());
    out.reserve(PACKED_FIXED_BYTES + labelBytes + options.icon.size());
    Put32(out, options.flags);
    const ObjectDate& d = options.date;
    for (uint8_t b : {d.day, d.month, uint8_t(d.year), uint8_t(d.year >> 8), d.dayOfWeek, d.hour, d.minute,
             d.second})
        out.push_back(b);
    Put32(out, labelBytes);
    Put32(out, uint32_t(options.icon.size()));
    out.insert(out.end(), options.label.c_str(), options.label.c_str() + labelBytes);
    out.insert(out.end(), options.icon.begin(), options.icon.end());
    return out;
}

bool UnpackObjectOptions(const uint8_t* data, size_t size, ObjectOptions& out)
{
    if (!data || size < PACKED_FIXED_BYTES)
        return false;
    uint64_t labelBytes = Get32(data + 12), iconBytes = Get32(data + 16);
    if (PACKED_FIXED_BYTES + labelBytes + iconBytes != size)
        return false;
    const uint8_t* d = data + 4;
    ObjectOptions options;
    options.flags = Get32(data);
    options.date.day = d[0];
    options.date.month = d[1];
    options.date.year = uint16_t(d[2] | d[3] << 8);
    options.date.dayOfWeek = d[4];
    options.date.hour = d[5];
    options.date.minute = d[6];
    options.date.second = d[7];
    const char* label = reinterpret_cast<const char*>(data + PACKED_FIXED_BYTES);
    options.label = std::string(label, size_t(labelBytes)).c_str();
    const uint8_t* icon = data + PACKED_FIXED_BYTES + labelBytes;
    options.icon.assign(icon, icon + iconBytes);
    out = std::move(options);
    return true;
}

bool TakeIconDib(const uint8_t* data, size_t size, std::vector<uint8_t>& icon)
{
    DibLayout layout;
    return data && ParsePackedDib(data, size, layout) && CopyIcon(data, layout, icon);
}

bool TakeIconBmp(const uint8_t* data, size_t size, std::vector<uint8_t>& icon)
{
    DibLayout layout;
    return data && ParseBmpFile(data, size, layout) && CopyIcon(data, layout, icon);
}
