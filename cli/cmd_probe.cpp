// "probe": the facts of AVI files as the program's own reader sees them.
// Each fact is a key/value pair, printed as text or as one JSON object per
// file (JSON Lines), so further fact groups join the same printer.
#include <iostream>
#include <string>
#include <vector>

#include "avi/avi_result.h"
#include "avi/container_facts.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/probe_facts.h"
#include "cli/command_registry.h"

namespace klemora::cli {
namespace {

struct ProbeOptions {
    std::vector<std::string> files;
    bool containerOnly = false;
    bool json = false;
};

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

// One file's facts: a JSON object on one line, or the file name followed by
// one indented "key: value" line per fact.
void printFacts(std::ostream& out, const std::string& file, const std::vector<avi::Fact>& facts, bool json) {
    if (json) {
        out << '{';
        for (size_t i = 0; i < facts.size(); ++i) {
            out << (i ? "," : "") << jsonString(facts[i].key) << ':'
                << (facts[i].kind == avi::FactKind::Text ? jsonString(facts[i].value) : facts[i].value);
        }
        out << "}\n";
        return;
    }
    out << file << '\n';
    for (const avi::Fact& fact : facts) out << "  " << fact.key << ": " << fact.value << '\n';
}

// The media layer's view (streams, rate, duration) with the container facts;
// any file FFmpeg can open, information messages on standard error.
bool probeMediaFile(const std::string& file, bool json, TerminalUserInterface& ui) {
    media::MediaInfo info;
    int rc = media::ProbeMedia(file, info, ui);
    if (rc != 1) {
        std::cerr << "klemora-cli probe: " << file << ": cannot probe (Code: " << rc << ")\n";
        return false;
    }
    media::GetExtraData(info, true, ui);
    printFacts(std::cout, file, media::ProbeFacts(info), json);
    media::ReleaseMedia(info);
    return true;
}

int probe(const ProbeOptions& options, TerminalUserInterface& ui) {
    int failures = 0;
    for (const std::string& file : options.files) {
        if (!options.containerOnly) {
            failures += probeMediaFile(file, options.json, ui) ? 0 : 1;
            continue;
        }
        avi::ContainerFacts facts;
        int rc = avi::readContainerFacts(file, facts);
        if (rc != 1) {
            std::cerr << "klemora-cli probe: " << file << ": cannot open (Code: " << rc << ", "
                      << avi::openResultName(rc) << ")\n";
            ++failures;
            continue;
        }
        printFacts(std::cout, file, avi::containerFactList(facts), options.json);
    }
    return failures == 0 ? 0 : 1;
}

RegisterCommand registration("probe", "Show the streams, frame rate, duration and DV facts of media files",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto options = std::make_shared<ProbeOptions>();
                                 sub.add_option("FILE", options->files, "Media files (AVI, DV, ...)")->required();
                                 sub.add_flag("--container", options->containerOnly,
                                              "Only the facts of the AVI container reader");
                                 sub.add_flag("--json", options->json, "One JSON object per file (JSON Lines)");
                                 action = [options](TerminalUserInterface& ui) { return probe(*options, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
