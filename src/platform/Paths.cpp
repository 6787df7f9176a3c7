#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvt {
namespace {

char rootBuffer[1024];
char folderBuffer[1100];
char settingsBuffer[1200];
char alarmHistoryBuffer[1200];
char configBuffer[1100];
char legacyConfigBuffer[1100];
char typedConfigBuffer[sizeof configBuffer + 1];  // "~" for the home folder, or the whole path
bool pathsKnown = false;

// $XDG_CONFIG_HOME when it is set to an absolute path (the base directory
// rules ignore anything else), else "<home>/.config".
void computeConfigFolders(const char* home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        std::snprintf(configBuffer, sizeof configBuffer, "%s/kvt936p", configHome);
    } else {
        std::snprintf(configBuffer, sizeof configBuffer, "%s/.config/kvt936p", home);
    }
    std::snprintf(legacyConfigBuffer, sizeof legacyConfigBuffer, "%s/.kvt936p", home);
    size_t homeLength = std::strlen(home);
    bool inHome = homeLength > 0 && std::strncmp(configBuffer, home, homeLength) == 0 &&
                  configBuffer[homeLength] == '/';
    std::snprintf(typedConfigBuffer, sizeof typedConfigBuffer, "%s%s", inHome ? "~" : "",
                  configBuffer + (inHome ? homeLength : 0));
}

void computePaths() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) home = "";
    std::snprintf(rootBuffer, sizeof rootBuffer, "%s", home);
    size_t length = std::strlen(rootBuffer);
    while (length > 1 && rootBuffer[length - 1] == '/') rootBuffer[--length] = '\0';
    std::snprintf(folderBuffer, sizeof folderBuffer, "%s/KVT936P_U_DATA",
                  std::strcmp(rootBuffer, "/") == 0 ? "" : rootBuffer);
    std::snprintf(settingsBuffer, sizeof settingsBuffer, "%s/%s", folderBuffer, "KVT936P.LPPU");
    std::snprintf(alarmHistoryBuffer, sizeof alarmHistoryBuffer, "%s/%s", folderBuffer,
                  "KVT936P.LPAU");
    computeConfigFolders(std::strcmp(rootBuffer, "/") == 0 ? "" : rootBuffer);
    pathsKnown = true;
}

}  // namespace

const char* dataDriveRoot() {
    if (!pathsKnown) computePaths();
    return rootBuffer;
}

const char* dataFolder() {
    if (!pathsKnown) computePaths();
    return folderBuffer;
}

const char* settingsFilePath() {
    if (!pathsKnown) computePaths();
    return settingsBuffer;
}

const char* alarmHistoryPath() {
    if (!pathsKnown) computePaths();
    return alarmHistoryBuffer;
}

const char* configFolder() {
    if (!pathsKnown) computePaths();
    return configBuffer;
}

const char* legacyConfigFolder() {
    if (!pathsKnown) computePaths();
    return legacyConfigBuffer;
}

const char* configFolderAsTyped() {
    if (!pathsKnown) computePaths();
    return typedConfigBuffer;
}

const char* homeFolderProblem() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return "HOME is not set";
    if (home[0] == '\0') return "HOME is empty";
    const char* problem = nullptr;
    struct stat status {};
    if (home[0] != '/') {
        problem = "is not an absolute path";
    } else if (stat(home, &status) != 0 || !S_ISDIR(status.st_mode)) {
        problem = "is not a folder";
    } else if (status.st_uid != geteuid()) {
        problem = "belongs to another account";
    } else if ((status.st_mode & S_IWOTH) != 0) {
        problem = "may be written by every account";
    }
    if (problem == nullptr) return nullptr;
    static char text[1200];
    std::snprintf(text, sizeof text, "HOME=%s %s", home, problem);
    return text;
}

void refreshDataPaths() { computePaths(); }

int makeDataFolder() {
    if (mkdir(dataFolder(), 0777) == 0 || errno == EEXIST) return 0;
    return -1;
}

}  // namespace kvt
