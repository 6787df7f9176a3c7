#pragma once
#include <string>

#include "core/ConfigurationRecord.h"

namespace kvt::test {

// For tests that talk through the recorder's link as a running acquisition
// would: normal mode, every node a MOD-15, both run flags set. Restores the
// configuration, the flags, the learned output counts and the mailbox, and
// closes the link, when it goes.
class RunningLinkState {
public:
    RunningLinkState();
    ~RunningLinkState();
    RunningLinkState(const RunningLinkState&) = delete;
    RunningLinkState& operator=(const RunningLinkState&) = delete;

    static void setRunning(bool running);

private:
    ConfigurationRecord saved_;
};

// The link of COM<commPort + 1> under `home`: <home>/.config/kvt936p/comN.
std::string comLinkPath(const std::string& home, int commPort);
// Points COM1 at `device`; false on failure.
bool linkCom1To(const std::string& home, const std::string& device);
// Points COM<commPort + 1> at `device`, replacing the link there; false on failure.
bool linkComTo(const std::string& home, int commPort, const std::string& device);

// Makes the live configuration's link Modbus/TCP to a gateway on 127.0.0.1.
void useLoopbackGateway();

}  // namespace kvt::test
