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

bool TestFolder::exists(const std::string& relative) const {
    return fs::exists(file(relative));
}

void TestFolder::makeFolder(const std::string& relative) const {
    fs::create_directories(file(relative));
}

std::string TestFolder::makeFolderOfLength(std::size_t length) const {
    std::string path = path_;
    while (path.size() < length) {
        std::size_t left = length - path.size() - 1;
        // The last name takes what is left; no name may be left with nothing.
        std::size_t name = left <= 200 ? left : left == 201 ? 199 : 200;
        path += "/" + std::string(name, 'p');
    }
    fs::create_directories(path);
    return path;
}

GameFolder::GameFolder() {
    makeFolder("Data Files");
    makeFolder("Saves");
    makeFolder("LRK Saves Backup");
}

} // namespace orvella::test
