#pragma once
// The options and user-interface hooks of one write run. The caller owns it
// for the whole run; the writers read it, change the overwrite mode when the
// user answers "for all further occurrences", and record what they wrote.
// Progress goes to the progress window of the seam: the "Quelle:" line gets
// the source, the "Ziel:" line "%s    (%d/%d)", the bar the current file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ui.h"
#include "avi/avi_reader.h"
#include "avi/avi_writer.h"
#include "output/run_sources.h"

namespace klemora::output {

enum class OverwriteMode : int { Ask = -1, Skip = 1, Replace = 2 };

struct WriteContext {
    explicit WriteContext(app::UserInterface& userInterface) : ui(userInterface) {}

    app::UserInterface& ui;
    // Put before every generated name; empty: the folder of the scene's source.
    std::string destinationDirectory;
    std::string groupName;  // for %G
    // A Stop keeps the part of the scene written so far as a shorter,
    // complete file. False drops the scene in progress instead: the command
    // line's only Stop is Ctrl+C or SIGTERM, after which no part of a scene
    // may stand under a final name.
    bool keepStoppedPart = true;
    bool setFileDates = false;
    bool nameFromSource = false;  // "%s_s%03d" instead of the template
    OverwriteMode overwriteMode = OverwriteMode::Ask;
    bool okStatusOnly = false;

    // How the files are written; tests and the benchmark change the segment
    // size or leave out the fsync. Its log is the run's debug log.
    avi::AviWriterOptions writerOptions;
    const app::DebugLog& log() const { return writerOptions.log; }
    // Frames between two progress updates, pumps and cancel polls.
    int pollFrames = 16;

    // Every source the run reads; no destination may be one of them. The
    // runs fill it before writing, WriteScenes adds its list's sources.
    RunSources sources;

    // Filled in by the writers: every file completed (renamed to its
    // destination), the source of every scene written complete, the scenes
    // of WriteScenes that failed, and those not written because their
    // destination exists and was kept (answered No, or skip mode).
    std::vector<std::string> writtenFiles;
    std::vector<std::string> completedSceneSources;
    int failedScenes = 0;
    int keptExisting = 0;

    // The source of the last scene, left open: the next scene from the same
    // file then needs no new walk over all its chunks, which on a tape of
    // many scenes would make the run grow with scenes times file length.
    avi::AviReader& sourceReader() {
        if (!m_sourceReader) m_sourceReader = std::make_unique<avi::AviReader>(&ui);
        return *m_sourceReader;
    }

    // The Stop of the run: the seam's cancel token, set only by the user side.
    bool cancelled() const { return ui.cancelled(); }
    // A stopped write whose scene in progress was dropped (no file written).
    bool droppedStoppedPart() const { return cancelled() && !keepStoppedPart; }

private:
    std::unique_ptr<avi::AviReader> m_sourceReader;
};

}  // namespace klemora::output
