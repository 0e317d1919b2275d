// The simulated deck moves its tape as a real one: by whole frames on its
// frame clock, at the speed of its mode, stopping at either end.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "camera/camera_codes.h"
#include "camera/simulated_deck.h"

namespace klemora::test {
namespace {

using camera::TransportMode;

struct Recorder : camera::DeckOutput {
    std::vector<int32_t> frames;
    void framePictured(int32_t frame, int64_t) override { frames.push_back(frame); }
};

int mode(TransportMode m) { return static_cast<int>(m); }

TEST(SimulatedDeck, PlayShowsEveryFrameOncePerTick) {
    camera::ManualClock clock;
    camera::SimulatedDeck deck(clock, 100, false);
    Recorder out;
    deck.setOutput(&out);
    deck.cue(10);
    ASSERT_EQ(deck.setMode(mode(TransportMode::Play)), 0);
    clock.advance(1000000);  // one second of PAL
    deck.update();
    ASSERT_EQ(out.frames.size(), 25u);
    for (size_t i = 0; i < out.frames.size(); ++i) EXPECT_EQ(out.frames[i], static_cast<int32_t>(10 + i));
    EXPECT_EQ(deck.position(), 35);

    // Paused, the same picture keeps coming; stopped, none.
    ASSERT_EQ(deck.setMode(mode(TransportMode::Freeze)), 0);
    out.frames.clear();
    clock.advance(200000);
    deck.update();
    EXPECT_EQ(out.frames, std::vector<int32_t>(5, 35));
    ASSERT_EQ(deck.setMode(mode(TransportMode::Stop)), 0);
    out.frames.clear();
    clock.advance(200000);
    deck.update();
    EXPECT_TRUE(out.frames.empty());
}

TEST(SimulatedDeck, NtscTicksAtThirtyThousandPerThousandOne) {
    camera::ManualClock clock;
    camera::SimulatedDeck deck(clock, 5000, true);
    ASSERT_EQ(deck.setMode(mode(TransportMode::Play)), 0);
    clock.advance(1001000 * 10);  // 10.01 s: exactly 300 frames
    EXPECT_EQ(deck.position(), 300);
}

TEST(SimulatedDeck, SearchWindAndTheEndsOfTheTape) {
    camera::ManualClock clock;
    camera::SimulatedDeck deck(clock, 200, false);
    Recorder out;
    deck.setOutput(&out);
    deck.cue(50);
    ASSERT_EQ(deck.setMode(mode(TransportMode::PlayFastestForward)), 0);
    clock.advance(120000);  // three ticks
    EXPECT_EQ(deck.position(), 80);
    EXPECT_EQ(out.frames, (std::vector<int32_t>{50, 60, 70}));
    ASSERT_EQ(deck.setMode(mode(TransportMode::PlayFastestReverse)), 0);
    clock.advance(80000);
    EXPECT_EQ(deck.position(), 60);

    out.frames.clear();
    ASSERT_EQ(deck.setMode(mode(TransportMode::FastForward)), 0);
    clock.advance(1000000);
    EXPECT_EQ(deck.position(), 199);  // ran into the end and stopped there
    EXPECT_EQ(deck.mode(), mode(TransportMode::Stop));
    EXPECT_TRUE(out.frames.empty());  // winding shows no picture
    ASSERT_EQ(deck.setMode(mode(TransportMode::Rewind)), 0);
    clock.advance(1000000);
    EXPECT_EQ(deck.position(), 0);
    EXPECT_EQ(deck.mode(), mode(TransportMode::Stop));

    // Play to the last frame: it is shown, then the deck stops.
    deck.cue(197);
    out.frames.clear();
    ASSERT_EQ(deck.setMode(mode(TransportMode::Play)), 0);
    clock.advance(400000);
    deck.update();
    EXPECT_EQ(out.frames, (std::vector<int32_t>{197, 198, 199}));
    EXPECT_EQ(deck.mode(), mode(TransportMode::Stop));
}

TEST(SimulatedDeck, RefusedModes) {
    camera::ManualClock clock;
    camera::SimulatedDeck deck(clock, 10, false);
    EXPECT_EQ(deck.setMode(mode(TransportMode::Record)), -EROFS);
    EXPECT_EQ(deck.setMode(4299), -EINVAL);
    camera::SimulatedDeck empty(clock, 0, false);
    EXPECT_FALSE(empty.mediumPresent());
    EXPECT_EQ(empty.setMode(mode(TransportMode::Play)), -ENOMEDIUM);
    EXPECT_EQ(empty.setMode(mode(TransportMode::Stop)), 0);
}

}  // namespace
}  // namespace klemora::test
