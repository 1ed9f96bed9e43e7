#include "base/update_views.h"

#include <string>

#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

std::string ran;

// Requests from a handler are dropped: a field whose new text echoes back as
// a new request must not loop.
TEST(UpdateViewsTest, HandlersRunInBitOrderOncePerPassAndTheirRequestsAreDropped)
{
    ResetViewUpdates();
    TestHost host;
    UpdateViews(UpdTitle);
    EXPECT_EQ(host.posts, 0);                           // the bits wait for the frame
    host.frame = true;
    SetViewUpdateHandler(UpdTitle, [] { ran += "title "; });
    SetViewUpdateHandler(UpdSelStart, [] { ran += "start "; UpdateViews(UpdSelStart | UpdTransport); });
    SetViewUpdateHandler(UpdPlayPos, [] { ran += "play "; });
    SetViewUpdateHandler(UpdTitle | UpdPlayPos, [] { ran += "nothing "; });   // not one bit
    UpdateViews(UpdPlayPos | UpdSelStart);
    UpdateViews(UpdTitle | 0x10000);
    EXPECT_EQ(host.posts, 1);
    EXPECT_EQ(RunPendingViewUpdates(), uint32_t(UpdSelStart | UpdPlayPos | UpdTitle));
    EXPECT_EQ(ran, "start play title ");
    EXPECT_EQ(PendingViewUpdates(), 0u);
    EXPECT_EQ(RunPendingViewUpdates(), 0u);
    UpdateViews(UpdTransport);
    EXPECT_EQ(host.posts, 2);
    ResetViewUpdates();
}

}
