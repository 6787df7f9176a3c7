// Runs a fuzz harness over every file of a corpus folder, in name order,
// without libFuzzer: the harness's own checks abort on a failure, so the
// program's exit status is the test result.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> corpusFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !std::filesystem::is_directory(argv[1])) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> files = corpusFiles(argv[1]);
    if (files.empty()) {
        std::fprintf(stderr, "%s: empty corpus\n", argv[1]);
        return 2;
    }
    for (const auto& file : files) {
        // Names the input a failed check belongs to.
        std::fprintf(stderr, "%s\n", file.filename().c_str());
        std::vector<uint8_t> bytes = readBytes(file);
        // An empty vector's data() may be null; the harness gets a valid pointer.
        static const uint8_t kNothing = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs from %s\n", files.size(), argv[1]);
    return 0;
}
