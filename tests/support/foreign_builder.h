// Builds Sun/NeXT AU and AIFF/AIFC bytes in code for the tests: big-endian
// headers and chunks with their real sizes or lying ones.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace foreign {

using Bytes = std::vector<uint8_t>;

inline void PutBE(Bytes& b, uint32_t v, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        b.push_back(uint8_t(v >> shift));
}

// An AU file; the annotation up to `offset` is filler, the data size the
// real one unless claimed (~0: unknown).
inline Bytes Au(uint32_t encoding, uint32_t channels, uint32_t rate, const Bytes& data, uint32_t offset = 24,
    int64_t claimedSize = -1)
{
    Bytes b = {'.', 's', 'n', 'd'};
    for (uint32_t v : {offset, claimedSize >= 0 ? uint32_t(claimedSize) : uint32_t(data.size()), encoding, rate,
             channels})
        PutBE(b, v, 4);
    if (offset > 24)
        b.resize(offset, 'x');
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

inline Bytes IffChunk(const char* id, const Bytes& body, int64_t claimed = -1)
{
    Bytes b(id, id + 4);
    PutBE(b, claimed >= 0 ? uint32_t(claimed) : uint32_t(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

// The rate as an 80-bit IEEE extended number.
inline Bytes Comm(int channels, uint32_t frames, int sampleSize, double rate, const char* compression = nullptr)
{
    Bytes b;
    PutBE(b, uint16_t(channels), 2);
    PutBE(b, frames, 4);
    PutBE(b, uint16_t(sampleSize), 2);
    int exp = 0;
    uint64_t mantissa = uint64_t(std::ldexp(std::frexp(std::fabs(rate), &exp), 64));
    PutBE(b, (rate < 0 ? 0x8000 : 0) | (rate != 0 ? 16383 + exp - 1 : 0), 2);
    PutBE(b, uint32_t(mantissa >> 32), 4);
    PutBE(b, uint32_t(mantissa), 4);
    if (compression)
        b.insert(b.end(), compression, compression + 4);
    return IffChunk("COMM", b);
}

inline Bytes Ssnd(const Bytes& frames, int64_t claimed = -1)
{
    Bytes b(8, 0);
    b.insert(b.end(), frames.begin(), frames.end());
    return IffChunk("SSND", b, claimed);
}

// The FORM chunk around the chunks.
inline Bytes Aiff(const std::vector<Bytes>& chunks, const char* type = "AIFF", int64_t claimed = -1)
{
    Bytes body(type, type + 4);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return IffChunk("FORM", body, claimed);
}

}
