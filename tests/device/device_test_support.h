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

    CKV_Document& doc = TheDocument();
    TestWaveDevices devices;
    DeviceTestHost host{devices};
    MemoryLogSink log;
};
