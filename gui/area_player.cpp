#include "gui/area_player.h"

#include <QPointer>
#include <QWidget>

#include "app/error_text.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/picture_view.h"
#include "gui/playback.h"

namespace klemora::gui {
namespace {

// The step codes of the dialog player for each way a play fails.
int stepCodeOf(PlayFailure failure) {
    switch (failure) {
    case PlayFailure::None: return 1;
    case PlayFailure::Open: return -6;
    case PlayFailure::Range: return -16;
    case PlayFailure::Start: return -18;
    case PlayFailure::Decode: return -21;
    }
    return -21;
}

class DialogPlayer : public AreaPlayer {
public:
    DialogPlayer(app::UserInterface& ui, const media::MediaSettings& settings) : m_ui(ui), m_settings(settings) {}

    int play(const AreaPlayRequest& request, const std::function<void(int32_t)>& onFrame) override {
        if (request.to < request.from) return -14;
        if (m_playing) return -18;
        m_playing = true;
        m_stop = false;
        int result = playRange(request, onFrame);
        m_playing = false;
        return result;
    }
    void stop() override { m_stop = true; }
    bool isPlaying() const override { return m_playing; }

private:
    int playRange(const AreaPlayRequest& request, const std::function<void(int32_t)>& onFrame) {
        Playback playback(m_settings);
        PlayFailure failure = playback.open(request.path, request.from, request.to);
        if (failure == PlayFailure::None) failure = playOn(playback, request, onFrame);
        if (failure != PlayFailure::None) {
            int code = stepCodeOf(failure);
            m_ui.showMessage(app::stringPrintf("%s StartDXVideoPlay()!\nCode1: %d\nCode2: %d->%d\nCode3: 0x%x / %s",
                                               app::loadString(113).c_str(), code, request.from, request.to,
                                               static_cast<unsigned>(playback.errorCode()),
                                               app::DxErrorText(playback.errorCode())),
                             app::Icon::Stop);
            return code;
        }
        int32_t end = media::playEndFrame(playback.lastShown(), playback.range().last, playback.info().frameCount - 1);
        if (end >= 0 && onFrame) onFrame(end);
        return 1;
    }

    PlayFailure playOn(Playback& playback, const AreaPlayRequest& request,
                       const std::function<void(int32_t)>& onFrame) {
        QRect rect = request.pictureRect;
        if (!request.area || rect.width() < 1 || rect.height() < 1) return PlayFailure::Start;
        // The picture goes on top of the dialog's area for the play's length.
        QPointer<PictureView> view = new PictureView(request.area);
        view->setMinimumSize(1, 1);
        view->setWideScreen(playback.info().wideScreen != 0);
        view->setGeometry(rect);
        view->show();
        view->raise();
        auto present = [&](int32_t frame, const QImage& picture) {
            if (!view) return;
            view->setPicture(picture);
            view->repaint();
            if (onFrame) onFrame(frame);
        };
        PlayFailure failure = playback.run(rect.width(), rect.height(), 1.0f, present, [&] { return m_stop || !view; });
        delete view.data();
        return failure;
    }

    app::UserInterface& m_ui;
    media::MediaSettings m_settings;
    bool m_playing = false;
    bool m_stop = false;
};

}  // namespace

std::unique_ptr<AreaPlayer> makeAreaPlayer(app::UserInterface& ui, const media::MediaSettings& settings) {
    return std::make_unique<DialogPlayer>(ui, settings);
}

}  // namespace klemora::gui
