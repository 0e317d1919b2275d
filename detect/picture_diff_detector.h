#pragma once
// Scene changes seen in the pictures themselves: two decoded pictures belong
// to different scenes when their colour histograms (variant 1), the
// brightness of their blocks (variant 2) or the hue of their blocks
// (variant 3) differ by more than the thresholds of the chosen preset.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/ui.h"
#include "detect/picture_detection_log.h"

namespace klemora::detect {

// "DetectionSetting": the presets "Sehr grob" to "Sehr fein"; 99 takes its
// values from the settings store; any other index the fallback values.
inline constexpr int kPresetCount = 5;
inline constexpr int kCustomPreset = 99;

struct PicturePreset {
    int32_t maxBlockDiff = 100;
    int32_t maxDiffBlockCount = 30;
    int32_t blockSize = 32;
    double maxHistogramDiff = 0.2;

    bool operator==(const PicturePreset&) const = default;
};

// Preset 99: "MaxBlockDiff", "MaxDiffBlockCount", "Blocksize" and
// "MaxCroHistDiff" (a decimal text) as `store` holds them.
PicturePreset customPicturePreset(const app::SettingsStore& store);
// The preset of the index; 99 gives `custom`.
PicturePreset picturePreset(int detectionSetting, const PicturePreset& custom);
PicturePreset picturePreset(int detectionSetting, const app::SettingsStore& store);

enum class WeightMode : int32_t { Even = 0, Inner = 1, Outer = 2 };
// "WeightMode" as stored: values other than 1 and 2 weigh evenly.
WeightMode weightModeFrom(int value);

// Whole degrees 0..359 of the colour of the block averages.
int BlockHue(int red, int green, int blue);

inline constexpr int kHistogramBins = 64;

// What the last CompareFrame counted, as the detection log prints it.
struct FrameComparison {
    int32_t differentBlocks = 0;     // BDif
    int32_t brightnessBlocks = 0;    // lN
    int32_t hueBlocks = 0;           // cN
    double histogramDistance = 0;    // cH
    bool newScene = false;
};

class PictureDiffDetector {
public:
    explicit PictureDiffDetector(app::UserInterface& ui);
    ~PictureDiffDetector();
    PictureDiffDetector(const PictureDiffDetector&) = delete;
    PictureDiffDetector& operator=(const PictureDiffDetector&) = delete;

    app::UserInterface& ui() const { return m_ui; }

    // Settings of a run; they hold until changed.
    void setPreset(const PicturePreset& preset);
    PicturePreset preset() const;
    int32_t minFrameCount = 75;
    WeightMode weightMode = WeightMode::Even;
    bool trim = false;
    int32_t trimWidth = 1;  // frames cut at inner scene boundaries when trimming; used as 1..99
    bool variant1 = false;  // histogram
    bool variant2 = false;  // block brightness
    bool variant3 = false;  // block hue

    // The run hands over its progress window before any search; a search
    // without one refuses to start.
    bool progressAttached = false;
    // Set by the stop button; looked at once per coarse step.
    bool cancelRequested() const { return m_ui.cancelled(); }

    // Each picture grabbed on the search's own thread by a decoder without
    // threads of its own and converted through the grabber's own rows: the
    // straightforward way the fast one must match.
    bool plainReading = false;

    // The detection log ("KlemoraLog.txt" in the documents folder).
    bool logEnabled = false;
    std::string fixRatio;  // "FixRatio" of the run, for probing the files
    app::DebugLog debugLog;  // the run's debug log, for the readers of the files
    PictureDetectionLog& log() { return m_log; }

    // Per file, with the first picture of the range (a bitmap information
    // header and its pixels): sizes the block arrays, sets the thresholds
    // and the inner mask, opens the log and makes the picture the
    // reference. 1, or -8 after message 109.
    int InitSearch(std::span<const uint8_t> picture, const std::string& fileName);
    // True when `picture` starts a new scene compared with the reference;
    // either way it becomes the reference. Depths other than 16, 24 and 32
    // bits show message 152 and start no scene.
    bool CompareFrame(std::span<const uint8_t> picture);
    const FrameComparison& lastComparison() const { return m_last; }
    // Frees the block arrays and closes the log.
    void endFile();

    int32_t blocksAcross() const { return m_across; }
    int32_t blocksDown() const { return m_down; }
    bool isInnerBlock(int32_t column, int32_t row) const;
    int32_t innerBrightnessThreshold() const { return m_innerBrightness; }
    int32_t outerBrightnessThreshold() const { return m_outerBrightness; }
    int32_t innerHueThreshold() const { return m_innerHue; }
    int32_t outerHueThreshold() const { return m_outerHue; }

private:
    bool compare(std::span<const uint8_t> picture, bool logged);
    void computeBlockValues();
    void compareBlocks();
    void setThresholds();
    void fillInnerMask();
    void takeAsReference();

    app::UserInterface& m_ui;
    int32_t m_maxDiffBlockCount = 25;
    int32_t m_maxBlockDiff = 100;
    double m_maxHistogramDiff = 0.16;
    int32_t m_blockSize = 32;

    int32_t m_across = 0;
    int32_t m_down = 0;
    std::vector<int32_t> m_previousBrightness, m_currentBrightness;
    std::vector<int32_t> m_previousHue, m_currentHue;
    std::vector<int64_t> m_red, m_green, m_blue;  // 64 bits: a custom block size may be large
    std::vector<uint8_t> m_innerMask;
    std::array<double, kHistogramBins> m_previousHistogram{};
    std::array<double, kHistogramBins> m_currentHistogram{};
    int32_t m_innerBrightness = 0, m_outerBrightness = 0;
    int32_t m_innerHue = 0, m_outerHue = 0;

    PictureDetectionLog m_log;  // open while a file is searched with the log wanted
    FrameComparison m_last;
};

}  // namespace klemora::detect
