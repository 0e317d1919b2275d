// "dvdump": timecode and recording date/time of every DV frame, as scene
// detection reads them; "-" where a frame lacks the pack.
#include <climits>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_reader.h"
#include "avi/container_facts.h"
#include "avi/dv_pack.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "output/write_messages.h"

namespace klemora::cli {
namespace {

struct DumpOptions {
    std::string file;
    std::string frames;
};

bool parseRange(const std::string& text, int32_t& first, int32_t& last) {
    long a = 0, b = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%ld-%ld%c", &a, &b, &tail) != 2 || a < 0 || b < a || b > INT32_MAX) return false;
    first = static_cast<int32_t>(a);
    last = static_cast<int32_t>(b);
    return true;
}

bool hasPack(avi::AviReader& reader, uint8_t id) {
    avi::DvPack pack{};
    return avi::FindDvPack(reader, id, pack) == 1;
}

// "TIMECODE DATE TIME" of the frame in the reader's buffer.
std::string frameLine(avi::AviReader& reader) {
    scene::Timecode timecode{};
    avi::ReadDvTimecode(reader, timecode);
    scene::RecordingTime time = scene::kNoRecordingTime;
    avi::ReadDvDateTime(reader, time);
    const std::string stamp = avi::isoRecordingTimeText(time);  // "YYYY-MM-DD HH:MM:SS"
    std::string line = hasPack(reader, avi::kPackTimecode) ? avi::timecodeColonText(timecode) : "-";
    line += ' ';
    line += hasPack(reader, avi::kPackRecordingDate) ? stamp.substr(0, 10) : "-";
    line += ' ';
    line += hasPack(reader, avi::kPackRecordingTime) ? stamp.substr(11) : "-";
    return line;
}

int dump(const DumpOptions& options, TerminalUserInterface& ui) {
    if (!inputFileExists(options.file, ui)) return 1;
    avi::AviReader reader(&ui);
    reader.setLog(commandLog());
    int rc = reader.Open(options.file, "r");
    if (rc != 1) {
        output::showOpenFailure(ui, options.file, rc);
        return 1;
    }
    if (!reader.isDv()) {
        std::cerr << "klemora-cli dvdump: " << options.file << ": not a DV file\n";
        return 1;
    }
    int32_t first = 0;
    int32_t last = reader.GetFrameCount() - 1;
    if (!options.frames.empty() && !parseRange(options.frames, first, last)) {
        std::cerr << "klemora-cli dvdump: --frames wants FIRST-LAST (0-based)\n";
        return 2;
    }
    if (last > reader.GetFrameCount() - 1) last = reader.GetFrameCount() - 1;
    for (int32_t frame = first; frame <= last; ++frame) {
        rc = reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand);
        if (rc != 1) {
            ui.showMessage(app::stringPrintf("%s ReadRawPictureData()!\nFile: %s\nCode: %d",
                                             app::loadString(113).c_str(), options.file.c_str(), rc),
                           app::Icon::Stop);
            return 1;
        }
        if (reader.currentFrame() < frame) {
            std::cerr << "klemora-cli dvdump: the file ends after frame " << reader.currentFrame() << " of "
                      << reader.GetFrameCount() << "\n";
            return 1;
        }
        std::cout << frame << ' ' << frameLine(reader);
        if (reader.currentChunk().bytesLoaded == 0)
            std::cout << "  # chunk of " << reader.currentChunk().size << " bytes: previous frame kept";
        std::cout << '\n';
    }
    return 0;
}

RegisterCommand registration("dvdump", "List timecode and recording date/time of every DV frame",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto options = std::make_shared<DumpOptions>();
                                 sub.add_option("FILE", options->file, "DV AVI file")->required();
                                 sub.add_option("--frames", options->frames, "FIRST-LAST, 0-based, inclusive");
                                 action = [options](TerminalUserInterface& ui) { return dump(*options, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
