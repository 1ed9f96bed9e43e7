// libFuzzer target over the WAVE reader: every input is read as a memory file
// in the three reader modes and, for the open mode, as a disk file too.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/builtin_strings.h"
#include "edit/actions.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "sound/object_options.h"
#include "sound/wave_file.h"

namespace {

void Put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v)
{
    Put16(b, uint16_t(v));
    Put16(b, uint16_t(v >> 16));
}

void PutChunk(std::vector<uint8_t>& b, const char* id, const std::vector<uint8_t>& body)
{
    b.insert(b.end(), id, id + 4);
    Put32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
}

std::vector<uint8_t> Wave(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
    uint16_t align, uint32_t dataBytes, bool extras)
{
    std::vector<uint8_t> fmt;
    Put16(fmt, tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    Put32(fmt, rate * align);
    Put16(fmt, align);
    Put16(fmt, bits);
    if (tag != 1)
        Put16(fmt, 0);
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    PutChunk(body, "fmt ", fmt);
    if (extras) {
        std::vector<uint8_t> info = {'I', 'N', 'F', 'O'};
        PutChunk(info, "ISBJ", {'h', 'i', 0});
        std::string date = "2026-12-06 10:11:12 0";
        PutChunk(info, "ICRD", std::vector<uint8_t>(date.begin(), date.end() + 1));
        PutChunk(info, "odsp", {17, 0, 0, 0});
        PutChunk(body, "LIST", info);
        std::vector<uint8_t> disp;
        Put32(disp, 8);
        disp.resize(disp.size() + 48, 1);
        PutChunk(body, "DISP", disp);
    }
    std::vector<uint8_t> data(dataBytes);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(i * 7);
    PutChunk(body, "data", data);
    std::vector<uint8_t> file;
    PutChunk(file, "RIFF", body);
    return file;
}

void WriteSeeds(const std::string& dir)
{
    const std::vector<std::vector<uint8_t>> seeds = {
        Wave(1, 1, 11025, 8, 1, 301, false),
        Wave(1, 2, 44100, 16, 4, 400, true),
        Wave(1, 1, 22050, 16, 2, 33, false),
        Wave(0x11, 1, 22050, 4, 512, 1024, true),
    };
    for (size_t i = 0; i < seeds.size(); i++) {
        std::string path = dir + "/seed" + std::to_string(i) + ".wav";
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(seeds[i].data(), 1, seeds[i].size(), f);
            std::fclose(f);
        }
    }
}

std::string diskPath;

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    LoadBuiltInStrings();
    // An empty corpus folder given on the command line gets the seeds.
    for (int i = 1; i < *argc; i++) {
        std::error_code ec;
        const char* arg = (*argv)[i];
        if (arg[0] != '-' && std::filesystem::is_directory(arg, ec)
            && std::filesystem::is_empty(arg, ec))
            WriteSeeds(arg);
    }
    diskPath = (std::filesystem::temp_directory_path() / "kelvora_fuzz_input.wav").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    CKV_Document& doc = TheDocument();
    for (int mode : {READ_OPEN, READ_PASTE, READ_MEASURE}) {
        NewDocument(nullptr);
        ResetUndoHistory(4);
        MemoryFileInfo memory;
        memory.data = bytes.data();
        memory.size = static_cast<uint32_t>(bytes.size());
        ResetUndoHistory(2);
        LoadWave(nullptr, mode, &memory);
        ResetUndoHistory(4);
    }
    if (FILE* f = std::fopen(diskPath.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        ResetUndoHistory(2);
        LoadWave(diskPath.c_str(), READ_OPEN, nullptr);
        ResetUndoHistory(4);
    }
    ResetObjectOptions();
    return 0;
}
