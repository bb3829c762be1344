#include "base/TextFormat.h"

bool FormatTextInto(wchar_t* buffer, std::size_t capacity, const wchar_t* pattern,
                    std::initializer_list<const wchar_t*> args) {
    if (capacity == 0) return false;
    std::size_t used = 0;
    auto arg = args.begin();
    auto put = [&](wchar_t c) {
        if (used + 1 >= capacity) return false;  // keep room for the terminator
        buffer[used++] = c;
        return true;
    };
    bool ok = true;
    for (const wchar_t* p = pattern; ok && *p; ++p) {
        if (p[0] == L'%' && p[1] == L's') {
            ++p;
            if (arg == args.end() || *arg == nullptr) {
                ok = false;
                break;
            }
            for (const wchar_t* s = *arg++; ok && *s; ++s) ok = put(*s);
        } else {
            ok = put(*p);
        }
    }
    if (ok && arg != args.end()) ok = false;
    buffer[ok ? used : 0] = L'\0';
    return ok;
}

NumberText::NumberText(unsigned long long value) {
    wchar_t reversed[24];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < count; ++i) m_text[i] = reversed[count - 1 - i];
    m_text[count] = L'\0';
}
