#pragma once

#include "platform/ForwardingFileSystem.h"

#include <set>
#include <string>

namespace orvella::test {

// The machine's file system, except for the operations a test tells to fail.
class FailingFileSystem final : public ForwardingFileSystem {
public:
    // SaveMove fails the move of a new file over a locked one, as of a new save over the save; ShortWrite
    // and Close touch only new files.
    enum class Fault { SaveMove, ShortWrite, Close };

    FailingFileSystem() : ForwardingFileSystem(nativeFileSystem()) {}

    void failOn(Fault fault) { faults_.insert(fault); }

    std::unique_ptr<File> createNew(const std::string& path) override;
    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override {
        return !faults_.count(Fault::SaveMove) && base().replaceLockedFile(from, to, lock);
    }

private:
    std::set<Fault> faults_;
};

} // namespace orvella::test
