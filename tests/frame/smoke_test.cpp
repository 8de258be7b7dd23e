#include <gtest/gtest.h>
#include "frame/platform.h"
TEST(Smoke, ThreadId) { EXPECT_GT(orlix::platform::CurrentThreadId(), 0u); }
