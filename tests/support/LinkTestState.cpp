#include "support/LinkTestState.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "acquisition/ModbusLink.h"
#include "acquisition/RequestMailbox.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"

namespace kvt::test {

RunningLinkState::RunningLinkState() : saved_(liveConfiguration) {
    for (int& type : liveConfiguration.nodeType) type = kMod15Type;
    liveConfiguration.operatingMode = kNormalMode;
    liveConfiguration.commPort = 0;
    setRunning(true);
}

RunningLinkState::~RunningLinkState() {
    closeLink();
    setRunning(false);
    forgetOutputRegisterCounts();
    clearRequestMailbox();
    liveConfiguration = saved_;
}

void RunningLinkState::setRunning(bool running) {
    store(acquisitionRequested, running ? 1 : 0);
    store(acquisitionActive, running ? 1 : 0);
}

bool linkCom1To(const std::string& home, const std::string& device) {
    return linkComTo(home, 0, device);
}

std::string comLinkPath(const std::string& home, int commPort) {
    return home + "/.config/kvt936p/com" + std::to_string(commPort + 1);
}

bool linkComTo(const std::string& home, int commPort, const std::string& device) {
    std::error_code error;
    std::string link = comLinkPath(home, commPort);
    std::filesystem::create_directories(std::filesystem::path(link).parent_path(), error);
    std::filesystem::remove(link, error);
    std::filesystem::create_symlink(device, link, error);
    return !error;
}

void useLoopbackGateway() {
    const int32_t loopback[4] = {127, 0, 0, 1};
    liveConfiguration.commPort = kCommPortTcp;
    std::copy(std::begin(loopback), std::end(loopback), liveConfiguration.ipAddress);
}

}  // namespace kvt::test
