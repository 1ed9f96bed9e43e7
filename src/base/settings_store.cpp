#include "base/settings_store.h"

namespace {
SettingsStore* settingsStore = nullptr;
SettingsStore* systemProfile = nullptr;
}

SettingsStore* TheSettingsStore()
{
    return settingsStore;
}

void SetSettingsStore(SettingsStore* store)
{
    settingsStore = store;
}

SettingsStore* TheSystemProfile()
{
    return systemProfile;
}

void SetSystemProfile(SettingsStore* store)
{
    systemProfile = store;
}
