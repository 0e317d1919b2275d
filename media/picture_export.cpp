#include "media/picture_export.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <new>
#include <vector>

#include "app/file_io.h"
#include "media/bmp_file.h"
#include "media/media_probe.h"
#include "media/media_result.h"
#include "app/text_format.h"
#include "media/picture_grab.h"
#include "media/probe_rules.h"
#include "scene/time_text.h"

namespace klemora::media {
namespace {

// The position of the extension's dot, only within the file name.
size_t extensionDot(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t separator = path.find_last_of("/\\");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::string::npos;
    return dot;
}

std::string withoutExtension(const std::string& path) { return path.substr(0, extensionDot(path)); }

int saveClipped(const std::string& path, std::span<const uint8_t> picture, const PictureGeometry& g) {
    std::span<const uint8_t, kBitmapInfoHeaderSize> header = picture.first<kBitmapInfoHeaderSize>();
    int bytesPerPixel = readBitmapInfoHeader(header).bitCount / 8;
    if (bytesPerPixel < 1) return static_cast<int>(SaveBitmapResult::GrabFailed);
    std::vector<uint8_t> pixels;
    try {
        pixels.resize(static_cast<size_t>(dibRowStride(g.clippedWidth(), bytesPerPixel * 8) * g.clippedHeight()));
    } catch (const std::bad_alloc&) {
        return static_cast<int>(SaveBitmapResult::OutOfMemoryForPicture);
    }
    clipPicture(picture.subspan(kBitmapInfoHeaderSize), g.width, g.height, bytesPerPixel, g.marginX, g.marginY,
                pixels);
    return writeBmpFile(path, header, g.clippedWidth(), g.clippedHeight(), pixels);
}

}  // namespace

PictureGeometry pictureGeometry(int32_t width, int32_t height, int32_t clipPercent, bool as43, bool wideScreen) {
    PictureGeometry g{width, height};
    // Single precision, so that 576 x 4:3 comes to 768 and not to 767.
    float ratio = wideScreen ? 1.7777777777777777f : 1.3333333333333333f;
    if (as43 && height > 0 && std::fabs(static_cast<float>(width) / static_cast<float>(height) - ratio) > 0.01f)
        g.width = static_cast<int32_t>(static_cast<float>(height) * ratio);
    float kept = static_cast<float>(100 - std::clamp(clipPercent, 0, 100)) / 100.0f;
    g.marginX = static_cast<int32_t>((static_cast<float>(g.width) - kept * static_cast<float>(g.width)) * 0.5f);
    g.marginY = static_cast<int32_t>((static_cast<float>(g.height) - static_cast<float>(g.height) * kept) * 0.5f);
    return g;
}

std::string dateSuffixedPath(const std::string& path, const scene::RecordingTime& firstFrame, double time) {
    std::time_t moment = scene::calendarSeconds(firstFrame) + static_cast<std::time_t>(time);
    std::tm local{};
    localtime_r(&moment, &local);
    return withoutExtension(path) + scene::pictureDateSuffix(scene::fromTm(local));
}

std::string pictureNameBase(const std::string& sourcePath, const std::string& targetDir) {
    if (targetDir.empty()) return withoutExtension(sourcePath);
    std::string folder = targetDir;
    // A folder written the Windows way gets its own kind of separator.
    bool windowsStyle = folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    if (folder.back() != '/' && folder.back() != '\\') folder += windowsStyle ? '\\' : '/';
    return folder + withoutExtension(app::fileNameOf(sourcePath));
}

std::string framePicturePath(const std::string& base, int32_t number) {
    return app::stringPrintf("%s_f%05d.bmp", base.c_str(), number);
}

int SaveFrameAsBitmap(const std::string& path, MediaInfo& info, double time, int32_t width, int32_t height,
                      const PictureStyle& style, app::UserInterface& ui, std::string* writtenPath) {
    if (!info.probed) return static_cast<int>(SaveBitmapResult::NotProbed);
    GetExtraData(info, false, ui);  // not an AVI file: no DV facts, no date suffix
    std::string target = path;
    if (style.dateSuffix && info.isDv)
        target = dateSuffixedPath(path, info.recordingTime, time);
    if (writtenPath) *writtenPath = target;
    pictureSizeFor(info, width, height);
    PictureGeometry g =
        pictureGeometry(width, height, style.clipPercent, style.as43, info.wideScreen);

    int32_t size = GetPictureBufferSize(g.width, g.height, info);
    if (size < 0) return static_cast<int>(SaveBitmapResult::SizeQueryFailed);
    std::vector<uint8_t> picture;
    try {
        picture.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return static_cast<int>(SaveBitmapResult::OutOfMemory);
    }
    if (GrabPictureAtTime(info, time, picture, g.width, g.height, ui) != 1)
        return static_cast<int>(SaveBitmapResult::GrabFailed);
    return saveClipped(target, picture, g);
}

int ExportFramePicture(const std::string& sourcePath, const std::string& targetDir, const MediaSettings& settings,
                       app::UserInterface& ui, std::span<const int32_t> frames, int32_t width, int32_t height,
                       std::string* writtenPath) {
    std::string base = pictureNameBase(sourcePath, targetDir);
    MediaInfo info(settings.fixRatio, settings.log);
    if (ProbeMedia(sourcePath, info, ui) != 1) return static_cast<int>(ExportResult::ProbeFailed);
    if (frames.empty()) return 1;
    int32_t frame = frames.front();
    int rc = SaveFrameAsBitmap(framePicturePath(base, frame + 1), info, frameTime(frame, info.frameDuration), width,
                               height, settings.picture, ui, writtenPath);
    ui.pump();
    return rc == 1 ? 1 : static_cast<int>(ExportResult::SaveFailed);
}

int SaveSceneAsBMP(const std::string& sourcePath, const std::string& targetDir, const MediaSettings& settings,
                   app::UserInterface& ui, int32_t* written) {
    if (written) *written = 0;
    std::string base = pictureNameBase(sourcePath, targetDir);
    MediaInfo info(settings.fixRatio, settings.log);
    if (ProbeMedia(sourcePath, info, ui) != 1) return static_cast<int>(ExportResult::SceneProbeFailed);
    int32_t width = GetVideoWidth(info);
    int32_t height = GetVideoHeight(info);
    ui.setProgressRange(info.frameCount - 1);
    for (int32_t i = 0; i < info.frameCount; ++i) {
        ui.setProgressPosition(i);
        if (SaveFrameAsBitmap(framePicturePath(base, i), info, frameTime(i, info.frameDuration), width, height,
                              settings.picture, ui) != 1)
            return static_cast<int>(ExportResult::SaveFailed);
        if (written) *written = i + 1;
        ui.pump();
        if (ui.cancelled()) break;
    }
    return 1;
}

}  // namespace klemora::media
