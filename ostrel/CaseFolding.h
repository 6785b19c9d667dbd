// Simple per-code-unit case folding: each upper-case letter of the covered scripts maps to its
// lower-case letter, so two texts compare without case by comparing their folded code units.
#pragma once

namespace ostrel {

char16_t FoldCase(char16_t unit);

} // namespace ostrel
