#pragma once
// One scene's cell of a group page: the template's lines with their
// placeholders replaced by the scene's data, the open file's facts and the
// tags of pictures taken from its frames.
//
// A line is read once from left to right; what a placeholder inserts is
// never read again, so a comment or file name that happens to contain
// "#FPS" or "#FRAMEBYNUMBER" is shown as it is and cannot loop.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene_list.h"

namespace klemora::output {

// What the cell shows of the scene's open media file.
struct CellFileFacts {
    int32_t width = 0;  // the video's own picture size
    int32_t height = 0;
    float frameRate = 0;
    int32_t frameCount = 0;
    int32_t audioChannels = 0;
    int32_t audioSampleRate = 0;
    int32_t audioBitsPerSample = 0;
};

// Writes the picture of a frame of the scene's open file.
class CellPictureWriter {
public:
    virtual ~CellPictureWriter() = default;
    // `path` is the BMP file, `frame` within 0 .. frame count - 1. Failures
    // are reported by the writer; the tag goes into the cell all the same.
    virtual void writePicture(const std::string& path, int32_t frame) = 0;
};

struct CellContext {
    const scene::SceneList* list = nullptr;
    int index = 0;            // the scene within the page, 0-based
    int scenesBefore = 0;     // scenes of the groups before this one (for %M)
    std::string groupName;
    std::string nameTemplate;  // "FormatString", for #DSTFILENAME
    CellFileFacts file;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    std::string pictureFolderPath;  // where the BMP files go, with a trailing "/"
    std::string pictureFolderName;  // the same folder as the page's links name it
    CellPictureWriter* pictures = nullptr;
};

// The frame a picture placeholder names, within the file: the start frame
// plus trunc(percent / 100 x length), percent held to 0..100, or plus
// `offset`; then held to 0 .. frame count - 1.
int32_t frameByPercent(const scene::SceneRecord& scene, int percent, int32_t fileFrameCount);
int32_t frameByNumber(const scene::SceneRecord& scene, int offset, int32_t fileFrameCount);

// The name the pictures of a scene start with: its destination name if set,
// else its source file name, without folder and extension.
std::string pictureBaseName(const scene::SceneRecord& scene);

// "#SFPLAYTIME": the length after the speed factor at the file's rate.
std::string speedPlayTimeText(int32_t lengthFrames, float speedFactor, float fileRate);

std::string expandCellLine(std::string_view line, const CellContext& context);

// Every line of the cell, each followed by a line feed.
std::string expandCell(const std::vector<std::string>& lines, const CellContext& context);

}  // namespace klemora::output
