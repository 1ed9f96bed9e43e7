#include "sound/object_icon.h"

#include "lib/dib_layout.h"
#include "sound/file.h"
#include "sound/object_options.h"

namespace {

// The clipboard format number of a device-independent bitmap, in front of
// the bitmap in a DISP chunk.
const uint32_t DISP_DIB = 8;

bool ReadBmp(CMMFile& file, std::vector<uint8_t>& icon)
{
    int64_t size = file.FileSize();
    uint16_t magic = 0;
    if (size < BMP_FILE_HEADER_SIZE || size > MAX_ICON_BYTES + BMP_FILE_HEADER_SIZE
        || file.Seek(0, SEEK_ORIGIN_SET) != 0 || file.Read(&magic, 2) != 2 || magic != BMP_MAGIC)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    return file.Seek(0, SEEK_ORIGIN_SET) == 0 && file.Read(bytes.data(), static_cast<int32_t>(size)) == size
        && TakeIconBmp(bytes.data(), bytes.size(), icon);
}

}

bool ReadDispIcon(CMMFile& file, const ChunkInfo& riff, std::vector<uint8_t>& icon)
{
    ChunkInfo disp;
    disp.ckid = MakeFourCC('D', 'I', 'S', 'P');
    uint32_t kind = 0;
    if (!file.Descend(disp, &riff, KVIO_FINDCHUNK))
        return false;
    // The chunk's size is checked against the file before anything is read.
    int64_t fileSize = file.FileSize();
    uint64_t end = uint64_t(disp.dwDataOffset) + disp.cksize;
    bool ok = disp.cksize > 4 && disp.cksize - 4 <= MAX_ICON_BYTES && fileSize >= 0 && end <= uint64_t(fileSize)
        && file.Read(&kind, 4) == 4 && kind == DISP_DIB;
    if (ok) {
        std::vector<uint8_t> bytes(disp.cksize - 4);
        ok = file.Read(bytes.data(), static_cast<int32_t>(bytes.size())) == static_cast<int32_t>(bytes.size())
            && TakeIconDib(bytes.data(), bytes.size(), icon);
    }
    file.Ascend(disp);
    return ok;
}

bool ReadIconFile(const char* name, bool lookIntoWave, std::vector<uint8_t>& icon)
{
    CMMFile file;
    if (!name || !file.Open(name, KVIO_READ | KVIO_DENYWRITE, nullptr))
        return false;
    bool loaded = ReadBmp(file, icon);
    if (!loaded && lookIntoWave && file.Seek(0, SEEK_ORIGIN_SET) == 0) {
        ChunkInfo riff;
        riff.fccType = MakeFourCC('W', 'A', 'V', 'E');
        loaded = file.Descend(riff, nullptr, KVIO_FINDRIFF) && ReadDispIcon(file, riff, icon);
    }
    file.Close();
    return loaded;
}
