#include <gtest/gtest.h>

#include "core/app_state.h"
#include "core/command_line.h"

TEST(StoreText, KeepsWholeTextOrNothing)
{
    char field[6] = "xxxxx";
    EXPECT_TRUE(StoreText(field, {"ab", "cde"}));
    EXPECT_STREQ("abcde", field);
    EXPECT_FALSE(StoreText(field, {"abc", "def"}));
    EXPECT_STREQ("", field);
}
