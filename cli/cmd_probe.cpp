// "probe": the facts of AVI files as the program's own reader sees them.
// Each fact is a key/value pair, printed as text or as one JSON object per
// file (JSON Lines), so further fact groups join the same printer.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "avi/avi_result.h"
#include "avi/container_facts.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/probe_facts.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "output/write_messages.h"
#include "media/media_result.h"

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

// What probing one file gave: its facts, and why they are missing or
// incomplete when they are.
struct ProbeReport {
    std::string file;
    std::vector<avi::Fact> facts;
    std::string error;  // empty: every fact read
    int code = 0;
};

std::string jsonValue(const avi::Fact& fact) {
    if (fact.value.empty()) return "null";
    return fact.kind == avi::FactKind::Text ? jsonString(fact.value) : fact.value;
}

// One line per file in JSON, its path first; as text the file name followed
// by one indented "key: value" line per fact ("-" for an unknown value). The
// text form's failures are the messages on standard error.
void printReport(std::ostream& out, const ProbeReport& report, bool json) {
    if (json) {
        out << "{\"file\":" << jsonString(report.file);
        for (const avi::Fact& fact : report.facts) out << ',' << jsonString(fact.key) << ':' << jsonValue(fact);
        if (!report.error.empty())
            out << ",\"error\":" << jsonString(report.error);
        if (report.code != 0) out << ",\"code\":" << report.code;
        out << "}\n";
        return;
    }
    if (report.facts.empty()) return;
    out << report.file << '\n';
    for (const avi::Fact& fact : report.facts)
        out << "  " << fact.key << ": " << (fact.value.empty() ? "-" : fact.value) << '\n';
}

// The media layer's view (streams, rate, duration) with the container facts;
// any file FFmpeg can open, information messages on standard error.
ProbeReport probeMediaFile(const std::string& file, TerminalUserInterface& ui) {
    ProbeReport report{file};
    media::MediaInfo info(app::settings().readText("FixRatio", ""), commandLog());
    int rc = media::ProbeMedia(file, info, ui);
    if (rc != 1) {
        output::showOpenFailure(ui, file, rc);
        return {file, {}, std::string(media::probeResultName(rc)), rc};
    }
    rc = media::GetExtraData(info, true, ui);
    if (rc == static_cast<int>(media::ExtraDataResult::ReaderFailed)) {
        ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(882).c_str(), file.c_str(), rc),
                       app::Icon::Stop);
        report.error = media::extraDataResultName(rc);
        report.code = rc;
    }
    report.facts = media::ProbeFacts(info);
    return report;
}

ProbeReport probeContainer(const std::string& file, TerminalUserInterface& ui) {
    avi::ContainerFacts facts;
    int rc = avi::readContainerFacts(file, facts, commandLog());
    if (rc != 1) {
        output::showOpenFailure(ui, file, rc);
        return {file, {}, std::string(avi::openResultName(rc)), rc};
    }
    return {file, avi::containerFactList(facts)};
}

ProbeReport probeFile(const std::string& file, bool containerOnly, TerminalUserInterface& ui) {
    if (!inputFileExists(file, ui)) return {file, {}, "FileNotFound", 0};
    return containerOnly ? probeContainer(file, ui) : probeMediaFile(file, ui);
}

int probe(const ProbeOptions& options, TerminalUserInterface& ui) {
    int failures = 0;
    for (const std::string& file : options.files) {
        ProbeReport report = probeFile(file, options.containerOnly, ui);
        if (!report.error.empty()) ++failures;
        printReport(std::cout, report, options.json);
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
