#pragma once

#include "job/PatchResult.h"

namespace orvella {

// The six stages of a conversion, each with its bar and its status image.
enum class JobStage { Masters, Plugins, Reading, Converting, Journal, Finalising };

enum class StatusImage { Success, Failure };

// The progress of a conversion as the worker shows it.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setBarPosition(JobStage stage, int percent) = 0;
    virtual void setImage(JobStage stage, StatusImage image) = 0;
    // The job's last act, once it has let go of the save: its result, outcome text included.
    virtual void finished(const PatchResult& result) = 0;
};

} // namespace orvella
