#pragma once

#include <string>

namespace orvella {

enum class StatusImage { Success, Failure };

// The progress dialog's controls as the worker sees them, each addressed by its control id.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setBarPosition(int controlId, int percent) = 0;
    virtual void setImage(int controlId, StatusImage image) = 0;
    virtual void setText(int controlId, const std::string& text) = 0;
    virtual void showButton(int controlId) = 0;
    virtual void enableButton(int controlId) = 0;
};

} // namespace orvella
