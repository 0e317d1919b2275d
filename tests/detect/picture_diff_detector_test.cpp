// The picture comparison on hand-made bitmaps: histogram, block brightness
// and block hue, the block layout and its inner area, the presets, weights
// and pixel depths.
#include "detect/picture_diff_detector.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "media/bitmap_header.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::detect {
namespace {

struct Rgb {
    int red, green, blue;
};

using Painter = std::function<Rgb(int x, int y)>;

// A bitmap information header and bottom-up rows as the grabber delivers them.
std::vector<uint8_t> picture(int width, int height, const Painter& paint, int bitCount = 24) {
    const int64_t stride = media::dibRowStride(width, bitCount);
    std::vector<uint8_t> bytes(media::kBitmapInfoHeaderSize + stride * height);
    media::BitmapInfoHeader header = media::pictureHeader(width, height);
    header.bitCount = static_cast<uint16_t>(bitCount);
    media::writeBitmapInfoHeader(header, std::span<uint8_t, media::kBitmapInfoHeaderSize>(bytes.data(), 40));
    const int bytesPerPixel = bitCount / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width && bytesPerPixel >= 3; ++x) {
            Rgb c = paint(x, y);
            uint8_t* p = bytes.data() + media::kBitmapInfoHeaderSize + y * stride + x * bytesPerPixel;
            p[0] = static_cast<uint8_t>(c.blue);
            p[1] = static_cast<uint8_t>(c.green);
            p[2] = static_cast<uint8_t>(c.red);
        }
    }
    return bytes;
}

std::vector<uint8_t> flat(int width, int height, Rgb colour, int bitCount = 24) {
    return picture(width, height, [colour](int, int) { return colour; }, bitCount);
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

class PictureDiffDetectorTest : public ::testing::Test {
protected:
    PictureDiffDetectorTest() : detector(ui) {}

    // Variants as given, the "Mittel" preset unless set otherwise.
    void use(bool v1, bool v2, bool v3) {
        detector.variant1 = v1;
        detector.variant2 = v2;
        detector.variant3 = v3;
    }
    void start(const std::vector<uint8_t>& first) { ASSERT_EQ(detector.InitSearch(first, "clip.avi"), 1); }

    test::ScriptedUserInterface ui;
    PictureDiffDetector detector;
};

TEST_F(PictureDiffDetectorTest, ConstructedWithTheMiddleValues) {
    EXPECT_EQ(detector.preset(), (PicturePreset{100, 25, 32, 0.16}));
    EXPECT_EQ(detector.minFrameCount, 75);
    EXPECT_EQ(detector.weightMode, WeightMode::Even);
    EXPECT_FALSE(detector.trim);
    EXPECT_FALSE(detector.variant1 || detector.variant2 || detector.variant3);
    EXPECT_FALSE(detector.logEnabled);
}

TEST_F(PictureDiffDetectorTest, HistogramDistanceOfIdenticalAndOppositePictures) {
    use(true, false, false);
    start(flat(64, 64, kWhite));
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, kWhite)));
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 0.0);
    EXPECT_TRUE(detector.CompareFrame(flat(64, 64, kBlack)));
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 2.0);
    // Half the pixels move to another bin: distance 1.
    EXPECT_TRUE(detector.CompareFrame(picture(64, 64, [](int x, int) { return x < 32 ? kBlack : kWhite; })));
    EXPECT_NEAR(detector.lastComparison().histogramDistance, 1.0, 1e-12);
    // Within one bin (0..63 per channel) nothing changes.
    EXPECT_FALSE(detector.CompareFrame(picture(64, 64, [](int x, int) { return x < 32 ? Rgb{63, 63, 63} : kWhite; })));
}

TEST_F(PictureDiffDetectorTest, HistogramThresholdIsStrict) {
    use(true, false, false);
    detector.setPreset({100, 25, 32, 0.5});
    start(flat(64, 64, kWhite));
    // A quarter of the pixels change bin: distance exactly 0.5, not above it.
    EXPECT_FALSE(detector.CompareFrame(picture(64, 64, [](int x, int) { return x < 16 ? kBlack : kWhite; })));
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 0.5);
}

TEST_F(PictureDiffDetectorTest, BlockLayoutOfAPalPicture) {
    use(true, false, false);
    start(flat(720, 576, kWhite));
    EXPECT_EQ(detector.blocksAcross(), 22);
    EXPECT_EQ(detector.blocksDown(), 18);
    std::vector<int> innerColumns, innerRows;
    for (int c = 0; c < 22; ++c)
        if (detector.isInnerBlock(c, 9)) innerColumns.push_back(c);
    for (int r = 0; r < 18; ++r)
        if (detector.isInnerBlock(11, r)) innerRows.push_back(r);
    EXPECT_EQ(innerColumns, (std::vector<int>{6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(innerRows, (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_FALSE(detector.isInnerBlock(6, 4));
    // The 16 columns right of the last block are not read.
    EXPECT_FALSE(detector.CompareFrame(picture(720, 576, [](int x, int) { return x >= 704 ? kBlack : kWhite; })));
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 0.0);
    EXPECT_TRUE(detector.CompareFrame(picture(720, 576, [](int x, int) { return x >= 600 ? kBlack : kWhite; })));
}

TEST_F(PictureDiffDetectorTest, RowsArePaddedToFourBytes) {
    // 50 pixels of 3 bytes need 2 bytes of padding per row; reading without
    // it would mix the white left column into the black picture.
    use(true, false, false);
    detector.setPreset({100, 25, 10, 0.0001});
    start(flat(50, 40, kBlack));
    EXPECT_FALSE(detector.CompareFrame(flat(50, 40, kBlack)));
    auto leftColumnWhite = picture(50, 40, [](int x, int) { return x == 0 ? kWhite : kBlack; });
    EXPECT_TRUE(detector.CompareFrame(leftColumnWhite));
    EXPECT_NEAR(detector.lastComparison().histogramDistance, 2.0 / 50, 1e-12);
}

TEST_F(PictureDiffDetectorTest, BrightnessBlocksCountUntilTheLimitIsPassed) {
    use(false, true, false);  // "Mittel": a block differs above 100, a scene above 25 blocks
    start(flat(320, 320, {100, 100, 100}));  // 10 x 10 blocks, brightness 300
    auto brighterBlocks = [](int count) {
        return picture(320, 320, [count](int x, int y) {
            int block = (y / 32) * 10 + x / 32;
            return block < count ? Rgb{140, 140, 140} : Rgb{100, 100, 100};  // 420: 120 apart
        });
    };
    EXPECT_FALSE(detector.CompareFrame(flat(320, 320, {100, 100, 100})));
    EXPECT_FALSE(detector.CompareFrame(brighterBlocks(25)));
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 25);
    EXPECT_FALSE(detector.CompareFrame(flat(320, 320, {100, 100, 100})));
    EXPECT_TRUE(detector.CompareFrame(brighterBlocks(80)));
    // The walk stops at the first block past the limit.
    EXPECT_EQ(detector.lastComparison().differentBlocks, 26);
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 26);
    EXPECT_EQ(detector.lastComparison().hueBlocks, 0);
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 0.0);
}

TEST_F(PictureDiffDetectorTest, BrightnessWeighsGreenMost) {
    use(false, true, false);
    detector.setPreset({100, 0, 32, 0.16});  // one different block is a scene
    start(flat(32, 32, kBlack));
    // 1.53 x 66 = 100.98 -> 100: not above the threshold; 67 -> 102.
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, {0, 66, 0})));
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, kBlack)));
    EXPECT_TRUE(detector.CompareFrame(flat(32, 32, {0, 67, 0})));
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, {0, 67, 0})));
    // 0.33 x 255 = 84 for blue alone from black.
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, {0, 67, 255})));
}

TEST_F(PictureDiffDetectorTest, HueDifferenceWrapsAroundRed) {
    use(false, false, true);
    detector.setPreset({100, 0, 32, 0.16});
    start(flat(32, 32, {255, 0, 0}));                     // 0 degrees
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, {255, 0, 40})));  // 350 degrees: 10 apart
    EXPECT_FALSE(detector.CompareFrame(flat(32, 32, {255, 0, 0})));
    EXPECT_TRUE(detector.CompareFrame(flat(32, 32, {0, 255, 0})));    // 120 apart
    EXPECT_EQ(detector.lastComparison().hueBlocks, 1);
}

TEST_F(PictureDiffDetectorTest, ABrightnessChangeSkipsTheHueTestOfItsBlock) {
    use(false, true, true);
    detector.setPreset({100, 5, 32, 0.16});
    start(flat(64, 64, {40, 0, 0}));
    // Brightness 45 -> 306 and hue 0 -> 120 in all 4 blocks: counted once, as brightness.
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, {0, 200, 0})));
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 4);
    EXPECT_EQ(detector.lastComparison().hueBlocks, 0);
    // Brightness 306 -> 66 and hue 120 -> 240.
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, {0, 0, 200})));
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 4);
    // Brightness 66 -> 81, hue 240 -> 237: nothing differs.
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, {0, 10, 200})));
    EXPECT_EQ(detector.lastComparison().differentBlocks, 0);
    // Brightness 81 -> 86, hue 237 -> 120: the hue test counts.
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, {0, 56, 0})));
    EXPECT_EQ(detector.lastComparison().hueBlocks, 4);
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 0);
}

TEST_F(PictureDiffDetectorTest, AfterAHistogramDecisionTheBlocksOfThatPictureAreTheReference) {
    use(true, true, false);
    detector.setPreset({100, 0, 32, 0.16});
    start(flat(64, 64, {100, 100, 100}));
    EXPECT_TRUE(detector.CompareFrame(flat(64, 64, kWhite)));
    EXPECT_EQ(detector.lastComparison().differentBlocks, 0);  // the block test did not run
    // Compared with the white picture, not with the grey one before it.
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, kWhite)));
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 0);
}

TEST_F(PictureDiffDetectorTest, InnerWeightingMovesTheBrightnessThresholds) {
    use(false, true, false);
    detector.weightMode = WeightMode::Inner;
    detector.setPreset({100, 0, 32, 0.16});
    start(flat(128, 128, {100, 100, 100}));  // 4 x 4 blocks; inner: columns and rows 2 (1 < c < 3)
    EXPECT_EQ(detector.innerBrightnessThreshold(), 125);
    EXPECT_EQ(detector.outerBrightnessThreshold(), 75);
    EXPECT_EQ(detector.innerHueThreshold(), 45);
    EXPECT_EQ(detector.outerHueThreshold(), 27);
    ASSERT_TRUE(detector.isInnerBlock(2, 2));
    ASSERT_FALSE(detector.isInnerBlock(1, 1));
    // Green 100 -> 172 adds 1.53 x 72 = 110 to the brightness of one block.
    auto greenerBlock = [](int column, int row) {
        return picture(128, 128, [=](int x, int y) {
            return x / 32 == column && y / 32 == row ? Rgb{100, 172, 100} : Rgb{100, 100, 100};
        });
    };
    EXPECT_FALSE(detector.CompareFrame(greenerBlock(2, 2)));  // inner: 110 is not above 125
    EXPECT_FALSE(detector.CompareFrame(flat(128, 128, {100, 100, 100})));
    EXPECT_TRUE(detector.CompareFrame(greenerBlock(0, 0)));   // outer: above 75
}

TEST_F(PictureDiffDetectorTest, WeightModesAndTheirThresholds) {
    detector.setPreset({50, 25, 16, 0.1});
    const std::vector<uint8_t> first = flat(64, 64, kWhite);
    detector.weightMode = WeightMode::Outer;
    start(first);
    EXPECT_EQ(detector.innerBrightnessThreshold(), 37);
    EXPECT_EQ(detector.outerBrightnessThreshold(), 62);
    EXPECT_EQ(detector.innerHueThreshold(), 27);
    EXPECT_EQ(detector.outerHueThreshold(), 45);
    detector.weightMode = weightModeFrom(5);
    start(first);
    EXPECT_EQ(detector.innerBrightnessThreshold(), 50);
    EXPECT_EQ(detector.outerBrightnessThreshold(), 50);
    EXPECT_EQ(detector.innerHueThreshold(), 36);
    EXPECT_EQ(weightModeFrom(1), WeightMode::Inner);
    EXPECT_EQ(weightModeFrom(2), WeightMode::Outer);
    EXPECT_EQ(weightModeFrom(-1), WeightMode::Even);
}

TEST_F(PictureDiffDetectorTest, SixteenBitPixelsSpreadToFullRange) {
    use(true, true, false);
    detector.setPreset({0, 0, 16, 0.0});
    start(flat(32, 32, kWhite));
    std::vector<uint8_t> highColour = flat(32, 32, kBlack, 16);
    for (size_t i = media::kBitmapInfoHeaderSize; i + 1 < highColour.size(); i += 2) {
        highColour[i] = 0xFF;
        highColour[i + 1] = 0x7F;
    }
    EXPECT_FALSE(detector.CompareFrame(highColour));
    EXPECT_DOUBLE_EQ(detector.lastComparison().histogramDistance, 0.0);
    EXPECT_EQ(detector.lastComparison().brightnessBlocks, 0);
    // 32-bit pixels: the fourth byte is not read.
    std::vector<uint8_t> trueColour = flat(32, 32, kWhite, 32);
    for (size_t i = media::kBitmapInfoHeaderSize + 3; i < trueColour.size(); i += 4) trueColour[i] = 0x00;
    EXPECT_FALSE(detector.CompareFrame(trueColour));
    EXPECT_TRUE(detector.CompareFrame(flat(32, 32, {255, 255, 0}, 32)));
}

TEST_F(PictureDiffDetectorTest, PalettePicturesAreRefusedAndStartNoScene) {
    use(true, true, true);
    start(flat(64, 64, kWhite));
    std::vector<uint8_t> palette(media::kBitmapInfoHeaderSize + 64 * 64, 0);
    std::memcpy(palette.data(), flat(64, 64, kWhite).data(), media::kBitmapInfoHeaderSize);
    palette[14] = 8;
    palette[15] = 0;
    EXPECT_FALSE(detector.CompareFrame(palette));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "Diese Bittiefe und BMP-Kompression kann hier nicht bearbeitet werden!\nCode: bpP=8");
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Stop);
    // The white picture is still the reference.
    EXPECT_TRUE(detector.CompareFrame(flat(64, 64, kBlack)));
}

TEST_F(PictureDiffDetectorTest, APictureSmallerThanTheBlocksIsNotCompared) {
    use(true, false, false);
    start(flat(128, 128, kWhite));
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, kBlack)));
    std::vector<uint8_t> cut = flat(128, 128, kBlack);
    cut.resize(cut.size() / 2);
    EXPECT_FALSE(detector.CompareFrame(cut));
    // Damaged sizes: a negative width, the most negative height, a huge width.
    for (uint32_t size : {0xFFFFFF80u, 0x80000000u}) {
        std::vector<uint8_t> damaged = flat(128, 128, kBlack);
        std::memcpy(damaged.data() + (size == 0x80000000u ? 8 : 4), &size, 4);
        EXPECT_FALSE(detector.CompareFrame(damaged));
    }
    std::vector<uint8_t> wide = flat(128, 128, kBlack);
    const uint32_t hugeWidth = 0x7FFFFFFF;
    std::memcpy(wide.data() + 4, &hugeWidth, 4);
    EXPECT_FALSE(detector.CompareFrame(wide));
    EXPECT_TRUE(detector.CompareFrame(flat(128, 128, kBlack)));
}

TEST_F(PictureDiffDetectorTest, AFirstPictureLargerThanItsBufferGetsNoBlocks) {
    use(true, true, true);
    std::vector<uint8_t> claimed = flat(64, 64, kWhite);
    const int32_t huge = 0x00100000;  // a million pixels square in a 12 KB buffer
    std::memcpy(claimed.data() + 4, &huge, 4);
    std::memcpy(claimed.data() + 8, &huge, 4);
    ASSERT_EQ(detector.InitSearch(claimed, "damaged"), 1);
    EXPECT_EQ(detector.blocksAcross(), 0);
    EXPECT_EQ(detector.blocksDown(), 0);
    EXPECT_FALSE(detector.CompareFrame(flat(64, 64, kBlack)));
    // A depth of 0 bits needs no bytes per row, so any buffer "covers" it.
    const uint16_t noDepth = 0;
    std::memcpy(claimed.data() + 14, &noDepth, 2);
    ASSERT_EQ(detector.InitSearch(claimed, "damaged"), 1);
    EXPECT_EQ(detector.blocksAcross(), 0);
    // Width 0 needs no bytes either: two billion empty rows are no blocks.
    std::vector<uint8_t> empty = flat(64, 64, kWhite);
    const int32_t noWidth = 0;
    const int32_t allRows = 0x7FFFFFFF;
    std::memcpy(empty.data() + 4, &noWidth, 4);
    std::memcpy(empty.data() + 8, &allRows, 4);
    ASSERT_EQ(detector.InitSearch(empty, "damaged"), 1);
    EXPECT_EQ(detector.blocksDown(), 0);
}

TEST(BlockHue, ColourWheel) {
    EXPECT_EQ(BlockHue(255, 0, 0), 0);
    EXPECT_EQ(BlockHue(255, 255, 0), 60);
    EXPECT_EQ(BlockHue(0, 255, 0), 120);
    EXPECT_EQ(BlockHue(0, 255, 255), 180);
    EXPECT_EQ(BlockHue(0, 0, 255), 240);
    EXPECT_EQ(BlockHue(255, 0, 255), 300);
    EXPECT_EQ(BlockHue(255, 0, 1), 359);  // just below red from the other side
    EXPECT_EQ(BlockHue(128, 128, 128), 0);
    EXPECT_EQ(BlockHue(200, 100, 50), 20);
}

TEST(PicturePresets, TableFallbackAndCustomValues) {
    test::TempDir dir;
    app::SettingsStore store(dir.file("Klemora.ini"));
    EXPECT_EQ(picturePreset(0, store), (PicturePreset{200, 150, 32, 0.5}));
    EXPECT_EQ(picturePreset(1, store), (PicturePreset{200, 100, 32, 0.3}));
    EXPECT_EQ(picturePreset(2, store), (PicturePreset{100, 25, 32, 0.16}));
    EXPECT_EQ(picturePreset(3, store), (PicturePreset{50, 30, 16, 0.1}));
    EXPECT_EQ(picturePreset(4, store), (PicturePreset{50, 10, 16, 0.06}));
    EXPECT_EQ(picturePreset(-1, store), (PicturePreset{100, 30, 32, 0.2}));
    EXPECT_EQ(picturePreset(7, store), (PicturePreset{100, 30, 32, 0.2}));
    EXPECT_EQ(picturePreset(kCustomPreset, store), (PicturePreset{100, 30, 32, 0.2}));

    store.writeInt("MaxBlockDiff", 80);
    store.writeInt("MaxDiffBlockCount", 12);
    store.writeInt("Blocksize", 8);
    store.writeText("MaxCroHistDiff", "0.35");
    EXPECT_EQ(picturePreset(kCustomPreset, store), (PicturePreset{80, 12, 8, 0.35}));
    store.writeText("MaxCroHistDiff", "0,25");
    EXPECT_DOUBLE_EQ(picturePreset(kCustomPreset, store).maxHistogramDiff, 0.25);
    store.writeText("MaxCroHistDiff", "viel");
    store.writeInt("Blocksize", 0);
    EXPECT_EQ(picturePreset(kCustomPreset, store), (PicturePreset{80, 12, 32, 0.2}));
}

TEST(PictureDetectionLogLines, ComparisonsAfterTheFirstAreLogged) {
    test::TempDir dir;
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.path().c_str());
    test::ScriptedUserInterface ui;
    PictureDiffDetector detector(ui);
    detector.variant1 = true;
    detector.logEnabled = true;
    ASSERT_EQ(detector.InitSearch(flat(64, 64, kWhite), "/videos/clip.avi"), 1);
    detector.CompareFrame(flat(64, 64, kWhite));
    detector.CompareFrame(flat(64, 64, kBlack));
    detector.endFile();
    EXPECT_EQ(test::readTextFile(dir.file("KlemoraLog.txt")),
              "Searching for Scenes in: /videos/clip.avi\n\n"
              " / BDif:   0 / lN:   0 / cN:   0 / cH: 0.0000\n"
              " / BDif:   0 / lN:   0 / cN:   0 / cH: 2.0000 -> Neue Szene!\n");
}

TEST(PictureDetectionLogLines, AnUnwritableLogIsReportedAndSwitchedOffForTheFile) {
    test::TempDir dir;
    std::string missing = dir.file("no-such-folder");
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", missing.c_str());
    test::ScopedEnv home("HOME", missing.c_str());
    test::ScriptedUserInterface ui;
    PictureDiffDetector detector(ui);
    detector.variant1 = true;
    detector.logEnabled = true;
    // Without a documents folder the log goes to the working folder; make that unwritable too.
    std::string cwd = std::filesystem::current_path().string();
    std::filesystem::create_directory(dir.file("locked"));
    std::filesystem::current_path(dir.file("locked"));
    std::filesystem::create_directory("KlemoraLog.txt");  // a folder where the file would go
    EXPECT_EQ(detector.InitSearch(flat(64, 64, kWhite), "clip.avi"), 1);
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(ui.hasMessage("Code: KLM-AS-1005"));
    EXPECT_FALSE(detector.log().isOpen());
}

}  // namespace
}  // namespace klemora::detect
