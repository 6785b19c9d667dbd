// UTF-8 text turned into its GB18030 bytes, whose byte order is the GBK order of the characters
// (pinyin order for the common ones). One converter serves many texts; not shared between threads.
#pragma once

#include <string>
#include <string_view>

class Gb18030Text {
public:
    Gb18030Text();
    ~Gb18030Text();
    Gb18030Text(const Gb18030Text&) = delete;
    Gb18030Text& operator=(const Gb18030Text&) = delete;

    // Appends the GB18030 bytes of utf8 to out. A byte that is no UTF-8 goes out unchanged.
    void Append(std::string_view utf8, std::string& out);

private:
    void* converter_;
};
