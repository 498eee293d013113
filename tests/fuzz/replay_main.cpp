// Runs a fuzz target once over every kept input, without libFuzzer: the
// normal build links a target's source with this main so that each seed and
// each crasher kept as a fixture is tried again on every test run. A failing
// input aborts the process (the target's own checks or the sanitizers); the
// line printed before each input names it.
//
//   fuzz_replay_NAME FILE_OR_FOLDER...
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A folder's files in name order, so that every run tries them alike.
bool ListInputs(const std::string& path, std::vector<std::string>* inputs) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    if (!S_ISDIR(status.st_mode)) {
        inputs->push_back(path);
        return true;
    }
    DIR* folder = opendir(path.c_str());
    if (!folder) return false;
    std::vector<std::string> names;
    while (dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.') names.push_back(path + "/" + entry->d_name);
    closedir(folder);
    std::sort(names.begin(), names.end());
    inputs->insert(inputs->end(), names.begin(), names.end());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!ListInputs(argv[i], &inputs)) {
            fprintf(stderr, "replay: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    // An empty corpus would pass without trying anything.
    if (inputs.empty()) {
        fprintf(stderr, "replay: no inputs\n");
        return 1;
    }
    for (const std::string& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 1;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        fprintf(stderr, "replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replay: %zu inputs passed\n", inputs.size());
    return 0;
}
