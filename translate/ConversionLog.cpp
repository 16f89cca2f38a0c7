#include "translate/ConversionLog.h"

namespace orvella {

void ConversionLog::writeDeletedTopicsHeading() {
    if (deletedTopicsHeadingWritten_)
        return;
    write(DeletedTopicsHeading);
    deletedTopicsHeadingWritten_ = true;
}

void ConversionLog::writeQuestsNotFoundHeading() {
    if (questsNotFoundHeadingWritten_)
        return;
    write(QuestsNotFoundHeading);
    questsNotFoundHeadingWritten_ = true;
}

} // namespace orvella
