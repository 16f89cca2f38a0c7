#pragma once

#include "game/Language.h"
#include "scan/DialogueTopics.h"

#include <string_view>

namespace orvella {

// The game's dialogue as each edition loads it: the English one from the masters, a later master's
// response replacing an earlier one's of the same id; the Italian one the same, the translation plugins'
// responses on top. Topic names and response ids are compared without regard to ASCII case, as OpenMW
// compares them.
class DialogueViews {
public:
    explicit DialogueViews(const DialogueTopics& topics) : topics_(topics) {}

    // The response with the id under the topic, or under the journal, of that name; null when the view has
    // none.
    const Response* response(Language edition, bool journal, std::string_view topic,
                             std::string_view id) const;
    // The only response under the topic, or the journal, whose conditions are these; null when none is, or
    // several are.
    const Response* onlyAlike(Language edition, bool journal, std::string_view topic,
                              std::string_view conditions) const;

private:
    const TopicSide& masters(bool journal) const {
        return journal ? topics_.englishJournals : topics_.english;
    }
    const TopicSide& plugins(bool journal) const {
        return journal ? topics_.pluginJournals : topics_.plugins;
    }

    const DialogueTopics& topics_;
};

} // namespace orvella
