#include "app/SaveListing.h"

namespace orvella {

SaveListing readSaveListing(FileSystem& files, const GameInstallation& installation) {
    return {buildSaveList(files, installation), false};
}

} // namespace orvella
