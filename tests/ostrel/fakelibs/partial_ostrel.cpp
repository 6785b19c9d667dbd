// A search library that exports SeekForward only: every search "finds" position 7.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) bool SeekForward(const char16_t*, std::int32_t, std::int32_t,
                                                                   const char16_t*, std::int32_t, std::uint32_t,
                                                                   std::int32_t* position)
{
    *position = 7;
    return true;
}
