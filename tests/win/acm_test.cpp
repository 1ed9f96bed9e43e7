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

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/core_links.h"
#include "app/settings.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "edit/convert_format.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "sound/compression_manager_win.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/wave_file.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "support/win_driver.h"
#include "view/selection_ops.h"

namespace {

using wave::Bytes;

KvWaveFormat Pcm(uint16_t ch, uint32_t rate, uint16_t bits)
{
    uint16_t align = uint16_t(ch * bits / 8);
    return KvWaveFormat{WAVE_TAG_PCM, ch, rate, rate * align, align, bits, 0};
}

// The chunks of a RIFF WAVE file by id (the first of each).
std::map<std::string, Bytes> Chunks(const Bytes& file)
{
    std::map<std::string, Bytes> chunks;
    size_t pos = 12;
    while (pos + 8 <= file.size()) {
        std::string id(file.begin() + pos, file.begin() + pos + 4);
        uint32_t size = file[pos + 4] | file[pos + 5] << 8 | file[pos + 6] << 16 | uint32_t(file[pos + 7]) << 24;
        size_t end = std::min(file.size(), pos + 8 + size);
        chunks.emplace(id, Bytes(file.begin() + pos + 8, file.begin() + end));
        pos = end + (size & 1);
    }
    return chunks;
}

uint32_t U32(const Bytes& b)
{
    return b.size() < 4 ? 0 : b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
}

std::vector<int> S16(const uint8_t* p, size_t bytes)
{
    std::vector<int> v;
    for (size_t i = 0; i + 1 < bytes; i += 2)
        v.push_back(int16_t(uint16_t(p[i] | p[i + 1] << 8)));
    return v;
}

class AcmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef KV_FIXTURE_DIR
        GTEST_SKIP() << "SoX was not found when the tests were built";
#else
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetSettings();
        ResetSelection();
        ResetActionLifecycle();
        InstallCoreLinks();
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

    static int Open(const std::string& name)
    {
        return OpenDocumentFile(Fixture(name).c_str());
    }

    Bytes DocBytes()
    {
        Bytes b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
        doc.SetChannel(255);
        EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
        doc.ReleaseCursor();
        return b;
    }

    std::vector<int> DocSamples()
    {
        Bytes b = DocBytes();
        return S16(b.data(), b.size());
    }

    static std::vector<int> SoxDecode(const std::string& name)
    {
        Bytes raw = wave::ReadFile(Fixture(name + ".raw"));
        return S16(raw.data(), raw.size());
    }

    // 16-bit PCM of the document's rate and channels.
    KvWaveFormat Pcm16Of() const
    {
        const KvWaveFormat* w = doc.format.Record();
        return Pcm(w->nChannels, w->nSamplesPerSec, 16);
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
};

const char* const CODECS[] = {"alaw", "ulaw", "gsm", "ima", "ms"};

TEST_F(AcmTest, CompressedFilesOpenAsTheyAreAndSaveBackUnchanged)
{
    std::string out = Fixture("saved_back.wav");
    for (const char* name : CODECS) {
        SCOPED_TRACE(name);
        Bytes file = wave::ReadFile(Fixture(std::string(name) + ".wav"));
        std::map<std::string, Bytes> original = Chunks(file);
        ASSERT_EQ(0, Open(std::string(name) + ".wav"));
        KvWaveFormat fileFormat;
        std::memcpy(&fileFormat, original["fmt "].data(), sizeof fileFormat);
        EXPECT_EQ(fileFormat.wFormatTag, doc.format.Record()->wFormatTag);
        int32_t blocks = int32_t(original["data"].size() / fileFormat.nBlockAlign);
        EXPECT_EQ(blocks, doc.length);

        ASSERT_EQ(0, SaveWave(out.c_str(), WAVE_WRITE_FILE, nullptr));
        Bytes saved = wave::ReadFile(out);
        std::map<std::string, Bytes> again = Chunks(saved);
        EXPECT_EQ(original["fmt "], again["fmt "]);
        EXPECT_EQ(original["fact"], again["fact"]);
        Bytes wholeBlocks(original["data"].begin(), original["data"].begin() + blocks * fileFormat.nBlockAlign);
        EXPECT_EQ(wholeBlocks, again["data"]);
        // SoX counts a pad byte into an odd GSM "data" chunk; the others
        // come back byte for byte.
        if (std::string(name) != "gsm")
            EXPECT_EQ(file, saved);
    }
    DeleteFileA(out.c_str());

    ASSERT_EQ(0, Open("ima.wav"));
    EXPECT_STREQ("IMA ADPCM", doc.format.GetTypeName());
    ASSERT_EQ(0, Open("gsm.wav"));
    EXPECT_STREQ("GSM 6.10", doc.format.GetTypeName());
}

TEST_F(AcmTest, CompressedFilesDecodeAsSoxDecodesThem)
{
    for (const char* name : CODECS) {
        SCOPED_TRACE(name);
        std::map<std::string, Bytes> chunks = Chunks(wave::ReadFile(Fixture(std::string(name) + ".wav")));
        ASSERT_EQ(0, Open(std::string(name) + ".wav"));
        KvWaveFormat pcm = Pcm16Of();
        ASSERT_EQ(0, ConvertFormat(&pcm));
        // Exactly the samples of "fact"; SoX decodes whole blocks.
        int32_t samples = int32_t(U32(chunks["fact"]));
        ASSERT_EQ(samples, doc.length);
        std::vector<int> ours = DocSamples();
        std::vector<int> sox = SoxDecode(name);
        ASSERT_GE(sox.size(), ours.size());
        sox.resize(ours.size());
        if (std::string(name) != "ms") {
            EXPECT_EQ(sox, ours);
            continue;
        }
        int worst = 0;
        for (size_t i = 0; i < ours.size(); i++)
            worst = std::max(worst, std::abs(ours[i] - sox[i]));
        EXPECT_LE(worst, 64);
    }
}

TEST_F(AcmTest, ImaStereoBecomesEightBitMonoAtHalfTheRateInTwoSteps)
{
    ASSERT_EQ(0, Open("ima.wav"));
    int32_t samples = int32_t(U32(Chunks(wave::ReadFile(Fixture("ima.wav")))["fact"]));
    KvWaveFormat target = Pcm(1, 11025, 8);
    ASSERT_EQ(0, ConvertFormat(&target));
    std::vector<int> sox = SoxDecode("ima");
    Bytes expected;
    for (int32_t i = 0; i < samples; i += 2)
        expected.push_back(uint8_t(((sox[2 * i] >> 8) + 128) & 0xFF));
    EXPECT_EQ(expected, DocBytes());
}

TEST_F(AcmTest, PcmThroughImaAdpcmAndBackKeepsItsLengthAndItsSound)
{
    KvWaveFormat pcm = Pcm(1, 22050, 16);
    ASSERT_EQ(0, NewDocument(&pcm));
    const int32_t n = 30011;
    Bytes original;
    for (int32_t i = 0; i < n; i++)
        wave::Put16(original, uint32_t(uint16_t(int16_t(12000 * std::sin(i * 0.031) + 6000 * std::sin(i * 0.17)))));
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
    std::vector<int> before = S16(original.data(), original.size());
    std::vector<int> after = DocSamples();
    double signal = 0, noise = 0;
    for (int32_t i = 0; i < n; i++) {
        signal += double(before[i]) * before[i];
        noise += double(before[i] - after[i]) * (before[i] - after[i]);
    }
    EXPECT_GE(10 * std::log10(signal / noise), 25.0);

    // Both conversions undone: the very first bytes again.
    ASSERT_EQ(0, ActUndo());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocBytes());
}

TEST_F(AcmTest, WidePcmFloatAndExtensibleFilesBecomeSixteenBit)
{
    // Float and extensible files open as documents of their own format.
    for (const char* name : {"w24", "w32", "f32"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(0, Open(std::string(name) + ".wav"));
        KvWaveFormat pcm = Pcm16Of();
        ASSERT_EQ(0, ConvertFormat(&pcm));
        std::vector<int> ours = DocSamples();
        std::vector<int> sox = SoxDecode(name);
        ASSERT_EQ(sox.size(), ours.size());
        int worst = 0;
        for (size_t i = 0; i < ours.size(); i++)
            worst = std::max(worst, std::abs(ours[i] - sox[i]));
        EXPECT_LE(worst, 1);
    }

    // 24-bit PCM with the plain tag goes through the converter directly.
    std::map<std::string, Bytes> chunks = Chunks(wave::ReadFile(Fixture("p24.wav")));
    KvWaveFormat pcm = Pcm(2, 22050, 16);
    ASSERT_EQ(0, NewDocument(&pcm));
    TheSelection().editMode = EDIT_APPEND;
    auto* p24 = reinterpret_cast<const KvWaveFormat*>(chunks["fmt "].data());
    ASSERT_EQ(0, OpenConverter(p24, nullptr, 0));
    const Bytes& data = chunks["data"];
    ASSERT_EQ(0, ConvertChunk(data.data(), int32_t(data.size() / 6)));
    CloseConverter();
    std::vector<int> ours = DocSamples();
    std::vector<int> sox = SoxDecode("p24");
    ASSERT_EQ(sox.size(), ours.size());
    for (size_t i = 0; i < ours.size(); i++)
        ASSERT_LE(std::abs(ours[i] - sox[i]), 1) << i;
}

TEST_F(AcmTest, TheChooserCancelledChangesNothing)
{
    KvWaveFormat pcm = Pcm(1, 11025, 8);
    ASSERT_EQ(0, NewDocument(&pcm));
    TheAppOptions().useAcm = 1;
    // The chooser is modal: another thread presses Cancel once it shows.
    std::thread cancel([] {
        for (int i = 0; i < 200; i++) {
            HWND box = FindWindowA(nullptr, "Sound Selection");
            if (box) {
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
