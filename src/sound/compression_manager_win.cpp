#include "sound/compression_manager_win.h"

#include <windows.h>
#include <mmreg.h>
// The build defines UNICODE (to 0), on which msacm.h defines _UNICODE with a
// warning; only the manager's explicit ANSI entry points are used here.
#ifndef _UNICODE
#define _UNICODE
#endif
#include <msacm.h>

#include <cstring>
#include <memory>
#include <new>

#include "sound/wave_format.h"

namespace {

// The manager reads a whole WAVEFORMATEX even for PCM, whose record has no
// cbSize: every record is handed over in a block of at least 18 bytes with
// a PCM cbSize of 0.
class WaveFormatEx {
public:
    explicit WaveFormatEx(const KvWaveFormat* record)
    {
        if (record == nullptr)
            return;
        uint32_t size = record->wFormatTag == WAVE_TAG_PCM ? sizeof(KvWaveFormat)
                                                            : sizeof(KvWaveFormat) + record->cbSize;
        block.reset(new (std::nothrow) uint8_t[size]());
        if (!block)
            return;
        std::memcpy(block.get(), record, record->wFormatTag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : size);
    }
    WAVEFORMATEX* Get() const { return reinterpret_cast<WAVEFORMATEX*>(block.get()); }

private:
    std::unique_ptr<uint8_t[]> block;
};

HACMSTREAM Handle(CompressionStream stream)
{
    return static_cast<HACMSTREAM>(stream);
}

class SystemCompressionManager : public CompressionManager {
public:
    uint32_t Version() const override { return acmGetVersion(); }

    bool GetTagName(uint16_t tag, char* name, int size) override
    {
        if (name == nullptr || size < 1)
            return false;
        ACMFORMATTAGDETAILSA details = {};
        details.cbStruct = sizeof details;
        details.dwFormatTag = tag;
        if (acmFormatTagDetailsA(nullptr, &details, ACM_FORMATTAGDETAILSF_FORMATTAG) != 0)
            return false;
        lstrcpynA(name, details.szFormatTag, size);
        return true;
    }

    int OpenStream(const KvWaveFormat* source, const KvWaveFormat* destination, CompressionStream* stream) override
    {
        *stream = nullptr;
        WaveFormatEx from(source), to(destination);
        if (!from.Get() || !to.Get())
            return MMSYSERR_NOMEM;
        HACMSTREAM handle = nullptr;
        MMRESULT rc = acmStreamOpen(&handle, nullptr, from.Get(), to.Get(), nullptr, 0, 0,
                                    ACM_STREAMOPENF_NONREALTIME);
        if (rc != 0)
            return static_cast<int>(rc);
        *stream = handle;
        return 0;
    }

    int StreamSize(CompressionStream stream, uint32_t sourceBytes, uint32_t* destinationBytes) override
    {
        DWORD size = 0;
        MMRESULT rc = acmStreamSize(Handle(stream), sourceBytes, &size, ACM_STREAMSIZEF_SOURCE);
        *destinationBytes = rc == 0 ? size : 0;
        return static_cast<int>(rc);
    }

    int ConvertStream(CompressionStream stream, StreamConversion& c, uint32_t flags) override
    {
        ACMSTREAMHEADER header = {};
        header.cbStruct = sizeof header;
        header.pbSrc = const_cast<LPBYTE>(c.source);
        header.cbSrcLength = c.sourceBytes;
        header.pbDst = c.destination;
        header.cbDstLength = c.destinationBytes;
        MMRESULT rc = acmStreamPrepareHeader(Handle(stream), &header, 0);
        if (rc == 0)
            rc = acmStreamConvert(Handle(stream), &header, ACM_STREAMCONVERTF_BLOCKALIGN | flags);
        c.sourceUsed = header.cbSrcLengthUsed;
        c.destinationUsed = header.cbDstLengthUsed;
        if (header.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
            // Unprepare wants the lengths it prepared.
            header.cbSrcLength = c.sourceBytes;
            header.cbDstLength = c.destinationBytes;
            acmStreamUnprepareHeader(Handle(stream), &header, 0);
        }
        return static_cast<int>(rc);
    }

    void ResetStream(CompressionStream stream) override { acmStreamReset(Handle(stream), 0); }
    void CloseStream(CompressionStream stream) override { acmStreamClose(Handle(stream), 0); }

    uint32_t MaxFormatSize() override
    {
        DWORD size = 0;
        return acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &size) == 0 ? size : 0;
    }

    int ChooseFormat(FormatChoice& choice) override
    {
        WaveFormatEx restriction(choice.convertibleFrom);
        if (choice.convertibleFrom && !restriction.Get())
            return MMSYSERR_NOMEM;
        ACMFORMATCHOOSEA chooser = {};
        chooser.cbStruct = sizeof chooser;
        chooser.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT | ACMFORMATCHOOSE_STYLEF_SHOWHELP;
        chooser.hwndOwner = static_cast<HWND>(choice.owner);
        chooser.pwfx = reinterpret_cast<WAVEFORMATEX*>(choice.format);
        chooser.cbwfx = choice.size;
        chooser.pszTitle = choice.title;
        chooser.pszName = choice.name;
        chooser.cchName = choice.name ? static_cast<DWORD>(choice.nameSize) : 0;
        if (restriction.Get()) {
            chooser.fdwEnum = ACM_FORMATENUMF_CONVERT;
            chooser.pwfxEnum = restriction.Get();
        }
        return static_cast<int>(acmFormatChooseA(&chooser));
    }
};

}

CompressionManager& TheSystemCompressionManager()
{
    static SystemCompressionManager manager;
    return manager;
}
