// Replays saved fuzz inputs (corpus and every input that once failed)
// through a fuzz target without libFuzzer, so that ordinary builds and the
// sanitizer builds keep them as regression tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int files = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<fs::path> inputs;
        if (fs::is_directory(argv[a])) {
            for (const auto& e : fs::recursive_directory_iterator(argv[a]))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else {
            inputs.emplace_back(argv[a]);
        }
        for (const auto& p : inputs) {
            std::ifstream in(p, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", p.c_str());
                return 1;
            }
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    // An empty corpus means the test checks nothing: refuse it.
    return files > 0 ? 0 : 1;
}
