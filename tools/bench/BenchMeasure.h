#pragma once

#include "job/ProgressView.h"
#include "platform/ForwardingFileSystem.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvella::bench {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to);

// The progress of a conversion as a stopwatch: the moment each bar first moved and the moment each status
// image was set tell where the stages begin and end.
class StageClock final : public ProgressView {
public:
    void start() { started_ = Clock::now(); }
    void setBarPosition(JobStage stage, int percent) override;
    void setImage(JobStage stage, StatusImage image) override;
    void finished(const PatchResult&) override {}

    Clock::time_point started() const { return started_; }
    std::optional<Clock::time_point> firstBarMove(JobStage stage) const;
    std::optional<Clock::time_point> imageSet(JobStage stage) const;

private:
    Clock::time_point started_;
    std::map<JobStage, Clock::time_point> firstBarMoves_;
    std::map<JobStage, Clock::time_point> images_;
};

// A stretch of a file, as its first byte and its length.
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// What one open of a file read through it, reads that follow on from each other joined into one stretch.
struct FileReads {
    std::string path;
    std::vector<ByteRange> ranges;
};

// The native file system, counting every byte read through it and noting where each one was read.
class CountingFileSystem final : public ForwardingFileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;

    std::uint64_t bytesRead() const { return bytesRead_; }
    // Every file opened since the last resetCount, in the order of the opens, with what was read from it.
    std::vector<FileReads> reads() const;
    // Starts counting anew, with room made beforehand for the notes of that many stretches, so that noting
    // them takes none of the heap a measurement counts.
    void resetCount(std::size_t stretches = 1 << 14);

    struct Stretch {
        std::size_t open = 0;
        ByteRange range;
    };

    // Notes bytes read by the open at a position, joined to the open's latest stretch (last) when they
    // follow on from it; files are read on more than one thread at once.
    void noteRead(std::size_t open, std::size_t& last, std::uint64_t position, std::size_t got);

private:
    std::mutex mutex_;
    std::uint64_t bytesRead_ = 0;
    std::vector<std::string> opened_;
    std::vector<Stretch> stretches_;
};

// The path with the program's backslashes as this system's slashes.
std::string nativePath(std::string path);

std::uint64_t fileSize(const std::string& path);

// Resident memory of this process in bytes, now and at its peak since the last resetPeakMemory; nothing where
// the system does not tell.
std::optional<std::uint64_t> residentMemory();
std::optional<std::uint64_t> peakMemory();
// Starts a new peak from the current resident size; false where the system cannot do that.
bool resetPeakMemory();

} // namespace orvella::bench
