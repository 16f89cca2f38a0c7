#include "app/SummaryPicture.h"

#include <algorithm>
#include <cstring>

namespace orvella {

SummaryPicture pictureFromScreenshot(std::span<const std::uint8_t> scrs) {
    SummaryPicture picture;
    const std::size_t available = std::min(scrs.size(), ScreenshotBytes);
    // Both pictures have the same height, so every row maps to the row of the same number.
    for (int y = 0; y < SummaryPicture::Height; ++y) {
        std::uint8_t* target = picture.pixels.data() + y * SummaryPicture::RowBytes;
        for (int x = 0; x < SummaryPicture::Width; ++x, target += SummaryPicture::BytesPerPixel) {
            std::size_t source = (static_cast<std::size_t>(y) * ScreenshotSide +
                                  static_cast<std::size_t>(x) * ScreenshotSide / SummaryPicture::Width) *
                                 SummaryPicture::BytesPerPixel;
            if (source >= available)
                continue;
            std::memcpy(target, scrs.data() + source,
                        std::min<std::size_t>(SummaryPicture::BytesPerPixel, available - source));
        }
    }
    return picture;
}

} // namespace orvella
