// The frames a play covers, the frame it reports last, and the clock that
// carries on when the sound stops moving.
#include <gtest/gtest.h>

#include "media/play_range.h"
#include "media/sound_output.h"

namespace klemora::media {
namespace {

TEST(PlayRange, ReversedOutsideWholeAndPastTheEnd) {
    PlayRange range{-5, -5};
    EXPECT_EQ(resolvePlayRange(100, 99, 200, range), -14);
    EXPECT_EQ(resolvePlayRange(-1, 10, 200, range), -16);
    EXPECT_EQ(resolvePlayRange(200, 210, 200, range), -16);
    EXPECT_EQ(range.first, -5);  // untouched on failure

    ASSERT_EQ(resolvePlayRange(0, 0, 200, range), 1);  // both 0: the whole file
    EXPECT_EQ(range.first, 0);
    EXPECT_EQ(range.last, 199);
    ASSERT_EQ(resolvePlayRange(190, 250, 200, range), 1);
    EXPECT_EQ(range.last, 199);
    ASSERT_EQ(resolvePlayRange(7, 7, 200, range), 1);
    EXPECT_EQ(range.frames(), 1);
}

TEST(PlayEndFrame, OneOrTwoShortLandsOnToWithinTheFile) {
    EXPECT_EQ(playEndFrame(98, 99, 199), 99);
    EXPECT_EQ(playEndFrame(97, 99, 199), 99);
    EXPECT_EQ(playEndFrame(96, 99, 199), -1);  // stopped earlier: stays where it stopped
    EXPECT_EQ(playEndFrame(99, 99, 199), -1);  // reached
    EXPECT_EQ(playEndFrame(198, 200, 199), 199);
    EXPECT_EQ(playEndFrame(199, 201, 199), -1);  // already on the last frame
    EXPECT_EQ(playEndFrame(-1, 1, 199), -1);     // nothing was shown
}

TEST(PlayClock, FollowsTheSoundThenTheWallClockWhenItStalls) {
    PlayClock clock;
    EXPECT_DOUBLE_EQ(clock.update(0.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(clock.update(0.10, 0.12), 0.10);  // the sound's, not the wall's
    EXPECT_DOUBLE_EQ(clock.update(0.10, 0.30), 0.10);  // a short stillness is waited out
    EXPECT_DOUBLE_EQ(clock.update(0.10, 0.62), 0.60);  // then the wall carries on from 0.10
    EXPECT_DOUBLE_EQ(clock.update(0.40, 0.70), 0.60);  // and the sound catching up cannot turn it back
    EXPECT_DOUBLE_EQ(clock.update(0.90, 0.80), 0.90);
}

}  // namespace
}  // namespace klemora::media
