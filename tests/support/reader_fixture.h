// The sound tests' fixture: a fresh core holding a new default sound, sounds
// set up in a given format, bytes read as a file of a given name the way the
// file commands read one, and files that SoX makes in the temporary directory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/error_message.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/file.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "support/fake_compression_manager.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "view/selection_ops.h"

using wave::Bytes;
using wave::Chunk;
using wave::FromS16;
using wave::S16;

// Bytes unlike their neighbours, so that a misplaced block shows.
inline Bytes Pattern(size_t n, uint8_t seed = 1)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(seed + i * 37 + (i >> 8));
    return b;
}

inline Bytes RecordBytes(const void* record, size_t size)
{
    auto p = static_cast<const uint8_t*>(record);
    return Bytes(p, p + size);
}

class ReaderTest : public ::testing::Test {
protected:
    // fileName: the name Read gives the bytes; its extension picks the
    // reader tried first.
    explicit ReaderTest(const char* fileName = "in.wav") : fileName(fileName) {}

    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ASSERT_EQ(0, NewDocument(nullptr));
    }
    void TearDown() override
    {
        std::remove(in.c_str());
        std::remove(ref.c_str());
    }

    // A sound of that format holding the samples in chunks of `chunk` blocks
    // (0: the format's own), nothing selected, nothing to undo.
    void NewSound(const KvWaveFormat& f, const Bytes& samples = {}, int32_t chunk = 0)
    {
        SetSound(f, samples, chunk);
    }

    // Reads the bytes as a file of that name (null: the fixture's), as the
    // file commands do: opening replaces the sound, pasting edits it.
    int Read(Bytes bytes, int mode = READ_OPEN, const char* name = nullptr)
    {
        uint8_t none = 0;               // an empty file still has an address
        MemoryFileInfo memory{bytes.empty() ? &none : bytes.data(), uint32_t(bytes.size())};
        CMMFile file;
        if (!file.Open(name ? name : fileName, KVIO_READ, &memory))
            return ERR_CANT_OPEN;
        return mode == READ_OPEN ? OpenDocument(file) : ReadSoundFile(file, mode);
    }

    // Has SoX, which scripts/setup.sh installs, write `in`: `options` give
    // the rate, channels, sample size, encoding and type, `signal` what it
    // synthesises. Given a raw layout, SoX also decodes `in` into `ref`.
    void MakeWithSox(const std::string& options, const std::string& signal, const std::string& decode = "")
    {
        ASSERT_EQ(0, std::system("sox --version >/dev/null")) << "sox is missing: run scripts/setup.sh";
        ASSERT_EQ(0, std::system(("sox -n " + options + " " + in + " synth " + signal).c_str()));
        if (!decode.empty())
            ASSERT_EQ(0, std::system(("sox " + in + " -t raw " + decode + " " + ref).c_str()));
    }

    // What SoX reports of `in`: its rate (-r), channels (-c), bits (-b) or
    // samples (-s); -1 when it reports nothing.
    long SoxInfo(const char* option)
    {
        long value = -1;
        FILE* p = popen(("sox --i " + std::string(option) + " " + in).c_str(), "r");
        EXPECT_NE(nullptr, p) << "sox --i " << option;
        if (p) {
            if (std::fscanf(p, "%ld", &value) != 1) {
                ADD_FAILURE() << "sox --i " << option << " gave no number";
                value = -1;
            }
            pclose(p);
        }
        return value;
    }

    TestHost host;
    const char* fileName;
    // A file SoX makes and SoX's own decode of it, apart for every test.
    std::string in = ::testing::TempDir() + "kv_"
        + ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "_"
        + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + fileName;
    std::string ref = in + ".raw";
};
