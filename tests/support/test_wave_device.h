// Wave devices for core tests. Buffers queued on a device opened with a
// callback wait until the test plays or records them (Complete), and come
// back to the engine only when the test delivers the messages (Deliver), as
// the frame would. Playing appends a buffer's bytes to `played`; recording
// fills a buffer from `source`. Failures are injected per call. Positions
// are reported as the platform's are: a 32-bit count that wraps, extended
// as the system's devices extend it.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "device/engine.h"
#include "device/wave_device.h"
#include "support/test_host.h"

class TestWaveDevices : public WaveDevices {
public:
    TestWaveDevices() { SetWaveDevices(this); }
    ~TestWaveDevices() override { SetWaveDevices(nullptr); }

    static KvWaveOutCaps OutCaps(const char* name, uint16_t productId, uint32_t support)
    {
        KvWaveOutCaps caps = Caps<KvWaveOutCaps>(name, productId);
        caps.dwSupport = support;
        return caps;
    }
    static KvWaveInCaps InCaps(const char* name, uint16_t productId) { return Caps<KvWaveInCaps>(name, productId); }

    struct OpenCall {
        int direction;
        int32_t id;
        uint32_t flags;
        KvWaveFormat format;
    };

    // An open device.
    struct Device {
        int direction;
        int32_t id;
        bool callback;
        std::deque<KvWaveHdr*> queue;   // buffers given and not yet finished
        uint64_t position = 0;          // bytes played or recorded since open or reset
        bool started = false;
        WrappingByteCount reported;     // the wrapping count the engine is given
    };

    // Plays or records the next `count` buffers of the engine's device
    // completely; they then wait for delivery. Returns how many there were.
    int Complete(int count = 1)
    {
        Device* d = CallbackDevice();
        int done = 0;
        for (; d && done < count && !d->queue.empty(); done++)
            Finish(*d, d->queue.front()->dwBufferLength);
        return done;
    }

    // Hands up to `limit` waiting buffers back to the engine, in order, as
    // the frame does with the device messages. Returns how many.
    int Deliver(int limit = INT_MAX)
    {
        int delivered = 0;
        while (delivered < limit && !messages.empty()) {
            auto message = messages.front();
            messages.pop_front();
            delivered++;
            if (message.first == WAVE_OUTPUT)
                OnPlayDone(message.second);
            else
                OnRecordData(message.second);
        }
        return delivered;
    }

    // Completes and delivers buffers one by one until no device with a
    // callback is open or nothing moves. Returns the buffers finished.
    int Run(int maxBuffers = 100000)
    {
        int finished = 0;
        while (finished < maxBuffers) {
            if (Deliver() > 0)
                continue;
            if (Complete(1) == 0)
                break;
            finished++;
        }
        return finished;
    }

    Device* CallbackDevice()
    {
        for (Device& d : devices) {
            if (d.callback)
                return &d;
        }
        return nullptr;
    }
    int OpenCount() const { return static_cast<int>(devices.size()); }
    size_t Queued()
    {
        Device* d = CallbackDevice();
        return d ? d->queue.size() : 0;
    }

    // The system.
    std::vector<KvWaveOutCaps> outputs;
    std::vector<KvWaveInCaps> inputs;
    KvWaveOutCaps mapperOut = OutCaps("Mapper", 99, 0);
    KvWaveInCaps mapperIn = InCaps("Mapper", 99);
    std::vector<int32_t> failingCaps;       // output ids whose capability query fails
    int32_t mapperChoice = 0;               // the device the mapper opens
    std::function<bool(int direction, const KvWaveFormat&)> accepts;   // null: every format

    // Failures.
    int openResult = 0;                     // opens with a callback
    int prepareResult = 0;
    int queueResult = 0;
    int failQueueAt = -1;                   // the n-th Queue call (from 0) answers queueResult
    int startResult = 0;
    int messageResult = 0;
    int volumeResult = 0;                   // SetVolume
    uint32_t partialBytes = 0;              // recorded into the current buffer when stopped or reset
    uint64_t positionAhead = 0;             // bytes the output position runs ahead of the buffers

    // What happened.
    std::vector<OpenCall> opens;            // every Open, queries included
    std::vector<std::string> calls;         // "Pause", "Reset", "Stop", "Start", "Close", "Message 16531"
    std::vector<std::pair<const uint8_t*, uint32_t>> queuedBuffers;    // data and length, in order
    std::vector<uint8_t> played;
    std::vector<uint8_t> source;            // what the input hears; silence (0) after its end
    size_t sourceUsed = 0;
    uint32_t volume = 0xFFFFFFFF;
    // Wine's outputs: each one opened starts at full volume, whatever an
    // output before it was set to.
    bool volumePerOutput = false;
    uint32_t rate = 0x10000;
    int queueCalls = 0;
    int maxQueued = 0;                      // most buffers ever queued at once

    uint32_t Count(int direction) override
    {
        return static_cast<uint32_t>(direction == WAVE_OUTPUT ? outputs.size() : inputs.size());
    }
    int GetOutCaps(int32_t id, KvWaveOutCaps& caps) override
    {
        for (int32_t failing : failingCaps) {
            if (failing == id)
                return DEVERR_NODRIVER;
        }
        return Lookup(outputs, mapperOut, id, caps);
    }
    int GetInCaps(int32_t id, KvWaveInCaps& caps) override { return Lookup(inputs, mapperIn, id, caps); }
    int Open(int direction, WaveHandle* handle, int32_t id, const KvWaveFormat* format, uint32_t flags) override
    {
        if (handle)
            *handle = nullptr;
        // A PCM record has no cbSize: only its first 16 bytes exist.
        KvWaveFormat copy = {};
        if (format)
            std::memcpy(&copy, format, 16);
        opens.push_back({direction, id, flags, copy});
        size_t count = direction == WAVE_OUTPUT ? outputs.size() : inputs.size();
        if (count == 0 || (id != WAVE_MAPPER_ID && (id < 0 || static_cast<size_t>(id) >= count)))
            return DEVERR_BADDEVICEID;
        if (!format || (accepts && !accepts(direction, copy)))
            return DEVERR_BADFORMAT;
        if (flags & DEV_FORMAT_QUERY)
            return DEVERR_NONE;
        bool callback = (flags & DEV_CALLBACK_WINDOW) != 0;
        if (callback && openResult != DEVERR_NONE)
            return openResult;
        if (volumePerOutput && direction == WAVE_OUTPUT)
            volume = 0xFFFFFFFF;
        devices.push_back({direction, id == WAVE_MAPPER_ID ? mapperChoice : id, callback, {}});
        *handle = &devices.back();
        return DEVERR_NONE;
    }
    int Close(int direction, WaveHandle handle) override
    {
        Device* d = Find(handle, direction);
        if (!d)
            return DEVERR_INVALHANDLE;
        if (!d->queue.empty())
            return DEVERR_STILLPLAYING;
        calls.push_back("Close");
        devices.remove_if([d](const Device& x) { return &x == d; });
        return DEVERR_NONE;
    }
    int Prepare(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        if (!Find(handle, direction))
            return DEVERR_INVALHANDLE;
        if (prepareResult != DEVERR_NONE)
            return prepareResult;
        header->dwFlags |= DEVHDR_PREPARED;
        return DEVERR_NONE;
    }
    int Unprepare(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        if (!Find(handle, direction))
            return DEVERR_INVALHANDLE;
        header->dwFlags &= ~DEVHDR_PREPARED;
        return DEVERR_NONE;
    }
    int Queue(int direction, WaveHandle handle, KvWaveHdr* header) override
    {
        Device* d = Find(handle, direction);
        if (!d)
            return DEVERR_INVALHANDLE;
        if (!(header->dwFlags & DEVHDR_PREPARED))
            return 34;  // unprepared
        if (queueCalls++ == failQueueAt)
            return queueResult;
        header->dwFlags = (header->dwFlags & ~DEVHDR_DONE) | DEVHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        d->queue.push_back(header);
        queuedBuffers.emplace_back(header->lpData, header->dwBufferLength);
        maxQueued = std::max(maxQueued, static_cast<int>(d->queue.size()));
        return DEVERR_NONE;
    }
    int Reset(int direction, WaveHandle handle) override
    {
        Device* d = Find(handle, direction);
        if (!d)
            return DEVERR_INVALHANDLE;
        calls.push_back("Reset");
        ReturnPartial(*d);
        while (!d->queue.empty())
            Finish(*d, 0);
        d->position = 0;
        d->reported.Restart();
        d->started = false;
        return DEVERR_NONE;
    }
    int Pause(WaveHandle handle) override
    {
        calls.push_back("Pause");
        return Find(handle, WAVE_OUTPUT) ? DEVERR_NONE : DEVERR_INVALHANDLE;
    }
    int Start(WaveHandle handle) override
    {
        Device* d = Find(handle, WAVE_INPUT);
        if (!d)
            return DEVERR_INVALHANDLE;
        calls.push_back("Start");
        if (startResult != DEVERR_NONE)
            return startResult;
        d->started = true;
        return DEVERR_NONE;
    }
    int Stop(WaveHandle handle) override
    {
        Device* d = Find(handle, WAVE_INPUT);
        if (!d)
            return DEVERR_INVALHANDLE;
        calls.push_back("Stop");
        ReturnPartial(*d);
        d->started = false;
        return DEVERR_NONE;
    }
    int GetPosition(int direction, WaveHandle handle, uint64_t* bytes) override
    {
        Device* d = Find(handle, direction);
        if (!d)
            return DEVERR_INVALHANDLE;
        uint64_t count = d->position + (direction == WAVE_OUTPUT ? positionAhead : 0);
        *bytes = d->reported.Extend(static_cast<uint32_t>(count));
        return DEVERR_NONE;
    }
    int GetId(int direction, WaveHandle handle, int32_t* id) override
    {
        Device* d = Find(handle, direction);
        if (!d)
            return DEVERR_INVALHANDLE;
        *id = d->id;
        return DEVERR_NONE;
    }
    int GetVolume(WaveHandle handle, uint32_t* value) override
    {
        if (!Find(handle, WAVE_OUTPUT))
            return DEVERR_INVALHANDLE;
        *value = volume;
        return DEVERR_NONE;
    }
    int SetVolume(WaveHandle handle, uint32_t value) override
    {
        if (!Find(handle, WAVE_OUTPUT))
            return DEVERR_INVALHANDLE;
        if (volumeResult != DEVERR_NONE)
            return volumeResult;
        volume = value;
        return DEVERR_NONE;
    }
    int GetPlaybackRate(WaveHandle handle, uint32_t* value) override
    {
        if (!Find(handle, WAVE_OUTPUT))
            return DEVERR_INVALHANDLE;
        *value = rate;
        return DEVERR_NONE;
    }
    int Message(int direction, WaveHandle handle, uint32_t message, uintptr_t, uintptr_t) override
    {
        if (!Find(handle, direction))
            return DEVERR_INVALHANDLE;
        calls.push_back("Message " + std::to_string(message));
        return messageResult;
    }

private:
    template <class C>
    static C Caps(const char* name, uint16_t productId)
    {
        C caps = {};
        caps.wMid = 1;
        caps.wPid = productId;
        std::strncpy(caps.szPname, name, sizeof caps.szPname - 1);
        caps.dwFormats = 0xFFF;
        caps.wChannels = 2;
        return caps;
    }

    // The mapper's capabilities stand for it while any device exists.
    template <class C>
    static int Lookup(const std::vector<C>& list, const C& mapper, int32_t id, C& caps)
    {
        if (id == WAVE_MAPPER_ID && !list.empty())
            caps = mapper;
        else if (id >= 0 && static_cast<size_t>(id) < list.size())
            caps = list[static_cast<size_t>(id)];
        else
            return DEVERR_BADDEVICEID;
        return DEVERR_NONE;
    }

    Device* Find(WaveHandle handle, int direction)
    {
        for (Device& d : devices) {
            if (&d == handle && d.direction == direction)
                return &d;
        }
        return nullptr;
    }

    // The buffer at the head of the queue is done with `bytes` of it used.
    void Finish(Device& d, uint32_t bytes)
    {
        KvWaveHdr* h = d.queue.front();
        d.queue.pop_front();
        if (d.direction == WAVE_OUTPUT) {
            played.insert(played.end(), h->lpData, h->lpData + bytes);
        } else {
            for (uint32_t i = 0; i < bytes; i++)
                h->lpData[i] = sourceUsed < source.size() ? source[sourceUsed++] : 0;
            h->dwBytesRecorded = bytes;
        }
        d.position += bytes;
        h->dwFlags = (h->dwFlags & ~DEVHDR_INQUEUE) | DEVHDR_DONE;
        if (d.callback)
            messages.emplace_back(d.direction, h);
    }

    // A started input returns the buffer it is filling with what it holds;
    // one still empty stays queued.
    void ReturnPartial(Device& d)
    {
        if (d.direction != WAVE_INPUT || !d.started || d.queue.empty() || partialBytes == 0)
            return;
        Finish(d, std::min(partialBytes, d.queue.front()->dwBufferLength));
    }

    std::list<Device> devices;                          // stable addresses: the handles
    std::deque<std::pair<int, KvWaveHdr*>> messages;    // direction and header, in order
};

// A test host whose message pump delivers the devices' messages.
class DeviceTestHost : public TestHost {
public:
    explicit DeviceTestHost(TestWaveDevices& wave) : devices(wave) {}

    void PumpMessages(volatile int* flag) override
    {
        TestHost::PumpMessages(flag);
        while (deliver && flag && *flag && devices.Deliver(1) > 0) {
        }
    }
    bool FrameVisible() const override { return visible; }
    void PostCloseRequest() override { closeRequests++; }
    uint32_t StartTimer(uint32_t id, uint32_t periodMs) override
    {
        timerPeriod = periodMs;
        timerRunning = true;
        return id;
    }
    void StopTimer(uint32_t) override { timerRunning = false; }

    TestWaveDevices& devices;
    bool deliver = true;                // false: the loop is quitting, no message arrives
    bool visible = true;
    int closeRequests = 0;
    bool timerRunning = false;
    uint32_t timerPeriod = 0;
};
