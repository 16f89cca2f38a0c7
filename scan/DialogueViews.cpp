#include "scan/DialogueViews.h"

#include "game/AsciiFold.h"

namespace orvella {

namespace {

const Response* withId(const DialogueTopic* topic, std::string_view id) {
    if (!topic)
        return nullptr;
    for (const Response& response : topic->responses)
        if (compareFolded(TopicSide::id(response), id) == 0)
            return &response;
    return nullptr;
}

} // namespace

const Response* DialogueViews::response(Language edition, bool journal, std::string_view topic,
                                        std::string_view id) const {
    if (edition == Language::Italian)
        if (const Response* translated = withId(plugins(journal).find(topic), id))
            return translated;
    return withId(masters(journal).find(topic), id);
}

const Response* DialogueViews::onlyAlike(Language edition, bool journal, std::string_view topic,
                                         std::string_view conditions) const {
    const DialogueTopic* translated = edition == Language::Italian ? plugins(journal).find(topic) : nullptr;
    const DialogueTopic* original = masters(journal).find(topic);
    const Response* alike = nullptr;
    auto offer = [&](const Response& response) {
        if (TopicSide::conditions(response) != conditions)
            return true;
        if (alike)
            return false;
        alike = &response;
        return true;
    };
    if (translated)
        for (const Response& response : translated->responses)
            if (!offer(response))
                return nullptr;
    if (original)
        for (const Response& response : original->responses)
            // A plugin's response takes the place of the master's of the same id.
            if (!withId(translated, TopicSide::id(response)) && !offer(response))
                return nullptr;
    return alike;
}

} // namespace orvella
