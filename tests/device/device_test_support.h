// The device tests' fixture: the program reset, test devices with one output
// and one input, and the log the tests read.
#pragma once

#include <string>
#include <vector>

#include "base/update_views.h"
#include "device/device_catalogue.h"
#include "device/engine.h"
#include "lib/log.h"
#include "support/core_state.h"
#include "support/test_wave_device.h"
#include "view/selection_ops.h"

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ResetViewUpdates();
        ResetDev();
        devices.outputs = {TestWaveDevices::OutCaps("Speakers", 40, DEVCAPS_VOLUME)};
        devices.inputs = {TestWaveDevices::InCaps("Line", 50)};
        SetLogSink(&log);
    }
    void TearDown() override
    {
        SetLogSink(nullptr);
        ResetDev();
        ResetActionLifecycle();
        doc.FreeAll();
    }

    bool NoChunkLocked() const
    {
        for (CGObListRec* rec = doc.chunks.Head(); rec; rec = rec->Next())
            if (static_cast<CKV_BUFFER*>(rec)->lockCount != 0)
                return false;
        return true;
    }

    // The engine closed, no buffer out and no chunk held.
    void ExpectClosed() const
    {
        EXPECT_EQ(DevMode::Closed, TheDev().mode);
        EXPECT_EQ(nullptr, TheDev().handle);
        EXPECT_EQ(0, devices.OpenCount());
        EXPECT_TRUE(NoChunkLocked());
    }

    CKV_Document& doc = TheDocument();
    TestWaveDevices devices;
    DeviceTestHost host{devices};
    MemoryLogSink log;
};
