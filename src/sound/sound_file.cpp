#include "sound/sound_file.h"

#include "base/error_message.h"
#include "base/file_names.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "base/update_views.h"
#include "sound/raw_data.h"
#include "sound/wave_file.h"

namespace {

int ReadMp3(CMMFile&, int)
{
    // MP3 files are recognised by name only to be refused.
    return ERR_NOT_SOUND_FILE;
}

struct FileType {
    int extensionId;
    int (*read)(CMMFile& file, int mode);
    bool probed;        // tried when the extension does not decide
};

// In probing order. Headerless RAW has no signature to probe for.
const FileType fileTypes[] = {
    {STR_EXT_WAV, ReadWave, true},
    {STR_EXT_AIF, ReadAiff, true},
    {STR_EXT_VOC, ReadVoc, true},
    {STR_EXT_AU, ReadAu, true},
    {STR_EXT_MP3, ReadMp3, true},
    {STR_EXT_RAW, ReadRaw, false},
};

}

int ReadSoundFile(CMMFile& file, int mode)
{
    UpdateViews(UpdTitle);
    const char* name = file.Name();
    int dot = FindExtension(name);
    if (dot >= 0) {
        for (const FileType& type : fileTypes) {
            if (CGString::CompareNoCase(name + dot, LoadAppString(type.extensionId)) == 0) {
                int rc = type.read(file, mode);
                if (rc != ERR_NOT_SOUND_FILE)
                    return rc;
                break;
            }
        }
    }
    int rc = ERR_NOT_SOUND_FILE;
    for (const FileType& type : fileTypes) {
        if (!type.probed)
            continue;
        file.Seek(0, SEEK_ORIGIN_SET);
        rc = type.read(file, mode);
        if (rc != ERR_NOT_SOUND_FILE)
            break;
    }
    return rc;
}
