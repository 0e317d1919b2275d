#pragma once
// Frame pictures as BMP files: one picture at a moment of a probed file
// (optionally corrected to the display aspect, clipped at the edges and named
// after the DV recording date), one frame of a source file, or every frame.
#include <cstdint>
#include <span>
#include <string>

#include "app/ui.h"
#include "media/media_info.h"
#include "media/media_settings.h"
#include "scene/scene_record.h"

namespace klemora::media {

// Size and edge margins of a saved picture.
struct PictureGeometry {
    int32_t width = 0;   // grabbed size, after the aspect correction
    int32_t height = 0;
    int32_t marginX = 0;  // removed at the left and at the right
    int32_t marginY = 0;  // removed at the top and at the bottom
    int32_t clippedWidth() const { return width - 2 * marginX; }
    int32_t clippedHeight() const { return height - 2 * marginY; }
};

// With `as43` the width follows the height at 16:9 (wide) or 4:3 when the
// ratio differs by more than 0.01; `clipPercent` (0-100) of each side goes,
// half at each edge.
PictureGeometry pictureGeometry(int32_t width, int32_t height, int32_t clipPercent, bool as43, bool wideScreen);

// `path` with its extension replaced by "_YYYY-MM-DD_hh-mm-ss.bmp" for the
// local time `firstFrame` + the whole seconds of `time`.
std::string dateSuffixedPath(const std::string& path, const scene::RecordingTime& firstFrame, double time);

// Folder and base name of the pictures of `sourcePath`: the target folder
// (a separator added) and the file name without extension, or beside the
// source when `targetDir` is empty.
std::string pictureNameBase(const std::string& sourcePath, const std::string& targetDir);
// "<base>_f%05d.bmp".
std::string framePicturePath(const std::string& base, int32_t number);

// SaveBitmapResult codes. The date suffix of `style` only for DV files.
// `writtenPath` gets the name the picture was given.
int SaveFrameAsBitmap(const std::string& path, MediaInfo& info, double time, int32_t width, int32_t height,
                      const PictureStyle& style, app::UserInterface& ui, std::string* writtenPath = nullptr);

// Saves the picture of frames[0] as "<base>_f%05d.bmp" with the frame
// counted from 1. ExportResult codes: 1, -1 probe failed, -3 save failed.
int ExportFramePicture(const std::string& sourcePath, const std::string& targetDir, const MediaSettings& settings,
                       app::UserInterface& ui, std::span<const int32_t> frames, int32_t width, int32_t height,
                       std::string* writtenPath = nullptr);

// Every frame, named from 0, with progress and cancel through `ui`.
// ExportResult codes: 1 (also when cancelled), -2 probe failed, -3 save
// failed. `written` gets the number of pictures saved.
int SaveSceneAsBMP(const std::string& sourcePath, const std::string& targetDir, const MediaSettings& settings,
                   app::UserInterface& ui, int32_t* written = nullptr);

}  // namespace klemora::media
