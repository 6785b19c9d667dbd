// A chained hash table of 2003 buckets mapping upper-case words to a colour category, filled once
// from a keyword list and then only read.
#pragma once

#include "TKeywordNode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using KeywordList = std::vector<std::string>;

class TKeywordTable {
public:
    static constexpr int DefaultBucketCount = 2003;

    // Results of FindEntry and FindWord.
    static constexpr int Found = 0;
    static constexpr int NotFound = 1;
    static constexpr int EmptyBucket = 2;

    // size is not used: every table has DefaultBucketCount buckets. The list is read by LoadWords
    // and must outlive the table.
    explicit TKeywordTable(const KeywordList& source, int size = 2000);
    ~TKeywordTable();
    TKeywordTable(const TKeywordTable&) = delete;
    TKeywordTable& operator=(const TKeywordTable&) = delete;

    int BucketCount() const { return bucketCount_; }
    bool Loaded() const { return loaded_; }
    // The head of each bucket's chain, BucketCount() of them, nullptr for an empty bucket.
    const std::vector<TKeywordNode*>& Buckets() const { return buckets_; }

    // Looks for key (upper-cased, trimmed) with category in the chain of bucket. node: the match
    // when found, the chain's last node when not found, nullptr for an empty bucket.
    int FindEntry(std::string_view key, std::uint8_t category, int bucket, TKeywordNode*& node);
    // As FindEntry, but key is only trimmed and any category matches: the earliest inserted wins.
    int FindWord(std::string_view key, int bucket, const TKeywordNode*& node) const;
    // 0: stored, already present with this category, or an empty word; -1: no node could be
    // allocated (the table is unchanged).
    int AddWord(std::string_view word, std::uint8_t category);
    // Adds the entry of every valid line of the source list; stops at a failed insertion. Loaded()
    // tells whether the whole list went in.
    void LoadWords();

    // Test seam: the allocation after `successes` more successful ones fails once; -1 disarms.
    static void FailAllocationAfter(int successes);

private:
    TKeywordNode* NewNode(std::string_view key, std::uint8_t category) noexcept;
    bool InRange(int bucket) const { return bucket >= 0 && bucket < bucketCount_; }

    int bucketCount_ = DefaultBucketCount;
    std::vector<TKeywordNode*> buckets_;
    bool loaded_ = false;
    const KeywordList& source_;

    static inline int allocationsBeforeFailure_ = -1;
};
