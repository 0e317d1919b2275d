#include "media/play_window.h"

#include <gtest/gtest.h>

namespace klemora::media {
namespace {

PlayWindowPlacement normalised(PlayWindowPlacement p) {
    normalisePlacement(p);
    return p;
}

TEST(PlayWindow, ThePlacementRulesBeforeEachPlay) {
    PlayWindowPlacement unset = normalised({});
    EXPECT_EQ(unset.left, kNotPlaced);
    EXPECT_EQ(unset.width, kNotPlaced);

    PlayWindowPlacement off = normalised({5, -3, 5, 300});
    EXPECT_EQ(off.left, 10);
    EXPECT_EQ(off.top, 10);
    EXPECT_EQ(off.width, 382);
    EXPECT_EQ(off.height, 288);

    PlayWindowPlacement kept = normalised({0, 0, 11, 11});
    EXPECT_EQ(kept.left, 0);
    EXPECT_EQ(kept.width, 11);
    EXPECT_EQ(kept.height, 11);
    EXPECT_EQ(normalised({-5, kNotPlaced, 400, 10}).left, -5);  // only a set position moves
    EXPECT_EQ(normalised({20, 20, 400, 10}).height, 288);
}

TEST(PlayWindow, TheCaptionCountsThePlayingTimeAt25FramesPerSecond) {
    EXPECT_EQ(playCaption("/v/a.avi", 0, 49, 1.0f), "/v/a.avi / Start: 1 / Stop: 50 / Faktor: 1.00 / Dauer: 00:00:02:00");
    EXPECT_EQ(playCaption("/v/a.avi", 0, 49, 2.0f), "/v/a.avi / Start: 1 / Stop: 50 / Faktor: 2.00 / Dauer: 00:00:01:00");
    EXPECT_EQ(playCaption("/v/a.avi", 100, 90099, 1.0f),
              "/v/a.avi / Start: 101 / Stop: 90100 / Faktor: 1.00 / Dauer: 01:00:00:00");
    EXPECT_EQ(playCaption("/v/a.avi", 0, 24, 0.0f), "/v/a.avi / Start: 1 / Stop: 25 / Faktor: 0.00 / Dauer: 00:16:39:24");  // truncated at 0.001f
}

}  // namespace
}  // namespace klemora::media
