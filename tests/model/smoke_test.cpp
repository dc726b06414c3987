#include <gtest/gtest.h>
#include "core/model/config_image.h"
TEST(Smoke, AllZeroPrefixChecksum) { tavio::ConfigImage img; EXPECT_EQ(tavio::ImageChecksum(img, 76), 0xFFFFFFFFu); }
