#include "device/device_catalogue.h"

#include <cstring>

#include "base/update_views.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "device/volume.h"
#include "sound/document.h"

const char DEVICE_MAPPER_NAME[] = "Best Available Device";

namespace {

int GetCaps(int direction, int32_t id, KvWaveOutCaps& out, KvWaveInCaps& in)
{
    WaveDevices& devices = TheWaveDevices();
    return direction == WAVE_OUTPUT ? devices.GetOutCaps(id, out) : devices.GetInCaps(id, in);
}

// Ids 0 .. count-1 are devices; the mapper (-1) is not, nor is -2.
int32_t ChosenId(int32_t id, uint32_t count)
{
    if (id >= 0 && static_cast<uint32_t>(id) < count)
        return id;
    return count > 0 ? WAVE_MAPPER_ID : NO_DEVICE_ID;
}

// The capability record of the chosen device: zero when the query fails,
// and product id 2 for the mapper.
int QueryCaps(int32_t id, uint32_t count, KvWaveOutCaps& caps)
{
    std::memset(&caps, 0, sizeof caps);
    if (count == 0)
        return DEVERR_BADDEVICEID;
    KvWaveOutCaps read;
    int rc = TheWaveDevices().GetOutCaps(id, read);
    if (rc == DEVERR_NONE) {
        caps = read;
        if (id == WAVE_MAPPER_ID)
            caps.wPid = MAPPER_PRODUCT_ID;
    }
    return rc;
}

int QueryCaps(int32_t id, uint32_t count, KvWaveInCaps& caps)
{
    std::memset(&caps, 0, sizeof caps);
    if (count == 0)
        return DEVERR_BADDEVICEID;
    KvWaveInCaps read;
    int rc = TheWaveDevices().GetInCaps(id, read);
    if (rc == DEVERR_NONE) {
        caps = read;
        if (id == WAVE_MAPPER_ID)
            caps.wPid = MAPPER_PRODUCT_ID;
    }
    return rc;
}

// The name a capability record reports, always terminated.
void CopyName(char (&name)[33], const char (&reported)[32])
{
    std::memcpy(name, reported, sizeof reported);
    name[32] = '\0';
}

// Walks the items of a list: the mapper when there are devices, then every
// device whose capabilities can be read. `visit` returns true to stop.
template <typename Visit>
void WalkList(int direction, Visit visit)
{
    uint32_t count = TheWaveDevices().Count(direction);
    int index = 0;
    if (count > 0 && visit(index++, WAVE_MAPPER_ID, DEVICE_MAPPER_NAME))
        return;
    for (uint32_t id = 0; id < count; id++) {
        KvWaveOutCaps out;
        KvWaveInCaps in;
        if (GetCaps(direction, static_cast<int32_t>(id), out, in) != DEVERR_NONE)
            continue;
        char name[33];
        CopyName(name, direction == WAVE_OUTPUT ? out.szPname : in.szPname);
        if (visit(index++, static_cast<int32_t>(id), name))
            return;
    }
}

bool Accepts(int direction, int32_t id, const KvWaveFormat* format, uint32_t flags)
{
    if (!format)
        return false;
    if (id != WAVE_MAPPER_ID)
        flags |= DEV_MAPPED;
    return TheWaveDevices().Open(direction, nullptr, id, format, flags | DEV_FORMAT_QUERY) == DEVERR_NONE;
}

}

int32_t FindDeviceByProduct(int direction, uint16_t productId)
{
    if (productId == MAPPER_PRODUCT_ID)
        return WAVE_MAPPER_ID;
    uint32_t count = TheWaveDevices().Count(direction);
    for (uint32_t id = 0; id < count; id++) {
        KvWaveOutCaps out;
        KvWaveInCaps in;
        if (GetCaps(direction, static_cast<int32_t>(id), out, in) != DEVERR_NONE)
            continue;
        if ((direction == WAVE_OUTPUT ? out.wPid : in.wPid) == productId)
            return static_cast<int32_t>(id);
    }
    return WAVE_MAPPER_ID;
}

int ChooseDevice(int direction, DevOptions& options, int32_t id)
{
    uint32_t count = TheWaveDevices().Count(direction);
    if (direction == WAVE_OUTPUT) {
        options.playDevice = ChosenId(id, count);
        return QueryCaps(options.playDevice, count, options.playCaps);
    }
    options.recordDevice = ChosenId(id, count);
    return QueryCaps(options.recordDevice, count, options.recordCaps);
}

int SelectPlayDevice(DevOptions& options, int32_t id)
{
    int32_t before = options.playDevice;
    int rc = ChooseDevice(WAVE_OUTPUT, options, id);
    if (options.playDevice != before)
        options.playProduct = options.playCaps.wPid;
    return rc;
}

int SelectRecordDevice(DevOptions& options, int32_t id)
{
    int32_t before = options.recordDevice;
    int rc = ChooseDevice(WAVE_INPUT, options, id);
    if (options.recordDevice != before)
        options.recordProduct = options.recordCaps.wPid;
    return rc;
}

int ListDevices(DeviceListSink& sink, int direction, int32_t current)
{
    int selected = -1;
    WalkList(direction, [&](int index, int32_t id, const char* name) {
        sink.AddItem(id, name);
        if (id == current)
            selected = index;
        return false;
    });
    return selected;
}

int32_t ListedDeviceId(int direction, int index)
{
    int32_t found = WAVE_MAPPER_ID;
    WalkList(direction, [&](int i, int32_t id, const char*) {
        if (i != index)
            return false;
        found = id;
        return true;
    });
    return found;
}

void QueryFormatSupport()
{
    Dev& dev = TheDev();
    const KvWaveFormat* format = TheDocument().format.Record();
    dev.playFormatOk = Accepts(WAVE_OUTPUT, DeviceIdFor(DevMode::Playing), format, DEV_ALLOWSYNC);
    dev.recordFormatOk = Accepts(WAVE_INPUT, DeviceIdFor(DevMode::Recording), format, 0);
}

void ApplyDeviceOptions()
{
    ReadVolume();
    ReadPlaybackRate();
    QueryFormatSupport();
    UpdateViews(UpdDevCaps | UpdTransport);
}

void SetDeviceOptions(const DevOptions& options)
{
    DevOptions& current = TheDevOptions();
    if (options == current)
        return;
    DevOptions old = current;
    if (ActPrepare(ACTION_DEVICE_OPTIONS, ACTION_DEVICE_OPTIONS, &old, sizeof old) == 0)
        return;
    current = options;
    ApplyDeviceOptions();
    ActComplete(ACTION_DEVICE_OPTIONS, ACT_PREPARED);
}

void RestoreDeviceOptions(const void* data, uint32_t size)
{
    if (!data || size != sizeof(DevOptions))
        return;
    DevOptions saved;
    std::memcpy(static_cast<void*>(&saved), data, sizeof saved);
    SetDeviceOptions(saved);
}
