#include "TestFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace orvella::test {

namespace fs = std::filesystem;

TestFolder::TestFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path path = fs::temp_directory_path() /
                    ("orvella-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path);
    path_ = path.generic_string();
}

TestFolder::~TestFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
}

bool TestFolder::exists(const std::string& relative) const { return fs::exists(file(relative)); }

void TestFolder::makeFolder(const std::string& relative) const { fs::create_directories(file(relative)); }

GameFolder::GameFolder() {
    makeFolder("Data Files");
    makeFolder("Saves");
    makeFolder("LRK Saves Backup");
}

} // namespace orvella::test
