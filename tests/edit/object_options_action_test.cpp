// The object options as an undoable step: only a real change is filed, undo
// and redo bring back every field, a bitmap file offered to the file
// commands becomes the icon and leaves the sound alone, icons in files are
// checked before use, and a new sound is dated by the clock.
#include "edit/object_options_action.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>

#include "app/file_commands.h"
#include "base/error_message.h"
#include "sound/object_icon.h"
#include "support/dib_builder.h"
#include "support/effect_fixture.h"

namespace {

class ObjectOptionsActionTest : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        LoadBytes(1, 8, Bytes(100, 0x40), 0, 0);
        dir = std::filesystem::temp_directory_path() / ("kv_object_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        EffectTest::TearDown();
    }
    std::string File(const char* name, const Bytes& bytes)
    {
        std::string path = (dir / name).string();
        EXPECT_TRUE(wave::WriteFile(path, bytes));
        return path;
    }
    static ObjectOptions Changed()
    {
        ObjectOptions o;
        o.flags = OBJ_SHOW_TIME | OBJ_DESCRIPTION;
        o.label = "Bells, far";
        o.date.year = 1999;
        o.date.month = 7;
        o.icon = dib::Packed(3, 2, 0x102030);
        return o;
    }
    std::filesystem::path dir;
};

TEST_F(ObjectOptionsActionTest, ARealChangeIsOneStepThatUndoAndRedoTakeBackWhole)
{
    TheObjectOptions().date.day = 17;
    const ObjectOptions before = TheObjectOptions();
    const uint32_t memory = UndoMemoryInUse();

    EXPECT_FALSE(SetObjectOptions(before));
    EXPECT_EQ(0, TheUndoHistory().Count());

    ASSERT_TRUE(SetObjectOptions(Changed()));
    EXPECT_TRUE(SameObjectOptions(Changed(), TheObjectOptions()));
    EXPECT_EQ(1, TheUndoHistory().Count());
    EXPECT_EQ(1, TheDocument().changeCount);
    EXPECT_STREQ("Object Options", ActionName(int(TheUndoHistory().Newest()->action)));

    ASSERT_EQ(0, ActUndo());
    EXPECT_TRUE(SameObjectOptions(before, TheObjectOptions()));
    EXPECT_EQ(0, TheDocument().changeCount);
    ASSERT_EQ(0, ActRedo());
    EXPECT_TRUE(SameObjectOptions(Changed(), TheObjectOptions()));
    ASSERT_EQ(0, ActUndo());
    EXPECT_TRUE(SameObjectOptions(before, TheObjectOptions()));

    // The records own their copies: gone with the histories.
    ResetActionLifecycle();
    EXPECT_EQ(memory, UndoMemoryInUse());
}

TEST_F(ObjectOptionsActionTest, ABitmapOpenedAsASoundBecomesTheIconAndLeavesTheSound)
{
    const Bytes sound = DocumentBytes();
    const Bytes icon = dib::Packed(5, 3, 0xFF0000);
    EXPECT_EQ(-1, OpenSoundFileResult(File("icon.bmp", dib::Bmp(icon)).c_str(), true, false));
    EXPECT_EQ(icon, TheObjectOptions().icon);
    EXPECT_EQ(sound, DocumentBytes());
    EXPECT_TRUE(host.errors.empty());
    ASSERT_EQ(0, ActUndo());
    EXPECT_TRUE(TheObjectOptions().icon.empty());

    // A bitmap whose header lies is no icon: it goes on to the sound readers.
    Bytes lying = dib::Bmp(icon);
    lying[22] = 200;                        // height past the rows
    EXPECT_EQ(ERR_NOT_SOUND_FILE, OpenSoundFileResult(File("lying.bmp", lying).c_str(), false, false));
    EXPECT_TRUE(TheObjectOptions().icon.empty());
    EXPECT_EQ(sound, DocumentBytes());
}

TEST_F(ObjectOptionsActionTest, IconsInWaveFilesAreTakenOnlyWhenAskedAndWhenTheyAreBitmaps)
{
    const Bytes icon = dib::Packed(4, 4, 0x00FF00);
    auto Disp = [](uint32_t kind, const Bytes& bitmap) {
        Bytes body;
        wave::Put32(body, kind);
        body.insert(body.end(), bitmap.begin(), bitmap.end());
        return wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 8000, 8)), wave::Chunk("DISP", body),
            wave::Chunk("data", Bytes(10, 0x80))});
    };
    Bytes trailing = icon;
    trailing.resize(icon.size() + 7, 0xEE);
    Bytes shortRows(icon.begin(), icon.end() - 1);
    const struct {
        const char* what;
        Bytes file;
        bool lookIntoWave;
        bool loaded;
    } cases[] = {
        {"DISP of a bitmap", Disp(8, icon), true, true},
        {"bytes after the rows are dropped", Disp(8, trailing), true, true},
        {"WAVE files not asked for", Disp(8, icon), false, false},
        {"another clipboard format", Disp(2, icon), true, false},
        {"rows cut short", Disp(8, shortRows), true, false},
        {"no DISP", wave::Pcm(1, 8000, 8, Bytes(10, 0x80)), true, false},
        {"a BMP file", dib::Bmp(icon), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes untouched = {1, 2, 3};
        Bytes loaded = untouched;
        EXPECT_EQ(c.loaded, ReadIconFile(File("icon.wav", c.file).c_str(), c.lookIntoWave, loaded));
        EXPECT_EQ(c.loaded ? icon : untouched, loaded);
    }
}

TEST_F(ObjectOptionsActionTest, ANewSoundIsDatedByTheClock)
{
    ASSERT_EQ(0, FileNew());
    const ObjectDate& d = TheObjectOptions().date;
    EXPECT_EQ(std::make_tuple(2026, 12, 5, 6, 14, 5, 9),
        std::make_tuple(int(d.year), int(d.month), int(d.day), int(d.dayOfWeek), int(d.hour), int(d.minute),
            int(d.second)));
}

}
