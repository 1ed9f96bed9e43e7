// What the fuzz targets share: the core reset before every input as the
// native tests reset it (tests/support/core_reset.h), a test
// host that presses Cancel once an action passes MOST_BLOCKS, the seeds
// written into an empty corpus folder, and the input as a memory file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/support/core_reset.h"
#include "../tests/support/test_host.h"
#include "../tests/support/wave_builder.h"
#include "app/core_links.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "sound/file.h"
#include "view/view_model.h"

namespace fuzz {

using Bytes = wave::Bytes;

// Pasted sounds longer than this are cancelled through the progress window,
// as a user would, so that a loop repeated 65536 times stays quick and small.
const int32_t MOST_BLOCKS = 1 << 20;

// Bytes unlike their neighbours, for the seeds' samples.
inline Bytes Samples(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(i * 13 + (i >> 3));
    return b;
}

inline TestHost& Host()
{
    static TestHost* host = new TestHost();     // kept to the end: the core reaches it until exit
    return *host;
}

// The core's single objects as a newly started program has them, its layers
// connected, and the host's records of the last input forgotten.
inline void ResetCore()
{
    ::ResetCore();
    TestHost& host = Host();
    host.errors.clear();
    host.informations.clear();
    host.updates.clear();
    host.progressNames.clear();
    host.cancelPressed = false;
    host.cancelAt = MOST_BLOCKS;
}

// From LLVMFuzzerInitialize: the core started, the seeds written into an
// empty corpus folder named on the command line. Returns a temporary folder
// of the target's own for the inputs' disk copies.
inline std::string Start(int argc, char** argv, const std::vector<Bytes>& seeds, const char* target)
{
    ResetCore();
    for (int i = 1; i < argc; i++) {
        std::error_code ec;
        if (argv[i][0] == '-' || !std::filesystem::is_directory(argv[i], ec)
            || !std::filesystem::is_empty(argv[i], ec))
            continue;
        for (size_t k = 0; k < seeds.size(); k++)
            wave::WriteFile(std::string(argv[i]) + "/seed" + std::to_string(k), seeds[k]);
    }
    std::filesystem::path dir = std::filesystem::temp_directory_path() / target;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir.string();
}

// The block of a memory file holding these bytes (a copy of the input: the
// fuzzer's own may not be written); an empty one still has an address.
inline MemoryFileInfo Memory(Bytes& bytes)
{
    static uint8_t none = 0;
    return MemoryFileInfo{bytes.empty() ? &none : bytes.data(), static_cast<uint32_t>(bytes.size())};
}

}
