#include "core/cVarnolt.h"

#include <gtest/gtest.h>

TEST(cVarnolt, OneApplicationObjectWithServersCreatedEmpty) {
    cVarnolt::release();
    EXPECT_FALSE(cVarnolt::exists());
    cVarnolt& app = cVarnolt::instance();
    EXPECT_TRUE(cVarnolt::exists());
    EXPECT_EQ(&app, &cVarnolt::instance());
    EXPECT_EQ(app.clsServers().Count(), 0);
    app.clsServers().Add("ALFA", true, "", "");
    EXPECT_EQ(cVarnolt::instance().clsServers().Count(), 1);
    cVarnolt::release();
    EXPECT_EQ(cVarnolt::instance().clsServers().Count(), 0);
    cVarnolt::release();
}
