// The frames a play covers, the frame it reports last, and the clock that
// carries on when the sound stops moving.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// Looks every 4 ms, as the players do, at a sound position that a server
// reports in 20 ms steps 60 ms behind the wall clock.
TEST(PlayClock, KeepsAnEvenPaceWhileTheSoundPositionComesInSteps) {
    PlayClock clock;
    double last = 0;
    double largestStep = 0;
    for (int look = 0; look <= 2500; ++look) {  // 10 s
        double wall = look * 0.004;
        double sound = std::max(0.0, std::floor((wall - 0.06) / 0.02) * 0.02);
        double now = clock.update(sound, wall);
        ASSERT_GE(now, last);  // never back
        if (sound > 0.02) largestStep = std::max(largestStep, now - last);
        last = now;
        if (wall > 2.0) {
            EXPECT_NEAR(now, sound, 0.03) << "at " << wall;
        }
    }
    // No jump: at most the wall's own step and one correction.
    EXPECT_LE(largestStep, 0.004 + PlayClock::kMaxCorrection + 1e-9);
}

// A sound server that starts to play 1.8 s after the play began: the first
// picture waits for it, so that picture and sound start together.
TEST(PlayClock, WaitsForTheSoundToStart) {
    PlayClock clock;
    for (int look = 0; look < 450; ++look) EXPECT_EQ(clock.update(0.0, look * 0.004), 0.0);
    EXPECT_NEAR(clock.update(0.004, 1.804), 0.004, 1e-9);
    EXPECT_NEAR(clock.update(0.5, 2.3), 0.5, 0.001);
}

TEST(PlayClock, StartsWithoutSoundAfterWaiting) {
    PlayClock clock;
    EXPECT_EQ(clock.update(0.0, PlayClock::kStartWaitSeconds - 0.01), 0.0);
    EXPECT_NEAR(clock.update(0.0, PlayClock::kStartWaitSeconds), 0.0, 1e-9);
    EXPECT_NEAR(clock.update(0.0, PlayClock::kStartWaitSeconds + 1.0), 1.0, 1e-9);  // from the first picture on
}

TEST(PlayClock, RunsOnByTheWallClockWhenTheSoundStops) {
    PlayClock clock;
    double now = 0;
    for (int look = 0; look <= 250; ++look) now = clock.update(look * 0.004, look * 0.004);
    EXPECT_NEAR(now, 1.0, 1e-6);
    // The sound ends at 1 s; the pictures go on at the wall's pace after a short pull.
    for (int look = 251; look <= 750; ++look) now = clock.update(1.0, look * 0.004);
    EXPECT_GT(now, 2.9);
    EXPECT_LE(now, 3.0 + 1e-9);
}

}  // namespace
}  // namespace klemora::media
