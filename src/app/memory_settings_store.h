// A settings store held in memory: what the tests give the settings code in
// place of the INI file. Section and key names are compared ignoring case, as
// the profile services do.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "base/settings_store.h"

class MemorySettingsStore : public SettingsStore {
public:
    int Read(const char* section, const char* key, char* buffer, int size) override;

    // Counts the attempt; the failing attempt (see FailWrite) stores nothing.
    bool Write(const char* section, const char* key, const char* value) override;

    // Puts a value in place without counting it as a write.
    void Set(const char* section, const char* key, const char* value);

    // The stored value, or null when the key is missing.
    const char* Get(const char* section, const char* key) const;

    // Makes the n-th Write attempt from now fail (1 = the next one); 0 = none fail.
    void FailWrite(int n);

    // Write attempts made so far, failed ones included.
    int WriteCount() const { return writeCount_; }

    // Number of keys stored in all sections.
    int KeyCount() const { return static_cast<int>(values_.size()); }

    void Clear();

private:
    struct NoCaseLess {
        bool operator()(const std::pair<std::string, std::string>& a,
                        const std::pair<std::string, std::string>& b) const;
    };

    std::map<std::pair<std::string, std::string>, std::string, NoCaseLess> values_;
    int writeCount_ = 0;
    int failAt_ = 0;    // WriteCount value of the attempt that fails; 0 = none
};
