// "sample": writes a DV AVI test recording with the sample library, so
// anyone can try the program without a camcorder.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "sample/dv_sample.h"

namespace klemora::cli {
namespace {

struct SampleOptions {
    std::string output;
    int type = 2;
    bool ntsc = false;
    bool wide = false;
    std::string openDml = "none";
    int segmentMegabytes = 1024;
    std::vector<std::string> sessions;
};

// "YYYY-MM-DD HH:MM:SS,SECONDS"
bool parseSession(const std::string& text, int fps, sample::DvSession& session) {
    size_t comma = text.rfind(',');
    if (comma == std::string::npos) return false;
    if (!sample::parseSessionStart(text.substr(0, comma), session.start)) return false;
    try {
        size_t used = 0;
        int seconds = std::stoi(text.substr(comma + 1), &used);
        if (used != text.size() - comma - 1 || seconds <= 0 || seconds > 24 * 3600) return false;
        session.frames = seconds * fps;
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

int writeSample(const SampleOptions& options) {
    sample::DvSampleOptions recording;
    recording.type = options.type;
    recording.ntsc = options.ntsc;
    recording.wideScreen = options.wide;
    recording.openDml = options.openDml == "single"     ? sample::OpenDmlLayout::Single
                      : options.openDml == "segments" ? sample::OpenDmlLayout::Segments
                                                      : sample::OpenDmlLayout::None;
    recording.riffSegmentBytes = static_cast<uint64_t>(options.segmentMegabytes) << 20;
    for (const std::string& text : options.sessions) {
        sample::DvSession session;
        if (!parseSession(text, options.ntsc ? 30 : 25, session)) {
            std::cerr << "klemora-cli sample: bad --session \"" << text
                      << "\" (expected \"YYYY-MM-DD HH:MM:SS,SECONDS\", years 1925-2024)\n";
            return 2;
        }
        recording.sessions.push_back(session);
    }
    std::string error;
    sample::DvSampleInfo info;
    int rc = sample::writeDvAvi(options.output, recording, &info, &error);
    if (rc != 1) {
        std::cerr << "klemora-cli sample: " << error << " (code " << rc << ")\n";
        return 1;
    }
    std::cout << options.output << ": " << info.frameCount << " frames, DV type " << options.type << ", "
              << (options.ntsc ? "NTSC" : "PAL") << ", " << info.fileSize << " bytes\n";
    return 0;
}

RegisterCommand registration(
    "sample", "Write a DV AVI test recording (real DV with date, time and timecode packs)",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<SampleOptions>();
        sub.add_option("OUT", options->output, "AVI file to write")->required();
        sub.add_option("--type", options->type, "DV type: 1 ('iavs') or 2 ('vids' + 'auds')")
            ->check(CLI::IsMember({1, 2}));
        sub.add_flag("--ntsc", options->ntsc, "525/60 (29.97 frames/s) instead of 625/50");
        sub.add_flag("--wide", options->wide, "16:9 (video source control 0xCA)");
        sub.add_option("--opendml", options->openDml, "none, single or segments")
            ->check(CLI::IsMember({"none", "single", "segments"}));
        sub.add_option("--segment-mb", options->segmentMegabytes, "Size limit of one RIFF segment (segments)")
            ->check(CLI::Range(1, 4000));
        sub.add_option("--session", options->sessions,
                       "Recording session \"YYYY-MM-DD HH:MM:SS,SECONDS\" (repeatable; default one of 2 s)");
        action = [options](TerminalUserInterface&) { return writeSample(*options); };
    });

}  // namespace
}  // namespace klemora::cli
