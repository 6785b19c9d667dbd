// One search of a find text in a text under the library's options: the occurrences that the
// options accept, looked for forward from a position or backward from a last allowed start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostrel {

class TextMatcher {
public:
    // Both texts must stay alive while the matcher is used.
    TextMatcher(const char16_t* text, std::int32_t textLength, const char16_t* find, std::int32_t findLength,
                std::uint32_t options);

    std::int32_t FindLength() const { return static_cast<std::int32_t>(find_.size()); }

    // The first accepted match starting at or after from; -1 when there is none.
    std::int32_t FirstFrom(std::int32_t from) const;
    // The last accepted match starting at or before maxStart; -1 when there is none.
    std::int32_t LastAtOrBefore(std::int32_t maxStart) const;

private:
    bool Accepted(std::int32_t position) const;

    const char16_t* text_;
    std::int32_t textLength_;
    bool wholeWord_;
    std::u16string foldedText_;
    std::u16string foldedFind_;
    std::u16string_view haystack_; // the text as compared: itself, or folded
    std::u16string_view find_;     // the find text as compared
};

} // namespace ostrel
