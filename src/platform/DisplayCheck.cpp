#include "platform/DisplayCheck.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace kvt {
namespace {

constexpr int kRemoteWaitMs = 5000;
constexpr int kFirstTcpPort = 6000;  // X11 display N listens on 6000 + N
constexpr int kConnectAttempts = 3;
constexpr int kRetryPauseMs = 300;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// "[protocol/][host]:number[.screen]"
struct X11Address {
    std::string protocol;
    std::string host;
    int number = 0;
};

bool parseDisplayName(const std::string& name, X11Address& address) {
    size_t colon = name.rfind(':');
    if (colon == std::string::npos || colon + 1 >= name.size()) return false;
    const char* digits = name.c_str() + colon + 1;
    char* end = nullptr;
    long number = std::strtol(digits, &end, 10);
    if (end == digits || number < 0 || number > 59535 || (*end != '\0' && *end != '.')) {
        return false;
    }
    address.number = static_cast<int>(number);
    address.host = name.substr(0, colon);
    size_t slash = address.host.find('/');
    if (slash != std::string::npos) {
        address.protocol = address.host.substr(0, slash);
        address.host.erase(0, slash + 1);
    }
    return true;
}

// Connects to a local X server socket, by its abstract name or its file.
int connectUnix(const std::string& path, bool abstractName) {
    int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return errno;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    size_t offset = abstractName ? 1 : 0;
    std::strncpy(address.sun_path + offset, path.c_str(), sizeof address.sun_path - offset - 1);
    socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    int error = connect(descriptor, reinterpret_cast<sockaddr*>(&address), length) == 0 ? 0 : errno;
    close(descriptor);
    return error;
}

std::string localSocketPath(int number) { return "/tmp/.X11-unix/X" + std::to_string(number); }

std::string localProblem(int number) {
    std::string path = localSocketPath(number);
    if (connectUnix(path, true) == 0) return "";
    int error = connectUnix(path, false);
    if (error == 0) return "";
    if (error == ENOENT) return "no X server runs there (there is no " + path + ")";
    if (error == ECONNREFUSED) return "no X server answers at " + path;
    return path + ": " + std::strerror(error);
}

// Connects with a deadline; 0 or the error (ETIMEDOUT after the wait).
int connectWithin(const addrinfo& address, int waitMs) {
    int descriptor = socket(address.ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor < 0) return errno;
    int error = 0;
    if (connect(descriptor, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd waiting{descriptor, POLLOUT, 0};
            int ready = poll(&waiting, 1, waitMs);
            socklen_t size = sizeof error;
            if (ready <= 0) error = ETIMEDOUT;
            else if (getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
        }
    }
    close(descriptor);
    return error;
}

std::string tcpProblem(const X11Address& x11) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string port = std::to_string(kFirstTcpPort + x11.number);
    int lookup = getaddrinfo(x11.host.c_str(), port.c_str(), &hints, &found);
    if (lookup != 0) return "cannot find the host " + x11.host + " (" + gai_strerror(lookup) + ")";
    int error = ENETUNREACH;
    for (addrinfo* address = found; address != nullptr && error != 0; address = address->ai_next) {
        error = connectWithin(*address, kRemoteWaitMs);
    }
    freeaddrinfo(found);
    if (error == 0) return "";
    std::string where = x11.host + " port " + port;
    if (error == ECONNREFUSED) return "no X server listens on " + where;
    if (error == ETIMEDOUT) {
        return "no answer from " + where + " within " + std::to_string(kRemoteWaitMs / 1000) + " s";
    }
    return where + ": " + std::strerror(error);
}

// What the X library writes on standard error while `connecting` runs (it
// writes the reason a server refuses a connection there itself).
std::string stderrDuring(const std::function<void()>& connecting) {
    int channel[2];
    int saved = dup(STDERR_FILENO);
    if (saved < 0 || pipe2(channel, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (saved >= 0) close(saved);
        connecting();
        return "";
    }
    dup2(channel[1], STDERR_FILENO);
    connecting();
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(channel[1]);
    std::string text;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) text.append(buffer, got);
    close(channel[0]);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// Opens the display with the X library: 0 or its error, and what it said.
// The connection stays open for the run: a server that resets when its
// last client leaves (a bare Xvfb, as xvfb-run starts one) would otherwise
// be resetting just when the toolkit connects.
int openDisplay(const std::string& name, int& screen, std::string& refusal) {
    static xcb_connection_t* kept = nullptr;
    int error = 0;
    refusal = stderrDuring([&] {
        xcb_connection_t* connection = xcb_connect(name.c_str(), &screen);
        error = xcb_connection_has_error(connection);
        if (error == 0 && kept == nullptr) {
            kept = connection;
        } else {
            xcb_disconnect(connection);
        }
    });
    return error;
}

// Whether the server lets us in is what the X library finds. A connection
// cut without a word may meet a server that is just resetting: it is tried
// again a few times.
std::string connectionProblem(const std::string& name, bool local, int number) {
    int screen = 0;
    std::string refusal;
    int error = XCB_CONN_ERROR;
    for (int attempt = 0; attempt < kConnectAttempts && error == XCB_CONN_ERROR && refusal.empty();
         ++attempt) {
        if (attempt > 0 && local && access(localSocketPath(number).c_str(), F_OK) != 0) break;
        if (attempt > 0) usleep(kRetryPauseMs * 1000);
        error = openDisplay(name, screen, refusal);
    }
    switch (error) {
    case 0:
        return "";
    case XCB_CONN_CLOSED_PARSE_ERR:
        return "not a display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return "the X server has no screen " + std::to_string(screen);
    case XCB_CONN_ERROR:
        if (!refusal.empty()) return "the X server refused the connection: " + refusal;
        if (local && !localProblem(number).empty()) return localProblem(number);
        return "the connection broke off (is it an X server?)";
    default:
        return "the X server connection failed (X library error " + std::to_string(error) + ")";
    }
}

std::string x11Problem(const std::string& name) {
    X11Address address;
    if (!parseDisplayName(name, address)) return "not a display name (it has the form host:number)";
    // A remote server is first tried with a deadline; a local one is only
    // looked at when the X library could not open it (a connection closed
    // before the X handshake can make a fresh server reset under the next).
    bool local = address.protocol == "unix" || address.host.empty() || address.host == "unix";
    std::string problem = local ? "" : tcpProblem(address);
    return problem.empty() ? connectionProblem(name, local, address.number) : problem;
}

}  // namespace

std::string displayProblem(const char* platformArgument, const char* displayArgument) {
    const char* platform = platformArgument;
    if (platform == nullptr && isSet("QT_QPA_PLATFORM")) platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr) {
        if (std::strncmp(platform, "xcb", 3) != 0) return "";
    } else if (isSet("WAYLAND_DISPLAY")) {
        return "";
    }
    const char* display = displayArgument != nullptr ? displayArgument : std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') return kNoDisplayMessage;
    std::string problem = x11Problem(display);
    if (problem.empty()) return "";
    return std::string("kvt936p: cannot open the display \"") + display + "\": " + problem;
}

}  // namespace kvt
