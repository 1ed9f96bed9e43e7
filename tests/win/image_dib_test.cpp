// Bitmaps through files: a DIB written and read back is the same bytes, with
// or without the file header; a bitmap saved and loaded keeps its pixels; a
// damaged file is refused and leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/image_bitmap_win.h"
#include "lib/image_dib_win.h"

namespace {

class ImageDibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "kelvora_dib_" + std::to_string(GetCurrentProcessId()) + ".bmp";
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    HANDLE Open(DWORD access, DWORD disposition)
    {
        return CreateFileA(path.c_str(), access, 0, nullptr, disposition, 0, nullptr);
    }

    // A 4-bit 35 × 7 DIB with a colour table and rows unlike each other.
    static void Fill(CImageDIB& dib)
    {
        BITMAPINFOHEADER info = {};
        info.biWidth = 35;
        info.biHeight = 7;
        info.biPlanes = 1;
        info.biBitCount = 4;
        ASSERT_TRUE(dib.Create(info));
        ASSERT_EQ(20, dib.rowBytes);
        for (int i = 0; i < 16; i++)
            dib.Colours()[i] = RGBQUAD{BYTE(i * 16), BYTE(255 - i * 16), BYTE(i * 3), 0};
        for (int i = 0; i < dib.rowBytes * dib.height; i++)
            dib.bits[i] = uint8_t(i * 37 + i / 20);
    }

    static std::vector<uint8_t> Bytes(const CImageDIB& dib)
    {
        auto* start = reinterpret_cast<const uint8_t*>(dib.header);
        return std::vector<uint8_t>(start, start + dib.Size());
    }

    std::string path;
};

TEST_F(ImageDibTest, WrittenDibReadsBackTheSameBytes)
{
    CImageDIB dib;
    Fill(dib);
    for (bool withFileHeader : {true, false}) {
        HANDLE file = Open(GENERIC_WRITE, CREATE_ALWAYS);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        ASSERT_TRUE(dib.Write(file, withFileHeader));
        CloseHandle(file);

        file = Open(GENERIC_READ, OPEN_EXISTING);
        EXPECT_EQ(dib.Size() + (withFileHeader ? 14 : 0), GetFileSize(file, nullptr));
        CImageDIB back;
        EXPECT_TRUE(back.Read(file, withFileHeader)) << withFileHeader;
        CloseHandle(file);
        EXPECT_EQ(Bytes(dib), Bytes(back));
        EXPECT_EQ(35, back.width);
        EXPECT_EQ(7, back.height);
        EXPECT_EQ(dib.bits - reinterpret_cast<uint8_t*>(dib.header),
            back.bits - reinterpret_cast<uint8_t*>(back.header));
    }
}

TEST_F(ImageDibTest, SavedBitmapLoadsWithItsPixelsAndADamagedOneIsRefused)
{
    CImageDIB dib;
    Fill(dib);
    CImageBitmap bitmap, copy, loaded;
    ASSERT_TRUE(bitmap.FromDIB(dib));
    ASSERT_TRUE(bitmap.Duplicate(copy));
    ASSERT_TRUE(copy.SaveToFile(path.c_str()));
    ASSERT_TRUE(loaded.LoadFromFile(path.c_str()));
    ASSERT_EQ(35, loaded.width);
    ASSERT_EQ(7, loaded.height);
    // Rows are stored bottom-up: row 0 of the DIB is the picture's last line.
    for (int y = 0; y < 7; y++) {
        for (int x = 0; x < 35; x++) {
            uint8_t pair = dib.bits[(6 - y) * dib.rowBytes + x / 2];
            RGBQUAD c = dib.Colours()[x % 2 ? pair & 15 : pair >> 4];
            ASSERT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue), loaded.PixelAt(x, y)) << x << "," << y;
        }
    }

    // The same file with its last row cut short is refused and leaves nothing.
    HANDLE file = Open(GENERIC_WRITE, OPEN_EXISTING);
    SetFilePointer(file, -1, nullptr, FILE_END);
    SetEndOfFile(file);
    CloseHandle(file);
    EXPECT_FALSE(loaded.LoadFromFile(path.c_str()));
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_FALSE(loaded.LoadFromFile((path + ".missing").c_str()));
    EXPECT_FALSE(loaded.Attach(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH))));
}

}
