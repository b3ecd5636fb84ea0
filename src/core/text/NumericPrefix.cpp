#include "text/NumericPrefix.h"

#include <cmath>

namespace {
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
} // namespace

double NumericPrefix(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    double sign = 1;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        sign = text[i] == u'-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    while (i < n && isDigit(text[i]))
        value = value * 10 + (text[i++].unicode() - u'0');
    if (i < n && text[i] == u'.') {
        double scale = 0.1;
        for (++i; i < n && isDigit(text[i]); ++i, scale /= 10)
            value += (text[i].unicode() - u'0') * scale;
    }
    if (i + 1 < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        int expSign = 1;
        if (text[j] == u'+' || text[j] == u'-')
            expSign = text[j++] == u'-' ? -1 : 1;
        if (j < n && isDigit(text[j])) {
            int exponent = 0;
            while (j < n && isDigit(text[j]) && exponent < 400)
                exponent = exponent * 10 + (text[j++].unicode() - u'0');
            value *= std::pow(10.0, expSign * exponent);
        }
    }
    return sign * value;
}
