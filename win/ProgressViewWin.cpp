#include "win/ProgressViewWin.h"

#include "app/resource.h"

#include <commctrl.h>

namespace orvella {

namespace {

struct StageControls {
    int bar;
    int image;
};

StageControls controlsOf(JobStage stage) {
    switch (stage) {
    case JobStage::Masters:
        return {IDC_MASTER_BAR, IDC_MASTER_IMAGE};
    case JobStage::Plugins:
        return {IDC_PLUGIN_BAR, IDC_PLUGIN_IMAGE};
    case JobStage::Reading:
        return {IDC_READ_BAR, IDC_READ_IMAGE};
    case JobStage::Converting:
        return {IDC_CONVERT_BAR, IDC_CONVERT_IMAGE};
    case JobStage::Journal:
        return {IDC_JOURNAL_BAR, IDC_JOURNAL_IMAGE};
    case JobStage::Finalising:
        break;
    }
    return {IDC_FINAL_BAR, IDC_FINAL_IMAGE};
}

} // namespace

void DialogProgressView::setBarPosition(JobStage stage, int percent) {
    SendDlgItemMessageA(dialog_, controlsOf(stage).bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void DialogProgressView::setImage(JobStage stage, StatusImage image) {
    HBITMAP bitmap = image == StatusImage::Success ? successImage_ : failureImage_;
    SendDlgItemMessageA(dialog_, controlsOf(stage).image, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(bitmap));
}

void DialogProgressView::finished(const PatchResult& result) {
    SendMessageA(dialog_, JobFinishedMessage, 0, reinterpret_cast<LPARAM>(&result));
}

} // namespace orvella
