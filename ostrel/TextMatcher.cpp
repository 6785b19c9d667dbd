#include "TextMatcher.h"

#include "CaseFolding.h"
#include "Ostrel.h"
#include "WordCharacters.h"

namespace ostrel {

namespace {

std::u16string Folded(const char16_t* units, std::int32_t length)
{
    std::u16string folded(units, static_cast<std::size_t>(length));
    for (char16_t& u : folded) u = FoldCase(u);
    return folded;
}

} // namespace

TextMatcher::TextMatcher(const char16_t* text, std::int32_t textLength, const char16_t* find,
                         std::int32_t findLength, std::uint32_t options)
    : text_(text), textLength_(textLength), wholeWord_((options & OstrelWholeWord) != 0)
{
    if (options & OstrelMatchCase) {
        haystack_ = std::u16string_view(text, static_cast<std::size_t>(textLength));
        find_ = std::u16string_view(find, static_cast<std::size_t>(findLength));
    } else {
        foldedText_ = Folded(text, textLength);
        foldedFind_ = Folded(find, findLength);
        haystack_ = foldedText_;
        find_ = foldedFind_;
    }
}

bool TextMatcher::Accepted(std::int32_t position) const
{
    const std::int32_t end = position + FindLength();
    // Never half a character: no match starts or ends inside a surrogate pair.
    if (position > 0 && IsHighSurrogate(text_[position - 1]) && IsLowSurrogate(text_[position])) return false;
    if (end < textLength_ && IsHighSurrogate(text_[end - 1]) && IsLowSurrogate(text_[end])) return false;
    if (!wholeWord_) return true;
    return !IsWordCodePoint(CodePointBefore(text_, textLength_, position))
        && !IsWordCodePoint(CodePointAt(text_, textLength_, end));
}

std::int32_t TextMatcher::FirstFrom(std::int32_t from) const
{
    if (find_.empty() || from < 0 || from > textLength_) return -1;
    for (std::size_t at = haystack_.find(find_, static_cast<std::size_t>(from)); at != std::u16string_view::npos;
         at = haystack_.find(find_, at + 1)) {
        if (Accepted(static_cast<std::int32_t>(at))) return static_cast<std::int32_t>(at);
    }
    return -1;
}

std::int32_t TextMatcher::LastAtOrBefore(std::int32_t maxStart) const
{
    if (find_.empty() || maxStart < 0) return -1;
    std::size_t at = haystack_.rfind(find_, static_cast<std::size_t>(maxStart));
    while (at != std::u16string_view::npos) {
        if (Accepted(static_cast<std::int32_t>(at))) return static_cast<std::int32_t>(at);
        if (at == 0) break;
        at = haystack_.rfind(find_, at - 1);
    }
    return -1;
}

} // namespace ostrel
