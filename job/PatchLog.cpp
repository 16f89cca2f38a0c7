#include "job/PatchLog.h"

namespace orvella {

bool PatchLog::open(FileSystem& files, const std::string& path) {
    file_ = files.open(path, "w");
    gathered_ = true;
    text_.clear();
    return file_ != nullptr;
}

void PatchLog::attach(std::unique_ptr<File> file) {
    file_ = std::move(file);
    gathered_ = false;
}

void PatchLog::write(std::string_view text) {
    if (!file_)
        return;
    if (gathered_)
        text_.append(text);
    else
        file_->write(text.data(), text.size());
}

void PatchLog::writeFirstLine(std::string_view saveFileName) {
    write("File di Log per ");
    write(saveFileName);
    write("\n");
}

void PatchLog::close() {
    if (file_ && gathered_ && !text_.empty())
        file_->write(text_.data(), text_.size());
    if (file_)
        file_->close();
    file_.reset();
    text_.clear();
}

} // namespace orvella
