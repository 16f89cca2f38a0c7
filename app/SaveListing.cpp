#include "app/SaveListing.h"

namespace orvella {

SaveListing readSaveListing(FileSystem& files, const GameInstallation& installation) {
    SaveListing listing;
    listing.rows = buildSaveList(files, installation, &listing.readFailed);
    return listing;
}

} // namespace orvella
