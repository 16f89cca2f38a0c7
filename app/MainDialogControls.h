#pragma once

namespace orvella {

// Control ids of the main dialog.
enum MainDialogControl : int {
    MainOk = 1,
    MainCancel = 2,
    SaveListView = 1001,
    SummaryTextBox = 1002,
    PatchButton = 1007,
    MorrowindMasterBox = 1008,
    TribunalMasterBox = 1009,
    MorrowindPluginBox = 1010,
    BloodmoonMasterBox = 1013,
    ScreenshotPicture = 1014,
    TribunalPluginBox = 1016,
    BloodmoonPluginBox = 1017,
    MasterListBox = 1032,
    RestoreButton = 1033,
    GameVersionLabel = 1035,
};

} // namespace orvella
