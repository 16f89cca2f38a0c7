#include "job/PatchLog.h"

namespace orvella {

bool PatchLog::open(FileSystem& files, const std::string& path) {
    file_ = files.open(path, "w");
    return file_ != nullptr;
}

void PatchLog::write(std::string_view text) {
    if (file_)
        file_->write(text.data(), text.size());
}

void PatchLog::writeFirstLine(std::string_view saveFileName) {
    write("File di Log per ");
    write(saveFileName);
    write("\n");
}

void PatchLog::close() {
    if (file_)
        file_->close();
    file_.reset();
}

} // namespace orvella
