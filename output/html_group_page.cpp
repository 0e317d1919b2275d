#include "output/html_group_page.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <set>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_export.h"
#include "media/probe_rules.h"
#include "output/html_cell.h"
#include "output/html_page.h"
#include "output/html_page_file.h"
#include "output/html_result.h"
#include "output/html_text.h"

namespace klemora::output {
namespace {

// The scene's media file, opened only when the source changes from one scene
// to the next; a file that failed stays failed for the scenes after it.
class SceneSource {
public:
    SceneSource(std::string_view fixRatio, const app::DebugLog& log) : m_info(fixRatio, log) {}
    ~SceneSource() { media::ReleaseMedia(m_info); }

    bool use(const std::string& path, app::UserInterface& ui) {
        if (m_tried && path == m_path) return m_open;
        media::ReleaseMedia(m_info);
        m_path = path;
        m_tried = true;
        m_open = media::ProbeMedia(path, m_info, ui) == 1;
        if (m_open)
            media::GetExtraData(m_info, false, ui);  // the 16:9 flag; files that are no AVI have none
        else
            showFileMessage(ui, app::loadString(107), path);
        return m_open;
    }

    media::MediaInfo& info() { return m_info; }

    CellFileFacts facts() const {
        return {media::GetVideoWidth(m_info),      media::GetVideoHeight(m_info),
                m_info.frameRate,                  m_info.frameCount,
                media::GetAudioChannels(m_info),   media::GetAudioSampleRate(m_info),
                media::GetAudioBitsPerSample(m_info)};
    }

private:
    media::MediaInfo m_info;
    std::string m_path;
    bool m_tried = false;
    bool m_open = false;
};

// Saves each named picture once per page; several placeholders or scenes
// naming the same frame of the same source share the file.
class MediaPictures : public CellPictureWriter {
public:
    MediaPictures(SceneSource& source, const HtmlIndexOptions& options, app::UserInterface& ui)
        : m_source(source), m_options(options), m_ui(ui) {}

    void setWidth(int32_t width) { m_width = width; }

    void writePicture(const std::string& path, int32_t frame) override {
        if (!m_written.insert(path).second) return;
        media::MediaInfo& info = m_source.info();
        // Without the date suffix: the page names the picture by its frame.
        int rc = media::SaveFrameAsBitmap(path, info, media::frameTime(frame, info.frameDuration), m_width,
                                          m_options.pictureHeight, m_options.pictureStyle(), m_ui);
        if (rc != 1) showFileMessage(m_ui, app::loadString(176), path);
    }

private:
    SceneSource& m_source;
    const HtmlIndexOptions& m_options;
    app::UserInterface& m_ui;
    int32_t m_width = 0;
    std::set<std::string> m_written;
};

int makePictureFolder(const std::string& path, app::UserInterface& ui) {
    if (path.size() >= kMaxPictureFolderPath) {
        ui.showMessage(app::stringPrintf("%s\nPath: %s", app::loadString(196).c_str(), path.c_str()), app::Icon::Stop);
        return code(HtmlIndexResult::FolderNameTooLong);
    }
    std::string name = app::fileNameOf(path);
    bool made = name.find('/') == std::string::npos && (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST);
    if (made && app::isDirectory(path)) return code(HtmlIndexResult::Ok);
    ui.showMessage(app::stringPrintf("%s\nPath: %s", app::loadString(197).c_str(), path.c_str()), app::Icon::Stop);
    return code(HtmlIndexResult::FolderNotCreatable);
}

std::string sceneLine(int number, int count) {
    return app::stringPrintf("%s %d %s %d. %s", app::loadString(341).c_str(), number, app::loadString(156).c_str(),
                             count, app::loadString(396).c_str());
}

// One cell: the expanded template, or an empty cell when the file does not open.
std::string sceneCell(const GroupPage& page, int index, const HtmlIndexOptions& options, const std::string& folder,
                      SceneSource& source, MediaPictures& pictures, app::UserInterface& ui) {
    const scene::SceneList& list = *page.list;
    if (!source.use(std::string(list.sourceFile(index)), ui)) return std::string(emptyCell());
    CellContext context;
    context.list = &list;
    context.index = index;
    context.scenesBefore = page.scenesBefore;
    context.groupName = page.groupName;
    context.nameTemplate = options.nameTemplate;
    context.file = source.facts();
    context.pictureWidth = pictureWidthFor(options, source.info().wideScreen != 0);
    context.pictureHeight = options.pictureHeight;
    context.pictureFolderPath = folder + "/";
    context.pictureFolderName = app::fileNameOf(folder);
    context.pictures = &pictures;
    pictures.setWidth(context.pictureWidth);
    return std::string(cellStart()) + expandCell(options.cell.lines, context) + std::string(cellEnd());
}

}  // namespace

void readPictureSettings(HtmlIndexOptions& options, const app::SettingsStore& store) {
    media::MediaSettings media = media::readMediaSettings(store);
    options.nameTemplate = store.readText("FormatString", "%Q_%N3");
    options.as43 = media.picture.as43;
    options.clipPercent = media.picture.clipPercent;
    options.fixRatio = media.fixRatio;
}

void applyIndexValues(HtmlIndexOptions& options, const HtmlIndexSettings& values, const std::string& mainFile,
                      const app::SettingsStore& store) {
    options.mainFile = mainFile;
    options.columns = values.columns;
    options.pictureWidth = values.pictureWidth;
    options.pictureHeight = values.pictureHeight;
    options.comment = values.comment;
    readPictureSettings(options, store);
}

std::string groupPagePath(const std::string& mainFile, int groupNumber, const std::string& groupName) {
    std::string folder = app::directoryOf(mainFile);
    std::string name = app::stringPrintf("%s_%02d_", nameWithoutExtension(mainFile).c_str(), groupNumber) +
                       groupName + ".htm";
    return folder.empty() ? name : folder + "/" + name;
}

std::string pictureFolderName(const std::string& mainFile, const std::string& groupName) {
    std::string folder = app::directoryOf(mainFile);
    std::string name = "img_" + nameWithoutExtension(mainFile) + "_" + groupName;
    return folder.empty() ? name : folder + "/" + name;
}

std::string groupDurationText(const scene::SceneList& list) {
    float rate = list.count() > 0 ? list.framesPerSecond(0) : 25.0f;
    return durationText(list.totalFrames(), rate);
}

int32_t pictureWidthFor(const HtmlIndexOptions& options, bool wideScreen) {
    if (!options.as43) return options.pictureWidth;
    return wideScreen ? options.pictureHeight * 16 / 9 : options.pictureHeight * 4 / 3;
}

int writeGroupPage(const GroupPage& page, const HtmlIndexOptions& options, app::UserInterface& ui) {
    const scene::SceneList& list = *page.list;
    std::string folder = pictureFolderName(options.mainFile, page.groupName);
    if (int rc = makePictureFolder(folder, ui); rc != 1) return rc;
    PageFile file(page.pagePath);
    if (int rc = file.open(ui); rc != 1) return rc;

    std::string indexLink = page.indexFileName.empty() ? std::string() : urlSegment(page.indexFileName);
    file.write(groupPageHead(htmlEscape(page.groupName), list.count(), groupDurationText(list), indexLink));
    ui.setProgressLine(1, app::loadString(432) + ": " + page.groupName);
    ui.setProgressDestination(page.pagePath);
    ui.setProgressRange(list.count());

    SceneSource source(options.fixRatio, options.log);
    MediaPictures pictures(source, options, ui);
    for (int i = 0; i < list.count(); ++i) {
        ui.setProgressSource(list.sourceFile(i));
        ui.setProgressLine(2, sceneLine(i + 1, list.count()));
        ui.setProgressPosition(i);
        if (!file.write(sceneCell(page, i, options, folder, source, pictures, ui))) return file.commit(ui);
        if ((i + 1) % options.columns == 0) file.write(rowBreak());
        ui.pump();
        if (ui.cancelled()) return code(HtmlIndexResult::Cancelled);
    }
    if (int rest = list.count() % options.columns; rest != 0)
        for (int i = rest; i < options.columns; ++i) file.write(emptyCell());
    file.write(groupPageEnd());
    ui.setProgressPosition(list.count());
    return file.commit(ui);
}

}  // namespace klemora::output
