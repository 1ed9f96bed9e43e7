#include "app/string_source_win.h"

int ResourceStringSource::Load(int id, char* buffer, int size) const
{
    return LoadStringA(instance, static_cast<UINT>(id), buffer, size);
}
