// kvt-nodesim: simulated MOD-15 power-meter nodes for trying and testing the
// recorder without hardware. See --help and README.md.
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "EventLog.h"
#include "ProgramVersion.h"
#include "NodeBank.h"
#include "ReplyBuilder.h"
#include "RequestHandler.h"
#include "RtuLine.h"
#include "SimulatorOptions.h"
#include "TcpGateway.h"

namespace kvt::nodesim {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) { stopRequested = 1; }

void installSignalHandlers() {
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Commands typed while running: the same syntax as the options, dashes optional.
class CommandInput {
public:
    explicit CommandInput(SimulatorOptions& options) : options_(options) {}

    bool open() const { return open_; }
    void service() {
        char bytes[512];
        ssize_t count = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (count <= 0) {
            open_ = false;  // end of input: keep serving without commands
            return;
        }
        pending_.append(bytes, static_cast<size_t>(count));
        for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            apply(line);
        }
    }

private:
    void apply(const std::string& line) {
        std::istringstream stream(line);
        std::vector<std::string> words;
        for (std::string word; stream >> word;) words.push_back(word);
        if (words.empty()) return;
        static const std::set<std::string> startOnly = {"rtu", "tcp", "link", "listen", "port",
                                                        "nodes", "log", "help", "h",
                                                        "version"};
        std::string name = withoutDashes(words[0]);
        if (startOnly.count(name.substr(0, name.find('='))) != 0) {
            std::cerr << "error: " << name << " can only be given at start" << std::endl;
            return;
        }
        std::string error;
        for (size_t index = 0; index < words.size();) {
            int used = applyOption(words, index, options_, error);
            if (used == 0) {
                std::cerr << "error: " << error << std::endl;
                return;
            }
            index += static_cast<size_t>(used);
        }
        std::cout << "ok " << line << std::endl;
    }

    SimulatorOptions& options_;
    std::string pending_;
    bool open_ = true;
};

int run(SimulatorOptions& options) {
    EventLog log(options.logPath);
    if (!log.usable()) {
        std::cerr << "kvt-nodesim: cannot open log file " << options.logPath << std::endl;
        return 2;
    }
    NodeBank bank(options);
    ReplyBuilder builder;
    if (!builder.ready()) {
        std::cerr << "kvt-nodesim: cannot set up libmodbus" << std::endl;
        return 2;
    }
    RequestHandler handler(options, bank, builder, log);
    std::unique_ptr<RtuLine> line;
    std::unique_ptr<TcpGateway> gateway;
    std::string error;
    if (options.rtu) {
        line = std::make_unique<RtuLine>(handler);
        if (!line->open(options.linkPath, error)) {
            std::cerr << "kvt-nodesim: " << error << std::endl;
            return 2;
        }
        std::cout << "rtu " << line->slavePath() << std::endl;
        if (!options.linkPath.empty()) std::cout << "link " << options.linkPath << std::endl;
    }
    if (options.tcp) {
        gateway = std::make_unique<TcpGateway>(handler, options, log);
        if (!gateway->listenOn(options.listenAddress, options.port, error)) {
            std::cerr << "kvt-nodesim: " << error << std::endl;
            return 2;
        }
        std::cout << "tcp " << gateway->boundAddress() << std::endl;
    }
    std::cout << "ready" << std::endl;

    CommandInput commands(options);
    std::vector<pollfd> entries;
    while (!stopRequested) {
        entries.clear();
        if (commands.open()) entries.push_back({STDIN_FILENO, POLLIN, 0});
        if (line) entries.push_back({line->descriptor(), POLLIN, 0});
        if (gateway) gateway->addPollEntries(entries);
        if (poll(entries.data(), entries.size(), 10) < 0) continue;
        for (const pollfd& entry : entries) {
            if (entry.revents == 0) continue;
            if (entry.fd == STDIN_FILENO) commands.service();
            else if (line && entry.fd == line->descriptor()) line->serviceInput();
        }
        if (line) line->serviceIdle();
        if (gateway) gateway->service(entries);
    }
    return 0;
}

}  // namespace
}  // namespace kvt::nodesim

int main(int argc, char** argv) {
    using namespace kvt::nodesim;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    SimulatorOptions options;
    std::string error;
    if (!parseCommandLine(arguments, options, error)) {
        std::cerr << "kvt-nodesim: " << error << "\n" << usageLine() << std::flush;
        return 2;
    }
    if (options.help) {
        std::cout << usageLine() << usageText();
        return 0;
    }
    if (options.version) {
        std::cout << "kvt-nodesim " KVT_PROGRAM_VERSION "\n";
        return 0;
    }
    installSignalHandlers();
    return run(options);
}
