#include "TestFolder.h"

#include <atomic>
#include <chrono>

namespace orvella::test {

TestFolder::TestFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvella-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path);
    path_ = path.generic_string();
}

std::string TestFolder::makeFolderOfLength(std::size_t length) const {
    std::string path = path_;
    while (path.size() < length) {
        const std::size_t left = length - path.size() - 1;
        // The last name takes what is left; no name may be left with nothing.
        path.append("/").append(left <= 200 ? left : left == 201 ? 199 : 200, 'p');
    }
    std::filesystem::create_directories(path);
    return path;
}

} // namespace orvella::test
