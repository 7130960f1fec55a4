#pragma once
// What the end-to-end tests share: an X server and a HOME (with Pictures) of
// their own per test case, with the pattern on the root.
#include "xsession.h"

#include <gtest/gtest.h>

namespace e2e {

using namespace xs;

struct E2e : testing::Test {
    void SetUp() override {
        ASSERT_TRUE(x && QDir().mkpath(home.home() + "/Pictures")) << why();
        x->setRootPicture(pattern(x->size()));
    }
    std::unique_ptr<XSession> x = XSession::start({"-ac"}); // a test runs the program as nobody
    Home home;
};

} // namespace e2e
