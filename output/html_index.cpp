#include "output/html_index.h"

#include "app/file_io.h"
#include "app/string_table.h"
#include "output/html_directory.h"
#include "output/html_page.h"
#include "output/html_page_file.h"
#include "output/html_result.h"
#include "output/html_text.h"

namespace klemora::output {
namespace {

// The group index's totals: scenes and frames of every group, shown at the
// rate of the first scene of the last group that has scenes.
struct IndexTotals {
    int64_t scenes = 0;
    int64_t frames = 0;
    float rate = 25.0f;

    void add(const scene::SceneList& list) {
        scenes += list.count();
        frames += list.totalFrames();
        rate = list.framesPerSecond(0);
    }
};

int writeGroup(const scene::Group& group, int groupNumber, const HtmlIndexOptions& options, PageFile& index,
               IndexTotals& totals, app::UserInterface& ui) {
    const scene::SceneList& list = group.list();
    int depth = group.depth() + 1;  // the root group is a top-level group of the index
    if (list.count() == 0) {
        index.write(indexEmptyGroupRow(depth, htmlEscape(group.name())));
        return code(HtmlIndexResult::Ok);
    }
    GroupPage page;
    page.list = &list;
    page.groupName = group.name();
    page.pagePath = groupPagePath(options.mainFile, groupNumber, group.name());
    page.indexFileName = app::fileNameOf(options.mainFile);
    page.scenesBefore = static_cast<int>(totals.scenes);
    if (int rc = writeGroupPage(page, options, ui); rc != 1) return rc;
    index.write(indexGroupRow(depth, urlSegment(app::fileNameOf(page.pagePath)), htmlEscape(group.name()),
                              list.count(), groupDurationText(list)));
    totals.add(list);
    return code(HtmlIndexResult::Ok);
}

}  // namespace

int checkColumnCount(int columns, app::UserInterface& ui) {
    if (columns >= 1) return code(HtmlIndexResult::Ok);
    ui.showMessage(app::loadString(193), app::Icon::Stop);
    return code(HtmlIndexResult::TooFewColumns);
}

int checkIndexRequest(int columns, std::string_view templatePath, app::UserInterface& ui) {
    if (int rc = checkColumnCount(columns, ui); rc != 1) return rc;
    if (templatePath.empty()) {
        ui.showMessage(app::loadString(194), app::Icon::Stop);
        return code(HtmlIndexResult::NoTemplate);
    }
    return code(HtmlIndexResult::Ok);
}

int GenerateSceneIndex(const scene::GroupTree& tree, const HtmlIndexOptions& options, app::UserInterface& ui) {
    if (int rc = checkColumnCount(options.columns, ui); rc != 1) return rc;
    app::ProgressScope progress(ui);
    PageFile index(options.mainFile);
    if (int rc = index.open(ui); rc != 1) return rc;
    index.write(pageHead());
    index.write(indexHead(options.comment));

    IndexTotals totals;
    int groupNumber = 1;
    for (const scene::Group* group : tree.depthFirst()) {
        if (int rc = writeGroup(*group, groupNumber++, options, index, totals, ui); rc != 1) return rc;
    }
    index.write(indexEnd(totals.scenes, durationText(totals.frames, totals.rate)));
    return index.commit(ui);
}

int GenerateDirectoryIndex(std::string folder, const HtmlIndexOptions& options, app::UserInterface& ui) {
    if (int rc = checkColumnCount(options.columns, ui); rc != 1) return rc;
    if (folder.empty()) folder = ui.chooseDirectory("Directory selection", app::directoryOf(options.mainFile));
    if (folder.empty()) return code(HtmlIndexResult::Cancelled);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();

    scene::SceneList list;
    if (int rc = readAviFolder(folder, list, ui); rc != 1) return rc;
    app::ProgressScope progress(ui);
    GroupPage page;
    page.list = &list;
    page.groupName = app::fileNameOf(folder);
    page.pagePath = options.mainFile;
    return writeGroupPage(page, options, ui);
}

}  // namespace klemora::output
