#include "FailingFileSystem.h"

namespace orvella::test {

namespace {

class FailingFile final : public File {
public:
    FailingFile(std::unique_ptr<File> base, bool shortWrite, bool failClose)
        : base_(std::move(base)), shortWrite_(shortWrite), failClose_(failClose) {}

    std::size_t read(void* buffer, std::size_t size) override { return base_->read(buffer, size); }
    std::size_t write(const void* buffer, std::size_t size) override {
        if (shortWrite_ && size > 0)
            return base_->write(buffer, size - 1);
        return base_->write(buffer, size);
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override { return base_->seek(offset, origin); }
    std::int64_t tell() override { return base_->tell(); }
    bool flush() override { return base_->flush(); }
    bool close() override { return base_->close() && !failClose_; }

private:
    std::unique_ptr<File> base_;
    bool shortWrite_;
    bool failClose_;
};

} // namespace

std::unique_ptr<File> FailingFileSystem::createNew(const std::string& path) {
    auto file = base().createNew(path);
    if (!file)
        return file;
    return std::make_unique<FailingFile>(std::move(file), faults_.count(Fault::ShortWrite) > 0,
                                         faults_.count(Fault::Close) > 0);
}

} // namespace orvella::test
