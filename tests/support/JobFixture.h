#pragma once

#include "RecordingUi.h"
#include "job/JobState.h"
#include "platform/File.h"

#include <memory>
#include <string>

namespace orvella::test {

// Appends whatever is written to a string the test reads afterwards.
class StringFile final : public File {
public:
    explicit StringFile(std::string& target) : target_(target) {}
    std::size_t read(void*, std::size_t) override { return 0; }
    std::size_t write(const void* buffer, std::size_t size) override {
        target_.append(static_cast<const char*>(buffer), size);
        return size;
    }
    bool seek(std::int64_t, SeekOrigin) override { return false; }
    std::int64_t tell() override { return static_cast<std::int64_t>(target_.size()); }
    bool flush() override { return true; }
    bool close() override { return true; }

private:
    std::string& target_;
};

// A job's state without a job run: handlers and map builders can be called on it directly.
struct JobFixture {
    explicit JobFixture(ConversionDirection direction = EnglishToItalian) { reset(direction); }

    void reset(ConversionDirection direction) {
        job.installation = &installation;
        job.files = &nativeFileSystem();
        job.messages = &messages;
        job.progressDialog = &progress;
        job.saveInfo.direction = direction;
        log.clear();
        state = std::make_unique<JobState>(job);
        state->log.attach(std::make_unique<StringFile>(log));
    }

    GameInstallation installation;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
    PatchJob job;
    std::string log;
    std::unique_ptr<JobState> state;
};

} // namespace orvella::test
