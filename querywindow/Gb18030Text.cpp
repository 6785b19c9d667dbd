#include "Gb18030Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);

} // namespace

Gb18030Text::Gb18030Text() : converter_(iconv_open("GB18030", "UTF-8")) {}

Gb18030Text::~Gb18030Text()
{
    if (static_cast<iconv_t>(converter_) != NoConverter) iconv_close(static_cast<iconv_t>(converter_));
}

void Gb18030Text::Append(std::string_view utf8, std::string& out)
{
    // ASCII is the same in both.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }) ||
        static_cast<iconv_t>(converter_) == NoConverter) {
        out += utf8;
        return;
    }
    auto cd = static_cast<iconv_t>(converter_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        // A UTF-8 character takes at most 4 GB18030 bytes.
        const std::size_t room = inLeft * 4 + 4;
        const std::size_t at = out.size();
        out.resize(at + room);
        char* to = out.data() + at;
        std::size_t toLeft = room;
        const std::size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.resize(at + (room - toLeft));
        if (r == static_cast<std::size_t>(-1) && (errno == EILSEQ || errno == EINVAL)) {
            out += *in++;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out.append(in, inLeft);
            break;
        }
    }
}
