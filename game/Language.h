#pragma once

#include "game/SaveInfo.h"

namespace orvella {

// The two editions of the game: the English one, and the Italian one, which is the English one with the
// translation plugins on top.
enum class Language { English, Italian };

// The language a save of the direction is in, and the one it is converted into.
inline Language sourceLanguage(ConversionDirection direction) {
    return direction == EnglishToItalian ? Language::English : Language::Italian;
}
inline Language targetLanguage(ConversionDirection direction) {
    return direction == EnglishToItalian ? Language::Italian : Language::English;
}

} // namespace orvella
