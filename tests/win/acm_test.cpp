// The converter over the system's compression manager, with the codecs Wine
// provides, on files made by SoX at build time: compressed files open as
// they are and save back unchanged, decode as SoX decodes them, convert in
// two steps where one stream cannot, and encode without losing length.
#include <windows.h>
#include <mmreg.h>
// The build defines UNICODE (to 0), on which msacm.h defines _UNICODE with a
// warning; only the manager's explicit ANSI entry points are used here.
#ifndef _UNICODE
#define _UNICODE
#endif
#include <msacm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "edit/convert_format.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "sound/compression_manager_win.h"
#include "sound/converter.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"
#include "view/selection_ops.h"

namespace {

using wave::Bytes;
using wave::FromS16;

class AcmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef KV_FIXTURE_DIR
        GTEST_SKIP() << "SoX was not found when the tests were built";
#else
        ASSERT_TRUE(ResetCore());
        SetCompressionManager(&TheSystemCompressionManager());
        ASSERT_GE(TheSystemCompressionManager().Version(), 0x02000000u);
#endif
    }
    void TearDown() override { SetCompressionManager(nullptr); }

    static std::string Fixture(const std::string& name)
    {
#ifdef KV_FIXTURE_DIR
        return driver::WindowsPath(std::string(KV_FIXTURE_DIR) + "/" + name);
#else
        return name;
#endif
    }

    static int Open(const std::string& name) { return OpenDocumentFile(Fixture(name).c_str()); }

    // Into 16-bit PCM of the document's rate and channels.
    int ConvertTo16()
    {
        const KvWaveFormat* w = doc.format.Record();
        KvWaveFormat pcm = PcmFormat(w->nChannels, 16, w->nSamplesPerSec);
        return ConvertFormat(&pcm);
    }

    // The largest difference between the document's 16-bit samples and
    // SoX's decode of the fixture, which may run on past them (whole blocks).
    int WorstDifference(const std::string& name, bool sameLength)
    {
        std::vector<int> ours = FromS16(DocumentBytes());
        std::vector<int> sox = FromS16(wave::ReadFile(Fixture(name + ".raw")));
        EXPECT_TRUE(sameLength ? sox.size() == ours.size() : sox.size() >= ours.size()) << sox.size();
        int worst = 0;
        for (size_t i = 0; i < ours.size() && i < sox.size(); i++)
            worst = std::max(worst, std::abs(ours[i] - sox[i]));
        return worst;
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
};

TEST_F(AcmTest, CompressedFilesSaveBackUnchangedAndDecodeAsSoxDecodesThem)
{
    // MS ADPCM decodes up to 57 LSB away from SoX; the others exactly.
    const struct { const char* name; const char* typeName; int tolerance; } codecs[] = {
        {"alaw", "A-Law", 0}, {"ulaw", "U-Law", 0}, {"gsm", "GSM 6.10", 0}, {"ima", "IMA ADPCM", 0},
        {"ms", "Microsoft ADPCM", 64},
    };
    std::string out = Fixture("saved_back.wav");
    for (const auto& c : codecs) {
        SCOPED_TRACE(c.name);
        std::string file = std::string(c.name) + ".wav";
        Bytes bytes = wave::ReadFile(Fixture(file));
        auto original = wave::Chunks(bytes);
        ASSERT_EQ(0, Open(file));
        KvWaveFormat fileFormat;
        std::memcpy(&fileFormat, original["fmt "].data(), sizeof fileFormat);
        EXPECT_EQ(fileFormat.wFormatTag, doc.format.Record()->wFormatTag);
        EXPECT_STREQ(c.typeName, doc.format.GetTypeName());
        int32_t blocks = int32_t(original["data"].size() / fileFormat.nBlockAlign);
        EXPECT_EQ(blocks, doc.length);

        ASSERT_EQ(0, SaveWave(out.c_str(), WAVE_WRITE_FILE, nullptr));
        Bytes saved = wave::ReadFile(out);
        auto again = wave::Chunks(saved);
        EXPECT_EQ(original["fmt "], again["fmt "]);
        EXPECT_EQ(original["fact"], again["fact"]);
        Bytes wholeBlocks(original["data"].begin(), original["data"].begin() + blocks * fileFormat.nBlockAlign);
        EXPECT_EQ(wholeBlocks, again["data"]);
        // SoX counts a pad byte into an odd GSM "data" chunk; the others
        // come back byte for byte.
        if (std::string(c.name) != "gsm")
            EXPECT_EQ(bytes, saved);

        // Decoded: exactly the samples of "fact", where SoX decodes whole blocks.
        ASSERT_EQ(0, ConvertTo16());
        EXPECT_EQ(int32_t(wave::Get32(original["fact"])), doc.length);
        EXPECT_LE(WorstDifference(c.name, false), c.tolerance);
    }
    DeleteFileA(out.c_str());
}

TEST_F(AcmTest, ImaStereoBecomesEightBitMonoAtHalfTheRateInTwoSteps)
{
    ASSERT_EQ(0, Open("ima.wav"));
    uint32_t samples = wave::Get32(wave::Chunks(wave::ReadFile(Fixture("ima.wav")))["fact"]);
    KvWaveFormat target = PcmFormat(1, 8, 11025);
    ASSERT_EQ(0, ConvertFormat(&target));
    std::vector<int> sox = FromS16(wave::ReadFile(Fixture("ima.raw")));
    Bytes expected;
    for (uint32_t i = 0; i < samples; i += 2)
        expected.push_back(uint8_t(((sox[2 * i] >> 8) + 128) & 0xFF));
    EXPECT_EQ(expected, DocumentBytes());
}

TEST_F(AcmTest, PcmThroughImaAdpcmAndBackKeepsItsLengthAndItsSound)
{
    KvWaveFormat pcm = PcmFormat(1, 16, 22050);
    ASSERT_EQ(0, NewDocument(&pcm));
    const int32_t n = 30011;
    std::vector<int> before;
    for (int32_t i = 0; i < n; i++)
        before.push_back(int(12000 * std::sin(i * 0.031) + 6000 * std::sin(i * 0.17)));
    Bytes original = wave::S16(before);
    ASSERT_TRUE(doc.InsertSpace(0, n));
    ASSERT_EQ(n, doc.WriteBlocks(0, original.data(), n));

    uint8_t suggested[64] = {};
    auto* ima = reinterpret_cast<WAVEFORMATEX*>(suggested);
    ima->wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    WAVEFORMATEX source = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    ASSERT_EQ(0u, acmFormatSuggest(nullptr, &source, ima, sizeof suggested, ACM_FORMATSUGGESTF_WFORMATTAG));
    ASSERT_EQ(0, ConvertFormat(reinterpret_cast<KvWaveFormat*>(ima)));
    uint16_t perBlock;
    std::memcpy(&perBlock, suggested + sizeof(WAVEFORMATEX), 2);
    EXPECT_EQ((n + perBlock - 1) / perBlock, doc.length);
    EXPECT_EQ(n, DocumentSamples());

    ASSERT_EQ(0, ConvertFormat(&pcm));
    ASSERT_EQ(n, doc.length);
    std::vector<int> after = FromS16(DocumentBytes());
    double signal = 0, noise = 0;
    for (int32_t i = 0; i < n; i++) {
        signal += double(before[i]) * before[i];
        noise += double(before[i] - after[i]) * (before[i] - after[i]);
    }
    EXPECT_GE(10 * std::log10(signal / noise), 25.0);

    // Both conversions undone: the very first bytes again.
    ASSERT_EQ(0, ActUndo());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
}

TEST_F(AcmTest, WidePcmFloatAndExtensibleFilesBecomeSixteenBit)
{
    // Float and extensible files open as documents of their own format.
    for (const char* name : {"w24", "w32", "f32"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(0, Open(std::string(name) + ".wav"));
        ASSERT_EQ(0, ConvertTo16());
        EXPECT_LE(WorstDifference(name, true), 1);
    }

    // 24-bit PCM with the plain tag goes through the converter directly.
    auto chunks = wave::Chunks(wave::ReadFile(Fixture("p24.wav")));
    KvWaveFormat pcm = PcmFormat(2, 16, 22050);
    ASSERT_EQ(0, NewDocument(&pcm));
    TheSelection().editMode = EDIT_APPEND;
    ASSERT_EQ(0, OpenConverter(reinterpret_cast<const KvWaveFormat*>(chunks["fmt "].data()), nullptr, 0));
    ASSERT_EQ(0, ConvertChunk(chunks["data"].data(), int32_t(chunks["data"].size() / 6)));
    CloseConverter();
    EXPECT_LE(WorstDifference("p24", true), 1);
}

TEST_F(AcmTest, TheChooserCancelledChangesNothing)
{
    KvWaveFormat pcm = PcmFormat(1, 8, 11025);
    ASSERT_EQ(0, NewDocument(&pcm));
    TheAppOptions().useAcm = 1;
    // The chooser is modal: another thread presses Cancel once it shows.
    std::thread cancel([] {
        for (int i = 0; i < 200; i++) {
            if (HWND box = FindWindowA(nullptr, "Sound Selection")) {
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(50);
        }
    });
    EXPECT_EQ(2, ChooseFormatWithManager(nullptr));
    cancel.join();
    EXPECT_EQ(8, doc.format.Record()->wBitsPerSample);
}

}
