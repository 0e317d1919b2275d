#include "detect/picture_diff_detector.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "app/string_table.h"
#include "app/text_format.h"
#include "detect/picture_pixels.h"

namespace klemora::detect {
namespace {

// "Sehr grob", "Grob", "Mittel", "Fein", "Sehr fein".
constexpr PicturePreset kPresets[kPresetCount] = {
    {200, 150, 32, 0.5}, {200, 100, 32, 0.3}, {100, 25, 32, 0.16}, {50, 30, 16, 0.1}, {50, 10, 16, 0.06},
};
constexpr PicturePreset kFallbackPreset{100, 30, 32, 0.2};

// Per weight mode: factors of the brightness threshold and the hue
// thresholds in degrees, inner area first.
struct Weight {
    double innerBrightness, outerBrightness;
    int32_t innerHue, outerHue;
};
constexpr Weight kWeights[] = {
    {1.0, 1.0, 36, 36},    // "Nein"
    {1.25, 0.75, 45, 27},  // "Innen"
    {0.75, 1.25, 27, 45},  // "Aussen"
};

// "0.2" as well as the German "0,2"; text that is no number keeps the default.
double decimalSetting(const std::string& text, double fallback) {
    std::string normal = text;
    std::replace(normal.begin(), normal.end(), ',', '.');
    char* end = nullptr;
    double value = std::strtod(normal.c_str(), &end);
    return end == normal.c_str() || !std::isfinite(value) ? fallback : value;
}

template <typename T>
void release(std::vector<T>& values) {
    std::vector<T>().swap(values);
}

}  // namespace

PicturePreset picturePreset(int detectionSetting, const PicturePreset& custom) {
    if (detectionSetting >= 0 && detectionSetting < kPresetCount) return kPresets[detectionSetting];
    return detectionSetting == kCustomPreset ? custom : kFallbackPreset;
}

PicturePreset picturePreset(int detectionSetting, const app::SettingsStore& store) {
    return picturePreset(detectionSetting, customPicturePreset(store));
}

PicturePreset customPicturePreset(const app::SettingsStore& store) {
    PicturePreset custom;
    custom.maxBlockDiff = store.readInt("MaxBlockDiff", kFallbackPreset.maxBlockDiff);
    custom.maxDiffBlockCount = store.readInt("MaxDiffBlockCount", kFallbackPreset.maxDiffBlockCount);
    custom.blockSize = store.readInt("Blocksize", kFallbackPreset.blockSize);
    custom.maxHistogramDiff = decimalSetting(store.readText("MaxCroHistDiff", "0.2"), kFallbackPreset.maxHistogramDiff);
    // Blocks must have pixels: a zero or negative edge would divide by zero.
    if (custom.blockSize < 1) custom.blockSize = kFallbackPreset.blockSize;
    return custom;
}

WeightMode weightModeFrom(int value) {
    return value == 1 ? WeightMode::Inner : value == 2 ? WeightMode::Outer : WeightMode::Even;
}

int BlockHue(int red, int green, int blue) {
    double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    double max = std::max({r, g, b});
    double delta = max - std::min({r, g, b});
    if (delta == 0) return 0;
    double h;
    if (r == max)
        h = (g - b) / delta;
    else if (g != max)
        h = (r - g) / delta + 4;
    else
        h = (b - r) / delta + 2;
    h *= 60;
    if (h < 0) h += 360;
    return static_cast<int>(h);
}

PictureDiffDetector::PictureDiffDetector(app::UserInterface& ui) : m_ui(ui) {}

PictureDiffDetector::~PictureDiffDetector() { endFile(); }

void PictureDiffDetector::setPreset(const PicturePreset& preset) {
    m_maxBlockDiff = preset.maxBlockDiff;
    m_maxDiffBlockCount = preset.maxDiffBlockCount;
    m_blockSize = std::max(preset.blockSize, 1);
    m_maxHistogramDiff = preset.maxHistogramDiff;
}

PicturePreset PictureDiffDetector::preset() const {
    return {m_maxBlockDiff, m_maxDiffBlockCount, m_blockSize, m_maxHistogramDiff};
}

bool PictureDiffDetector::isInnerBlock(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column >= m_across || row >= m_down) return false;
    return m_innerMask[static_cast<size_t>(row) * m_across + column] != 0;
}

int PictureDiffDetector::InitSearch(std::span<const uint8_t> picture, const std::string& fileName) {
    DibPicture dib = DibPicture::from(picture);
    // Blocks only for pixels the buffer holds: a damaged header may claim
    // gigabytes of them, or millions of rows of width 0. Without blocks no
    // picture is compared.
    const bool whole = dib.supportedDepth() && dib.width > 0 && dib.covers({dib.width, dib.height});
    m_across = whole ? dib.width / m_blockSize : 0;
    m_down = whole ? dib.height / m_blockSize : 0;
    size_t blocks = static_cast<size_t>(m_across) * static_cast<size_t>(m_down);
    try {
        for (auto* values : {&m_previousBrightness, &m_currentBrightness, &m_previousHue, &m_currentHue})
            values->assign(blocks, 0);
        for (auto* sums : {&m_red, &m_green, &m_blue}) sums->assign(blocks, 0);
        m_innerMask.assign(blocks, 0);
    } catch (const std::bad_alloc&) {
        endFile();
        m_ui.showMessage(app::loadString(109), app::Icon::Stop);
        return -8;
    }
    m_previousHistogram.fill(0);
    m_currentHistogram.fill(0);
    setThresholds();
    fillInnerMask();

    if (logEnabled && !m_log.open(fileName))
        m_ui.showMessage(app::stringPrintf("%s\nCode: KLM-AS-1005", app::loadString(117).c_str()), app::Icon::Stop);
    // The first picture only becomes the reference; its comparison is not logged.
    compare(picture, false);
    return 1;
}

void PictureDiffDetector::endFile() {
    for (auto* values : {&m_previousBrightness, &m_currentBrightness, &m_previousHue, &m_currentHue})
        release(*values);
    for (auto* sums : {&m_red, &m_green, &m_blue}) release(*sums);
    release(m_innerMask);
    m_across = m_down = 0;
    m_log.close();
}

void PictureDiffDetector::setThresholds() {
    const int mode = static_cast<int>(weightModeFrom(static_cast<int>(weightMode)));
    const Weight& weight = kWeights[mode];
    m_innerBrightness = static_cast<int32_t>(weight.innerBrightness * m_maxBlockDiff);
    m_outerBrightness = static_cast<int32_t>(weight.outerBrightness * m_maxBlockDiff);
    m_innerHue = weight.innerHue;
    m_outerHue = weight.outerHue;
}

// Strictly inside the middle half in both directions.
void PictureDiffDetector::fillInnerMask() {
    for (int32_t row = 0; row < m_down; ++row) {
        bool innerRow = 0.25 * m_down < row && row < 0.75 * m_down;
        for (int32_t column = 0; column < m_across; ++column) {
            bool inner = innerRow && 0.25 * m_across < column && column < 0.75 * m_across;
            m_innerMask[static_cast<size_t>(row) * m_across + column] = inner ? 1 : 0;
        }
    }
}

bool PictureDiffDetector::CompareFrame(std::span<const uint8_t> picture) { return compare(picture, m_log.isOpen()); }

bool PictureDiffDetector::compare(std::span<const uint8_t> picture, bool logged) {
    m_last = {};
    DibPicture dib = DibPicture::from(picture);
    if (!dib.supportedDepth()) {
        m_ui.showMessage(app::stringPrintf("%s\nCode: bpP=%d", app::loadString(152).c_str(), dib.bitCount),
                         app::Icon::Stop);
        return false;
    }
    const bool blockTests = variant2 || variant3;
    PixelArea area{m_across * m_blockSize, m_down * m_blockSize};
    // A picture that does not cover the blocks of the reference cannot be compared.
    if (!dib.covers(area)) return false;

    PixelSums sums{m_blockSize, m_across, blockTests ? m_red.data() : nullptr, m_green.data(), m_blue.data()};
    std::array<uint32_t, kHistogramBins> counts{};
    std::fill(m_red.begin(), m_red.end(), 0);
    std::fill(m_green.begin(), m_green.end(), 0);
    std::fill(m_blue.begin(), m_blue.end(), 0);
    readPixels(dib, area, sums, variant1 ? counts.data() : nullptr);

    m_currentHistogram.fill(0);
    if (variant1) {
        const double pixels = static_cast<double>(area.width) * area.height;
        if (pixels > 0)
            for (int bin = 0; bin < kHistogramBins; ++bin) m_currentHistogram[bin] = counts[bin] / pixels;
        for (int bin = 0; bin < kHistogramBins; ++bin)
            m_last.histogramDistance += std::abs(m_previousHistogram[bin] - m_currentHistogram[bin]);
        m_last.newScene = m_last.histogramDistance > m_maxHistogramDiff;
    }
    // The block values of a frame the histogram already decided are still
    // computed, so that the next frame is compared with this picture.
    if (blockTests) {
        computeBlockValues();
        if (!m_last.newScene) compareBlocks();
    }
    if (logged)
        m_log.write(" / BDif: %3d / lN: %3d / cN: %3d / cH: %.4f%s", m_last.differentBlocks, m_last.brightnessBlocks,
                    m_last.hueBlocks, m_last.histogramDistance, m_last.newScene ? " -> Neue Szene!\n" : "\n");
    takeAsReference();
    return m_last.newScene;
}

void PictureDiffDetector::computeBlockValues() {
    const int64_t area = int64_t{m_blockSize} * m_blockSize;
    for (size_t i = 0; i < m_red.size(); ++i) {
        int red = static_cast<int>(m_red[i] / area), green = static_cast<int>(m_green[i] / area),
            blue = static_cast<int>(m_blue[i] / area);
        if (variant2) m_currentBrightness[i] = static_cast<int32_t>(1.53 * green + 1.14 * red + 0.33 * blue);
        if (variant3) m_currentHue[i] = BlockHue(red, green, blue);
    }
}

void PictureDiffDetector::compareBlocks() {
    for (size_t i = 0; i < m_innerMask.size(); ++i) {
        const bool inner = m_innerMask[i] != 0;
        if (variant2 &&
            std::abs(m_previousBrightness[i] - m_currentBrightness[i]) > (inner ? m_innerBrightness : m_outerBrightness)) {
            ++m_last.brightnessBlocks;
            ++m_last.differentBlocks;
        } else if (variant3) {
            int32_t d = std::abs(m_previousHue[i] - m_currentHue[i]);
            if (d > 180) d = 360 - d;
            if (d > (inner ? m_innerHue : m_outerHue)) {
                ++m_last.hueBlocks;
                ++m_last.differentBlocks;
            }
        }
        if (m_last.differentBlocks > m_maxDiffBlockCount) {
            m_last.newScene = true;
            return;
        }
    }
}

void PictureDiffDetector::takeAsReference() {
    m_previousBrightness.swap(m_currentBrightness);
    m_previousHue.swap(m_currentHue);
    m_previousHistogram = m_currentHistogram;
}

}  // namespace klemora::detect
