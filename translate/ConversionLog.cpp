#include "translate/ConversionLog.h"

#include "game/UserTexts.h"

namespace orvella {

void ConversionLog::writeDeletedTopicsHeading() {
    if (deletedTopicsHeadingWritten_)
        return;
    write(texts::DeletedTopicsHeading);
    deletedTopicsHeadingWritten_ = true;
}

void ConversionLog::writeQuestsNotFoundHeading() {
    if (questsNotFoundHeadingWritten_)
        return;
    write(texts::QuestsNotFoundHeading);
    questsNotFoundHeadingWritten_ = true;
}

} // namespace orvella
