#pragma once

namespace orvella {

// Control ids of the progress dialog that the worker updates.
enum ProgressControl : int {
    OkButton = 1,
    ViewLogButton = 1007,
    MasterBar = 1016,
    PluginBar = 1017,
    ReadBar = 1021,
    ConvertBar = 1022,
    MasterImage = 1023,
    PluginImage = 1024,
    JournalBar = 1025,
    FinalBar = 1026,
    ReadImage = 1028,
    ConvertImage = 1029,
    StatusText = 1030,
    JournalImage = 1031,
    FinalImage = 1032,
};

} // namespace orvella
