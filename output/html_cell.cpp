#include "output/html_cell.h"

#include <algorithm>
#include <array>

#include "app/file_io.h"
#include "app/text_format.h"
#include "output/html_template.h"
#include "output/html_text.h"
#include "output/name_template.h"
#include "scene/time_text.h"

namespace klemora::output {
namespace {

enum class Placeholder {
    FrameByPercent, FrameByNumber, SrcFileName, PureSrcFileName, SceneNumber, StartTimeInFile, StopTimeInFile,
    DvDateStamp, StartTimecode, StopTimecode, DstFileName, PreviewPicSizeX, PreviewPicSizeY, ResolutionX,
    ResolutionY, FrameCount, Fps, PlayTime, SfPlayTime, SpeedFactor, Comment, AudioChannelCount, AudioFrequnce,
    AudioBitCount
};

struct Keyword {
    std::string_view text;
    Placeholder kind;
};

// No keyword is the beginning of another, so the first that matches is the one.
constexpr std::array<Keyword, 24> kKeywords{{
    {"#FRAMEBYPERCENT", Placeholder::FrameByPercent},
    {"#FRAMEBYNUMBER", Placeholder::FrameByNumber},
    {"#SRCFILENAME", Placeholder::SrcFileName},
    {"#PURESRCFILENAME", Placeholder::PureSrcFileName},
    {"#SCENENUMBER", Placeholder::SceneNumber},
    {"#STARTTIMEINFILE", Placeholder::StartTimeInFile},
    {"#STOPTIMEINFILE", Placeholder::StopTimeInFile},
    {"#DVDATESTAMP", Placeholder::DvDateStamp},
    {"#STARTTIMECODE", Placeholder::StartTimecode},
    {"#STOPTIMECODE", Placeholder::StopTimecode},
    {"#DSTFILENAME", Placeholder::DstFileName},
    {"#PREVIEWPICSIZEX", Placeholder::PreviewPicSizeX},
    {"#PREVIEWPICSIZEY", Placeholder::PreviewPicSizeY},
    {"#RESOLUTIONX", Placeholder::ResolutionX},
    {"#RESOLUTIONY", Placeholder::ResolutionY},
    {"#FRAMECOUNT", Placeholder::FrameCount},
    {"#FPS", Placeholder::Fps},
    {"#PLAYTIME", Placeholder::PlayTime},
    {"#SFPLAYTIME", Placeholder::SfPlayTime},
    {"#SPEEDFACTOR", Placeholder::SpeedFactor},
    {"#COMMENT", Placeholder::Comment},
    {"#AUDIOCHANNELCOUNT", Placeholder::AudioChannelCount},
    {"#AUDIOFREQUNCE", Placeholder::AudioFrequnce},
    {"#AUDIOBITCOUNT", Placeholder::AudioBitCount},
}};

const Keyword* keywordAt(std::string_view rest) {
    for (const Keyword& keyword : kKeywords)
        if (rest.starts_with(keyword.text)) return &keyword;
    return nullptr;
}

int32_t clampToFile(int64_t frame, int32_t fileFrameCount) {
    // The last frame is frame count - 1: a picture of the frame after it does
    // not exist, so "100 %" of a scene that ends with the file shows the last.
    int64_t last = std::max<int64_t>(0, int64_t{fileFrameCount} - 1);
    return static_cast<int32_t>(std::clamp<int64_t>(frame, 0, last));
}

float speedOf(const scene::SceneRecord& scene) { return scene.speedFactor > 0 ? scene.speedFactor : 1.0f; }

class CellExpansion {
public:
    explicit CellExpansion(const CellContext& context)
        : m_context(context), m_scene(context.list->slot(context.index)) {}

    // The text of `kind`; `token` is the rest of the line after the keyword,
    // and `consumed` grows by the characters a picture keyword takes.
    std::string text(Placeholder kind, std::string_view token, size_t& consumed) const {
        const CellFileFacts& file = m_context.file;
        float rate = static_cast<float>(m_scene.rate());
        switch (kind) {
        case Placeholder::FrameByPercent:
        case Placeholder::FrameByNumber: {
            PlaceholderNumber number = readPlaceholderNumber(token);
            consumed += number.tokenLength;
            int32_t frame = kind == Placeholder::FrameByPercent
                                ? frameByPercent(m_scene, number.value, file.frameCount)
                                : frameByNumber(m_scene, number.value, file.frameCount);
            return picture(frame);
        }
        case Placeholder::SrcFileName: return htmlEscape(scene::fieldText(m_scene.sourceFile));
        case Placeholder::PureSrcFileName: return htmlEscape(app::fileNameOf(scene::fieldText(m_scene.sourceFile)));
        case Placeholder::SceneNumber: return std::to_string(m_context.index + 1);
        case Placeholder::StartTimeInFile: return scene::positionText(m_scene.startFrame, rate);
        case Placeholder::StopTimeInFile: return scene::positionText(m_scene.stopFrame, rate);
        case Placeholder::DvDateStamp: return scene::recordingTimeText(m_scene.recordingTime);
        case Placeholder::StartTimecode: return scene::timecodeText(m_scene.timecode);
        case Placeholder::StopTimecode: return scene::timecodeText(scene::stopTimecode(m_scene));
        case Placeholder::DstFileName: return destinationName();
        case Placeholder::PreviewPicSizeX: return std::to_string(m_context.pictureWidth);
        case Placeholder::PreviewPicSizeY: return std::to_string(m_context.pictureHeight);
        case Placeholder::ResolutionX: return std::to_string(file.width);
        case Placeholder::ResolutionY: return std::to_string(file.height);
        case Placeholder::FrameCount: return std::to_string(m_scene.lengthFrames());
        case Placeholder::Fps: return app::stringPrintf("%.3f", file.frameRate);
        case Placeholder::PlayTime: return scene::lengthText(m_scene.lengthFrames(), rate);
        case Placeholder::SfPlayTime:
            return speedPlayTimeText(m_scene.lengthFrames(), speedOf(m_scene), file.frameRate);
        case Placeholder::SpeedFactor: return app::stringPrintf("%.3f", speedOf(m_scene));
        case Placeholder::Comment: {
            std::string_view comment = scene::fieldText(m_scene.comment);
            return comment.empty() ? std::string("--") : htmlEscape(comment);
        }
        case Placeholder::AudioChannelCount: return std::to_string(file.audioChannels);
        case Placeholder::AudioFrequnce: return std::to_string(file.audioSampleRate);
        case Placeholder::AudioBitCount: return std::to_string(file.audioBitsPerSample);
        }
        return {};
    }

private:
    std::string destinationName() const {
        std::string name;
        if (expandTemplate(m_context.nameTemplate, m_scene, m_context.index, m_context.scenesBefore,
                           m_context.groupName, name) != 1)
            return "Error while generating filename!";
        return htmlEscape(name);
    }

    std::string picture(int32_t frame) const {
        std::string fileName = app::stringPrintf("%s_%05d.bmp", pictureBaseName(m_scene).c_str(), frame);
        if (m_context.pictures) m_context.pictures->writePicture(m_context.pictureFolderPath + fileName, frame);
        std::string source = "./" + urlSegment(m_context.pictureFolderName) + "/" + urlSegment(fileName);
        return app::stringPrintf("<img src=\"%s\" border=1 width=%d height=%d alt=\"%s\">", source.c_str(),
                                 m_context.pictureWidth, m_context.pictureHeight, htmlEscape(fileName).c_str());
    }

    const CellContext& m_context;
    const scene::SceneRecord& m_scene;
};

}  // namespace

int32_t frameByPercent(const scene::SceneRecord& scene, int percent, int32_t fileFrameCount) {
    double share = std::clamp(percent, 0, 100) / 100.0;
    int64_t offset = static_cast<int64_t>(share * scene.lengthFrames());
    return clampToFile(int64_t{scene.startFrame} + offset, fileFrameCount);
}

int32_t frameByNumber(const scene::SceneRecord& scene, int offset, int32_t fileFrameCount) {
    return clampToFile(int64_t{scene.startFrame} + offset, fileFrameCount);
}

std::string pictureBaseName(const scene::SceneRecord& scene) {
    std::string_view destination = scene::fieldText(scene.destName);
    return nameWithoutExtension(destination.empty() ? scene::fieldText(scene.sourceFile) : destination);
}

std::string speedPlayTimeText(int32_t lengthFrames, float speedFactor, float fileRate) {
    float rate = fileRate > 0 ? fileRate : 25.0f;
    auto frames = static_cast<int64_t>(lengthFrames / (speedFactor > 0 ? speedFactor : 1.0f));
    auto seconds = static_cast<int64_t>(static_cast<float>(frames) / rate);
    auto wholeRate = static_cast<int64_t>(rate);
    int64_t framePart = wholeRate > 0 ? frames % wholeRate : 0;  // below 1 frame/s there is no frame part
    return app::stringPrintf("%02lld:%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds % 3600 / 60), static_cast<long long>(seconds % 60),
                             static_cast<long long>(framePart));
}

std::string expandCellLine(std::string_view line, const CellContext& context) {
    CellExpansion expansion(context);
    std::string out;
    out.reserve(line.size());
    size_t pos = 0;
    while (pos < line.size()) {
        size_t hash = line.find('#', pos);
        if (hash == std::string_view::npos) break;
        out.append(line.substr(pos, hash - pos));
        const Keyword* keyword = keywordAt(line.substr(hash));
        if (!keyword) {
            out += '#';
            pos = hash + 1;
            continue;
        }
        size_t consumed = keyword->text.size();
        out += expansion.text(keyword->kind, line.substr(hash + consumed), consumed);
        pos = hash + consumed;
    }
    if (pos < line.size()) out.append(line.substr(pos));
    return out;
}

std::string expandCell(const std::vector<std::string>& lines, const CellContext& context) {
    std::string cell;
    for (const std::string& line : lines) {
        cell += expandCellLine(line, context);
        cell += '\n';
    }
    return cell;
}

}  // namespace klemora::output
