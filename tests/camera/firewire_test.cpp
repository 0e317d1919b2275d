// The FireWire back-end without a camera: the AV/C quadlets it sends and
// how it reads the answers, and a bus without FireWire hardware that lists
// nothing and fails nowhere.
#include <gtest/gtest.h>

#include <libavc1394/avc1394.h>

#include <cerrno>

#include "camera/camera_codes.h"
#include "camera/camera_io.h"
#include "camera/firewire/avc_vcr.h"
#include "camera/firewire/firewire_bus.h"
#include "tests/camera/camera_test_support.h"

namespace klemora::test {
namespace {

namespace fw = camera::firewire;
using camera::TransportMode;

int mode(TransportMode m) { return static_cast<int>(m); }

TEST(AvcVcr, TransportCommandsAreControlQuadletsToTheTapeSubunit) {
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::Play)), 0x0020C375u);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::Freeze)), 0x0020C37Du);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::Stop)), 0x0020C460u);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::FastForward)), 0x0020C475u);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::Rewind)), 0x0020C465u);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::PlayFastestForward)), 0x0020C33Fu);
    EXPECT_EQ(fw::transportCommand(mode(TransportMode::PlayFastestReverse)), 0x0020C34Fu);
    EXPECT_FALSE(fw::transportCommand(mode(TransportMode::Record)));
    EXPECT_EQ(fw::transportStateQuery(), 0x0120D07Fu);
    EXPECT_EQ(fw::timecodeQuery(), 0x01205171u);
}

TEST(AvcVcr, EveryTransportCommandReadsBackAsItsMode) {
    for (TransportMode m : {TransportMode::Play, TransportMode::Freeze, TransportMode::Stop, TransportMode::FastForward,
                            TransportMode::Rewind, TransportMode::PlayFastestForward,
                            TransportMode::PlayFastestReverse}) {
        // A TRANSPORT STATE answer carries the opcode and operand of the state.
        uint32_t answer = AVC1394_RESPONSE_STABLE | (*fw::transportCommand(mode(m)) & 0x00FFFFFF);
        EXPECT_EQ(fw::transportModeFromResponse(answer), mode(m));
    }
    EXPECT_EQ(fw::transportModeFromResponse(AVC1394_RESPONSE_STABLE | 0x0020C27D), mode(TransportMode::RecordFreeze));
    EXPECT_EQ(fw::transportModeFromResponse(AVC1394_RESPONSE_STABLE | 0x0020C160), mode(TransportMode::Stop));
    EXPECT_EQ(fw::transportModeFromResponse(AVC1394_RESPONSE_STABLE | 0x0020C338), mode(TransportMode::Play));
    EXPECT_EQ(fw::transportModeFromResponse(AVC1394_RESPONSE_STABLE | 0x0020C33A),
              mode(TransportMode::PlayFastestForward));
    EXPECT_EQ(fw::transportModeFromResponse(AVC1394_RESPONSE_STABLE | 0x00203000), 0);
}

TEST(AvcVcr, ResponsesSignalsMediumAndTimecode) {
    EXPECT_EQ(fw::responseResult(AVC1394_RESPONSE_ACCEPTED | 0x0020C375), 0);
    EXPECT_EQ(fw::responseResult(AVC1394_RESPONSE_REJECTED | 0x0020C375), -EPERM);
    EXPECT_EQ(fw::responseResult(AVC1394_RESPONSE_NOT_IMPLEMENTED), -ENOTSUP);
    EXPECT_EQ(fw::responseResult(AVC1394_RESPONSE_INTERIM), -EAGAIN);
    EXPECT_EQ(fw::responseResult(0), -EIO);
    EXPECT_EQ(fw::signalFromResponse(0x0C207800), camera::VideoSignal::Line525Field60);
    EXPECT_EQ(fw::signalFromResponse(0x0C207804), camera::VideoSignal::Line525Field60);
    EXPECT_EQ(fw::signalFromResponse(0x0C207880), camera::VideoSignal::Line625Field50);
    EXPECT_EQ(fw::signalFromResponse(0x0C207884), camera::VideoSignal::Line625Field50);
    EXPECT_FALSE(fw::mediumPresentFromResponse(0x0C20DA60));
    EXPECT_TRUE(fw::mediumPresentFromResponse(0x0C20DA32));
    // Frames, seconds, minutes, hours from the highest byte of the answer.
    EXPECT_EQ(fw::bcdTimecodeFromResponse(0x12452301), 0x01234512u);
    EXPECT_FALSE(fw::bcdTimecodeFromResponse(0xFFFFFFFF));
}

TEST(AvcVcr, DevicePathsCarryTheGuid) {
    EXPECT_EQ(fw::devicePathForGuid(0x080046010203ABCDull), "firewire:080046010203abcd");
    uint64_t guid = 0;
    ASSERT_TRUE(fw::guidFromDevicePath("firewire:080046010203abcd", guid));
    EXPECT_EQ(guid, 0x080046010203ABCDull);
    EXPECT_FALSE(fw::guidFromDevicePath("simulated:/tmp/tape.avi", guid));
    EXPECT_FALSE(fw::guidFromDevicePath("firewire:08004601020xabcd", guid));
}

// No FireWire controller exists where the tests run: the bus must answer
// with an empty list (or a clean failure when the kernel offers no access),
// and CameraIO must report "no devices".
TEST(FireWireBus, WithoutHardwareListsNothing) {
    LogCapture log;
    camera::ManualClock clock;
    auto bus = fw::makeFireWireBus(clock, log.object());
    std::vector<camera::DeviceProperties> devices;
    int rc = bus->enumerate(devices);
    EXPECT_TRUE(devices.empty());
    if (rc == 0)
        EXPECT_TRUE(log.contains("CameraIO: FireWire: no ports") || log.contains("CameraIO: FireWire: port "));
    else
        EXPECT_TRUE(log.contains("raw1394_new_handle failed") || log.contains("raw1394_get_port_info failed"));
    std::unique_ptr<camera::CameraDevice> device;
    EXPECT_NE(bus->open("firewire:0000000000000001", device), 0);
    EXPECT_EQ(bus->open("simulated:x", device), -ENODEV);
    EXPECT_FALSE(device);

    ScriptedUserInterface ui;
    camera::CameraIO io(ui, clock, [&clock](camera::BusList& buses) {
        buses.push_back(fw::makeFireWireBus(clock));
        return 0;
    });
    std::vector<std::string> list;
    EXPECT_EQ(io.ListCaptureDevices(&list), -3);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace klemora::test
