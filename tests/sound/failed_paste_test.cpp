// Pasting a file through every reader in every edit mode: a paste that fails
// (no way to convert, no memory, cancelled, damaged data) leaves the sound,
// the selection, the change count and both histories exactly as they were;
// one that succeeds over a longer selection is two undo steps that give the
// same state back. A file too long for memory opens nothing.
#include "edit/undo_history.h"
#include "support/foreign_builder.h"
#include "support/reader_fixture.h"

namespace {

// A 16-bit mono 8000 Hz sound is pasted into; the files hold 3 s of 8000 Hz
// sound, more than one chunk (2 s), so that a cancel comes after the first.
const KvWaveFormat PCM16 = PcmFormat(1, 16, 8000);
const KvWaveFormat PCM24 = {WAVE_TAG_PCM, 1, 8000, 24000, 3, 24, 0};
const int32_t OLD_BLOCKS = 40000;
const int32_t SOUND_BLOCKS = 24000;
const int32_t SEL_START = 5000;
const int32_t SEL_LENGTH = 30000;       // longer than the sound: cut to it first
const size_t MISSING_BYTES = 4000;      // a damaged file lacks its end

Bytes Voc(const Bytes& unsigned8)
{
    const char* id = "Creative Voice File\x1A";
    Bytes b(id, id + 20);
    wave::Put16(b, 26);
    wave::Put16(b, 0x010A);
    wave::Put16(b, 0x1129);
    uint32_t length = uint32_t(unsigned8.size()) + 2;
    // A sound block at time constant 131 (8000 Hz), then the terminator.
    b.insert(b.end(), {1, uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), 131, 0});
    b.insert(b.end(), unsigned8.begin(), unsigned8.end());
    b.push_back(0);
    return b;
}

Bytes FakeCodecWave()
{
    FakeCodecFormat codec = MakeFakeCodec(1, 8000, 256);
    return wave::Riff({Chunk("fmt ", RecordBytes(&codec, sizeof codec)), Chunk("data", Pattern(47 * 512))});
}

enum Failure { NONE, CANT_CONVERT, NO_MEMORY, CANCEL, DAMAGED };

struct Paste {
    const char* name;           // its extension picks the reader
    Bytes file;
    KvWaveFormat into;          // the sound's format
};

// The paste through a reader that fails in that way; an empty file where
// the reader cannot fail so (RAW has no header to damage and never
// converts).
Paste Make(const char* name, Failure failure)
{
    Bytes s8 = Pattern(SOUND_BLOCKS, 3), s16 = Pattern(SOUND_BLOCKS * 2, 5);
    std::string ext = name;
    Paste p{name, {}, PCM16};
    if (ext == "in.wav")
        p.file = failure == CANT_CONVERT ? FakeCodecWave() : wave::Pcm(1, 8000, 16, s16);
    else if (ext == "in.aif")
        p.file = foreign::Aiff({foreign::Comm(1, uint32_t(s8.size()), 8, 8000), foreign::Ssnd(s8)});
    else if (ext == "in.au")
        p.file = foreign::Au(failure == CANT_CONVERT ? 1 : 2, 1, 8000, s8);
    else if (ext == "in.voc")
        p.file = Voc(s8);
    else if (failure != CANT_CONVERT && failure != DAMAGED)
        p.file = s16;
    // Linear 8-bit sound reaches every document the built-in converter
    // writes; 24-bit sound it does not write.
    if (failure == CANT_CONVERT && (ext == "in.aif" || ext == "in.voc"))
        p.into = PCM24;
    if (failure == DAMAGED && !p.file.empty())
        p.file.resize(p.file.size() - MISSING_BYTES);
    return p;
}

const char* const NAMES[] = {"in.wav", "in.aif", "in.au", "in.voc", "in.raw"};

// The test host, telling the memory the system can still give.
class MemoryHost : public TestHost {
public:
    uint64_t AvailableMemory() const override { return available; }
    uint64_t available = UINT64_MAX;
};

std::vector<const CKV_ACTSTORE*> Records(const CKV_ACTLIST& history)
{
    std::vector<const CKV_ACTSTORE*> records;
    for (const CGObListRec* r = history.Head(); r; r = r->Next())
        records.push_back(static_cast<const CKV_ACTSTORE*>(r));
    return records;
}

struct DocumentState {
    Bytes bytes;
    int32_t selStart, selLength, playPos, changeCount;
    std::vector<const CKV_ACTSTORE*> undo, redo;
};

DocumentState State()
{
    const Selection& sel = TheSelection();
    return {DocumentBytes(), sel.selStart, sel.selLength, sel.playPos, TheDocument().changeCount,
            Records(TheUndoHistory()), Records(TheRedoHistory())};
}

void ExpectSameSound(const DocumentState& before, const DocumentState& after)
{
    EXPECT_EQ(before.bytes.size(), after.bytes.size());
    EXPECT_TRUE(before.bytes == after.bytes) << "the samples changed";
    EXPECT_EQ(before.selStart, after.selStart);
    EXPECT_EQ(before.selLength, after.selLength);
    EXPECT_EQ(before.playPos, after.playPos);
}

class FailedPasteTest : public ReaderTest {
protected:
    // A sound of `format` with a step in each history and the selection the
    // edit mode needs.
    void Prepare(const KvWaveFormat& format, int mode)
    {
        NewSound(format, Pattern(size_t(OLD_BLOCKS) * format.nBlockAlign, 7));
        SetSelection(1, 2, ORIGIN_COMMAND);
        SetSelection(3, 4, ORIGIN_COMMAND);
        ASSERT_EQ(0, ActUndo());
        SetSelection(SEL_START, mode == EDIT_INSERT ? 0 : SEL_LENGTH, ORIGIN_PROGRAM);
        TheDocument().changeCount = 7;
        TheAppOptions().mixOld = mode == EDIT_MIX ? 50 : 0;
        TheAppOptions().mixNew = mode == EDIT_MIX ? 50 : 100;
    }

    MemoryHost system;          // installed over the fixture's host
};

TEST_F(FailedPasteTest, AFailedPasteChangesNothingAndASuccessfulOneUndoesToTheSameState)
{
    const struct { Failure failure; int rc; } kinds[] = {
        {NONE, 0}, {CANT_CONVERT, ERR_CANT_CONVERT}, {NO_MEMORY, ERR_NO_MEMORY}, {CANCEL, -1},
        {DAMAGED, ERR_FILE_SHORT},
    };
    for (const auto& kind : kinds) {
        for (const char* name : NAMES) {
            Paste paste = Make(name, kind.failure);
            if (paste.file.empty())
                continue;
            for (int mode : {EDIT_INSERT, EDIT_REPLACE, EDIT_MIX}) {
                // Only editable PCM is mixed.
                if (mode == EDIT_MIX && paste.into.wBitsPerSample > 16)
                    continue;
                SCOPED_TRACE(testing::Message() << name << " failure " << kind.failure << " mode " << mode);
                ASSERT_NO_FATAL_FAILURE(Prepare(paste.into, mode));
                system.available = kind.failure == NO_MEMORY ? 100 : UINT64_MAX;
                system.cancelAt = kind.failure == CANCEL ? 1 : -1;
                DocumentState before = State();

                EXPECT_EQ(kind.rc, Read(paste.file, READ_PASTE, name));
                EXPECT_FALSE(ActIsBusy());
                DocumentState after = State();
                if (kind.failure == CANCEL)
                    EXPECT_TRUE(system.cancelPressed);
                if (kind.failure != NONE) {
                    ExpectSameSound(before, after);
                    EXPECT_EQ(before.changeCount, after.changeCount);
                    EXPECT_EQ(before.undo, after.undo);
                    EXPECT_EQ(before.redo, after.redo);
                    continue;
                }
                // The selection cut to the sound's length is a step of its own.
                size_t steps = mode == EDIT_INSERT ? 1 : 2;
                EXPECT_EQ(mode, TheSelection().editMode);
                EXPECT_FALSE(before.bytes == after.bytes);
                EXPECT_EQ(before.changeCount + 1, after.changeCount);
                ASSERT_EQ(before.undo.size() + steps, after.undo.size());
                EXPECT_EQ(ACTION_PASTE, int(after.undo[0]->action));
                for (size_t i = 0; i < steps; i++)
                    ASSERT_EQ(0, ActUndo());
                after = State();
                ExpectSameSound(before, after);
                EXPECT_EQ(before.changeCount, after.changeCount);
            }
        }
    }
}

TEST_F(FailedPasteTest, AFileTooLongForMemoryOpensNothing)
{
    for (const char* name : NAMES) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(Prepare(PCM16, EDIT_REPLACE));
        TheDocument().SetFileName("old.wav");
        system.historyDiscards = 0;
        system.available = 1000;                // less than any of the sounds takes
        DocumentState before = State();

        EXPECT_EQ(ERR_NO_MEMORY, Read(Make(name, NONE).file, READ_OPEN, name));
        DocumentState after = State();
        ExpectSameSound(before, after);
        EXPECT_EQ(before.undo, after.undo);
        EXPECT_EQ(before.redo, after.redo);
        EXPECT_EQ(0, system.historyDiscards);
        EXPECT_STREQ("old.wav", TheDocument().Name());
        EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
    }
}

}
