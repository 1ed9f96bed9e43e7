#include "view/update_views.h"

#include <string>

#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

class UpdateViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetViewUpdates();
        ran.clear();
    }
    void TearDown() override { ResetViewUpdates(); }

    TestHost host;
    static std::string ran;
};

std::string UpdateViewsTest::ran;

TEST_F(UpdateViewsTest, HandlersRunInBitOrderOncePerPass)
{
    UpdateViews(UpdTitle);
    EXPECT_EQ(host.posts, 0);                           // the bits wait for the frame
    host.frame = true;
    SetViewUpdateHandler(9, [] { ran += "title "; });
    SetViewUpdateHandler(0, [] { ran += "start "; });
    SetViewUpdateHandler(3, [] { ran += "play "; });
    SetViewUpdateHandler(11, [] { ran += "nothing "; });   // no such bit
    UpdateViews(UpdPlayPos | UpdSelStart);
    UpdateViews(UpdTitle | 0x10000);
    EXPECT_EQ(host.posts, 1);
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdSelStart | UpdPlayPos | UpdTitle));
    EXPECT_EQ(ran, "start play title ");
    EXPECT_EQ(RunPendingViewUpdates(), 0u);
    EXPECT_EQ(ran, "start play title ");
}

TEST_F(UpdateViewsTest, RequestsFromAHandlerAreDropped)
{
    // A field whose new text echoes back as a new request must not loop.
    host.frame = true;
    SetViewUpdateHandler(0, [] {
        ran += "start ";
        UpdateViews(UpdSelStart | UpdTransport);
    });
    UpdateViews(UpdSelStart);
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdSelStart));
    EXPECT_EQ(host.posts, 1);
    EXPECT_EQ(PendingViewUpdates(), 0u);
    UpdateViews(UpdTransport);
    EXPECT_EQ(host.posts, 2);
}

}
