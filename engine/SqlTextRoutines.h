// Plain text routines of a run: comment removal, the split of a batch into statements, and the
// elapsed-time text. Texts are UTF-8 bytes; positions are byte positions (every marker is ASCII).
//
// Quoted text ('...' and "...", a doubled quote staying inside, a quote that never closes running
// to the end of the text) is skipped: a comment marker or a separator inside it is text. Quote
// characters inside a comment ("/*" to "*/", "--" to the end of its line) open nothing. With
// backslashEscapes (MySQL) a backslash inside '...' escapes the next character: 'it\'s' is one literal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QDateTime;

// Removes the block comments, then the line comments ("--" up to its line end, lines joined with
// CR LF). When the block markers do not pair up, returns the text unchanged.
std::string StripSQLComments(std::string_view sql, bool backslashEscapes = false);

// Removes every block from an open marker through its close marker. Returns false, with the text
// unchanged in result, when the markers outside quoted text do not pair up (nested, unclosed or
// stray). An open and a close marker may share characters: "/*/" is one block.
bool RemoveDelimitedBlocks(std::string_view text, std::string_view openMarker, std::string_view closeMarker,
                           std::string& result, bool backslashEscapes = false);

// Cuts every line at its first marker outside quoted text and joins the lines, each followed by
// lineEnd. Lines end at CR LF, a lone CR or a lone LF; a NUL ends the text; an empty text gives an
// empty result.
std::string RemoveLineComments(std::string_view text, std::string_view marker, std::string_view lineEnd,
                               bool backslashEscapes = false);

// The statements of a batch: each separator outside quoted text ends one (kept as it stands, even
// empty); the rest behind the last separator counts only when it holds a byte above 32. A batch
// that yields none, and any batch when the separator is empty, is one statement: the batch itself.
std::vector<std::string> SplitStatements(std::string_view batch, std::string_view separator,
                                         bool backslashEscapes = false);

// "h:mm:ss.zzz", hours without a bound. The order of the moments does not matter.
std::string FormatElapsedTime(const QDateTime& a, const QDateTime& b);
// The same text for a span in milliseconds (its sign is ignored).
std::string FormatElapsedTime(std::int64_t milliseconds);
// The same text for a span in seconds, rounded to whole milliseconds (a half to the even one) before
// any part is taken, so 59.9996 s reads 0:01:00.000.
std::string FormatElapsedSeconds(double seconds);
