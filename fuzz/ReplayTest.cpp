// Runs a fuzz target over its committed inputs: the starting corpus and every input that once broke
// it. A broken invariant aborts the case, so the ordinary suite and the sanitizer builds both catch
// a fault coming back. Cases are named after the target (LUMORA_FUZZ_TARGET), so that the replays
// of several targets stay apart in ctest.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsUnder(const fs::path& folder) {
    std::vector<fs::path> inputs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::vector<fs::path> allInputs() {
    auto inputs = inputsUnder(LUMORA_FUZZ_CORPUS);
    const auto regressions = inputsUnder(LUMORA_FUZZ_REGRESSIONS);
    inputs.insert(inputs.end(), regressions.begin(), regressions.end());
    return inputs;
}

// "corpus_<file>" or "regressions_<file>", with what a test name cannot hold made into '_'.
std::string caseName(const testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.parent_path().parent_path().filename().string() + "_";
    for (const char c : info.param.filename().string()) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

class Replay : public testing::TestWithParam<fs::path> {};

TEST_P(Replay, KeepsEveryInvariant) {
    std::ifstream file(GetParam(), std::ios::binary);
    ASSERT_TRUE(file) << GetParam();
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(LUMORA_FUZZ_TARGET, Replay, testing::ValuesIn(allInputs()), caseName);

TEST(LUMORA_FUZZ_TARGET, HasAStartingCorpus) {
    EXPECT_FALSE(inputsUnder(LUMORA_FUZZ_CORPUS).empty()) << LUMORA_FUZZ_CORPUS;
}

} // namespace
