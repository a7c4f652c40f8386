#pragma once

// The character classes of the CSS tokenizer, as the engine reads a style
// sheet; every reader of style sheets takes them from here.
namespace CssChars {

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline bool isNewline(char c)
{
    return c == '\n' || c == '\r' || c == '\f';
}

inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' ||
           c == '_' || u >= 0x80;
}

} // namespace CssChars
