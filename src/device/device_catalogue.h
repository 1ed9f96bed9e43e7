// The catalogue of wave devices: finding a device by product id, choosing
// the play and record devices of a device options record, the lists the
// Device Options dialog shows, and whether the chosen devices accept the
// document's format.
#pragma once

#include <cstdint>

#include "device/dev_options.h"

// The text of the mapper's list item.
extern const char DEVICE_MAPPER_NAME[];     // "Best Available Device"

// The first device of the direction whose capabilities report this product
// id; -1 (the mapper) for product id 2, for no match and without devices.
int32_t FindDeviceByProduct(int direction, uint16_t productId);

// Sets the device of a direction in the options record: an id that is not a
// device of the system gives the mapper, or -2 without devices. Then the
// device's capabilities are queried (all zero when that fails; the mapper
// keeps product id 2). The product id to save is left as it is. Returns the
// query's platform result (DEVERR_BADDEVICEID without devices).
int ChooseDevice(int direction, DevOptions& options, int32_t id);

// The user's choice of a device: ChooseDevice, and when that is another
// device than before, its product id becomes the one saved. Choosing the
// device already in use keeps the saved product id, which may name a device
// missing in this run.
int SelectPlayDevice(DevOptions& options, int32_t id);
int SelectRecordDevice(DevOptions& options, int32_t id);

// Receives the items of a device list, in list order.
class DeviceListSink {
public:
    virtual ~DeviceListSink() = default;
    virtual void AddItem(int32_t id, const char* name) = 0;
};

// Lists the mapper (only when the system has devices of the direction) and
// every device whose capabilities can be read, by its name; a device whose
// query fails takes no place in the list. Returns the index of the item of
// `current`, or -1 when it has none.
int ListDevices(DeviceListSink& sink, int direction, int32_t current);

// The device id of item `index` of that list; -1 when there is no such item.
int32_t ListedDeviceId(int direction, int index);

// Asks the chosen devices, without opening them, whether they take the
// document's format: sets playFormatOk and recordFormatOk of the engine.
void QueryFormatSupport();

// After the device options changed: volume, rate and format support read
// again, and the transport told (UpdDevCaps | UpdTransport). The volume
// popup, when open, is closed by its owner before this runs.
void ApplyDeviceOptions();

// The Device Options dialog's OK: when the record differs from the current
// options, the old ones are saved as one undoable "Device Options" step,
// the record takes their place and ApplyDeviceOptions runs. An equal record
// changes and records nothing.
void SetDeviceOptions(const DevOptions& options);

// The undo step of the device options: puts a saved record back the same
// way (recording the current one first). Records of another size are
// ignored.
void RestoreDeviceOptions(const void* data, uint32_t size);
