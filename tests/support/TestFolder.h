#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace orvella::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the test ends.
class TestFolder {
public:
    TestFolder();
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }
    bool exists(const std::string& relative) const { return std::filesystem::exists(file(relative)); }
    void makeFolder(const std::string& relative) const {
        std::filesystem::create_directories(file(relative));
    }
    // Creates folders one inside another under this one, each name short enough for any file system, so
    // that the path returned (with "/" between folders) is exactly that many bytes long.
    std::string makeFolderOfLength(std::size_t length) const;

private:
    std::string path_;
};

// A game folder with "Data Files", "Saves" and "LRK Saves Backup".
class GameFolder : public TestFolder {
public:
    GameFolder() {
        for (const char* folder : {"Data Files", "Saves", "LRK Saves Backup"})
            makeFolder(folder);
    }
    std::string save(const std::string& name) const { return file("Saves/" + name); }
    std::string data(const std::string& name) const { return file("Data Files/" + name); }
    std::string backup(const std::string& name) const { return file("LRK Saves Backup/" + name); }
};

} // namespace orvella::test
