// What a pupil types through a Japanese input method, brought to the ASCII the rules read.
#pragma once

// The ASCII form of a full-width digit, point, plus, minus or ideographic blank; any other
// character as it is.
constexpr char16_t HalfWidthOf(char16_t c)
{
    if (c >= u'０' && c <= u'９')
        return char16_t(c - u'０' + u'0');
    switch (c) {
    case u'．':
        return u'.';
    case u'＋':
        return u'+';
    case u'－':
        return u'-';
    case u'\u3000':
        return u' ';
    default:
        return c;
    }
}
