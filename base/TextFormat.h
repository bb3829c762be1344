// Bounded text building for fixed buffers: a result that does not fit is refused, never cut,
// because a cut path or command line would point somewhere else. And numbers as text.
#pragma once

#include <cstddef>
#include <cwchar>
#include <initializer_list>

// Replaces each "%s" of pattern by the next argument. Returns false, with an empty buffer,
// when the result and its terminator do not fit into capacity units or the arguments do not match.
bool FormatTextInto(wchar_t* buffer, std::size_t capacity, const wchar_t* pattern,
                    std::initializer_list<const wchar_t*> args);

template <std::size_t N, typename... Args>
bool FormatText(wchar_t (&buffer)[N], const wchar_t* pattern, Args... args) {
    return FormatTextInto(buffer, N, pattern, {static_cast<const wchar_t*>(args)...});
}

// Copies text whole or not at all (an empty buffer), like FormatText with "%s".
template <std::size_t N>
bool CopyText(wchar_t (&buffer)[N], const wchar_t* text) {
    return FormatTextInto(buffer, N, L"%s", {text});
}

// The decimal text of a number, for log lines and numbered names.
class NumberText {
public:
    explicit NumberText(unsigned long long value);
    operator const wchar_t*() const { return m_text; }

private:
    wchar_t m_text[24];
};
