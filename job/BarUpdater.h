#pragma once

#include "job/PercentOf.h"
#include "job/ProgressView.h"

#include <cstdint>

namespace orvella {

// Sets a stage's bar to percentOf(done, total), sending only positions that differ from the last one.
class BarUpdater {
public:
    BarUpdater(ProgressView& view, JobStage stage) : view_(view), stage_(stage) {}

    void update(std::uint32_t done, std::uint32_t total) { set(percentOf(done, total)); }
    void set(int percent) {
        if (percent == last_)
            return;
        last_ = percent;
        view_.setBarPosition(stage_, percent);
    }
    // The bar starts again from 0, as a new updater's does.
    void restart() { last_ = 0; }

private:
    ProgressView& view_;
    JobStage stage_;
    int last_ = 0;
};

} // namespace orvella
