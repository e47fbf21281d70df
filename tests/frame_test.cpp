#include "gpiolib/frame.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

TEST(Identify, Pxa270) {
    UseModule(SIM_MODULE_PXA270);
    EXPECT_EQ(IdentifyProcessor(), 17u);
}
