#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, Builds) { EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr); }
