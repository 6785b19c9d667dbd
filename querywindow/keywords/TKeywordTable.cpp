#include "TKeywordTable.h"

#include "KeywordText.h"

#include <new>

TKeywordTable::TKeywordTable(const KeywordList& source, [[maybe_unused]] int size)
    : buckets_(static_cast<std::size_t>(DefaultBucketCount), nullptr), source_(source)
{
}

TKeywordTable::~TKeywordTable()
{
    for (TKeywordNode*& head : buckets_) {
        while (head) {
            TKeywordNode* next = head->Next;
            delete head;
            head = next;
        }
    }
}

int TKeywordTable::FindEntry(std::string_view key, std::uint8_t category, int bucket, TKeywordNode*& node)
{
    const std::string upper = KeywordUpperCase(key);
    const std::string_view wanted = KeywordTrim(upper);
    node = nullptr;
    if (!InRange(bucket) || !buckets_[static_cast<std::size_t>(bucket)]) return EmptyBucket;
    for (TKeywordNode* n = buckets_[static_cast<std::size_t>(bucket)]; n; n = n->Next) {
        node = n;
        if (n->Category == category && n->Name == wanted) return Found;
    }
    return NotFound;
}

int TKeywordTable::FindWord(std::string_view key, int bucket, const TKeywordNode*& node) const
{
    const std::string_view wanted = KeywordTrim(key);
    node = nullptr;
    if (!InRange(bucket) || !buckets_[static_cast<std::size_t>(bucket)]) return EmptyBucket;
    for (const TKeywordNode* n = buckets_[static_cast<std::size_t>(bucket)]; n; n = n->Next) {
        node = n;
        if (n->Name == wanted) return Found;
    }
    return NotFound;
}

int TKeywordTable::AddWord(std::string_view word, std::uint8_t category)
{
    const std::string key = KeywordUpperCase(KeywordTrim(word));
    if (key.empty()) return 0;
    const int bucket = KeywordBucket(key, bucketCount_);
    TKeywordNode* last = nullptr;
    const int found = FindEntry(key, category, bucket, last);
    if (found == Found) return 0;
    TKeywordNode* node = NewNode(key, category);
    if (!node) return -1;
    if (found == NotFound)
        last->Next = node;
    else
        buckets_[static_cast<std::size_t>(bucket)] = node;
    return 0;
}

void TKeywordTable::LoadWords()
{
    for (const std::string& rawLine : source_) {
        const std::string_view line = KeywordTrim(rawLine);
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos || comma + 1 >= line.size()) continue;
        const char digit = line[comma + 1];
        if (digit < '0' || digit > '9') continue;
        if (AddWord(line.substr(0, comma), static_cast<std::uint8_t>(digit - '0')) != 0) {
            loaded_ = false;
            return;
        }
    }
    loaded_ = true;
}

void TKeywordTable::FailAllocationAfter(int successes)
{
    allocationsBeforeFailure_ = successes;
}

TKeywordNode* TKeywordTable::NewNode(std::string_view key, std::uint8_t category) noexcept
{
    if (allocationsBeforeFailure_ == 0) {
        allocationsBeforeFailure_ = -1;
        return nullptr;
    }
    if (allocationsBeforeFailure_ > 0) --allocationsBeforeFailure_;
    try {
        return new TKeywordNode{KeywordNameCut(key), category, nullptr};
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
