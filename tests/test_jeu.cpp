#include "partie.h"

#include <gtest/gtest.h>

int main_test_placeholder;
TEST(Jeu, Demarre)
{
    static Partie p;
    ASSERT_EQ(Demarrer(p), 0);
    Passe(p, 51);
    EXPECT_STREQ(p.temp, "Points Max : 1");
}
