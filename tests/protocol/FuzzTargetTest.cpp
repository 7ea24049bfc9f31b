#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// The fuzz target, linked in so that its checks also run in every ordinary build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunTarget(const std::string& input) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()),
                                  input.size());
}

} // namespace

TEST(FrameParserFuzzTarget, PassesItsChecksOnTheSeedCorpus) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QAL_FUZZ_CORPUS_DIR)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string input((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(RunTarget(input), 0) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 10);
}

TEST(FrameParserFuzzTarget, PassesItsChecksOnRandomFrameLikeInput) {
    // Mostly digits and colons, so that frames of every length complete now and then.
    static const char kAlphabet[] = "0123456789abcdefABCDEF:\n\r ";
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    std::uniform_int_distribution<int> length(0, 300);
    for (int n = 0; n < 3000; ++n) {
        std::string input(static_cast<std::size_t>(length(random)), ' ');
        for (char& c : input) {
            c = kAlphabet[pick(random)];
        }
        // A short valid frame in front makes sure checked completions happen.
        ASSERT_EQ(RunTarget(":031F21BD" + input), 0);
    }
}
