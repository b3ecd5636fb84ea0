#include "text/Blanks.h"

QString TrimBlanks(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    // Nothing to trim: the same text, shared rather than copied.
    return first == 0 && last == text.size() ? text : text.mid(first, last - first);
}
