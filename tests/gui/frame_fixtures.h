#pragma once
// Recordings whose every frame is its own picture, and the picture the media
// layer grabs of a frame, for tests that check which frame reached the screen.
#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <string>
#include <vector>

#include "app/ui.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "tests/fixtures/dv_fixture.h"

namespace klemora::test {

// One recording session per frame.
inline fixtures::DvFixtureOptions distinctFrames(int frames, int type = 2, bool ntsc = false) {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(1, type, ntsc);
    options.sessions.clear();
    for (int i = 0; i < frames; ++i) {
        fixtures::DvSession session;
        session.start = fixtures::defaultSessionStart();
        session.start.minutes = i % 60;
        session.start.hours = 10 + i / 60;
        session.frames = 1;
        options.sessions.push_back(session);
    }
    return options;
}

// The same, flagged 16:9 or 4:3.
inline fixtures::DvFixtureOptions distinctFrames(int frames, bool wideScreen) {
    fixtures::DvFixtureOptions options = distinctFrames(frames);
    options.wideScreen = wideScreen;
    return options;
}

inline std::string writeFixture(const std::string& path, const fixtures::DvFixtureOptions& options) {
    std::string error;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) qWarning("%s", error.c_str());
    return path;
}

// Frame `frame` of `path` at `size`, turned into an image by Qt's own conversion.
inline QImage grabbedFrame(const std::string& path, int frame, QSize size) {
    app::SilentUserInterface quiet;
    media::MediaInfo info;
    if (media::ProbeMedia(path, info, quiet) != 1) return {};
    std::vector<uint8_t> dib(static_cast<size_t>(media::GetPictureBufferSize(size.width(), size.height(), info)));
    if (media::GrabFrame(info, frame, dib, size.width(), size.height(), quiet) != 1) return {};
    int stride = (size.width() * 3 + 3) / 4 * 4;
    return QImage(dib.data() + 40, size.width(), size.height(), stride, QImage::Format_BGR888)
        .mirrored()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace klemora::test
