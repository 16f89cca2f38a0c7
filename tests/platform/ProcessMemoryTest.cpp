#include "platform/ProcessMemory.h"
#include "platform/UserEnvironment.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#ifndef _WIN32
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace orvella {
namespace {

#if defined(__GLIBC__)
// Once readied, the allocator keeps no freed small block aside for a merge in bulk.
TEST(ProcessMemory, FreedSmallBlocksWaitInNoFastBin) {
    prepareAllocatorForConversions();
    std::vector<void*> blocks(64);
    for (void*& block : blocks)
        block = std::malloc(40);
    for (void* block : blocks)
        std::free(block);
    EXPECT_EQ(mallinfo2().fsmblks, 0u);
}
#endif

#ifndef _WIN32
// $HOME names the home folder, an empty one the password database, and a user the database does not know has
// none; in a process of its own, which may take another user.
TEST(NativeUserEnvironment, TheHomeFolderIsHomeElseThePasswordDatabases) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", "/somewhere", 1);
        bool told = nativeUserEnvironment().homeFolder() == "/somewhere";
        setenv("HOME", "", 1);
        const passwd* entry = getpwuid(getuid());
        told = told && entry && nativeUserEnvironment().homeFolder() == std::string(entry->pw_dir);
        if (geteuid() == 0)
            told = told && setuid(54321) == 0 && !nativeUserEnvironment().homeFolder();
        _exit(told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif

} // namespace
} // namespace orvella
