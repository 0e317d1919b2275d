// "camera": lists the DV cameras, drives a camera's tape transport and
// captures its DV stream into an AVI file, printing the status line of the
// camera dialog once a second. Without FireWire hardware the simulated
// camera serves: KLEMORA_SIMULATED_CAMERA (or the setting "SimulatedCamera")
// names a DV AVI or raw DV file that plays as its tape.
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "camera/camera_codes.h"
#include "camera/camera_io.h"
#include "camera/capture_sequence.h"
#include "camera/capture_status.h"
#include "camera/captured_files.h"
#include "camera/simulated_tape.h"
#include "camera/system_buses.h"
#include "cli/command_registry.h"
#include "cli/option_checks.h"
#include "cli/run_context.h"
#include "scene/time_text.h"

namespace klemora::cli {
namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void requestStop(int) { g_stopRequested = 1; }

struct CameraOptions {
    int device = -1;  // -1: the "VideoDevice" setting, else the first
    std::string out;
    int type = 1;
    int seconds = 0;  // 0: until Ctrl+C
    bool noControl = false;
};

constexpr int64_t kStatusPeriod = 1000000;

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    auto lower = [](std::string_view s) {
        std::string r(s);
        for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return r;
    };
    return lower(text).find(lower(part)) != std::string::npos;
}

// Lists the devices and picks one; -1 (with a message) when there is none.
int chooseDevice(camera::CameraIO& io, int wanted, std::vector<std::string>& entries) {
    if (io.ListCaptureDevices(&entries) != 1 || entries.empty()) {
        std::cerr << "klemora-cli camera: no capture device found";
        if (!camera::fireWireBuiltIn()) std::cerr << " (this build has no FireWire support)";
        std::cerr << ". Set " << camera::kSimulatedCameraVariable
                  << " to a DV file to use the simulated camera.\n";
        return -1;
    }
    if (wanted >= 0) {
        if (wanted < static_cast<int>(entries.size())) return wanted;
        std::cerr << "klemora-cli camera: no device " << wanted << " (" << entries.size() << " listed)\n";
        return -1;
    }
    std::string last = app::settings().readText("VideoDevice", "");
    for (size_t i = 0; !last.empty() && i < entries.size(); ++i)
        if (containsIgnoringCase(entries[i], last)) return static_cast<int>(i);
    return 0;
}

int listDevices(camera::CameraIO& io) {
    std::vector<std::string> entries;
    if (io.ListCaptureDevices(&entries) != 1 || entries.empty()) {
        std::cout << "No capture devices.\n";
        if (!camera::fireWireBuiltIn()) std::cout << "(This build has no FireWire support.)\n";
        else std::cout << "(No DV camera on the FireWire bus; the debug log tells why.)\n";
        return 1;
    }
    for (size_t i = 0; i < entries.size(); ++i)
        std::cout << i << ": " << entries[i] << "  [" << io.deviceTable()[i].devicePath << "]\n";
    return 0;
}

int openCamera(camera::CameraIO& io, int wanted) {
    std::vector<std::string> entries;
    int index = chooseDevice(io, wanted, entries);
    if (index < 0) return -1;
    if (io.AddCamera(index) != 1) return -1;
    app::settings().writeText("VideoDevice", entries[static_cast<size_t>(index)]);
    return index;
}

using Command = int (camera::CameraIO::*)();

int transport(camera::CameraIO& io, const CameraOptions& options, Command command) {
    io.setStopOnRelease(false);  // the tape goes on playing after the program ends
    if (openCamera(io, options.device) < 0) return 1;
    if (!io.hasTransport()) {
        std::cout << "The camera has no transport control (state -1).\n";
        return 1;
    }
    int rc = command ? (io.*command)() : 1;
    int state = io.GetCameraState();
    std::cout << camera::transportModeText(state) << " (" << state << ")\n";
    return rc == 1 && state >= 0 ? 0 : 1;
}

void printScene(const scene::SceneList& scenes) {
    if (scenes.count() < 1) return;
    const scene::SceneRecord* r = scenes.record(0);
    std::cout << "Scene: " << scenes.sourceFile(0) << ", frames " << r->startFrame << "-" << r->stopFrame << ", "
              << r->framesPerSecond << " fps, DV type " << r->dvType << ", recorded "
              << scene::recordingTimeText(r->recordingTime) << '\n';
}

int capture(camera::CameraIO& io, const CameraOptions& options, TerminalUserInterface& ui, camera::Clock& clock) {
    if (openCamera(io, options.device) < 0) return 1;
    camera::CaptureRequest request;
    request.fileName = options.out;
    request.dvType = options.type;
    request.preview = false;
    request.restorePreview = false;
    request.cameraControl = !options.noControl && app::settings().readInt("CameraCtrl", 1) != 0;
    camera::CaptureStop stop;  // any other Stop (a termination signal) aborts
    request.stop = &stop;

    bool statusOn = false;
    int64_t nextStatus = 0, captureStart = -1;
    camera::CaptureHooks hooks;
    hooks.showState = [](std::string_view text) { std::cout << text << '\n'; };
    hooks.statusTimer = [&](bool on) {
        statusOn = on;
        nextStatus = clock.nowMicroseconds() + kStatusPeriod;
    };
    hooks.refreshStatus = [&] { std::cout << camera::currentStatusLine(io, true) << std::endl; };
    io.onCaptureWait = [&](camera::CameraIO& camera) {
        const int64_t now = clock.nowMicroseconds();
        if (captureStart < 0) captureStart = now;
        if (statusOn && now >= nextStatus) {
            std::cout << camera::currentStatusLine(camera, true) << std::endl;
            nextStatus += kStatusPeriod;
        }
        // Ctrl+C and the time limit are the capture button: a normal end.
        if (g_stopRequested || (options.seconds > 0 && now - captureStart >= options.seconds * kStatusPeriod))
            stop.finish(ui);
    };
    auto previous = std::signal(SIGINT, requestStop);
    camera::CapturedFiles captured(ui, io.log());
    camera::CaptureOutcome outcome;
    int result = camera::RunCapture(io, request, ui, clock, captured, hooks, &outcome);
    std::signal(SIGINT, previous);
    io.onCaptureWait = nullptr;
    if (result == 0) return 1;
    std::cout << "Capture ended: " << camera::captureEndName(result) << " (" << result << "), " << outcome.path
              << '\n';
    printScene(captured.scenes());
    return result == 1 ? 0 : result > 0 ? result : 1;
}

// A tape the user named but that cannot play is worth a word before anything else.
void checkSimulatedTape(const std::string& tape) {
    if (tape.empty()) return;
    camera::SimulatedTape probe;
    if (probe.load(tape) != 0)
        std::cerr << "klemora-cli camera: " << tape
                  << " is not a readable DV AVI or raw DV file; the simulated deck has no cassette.\n";
}

int run(const std::string& name, const CameraOptions& options, TerminalUserInterface& ui) {
    // The settings as the run starts; the camera code reads none itself.
    const std::string tape = camera::simulatedTapeFile(app::settings().readText(camera::kSimulatedCameraKey, ""));
    checkSimulatedTape(tape);
    const app::DebugLog& log = commandLog();
    camera::Clock& clock = camera::systemClock();
    camera::CameraIO io(ui, clock, camera::systemBusFactory(clock, tape, log), log);
    if (!io.baseGraphReady()) return 1;
    if (name == "list") return listDevices(io);
    if (name == "capture") return capture(io, options, ui, clock);
    static const std::vector<std::pair<std::string, Command>> commands = {
        {"state", nullptr},
        {"play", &camera::CameraIO::CameraPlay},
        {"pause", &camera::CameraIO::CameraPause},
        {"stop", &camera::CameraIO::CameraStop},
        {"forward", &camera::CameraIO::CameraForward},
        {"backward", &camera::CameraIO::CameraBackward},
        {"fast-forward", &camera::CameraIO::CameraPlayFastForward},
        {"fast-backward", &camera::CameraIO::CameraPlayFastBackward},
    };
    for (const auto& [command, method] : commands)
        if (command == name) return transport(io, options, method);
    return 1;
}

RegisterCommand registration(
    "camera", "DV camera: list devices, drive the tape transport, capture to AVI",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<CameraOptions>();
        auto chosen = std::make_shared<std::string>();
        sub.require_subcommand(1, 1);
        auto add = [&](const std::string& name, const std::string& help) {
            CLI::App* command = sub.add_subcommand(name, help);
            command->callback([chosen, name] { *chosen = name; });
            if (name != "list")
                command->add_option("--device", options->device, "Device number from 'camera list'")
                    ->check(atLeast(0));
            return command;
        };
        add("list", "List the capture devices (name / description [device path])");
        add("state", "Show the transport state");
        add("play", "Play");
        add("pause", "Pause (freeze)");
        add("stop", "Stop");
        add("forward", "Wind forward");
        add("backward", "Wind backward");
        add("fast-forward", "Picture search forward");
        add("fast-backward", "Picture search backward");
        CLI::App* capture = add("capture", "Capture the DV stream into an AVI file");
        capture->add_option("--out", options->out, "Destination AVI file (full path)")->required();
        capture->add_option("--type", options->type, "DV type: 1 ('iavs') or 2 ('vids' + 'auds')")
            ->check(CLI::IsMember({1, 2}));
        capture->add_option("--seconds", options->seconds, "Stop after this many seconds (default: Ctrl+C)")
            ->check(atLeast(0));
        capture->add_flag("--no-control", options->noControl,
                          "Do not drive the transport (pause, play, stop) around the capture");
        action = [options, chosen](TerminalUserInterface& ui) { return run(*chosen, *options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
