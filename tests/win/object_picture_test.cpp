// The sound's picture drawn into memory bitmaps: the icon at the top-left,
// the text below it only when the flags ask, the metafile picture played
// back, and the default icon found beside the program, in a WAVE file of
// that name, or built in.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/object_picture_win.h"
#include "base/app.h"
#include "resource.h"
#include "support/core_state.h"
#include "support/dib_builder.h"
#include "support/win_pixels.h"

namespace {

const uint32_t RED = 0xFF0000, BLUE = 0x0000FF, WHITE = 0xFFFFFF;

// A white 32-bit surface of w × h that `draw` paints on; its pixels as 0xRRGGBB.
struct Surface {
    Surface(int w, int h, const std::function<void(HDC)>& draw)
        : width(w), height(h), pixels(paint::Pixels(w, h, draw, WHITE))
    {
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x] & 0xFFFFFF; }
    // Pixels of the rectangle that are not white.
    int Inked(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; y++)
            for (int x = left; x < right; x++)
                n += At(x, y) != WHITE;
        return n;
    }
    int width, height;
    std::vector<uint32_t> pixels;
};

class ObjectPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "kelvora_picture_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        TheApp().programPath = (folder + "\\KELVORA.EXE").c_str();
        TheApp().instance = GetModuleHandleA(nullptr);
        options.icon = dib::Packed(8, 6, RED);
        options.label = "Bell";
        options.flags = OBJ_DEFAULT_FLAGS;
    }
    void TearDown() override
    {
        DeleteFileA(DefaultFile().c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string DefaultFile() const { return folder + "\\KELVORA.BMP"; }

    std::string folder;
    ObjectOptions options;
};

TEST_F(ObjectPictureTest, TheIconIsAtTheTopLeftAndTheTextBelowItOnlyWhenAskedFor)
{
    for (uint32_t flags : {uint32_t(OBJ_DEFAULT_FLAGS), uint32_t(OBJ_SHOW_TIME), uint32_t(OBJ_STORE_ICON)}) {
        SCOPED_TRACE(flags);
        options.flags = flags;
        SIZE size = ObjectPictureSize(options);
        Surface s(200, 60, [&](HDC dc) { EXPECT_TRUE(DrawObjectPicture(options, dc, nullptr)); });
        EXPECT_EQ(8 * 6, s.Inked(0, 0, 8, 6));
        EXPECT_EQ(RED, s.At(7, 5));
        EXPECT_EQ(0, s.Inked(8, 0, 200, 6)) << "nothing beside the icon";
        bool text = flags != OBJ_STORE_ICON;
        EXPECT_EQ(text, s.Inked(0, 6, size.cx, size.cy) > 0);
        EXPECT_EQ(0, s.Inked(0, size.cy, 200, 60)) << "nothing below the picture";
        EXPECT_EQ(text, size.cx > 20 && size.cy > 6);
        if (!text) {
            EXPECT_EQ(std::make_pair(8L, 6L), std::make_pair(size.cx, size.cy));
        }
    }
}

TEST_F(ObjectPictureTest, TheMetafilePicturePlaysBackThePictureAtItsSize)
{
    SIZE size = ObjectPictureSize(options);
    HGLOBAL block = MakeMetafilePicture(options);
    ASSERT_NE(nullptr, block);
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block));
    EXPECT_EQ(MM_ANISOTROPIC, picture->mm);
    EXPECT_EQ(size.cx * 22, picture->xExt);
    EXPECT_EQ(size.cy * 22, picture->yExt);
    Surface s(200, 60, [&](HDC dc) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetViewportExtEx(dc, size.cx, size.cy, nullptr);
        EXPECT_TRUE(PlayMetaFile(dc, picture->hMF));
    });
    GlobalUnlock(block);
    FreeMetafilePicture(block);
    EXPECT_EQ(RED, s.At(0, 0));
    EXPECT_EQ(RED, s.At(7, 5));
    EXPECT_GT(s.Inked(0, 6, size.cx, size.cy), 0);
}

TEST_F(ObjectPictureTest, TheDefaultIconIsTheBitmapBesideTheProgramElseItsWaveElseTheBuiltInOne)
{
    options.icon.clear();
    CImageBitmap icon;
    ASSERT_TRUE(LoadDefaultIcon(icon));
    EXPECT_EQ(std::make_pair(32, 32), std::make_pair(icon.width, icon.height)) << "built in";

    const dib::Bytes blue = dib::Packed(5, 4, BLUE);
    ASSERT_TRUE(wave::WriteFile(DefaultFile(), dib::Bmp(blue)));
    ASSERT_TRUE(LoadDefaultIcon(icon));
    EXPECT_EQ(std::make_pair(5, 4), std::make_pair(icon.width, icon.height));
    Surface s(40, 40, [&](HDC dc) { DrawObjectPicture(options, dc, nullptr); });
    EXPECT_EQ(BLUE, s.At(4, 3));

    dib::Bytes disp;
    wave::Put32(disp, 8);
    disp.insert(disp.end(), blue.begin(), blue.end());
    ASSERT_TRUE(wave::WriteFile(DefaultFile(), wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 8000, 8)),
        wave::Chunk("DISP", disp), wave::Chunk("data", dib::Bytes(4, 0x80))})));
    ASSERT_TRUE(LoadDefaultIcon(icon));
    EXPECT_EQ(std::make_pair(5, 4), std::make_pair(icon.width, icon.height)) << "from the WAVE file";
}

}
