// Saving through the system's file API: names in the ANSI code page save and
// read back byte for byte, and when the system will not let the old file be
// replaced, the save fails with the old file intact and nothing left beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/object_picture_win.h"
#include "base/error_message.h"
#include "edit/open_document.h"
#include "sound/file_win.h"
#include "sound/object_options.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "support/dib_builder.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

namespace {

using wave::Bytes;

// The name in the ANSI code page; empty when the code page lacks one of its
// characters.
std::string Ansi(const std::wstring& name)
{
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return {};
    std::string text(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, &text[0], n, nullptr, &lossy);
    text.resize(size_t(n - 1));
    return text;
}

Bytes Pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(seed + i * 37 + (i >> 8));
    return b;
}

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetObjectOptions();
        SetFileSystem(&TheSystemFileSystem());
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        folder = std::wstring(temp) + L"kelvora_save_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        // Enough data that the file takes many writes.
        sound = wave::Pcm(2, 22050, 16, Pattern(300000, 3));
        ASSERT_TRUE(wave::WriteFile(Ansi(folder + L"sound.wav"), sound));
        ASSERT_EQ(0, OpenDocumentFile(Ansi(folder + L"sound.wav").c_str()));
        ASSERT_TRUE(DeleteFileW((folder + L"sound.wav").c_str()));
    }

    void TearDown() override
    {
        for (const std::wstring& name : Files()) {
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).c_str());
        }
        RemoveDirectoryW(folder.c_str());
        SetFileSystem(nullptr);
    }

    // The folder's files by their UTF-16 names, so that a name the program
    // turned into other characters shows.
    std::vector<std::wstring> Files() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    int Save(const std::wstring& name) { return SaveWave(Ansi(folder + name).c_str(), WAVE_WRITE_FILE, nullptr); }

    TestHost host;
    std::wstring folder;
    Bytes sound;
};

TEST_F(SaveTest, NamesInTheAnsiCodePageSaveAndReadBackByteForByte)
{
    // In code page 1252 the euro sign and the en dash are bytes the C locale
    // reads as other characters, and so are Cyrillic letters in 1251.
    const std::wstring names[] = {L"caf\u00E9 \u2013 20\u20AC.wav", L"\u0437\u0432\u0443\u043A.wav"};
    int tried = 0;
    for (const std::wstring& name : names) {
        if (Ansi(folder + name).empty())
            continue;
        SCOPED_TRACE(Ansi(name));
        tried++;
        // The first save makes the file, the second replaces it.
        for (int round = 0; round < 2; round++) {
            ASSERT_EQ(0, Save(name));
            EXPECT_EQ(std::vector<std::wstring>{name}, Files());
            EXPECT_EQ(sound, wave::ReadFile(Ansi(folder + name)));
        }
        ASSERT_EQ(0, OpenDocumentFile(Ansi(folder + name).c_str()));
        EXPECT_EQ(0, Save(name));
        EXPECT_EQ(sound, wave::ReadFile(Ansi(folder + name)));
        DeleteFileW((folder + name).c_str());
    }
    if (tried == 0)
        GTEST_SKIP() << "code page " << GetACP() << " has none of the test names' characters";
}

TEST_F(SaveTest, ATargetTheSystemWillNotReplaceKeepsItsBytesAndNoTemporaryFileIsLeft)
{
    struct Refusal {
        const char* what;
        // Makes the target unreplaceable; the result undoes it.
        std::function<std::function<void()>(const std::wstring&)> hold;
    };
    const Refusal refusals[] = {
        {"read-only",
            [](const std::wstring& target) {
                EXPECT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
                return std::function<void()>([] {});
            }},
        {"open in another program without leave to delete it",
            [](const std::wstring& target) {
                HANDLE h = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
                EXPECT_NE(INVALID_HANDLE_VALUE, h);
                return std::function<void()>([h] { CloseHandle(h); });
            }},
    };
    const std::wstring name = Ansi(L"old \u00E9.wav").empty() ? L"old.wav" : L"old \u00E9.wav";
    const std::string documentName = TheDocument().Name();
    const Bytes old = wave::Pcm(1, 8000, 8, Pattern(1000, 9));
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        ASSERT_TRUE(wave::WriteFile(Ansi(folder + name), old));
        std::function<void()> release = refusal.hold(folder + name);
        EXPECT_EQ(ERR_CANT_SAVE, Save(name));
        release();
        EXPECT_EQ(old, wave::ReadFile(Ansi(folder + name)));
        EXPECT_EQ(std::vector<std::wstring>{name}, Files()) << "no temporary file is left";
        EXPECT_EQ(documentName, TheDocument().Name());
        SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(SaveTest, TheDescriptionAndItsIconComeBackFromTheSavedFile)
{
    ObjectOptions& o = TheObjectOptions();
    o.flags = OBJ_DESCRIPTION | OBJ_SHOW_LABEL | OBJ_STORE_ICON;
    o.label = "Gong, low";
    o.date.year = 2026;
    o.date.month = 12;
    o.date.day = 5;
    o.icon = dib::Packed(7, 5, 0x804020);
    const ObjectOptions described = o;
    ASSERT_EQ(0, Save(L"described.wav"));
    ResetObjectOptions();
    ASSERT_EQ(0, OpenDocumentFile(Ansi(folder + L"described.wav").c_str()));
    EXPECT_TRUE(SameObjectOptions(described, TheObjectOptions()));
    CImageBitmap icon;
    ASSERT_TRUE(LoadPictureIcon(TheObjectOptions(), icon));
    EXPECT_EQ(std::make_pair(7, 5), std::make_pair(icon.width, icon.height));
    EXPECT_EQ(RGB(0x80, 0x40, 0x20), icon.PixelAt(6, 4));

    // Without the description bit and the icon bit neither is written.
    o.flags = OBJ_SHOW_LABEL;
    ASSERT_EQ(0, Save(L"described.wav"));
    ASSERT_EQ(0, OpenDocumentFile(Ansi(folder + L"described.wav").c_str()));
    EXPECT_STREQ("", TheObjectOptions().label.c_str());
    EXPECT_TRUE(TheObjectOptions().icon.empty());
}

}
