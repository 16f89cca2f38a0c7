#include "app/ProgressViewWin.h"

#include "app/ProgressControls.h"

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
        return {MasterBar, MasterImage};
    case JobStage::Plugins:
        return {PluginBar, PluginImage};
    case JobStage::Reading:
        return {ReadBar, ReadImage};
    case JobStage::Converting:
        return {ConvertBar, ConvertImage};
    case JobStage::Journal:
        return {JournalBar, JournalImage};
    case JobStage::Finalising:
        break;
    }
    return {FinalBar, FinalImage};
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
