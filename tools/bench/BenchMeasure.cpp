#include "BenchMeasure.h"

#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace orvella::bench {

namespace {

class CountingFile final : public File {
public:
    CountingFile(std::unique_ptr<File> inner, std::uint64_t& count)
        : inner_(std::move(inner)), count_(count) {}

    std::size_t read(void* buffer, std::size_t size) override {
        std::size_t got = inner_->read(buffer, size);
        count_ += got;
        return got;
    }
    std::size_t write(const void* buffer, std::size_t size) override { return inner_->write(buffer, size); }
    bool seek(std::int64_t offset, SeekOrigin origin) override { return inner_->seek(offset, origin); }
    std::int64_t tell() override { return inner_->tell(); }
    bool flush() override { return inner_->flush(); }
    bool close() override { return inner_->close(); }

private:
    std::unique_ptr<File> inner_;
    std::uint64_t& count_;
};

// A "Vm..." line of /proc/self/status, in bytes.
std::optional<std::uint64_t> statusValue(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stoull(line.substr(key.size() + 1)) * 1024;
    }
    return std::nullopt;
}

} // namespace

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void StageClock::setBarPosition(JobStage stage, int) {
    firstBarMoves_.try_emplace(stage, Clock::now());
}

void StageClock::setImage(JobStage stage, StatusImage) {
    images_[stage] = Clock::now();
}

std::optional<Clock::time_point> StageClock::firstBarMove(JobStage stage) const {
    auto found = firstBarMoves_.find(stage);
    return found == firstBarMoves_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<Clock::time_point> StageClock::imageSet(JobStage stage) const {
    auto found = images_.find(stage);
    return found == images_.end() ? std::nullopt : std::optional(found->second);
}

std::unique_ptr<File> CountingFileSystem::open(const std::string& path, const char* mode) {
    auto file = base().open(path, mode);
    if (!file)
        return nullptr;
    return std::make_unique<CountingFile>(std::move(file), bytesRead_);
}

std::uint64_t fileSize(const std::string& path) {
    std::error_code error;
    std::string native = path;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    auto size = std::filesystem::file_size(native, error);
    return error ? 0 : size;
}

std::optional<std::uint64_t> residentMemory() {
    return statusValue("VmRSS");
}

std::optional<std::uint64_t> peakMemory() {
    if (auto peak = statusValue("VmHWM"))
        return peak;
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

bool resetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

} // namespace orvella::bench
