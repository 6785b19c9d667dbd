#include "Ostrel.h"

#include "TextMatcher.h"

#include <algorithm>

namespace {

bool ValidArguments(const char16_t* text, std::int32_t textLength, const char16_t* find, std::int32_t findLength,
                    const std::int32_t* position)
{
    return text != nullptr && find != nullptr && position != nullptr && textLength >= 0 && findLength > 0
        && findLength <= textLength;
}

bool Report(std::int32_t found, std::int32_t* position)
{
    if (found < 0) return false;
    *position = found;
    return true;
}

} // namespace

extern "C" bool SeekForward(const char16_t* text, std::int32_t textLength, std::int32_t start,
                            const char16_t* find, std::int32_t findLength, std::uint32_t options,
                            std::int32_t* position)
{
    if (!ValidArguments(text, textLength, find, findLength, position) || start > textLength) return false;
    const ostrel::TextMatcher matcher(text, textLength, find, findLength, options);
    return Report(matcher.FirstFrom(std::max<std::int32_t>(start, 0)), position);
}

extern "C" bool SeekBackward(const char16_t* text, std::int32_t textLength, std::int32_t start,
                             const char16_t* find, std::int32_t findLength, std::uint32_t options,
                             std::int32_t* position)
{
    if (!ValidArguments(text, textLength, find, findLength, position)) return false;
    const std::int64_t maxStart = std::int64_t{std::min(start, textLength)} - findLength;
    if (maxStart < 0) return false;
    const ostrel::TextMatcher matcher(text, textLength, find, findLength, options);
    return Report(matcher.LastAtOrBefore(static_cast<std::int32_t>(maxStart)), position);
}

extern "C" bool SeekBackwardRich(const char16_t* text, std::int32_t textLength, std::int32_t selectionStart,
                                 std::int32_t selectionLength, const char16_t* find, std::int32_t findLength,
                                 std::uint32_t options, std::int32_t* position)
{
    if (!ValidArguments(text, textLength, find, findLength, position)) return false;
    const std::int64_t start = std::clamp<std::int64_t>(selectionStart, 0, textLength);
    const std::int64_t end = std::min<std::int64_t>(start + std::max<std::int32_t>(selectionLength, 0), textLength);
    const std::int64_t maxStart = std::min<std::int64_t>(start - 1, end - findLength);
    if (maxStart < 0) return false;
    const ostrel::TextMatcher matcher(text, textLength, find, findLength, options);
    return Report(matcher.LastAtOrBefore(static_cast<std::int32_t>(maxStart)), position);
}
