#include "app/memory_settings_store.h"

#include <cctype>
#include <cstring>

#include "lib/gstring.h"

namespace {

int CompareNoCase(const std::string& a, const std::string& b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}

bool MemorySettingsStore::NoCaseLess::operator()(const std::pair<std::string, std::string>& a,
                                                 const std::pair<std::string, std::string>& b) const
{
    int c = CompareNoCase(a.first, b.first);
    if (c != 0)
        return c < 0;
    return CompareNoCase(a.second, b.second) < 0;
}

int MemorySettingsStore::Read(const char* section, const char* key, char* buffer, int size)
{
    return CopyString(buffer, size, Get(section, key));
}

bool MemorySettingsStore::Write(const char* section, const char* key, const char* value)
{
    ++writeCount_;
    if (failAt_ != 0 && writeCount_ == failAt_)
        return false;
    Set(section, key, value);
    return true;
}

void MemorySettingsStore::Set(const char* section, const char* key, const char* value)
{
    values_[{section ? section : "", key ? key : ""}] = value ? value : "";
}

const char* MemorySettingsStore::Get(const char* section, const char* key) const
{
    auto it = values_.find({section ? section : "", key ? key : ""});
    return it == values_.end() ? nullptr : it->second.c_str();
}

void MemorySettingsStore::FailWrite(int n)
{
    failAt_ = n > 0 ? writeCount_ + n : 0;
}

void MemorySettingsStore::Clear()
{
    values_.clear();
    writeCount_ = 0;
    failAt_ = 0;
}
