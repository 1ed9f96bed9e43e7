// Builds RIFF WAVE bytes in code for the tests: chunks in any order, any
// sizes (also lying ones), written to memory or to a file; and reads the
// chunks and 16-bit samples of such bytes back.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace wave {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

inline void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A chunk with its real size (or the size given) and the pad byte after an
// odd body.
inline Bytes Chunk(const char* id, const Bytes& body, int64_t claimedSize = -1)
{
    Bytes b(id, id + 4);
    Put32(b, claimedSize >= 0 ? uint32_t(claimedSize) : uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

inline Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int extraBytes = -1)
{
    uint16_t align = uint16_t(channels * ((bits + 7) / 8));
    Bytes b;
    Put16(b, tag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * align);
    Put16(b, align);
    Put16(b, bits);
    if (extraBytes >= 0) {
        Put16(b, uint32_t(extraBytes));
        b.resize(b.size() + size_t(extraBytes), 0x5A);
    }
    return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks, const char* form = "WAVE")
{
    Bytes body(form, form + 4);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body);
}

// A plain PCM file of the given sample bytes.
inline Bytes Pcm(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data)
{
    return Riff({Chunk("fmt ", Fmt(1, channels, rate, bits)), Chunk("data", data)});
}

// Little-endian 16-bit samples, and back.
inline Bytes S16(const std::vector<int>& values)
{
    Bytes b;
    for (int v : values)
        Put16(b, uint16_t(int16_t(v)));
    return b;
}

inline std::vector<int> FromS16(const Bytes& b)
{
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        v.push_back(int16_t(uint16_t(b[i] | b[i + 1] << 8)));
    return v;
}

inline uint32_t Get32(const Bytes& b, size_t at = 0)
{
    return b.size() < at + 4 ? 0 : b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// The bodies of a RIFF file's top-level chunks by id (the first of each),
// cut at the file's end.
inline std::map<std::string, Bytes> Chunks(const Bytes& file)
{
    std::map<std::string, Bytes> chunks;
    for (size_t pos = 12; pos + 8 <= file.size();) {
        uint32_t size = Get32(file, pos + 4);
        size_t end = std::min<size_t>(file.size(), pos + 8 + size);
        std::string id(file.begin() + pos, file.begin() + pos + 4);
        chunks.emplace(id, Bytes(file.begin() + pos + 8, file.begin() + end));
        pos = end + (size & 1);
    }
    return chunks;
}

inline bool WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline Bytes ReadFile(const std::string& path)
{
    Bytes b;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return b;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    return b;
}

}
