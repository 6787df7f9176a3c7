#pragma once
#include <cstdlib>
#include <cstring>

namespace kvt::bench {

// Takes "--seconds=N" out of the arguments into `seconds` (left as it is
// when absent or not positive); the rest go to the benchmark library.
inline void takeDurationArgument(int& argc, char** argv, int& seconds) {
    constexpr const char* kFlag = "--seconds=";
    int kept = 1;
    for (int index = 1; index < argc; ++index) {
        if (std::strncmp(argv[index], kFlag, std::strlen(kFlag)) == 0) {
            int value = std::atoi(argv[index] + std::strlen(kFlag));
            if (value > 0) seconds = value;
            continue;
        }
        argv[kept++] = argv[index];
    }
    argc = kept;
}

}  // namespace kvt::bench
