// The seam to the platform's audio compression manager, as far as the core
// uses it. The Windows shell installs the system's manager at start-up; tests
// install a fake. With none installed the manager counts as absent: tag names
// read "Not Supported" and only the built-in PCM conversions are available.
#pragma once

#include <cstdint>

struct KvWaveFormat;

// A conversion stream opened by the manager; meaningful only to the manager
// that opened it.
using CompressionStream = void*;

// Flags of ConvertStream (the manager's own values).
enum : uint32_t {
    STREAM_CONVERT_START = 0x10,    // first conversion of the stream
    STREAM_CONVERT_END = 0x20,      // last one: the codec may flush what it holds
};

// Results of the manager that the program tells apart.
enum : int {
    COMPRESSION_NOT_POSSIBLE = 512,     // no codec converts between the two formats
    COMPRESSION_CANCELLED = 515,        // the user closed the chooser with Cancel
};

// One synchronous conversion: `source` and `destination` are the caller's;
// the manager fills the two used counts.
struct StreamConversion {
    const uint8_t* source = nullptr;
    uint32_t sourceBytes = 0;
    uint8_t* destination = nullptr;
    uint32_t destinationBytes = 0;
    uint32_t sourceUsed = 0;
    uint32_t destinationUsed = 0;
};

// What the format chooser is asked. `format` holds `size` bytes: the format
// shown first on entry, the chosen one on return.
struct FormatChoice {
    void* owner = nullptr;                      // the owner window
    KvWaveFormat* format = nullptr;
    uint32_t size = 0;
    const char* title = nullptr;
    char* name = nullptr;                       // the chosen format's name, if the chooser gives one
    int nameSize = 0;
    const KvWaveFormat* convertibleFrom = nullptr;  // list only formats this one converts to; null: all
};

// Streams and the chooser are optional: a manager that offers neither (the
// base versions) refuses every stream with COMPRESSION_NOT_POSSIBLE and has
// no chooser.
class CompressionManager {
public:
    virtual ~CompressionManager() = default;

    // The manager's version: major in the top byte, minor in the next
    // (0x02000000 is 2.00); 0 when the system has no manager.
    virtual uint32_t Version() const = 0;

    // Copies the name of a format tag into name, cut to size - 1 characters
    // and terminated. False when the manager does not know the tag.
    virtual bool GetTagName(uint16_t tag, char* name, int size) = 0;

    // Opens a non-real-time stream from source to destination (each record
    // holds its own size: 16 bytes for PCM, else 18 + cbSize). 0 and the
    // stream, or the manager's error (COMPRESSION_NOT_POSSIBLE when no codec
    // does it).
    virtual int OpenStream(const KvWaveFormat* source, const KvWaveFormat* destination,
                           CompressionStream* stream);

    // Destination bytes needed for sourceBytes of source: 0 and the size, or
    // the manager's error.
    virtual int StreamSize(CompressionStream stream, uint32_t sourceBytes, uint32_t* destinationBytes);

    // Converts whole source blocks of one buffer (prepare, convert,
    // unprepare): 0, or the manager's error of the step that failed (the
    // used counts then tell what was done).
    virtual int ConvertStream(CompressionStream stream, StreamConversion& conversion, uint32_t flags);

    // Makes the stream give back every buffer it still holds.
    virtual void ResetStream(CompressionStream stream) {}
    virtual void CloseStream(CompressionStream stream) {}

    // The largest format record any codec uses, in bytes; 0 when unknown.
    virtual uint32_t MaxFormatSize() { return 0; }

    // Runs the manager's modal format chooser: 0 chosen, COMPRESSION_CANCELLED,
    // or another error of the manager.
    virtual int ChooseFormat(FormatChoice& choice);
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
