#include "camera/firewire/avc_vcr.h"

#include <libavc1394/avc1394.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include "camera/camera_codes.h"

namespace klemora::camera::firewire {
namespace {

constexpr uint32_t kVcr = AVC1394_SUBUNIT_TYPE_VCR | AVC1394_SUBUNIT_ID_0;
constexpr uint32_t kControl = AVC1394_CTYPE_CONTROL | kVcr;
constexpr uint32_t kStatus = AVC1394_CTYPE_STATUS | kVcr;
constexpr uint8_t kTimecodeStatus = 0x71;
constexpr const char* kPathPrefix = "firewire:";

uint8_t operand0(uint32_t response) { return static_cast<uint8_t>(response & 0xFF); }
uint32_t opcodeOf(uint32_t response) { return response & 0x0000FF00; }

int playMode(uint8_t operand) {
    if (operand == AVC1394_VCR_OPERAND_PLAY_FORWARD_PAUSE || operand == AVC1394_VCR_OPERAND_PLAY_REVERSE_PAUSE)
        return static_cast<int>(TransportMode::Freeze);
    if (operand == AVC1394_VCR_OPERAND_PLAY_FORWARD || operand == AVC1394_VCR_OPERAND_PLAY_X1_FORWARD ||
        (operand >= AVC1394_VCR_OPERAND_PLAY_NEXT_FRAME && operand <= AVC1394_VCR_OPERAND_PLAY_SLOW_FORWARD_1))
        return static_cast<int>(TransportMode::Play);
    if (operand >= AVC1394_VCR_OPERAND_PLAY_FAST_FORWARD_1 && operand <= AVC1394_VCR_OPERAND_PLAY_FASTEST_FORWARD)
        return static_cast<int>(TransportMode::PlayFastestForward);
    if ((operand >= AVC1394_VCR_OPERAND_PLAY_PREVIOUS_FRAME && operand <= AVC1394_VCR_OPERAND_PLAY_FASTEST_REVERSE) ||
        operand == AVC1394_VCR_OPERAND_PLAY_REVERSE)
        return static_cast<int>(TransportMode::PlayFastestReverse);
    return 0;
}

int windMode(uint8_t operand) {
    switch (operand) {
        case AVC1394_VCR_OPERAND_WIND_STOP: return static_cast<int>(TransportMode::Stop);
        case AVC1394_VCR_OPERAND_WIND_FAST_FORWARD: return static_cast<int>(TransportMode::FastForward);
        case AVC1394_VCR_OPERAND_WIND_REWIND:
        case AVC1394_VCR_OPERAND_WIND_HIGH_SPEED_REWIND: return static_cast<int>(TransportMode::Rewind);
        default: return 0;
    }
}

}  // namespace

std::optional<uint32_t> transportCommand(int mode) {
    switch (static_cast<TransportMode>(mode)) {
        case TransportMode::Play: return kControl | AVC1394_VCR_COMMAND_PLAY | AVC1394_VCR_OPERAND_PLAY_FORWARD;
        case TransportMode::Freeze:
            return kControl | AVC1394_VCR_COMMAND_PLAY | AVC1394_VCR_OPERAND_PLAY_FORWARD_PAUSE;
        case TransportMode::Stop: return kControl | AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_STOP;
        case TransportMode::FastForward:
            return kControl | AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_FAST_FORWARD;
        case TransportMode::Rewind: return kControl | AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_REWIND;
        case TransportMode::PlayFastestForward:
            return kControl | AVC1394_VCR_COMMAND_PLAY | AVC1394_VCR_OPERAND_PLAY_FASTEST_FORWARD;
        case TransportMode::PlayFastestReverse:
            return kControl | AVC1394_VCR_COMMAND_PLAY | AVC1394_VCR_OPERAND_PLAY_FASTEST_REVERSE;
        default: return std::nullopt;
    }
}

uint32_t transportStateQuery() {
    return kStatus | AVC1394_VCR_COMMAND_TRANSPORT_STATE | AVC1394_VCR_OPERAND_TRANSPORT_STATE;
}
uint32_t outputSignalModeQuery() { return kStatus | AVC1394_VCR_COMMAND_OUTPUT_SIGNAL_MODE | 0xFF; }
uint32_t mediumInfoQuery() { return kStatus | AVC1394_VCR_COMMAND_MEDIUM_INFO | 0x7F; }
uint32_t timecodeQuery() { return kStatus | AVC1394_VCR_COMMAND_TIME_CODE | kTimecodeStatus; }

int responseResult(uint32_t response) {
    switch (AVC1394_MASK_RESPONSE(response)) {
        case AVC1394_RESPONSE_ACCEPTED:
        case AVC1394_RESPONSE_STABLE:
        case AVC1394_RESPONSE_CHANGED: return 0;
        case AVC1394_RESPONSE_REJECTED: return -EPERM;
        case AVC1394_RESPONSE_NOT_IMPLEMENTED: return -ENOTSUP;
        case AVC1394_RESPONSE_IN_TRANSITION:
        case AVC1394_RESPONSE_INTERIM: return -EAGAIN;
        default: return -EIO;  // no response at all reads as 0
    }
}

int transportModeFromResponse(uint32_t response) {
    const uint8_t operand = operand0(response);
    switch (opcodeOf(response)) {
        case AVC1394_VCR_RESPONSE_TRANSPORT_STATE_PLAY: return playMode(operand);
        case AVC1394_VCR_RESPONSE_TRANSPORT_STATE_WIND: return windMode(operand);
        case AVC1394_VCR_RESPONSE_TRANSPORT_STATE_RECORD:
            return operand == AVC1394_VCR_OPERAND_RECORD_PAUSE ? static_cast<int>(TransportMode::RecordFreeze)
                                                               : static_cast<int>(TransportMode::Record);
        // A deck without a cassette (or ejecting) stands still.
        case AVC1394_VCR_RESPONSE_TRANSPORT_STATE_LOAD_MEDIUM: return static_cast<int>(TransportMode::Stop);
        default: return 0;
    }
}

// Signal modes: bit 7 set for the 50-field systems (SD 0x80, SDL 0x84, HD
// 0x88), clear for the 60-field ones (SD 0x00, SDL 0x04, HD 0x08).
VideoSignal signalFromResponse(uint32_t response) {
    const uint8_t mode = operand0(response);
    if (mode == 0xFF) return VideoSignal::Unknown;
    return (mode & 0x80) ? VideoSignal::Line625Field50 : VideoSignal::Line525Field60;
}

bool mediumPresentFromResponse(uint32_t response) {
    const uint8_t cassette = operand0(response);
    return cassette != AVC1394_VCR_OPERAND_MEDIUM_INFO_NONE;
}

std::optional<uint32_t> bcdTimecodeFromResponse(uint32_t operands) {
    if (operands == 0xFFFFFFFF) return std::nullopt;
    const uint32_t hours = operands & 0xFF, minutes = operands >> 8 & 0xFF, seconds = operands >> 16 & 0xFF,
                   frames = operands >> 24 & 0xFF;
    return hours << 24 | minutes << 16 | seconds << 8 | frames;
}

std::string devicePathForGuid(uint64_t guid) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%016" PRIx64, kPathPrefix, guid);
    return text;
}

bool guidFromDevicePath(const std::string& path, uint64_t& guid) {
    const std::string prefix = kPathPrefix;
    if (path.size() != prefix.size() + 16 || path.compare(0, prefix.size(), prefix) != 0) return false;
    guid = 0;
    for (size_t i = prefix.size(); i < path.size(); ++i) {
        char c = path[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        guid = guid << 4 | static_cast<uint64_t>(digit);
    }
    return true;
}

}  // namespace klemora::camera::firewire
