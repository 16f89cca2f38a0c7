// Every job releases what it built: two hundred conversions in one process, both ways and failing ones
// among them, leave the heap as the first few left it.

#include "DemoJob.h"
#include "RecordingUi.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define ORVELLA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVELLA_ASAN 1
#endif
#endif

#if defined(ORVELLA_ASAN)
#include <sanitizer/allocator_interface.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvella {
namespace {

using test::FaultInjectingFileSystem;

// Bytes the program holds on the heap now; nothing when the platform cannot tell.
std::optional<std::size_t> heapInUse() {
#if defined(ORVELLA_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return std::nullopt;
#endif
}

TEST(RepeatedJobs, TwoHundredConversionsLeaveTheHeapAsTheFirstFewLeftIt) {
    FaultInjectingFileSystem files;
    const GameInstallation installation = test::installDemoGame(files);
    const std::string italian = demo::demoItalianSave();
    files.writeFile(test::savePath(installation, "English.ess"), demo::demoEnglishSave());
    files.writeFile(test::savePath(installation, "Italian.ess"), italian);
    files.writeFile(test::savePath(installation, "Cut.ess"), italian.substr(0, italian.size() - 20));
    const FaultInjectingFileSystem::Snapshot start = files.snapshot();

    // Each turn converts one way, the other way, and refuses a cut save after its translation data is built.
    auto turn = [&] {
        files.restore(start);
        std::uint32_t failures = 0;
        for (auto [name, direction] :
             {std::pair{"English.ess", EnglishToItalian}, std::pair{"Italian.ess", ItalianToEnglish},
              std::pair{"Cut.ess", ItalianToEnglish}}) {
            test::RecordingMessageBoxes messages;
            test::RecordingProgress progress;
            failures +=
                runPatchJob(test::jobFor(installation, files, messages, progress, name, direction)).exitCode;
        }
        return failures;
    };

    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(turn(), 1u);
    const std::optional<std::size_t> before = heapInUse();
    if (!before)
        GTEST_SKIP() << "this platform does not tell how much of the heap is in use";
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(turn(), 1u);
    const std::size_t after = *heapInUse();
    // A job that kept a single record would leave far more than this after 600 jobs.
    EXPECT_LT(after, *before + 16 * 1024) << "before " << *before << " bytes, after " << after;
}

} // namespace
} // namespace orvella
