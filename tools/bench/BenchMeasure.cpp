#include "BenchMeasure.h"

#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace orvella::bench {

namespace {

// Follows the file's position itself, asking the file only after a seek that is not to an offset from the
// start, so that noting the reads adds no calls to the ones measured.
class CountingFile final : public File {
public:
    CountingFile(std::unique_ptr<File> inner, CountingFileSystem& owner, std::size_t open)
        : inner_(std::move(inner)), owner_(owner), open_(open) {}

    std::size_t read(void* buffer, std::size_t size) override {
        std::size_t got = inner_->read(buffer, size);
        if (got > 0)
            owner_.noteRead(open_, last_, position_, got);
        position_ += got;
        return got;
    }
    std::size_t write(const void* buffer, std::size_t size) override {
        std::size_t put = inner_->write(buffer, size);
        position_ += put;
        return put;
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        if (!inner_->seek(offset, origin))
            return false;
        position_ = origin == SeekOrigin::Begin ? static_cast<std::uint64_t>(offset)
                                                : static_cast<std::uint64_t>(inner_->tell());
        return true;
    }
    std::int64_t tell() override { return inner_->tell(); }
    bool flush() override { return inner_->flush(); }
    bool close() override { return inner_->close(); }

private:
    std::unique_ptr<File> inner_;
    CountingFileSystem& owner_;
    std::size_t open_;
    std::size_t last_ = static_cast<std::size_t>(-1); // this file's latest stretch
    std::uint64_t position_ = 0;
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
    std::lock_guard lock(mutex_);
    opened_.push_back(path);
    return std::make_unique<CountingFile>(std::move(file), *this, opened_.size() - 1);
}

void CountingFileSystem::noteRead(std::size_t open, std::size_t& last, std::uint64_t position,
                                  std::size_t got) {
    std::lock_guard lock(mutex_);
    bytesRead_ += got;
    if (last < stretches_.size()) {
        ByteRange& range = stretches_[last].range;
        if (range.offset + range.size == position) {
            range.size += got;
            return;
        }
    }
    last = stretches_.size();
    stretches_.push_back({open, {position, got}});
}

std::vector<FileReads> CountingFileSystem::reads() const {
    std::vector<FileReads> reads;
    for (const std::string& path : opened_)
        reads.push_back({path, {}});
    for (const Stretch& stretch : stretches_)
        reads[stretch.open].ranges.push_back(stretch.range);
    return reads;
}

void CountingFileSystem::resetCount(std::size_t stretches) {
    bytesRead_ = 0;
    opened_.clear();
    opened_.reserve(64);
    stretches_.clear();
    stretches_.reserve(stretches);
}

std::string nativePath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::uint64_t fileSize(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(nativePath(path), error);
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
