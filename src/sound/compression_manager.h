// The seam to the platform's audio compression manager, as far as the core
// uses it. The Windows shell installs the system's manager at start-up; tests
// install a fake. With none installed the manager counts as absent: tag names
// read "Not Supported" and only the built-in PCM conversions are available.
#pragma once

#include <cstdint>

class CompressionManager {
public:
    virtual ~CompressionManager() = default;

    // The manager's version: major in the top byte, minor in the next
    // (0x02000000 is 2.00); 0 when the system has no manager.
    virtual uint32_t Version() const = 0;

    // Copies the name of a format tag into name, cut to size - 1 characters
    // and terminated. False when the manager does not know the tag.
    virtual bool GetTagName(uint16_t tag, char* name, int size) = 0;
};

// The version from which the manager is used at all.
constexpr uint32_t COMPRESSION_MANAGER_MIN_VERSION = 0x02000000;

// The installed manager, or null.
CompressionManager* TheCompressionManager();

// Installs the manager (null removes it). Borrowed: it must outlive its
// installation.
void SetCompressionManager(CompressionManager* manager);

// The installed manager when it reports version 2.00 or later, else null.
CompressionManager* UsableCompressionManager();
