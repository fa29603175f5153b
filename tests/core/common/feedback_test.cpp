#include "common/feedback.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(ProgressPercent, CapsAtHundredAndRoundsHalfToEven)
{
    EXPECT_EQ(progressPercent(150, 100), 100);
    EXPECT_EQ(progressPercent(100, 100), 100);
    EXPECT_EQ(progressPercent(1, 3), 33);
    EXPECT_EQ(progressPercent(0, 100), 0);
    EXPECT_EQ(progressPercent(1, 8), 12);  // 12.5
    EXPECT_EQ(progressPercent(3, 8), 38);  // 37.5
    EXPECT_EQ(progressPercent(0, 0), 100);
}

TEST(MilestonePercent, FollowsTheWorkflow)
{
    const std::pair<Mijlpaal, int> table[] = {
        {Mijlpaal::na_start, 10},       {Mijlpaal::na_instellen, 22},
        {Mijlpaal::na_uitvoeren, 35},   {Mijlpaal::na_rapporteren, 52},
        {Mijlpaal::na_voorspellen, 71}, {Mijlpaal::na_kriging, 92},
        {Mijlpaal::bij_einde, 100}};
    for (const auto& [m, percent] : table)
        EXPECT_EQ(milestonePercent(m), percent);
}

}  // namespace
}  // namespace tolvar
