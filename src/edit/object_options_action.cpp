#include "edit/object_options_action.h"

#include <vector>

#include "base/clock.h"
#include "edit/actions.h"
#include "lib/log.h"
#include "sound/object_icon.h"

bool SetObjectOptions(const ObjectOptions& next)
{
    ObjectOptions& options = TheObjectOptions();
    if (SameObjectOptions(options, next))
        return false;
    std::vector<uint8_t> saved = PackObjectOptions(options);
    if (ActPrepare(ACTION_OBJECT_OPTIONS, ACTION_OBJECT_OPTIONS, saved.data(), uint32_t(saved.size())) == 0)
        return false;
    options = next;
    ActComplete(ACTION_OBJECT_OPTIONS, ACT_PREPARED);
    return true;
}

int RestoreObjectOptions(const void* data, uint32_t size)
{
    ObjectOptions saved;
    if (!UnpackObjectOptions(static_cast<const uint8_t*>(data), size, saved)) {
        Log("App:RestoreObjectOptions(%u) BAD RECORD", size);
        return -1;
    }
    SetObjectOptions(saved);
    return 0;
}

bool TakeIconFile(const char* name)
{
    ObjectOptions next = TheObjectOptions();
    if (!ReadIconFile(name, false, next.icon))
        return false;
    SetObjectOptions(next);
    return true;
}

void StampCreationDate()
{
    TheObjectOptions().date = ObjectDateOf(TheClock().LocalTime());
}
