#include <gtest/gtest.h>
#include "SkinArt.h"
TEST(SkinArt, Placeholder) {}
