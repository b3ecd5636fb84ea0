#include "settings/Mnemonics.h"

#include <QSet>

QStringList WithMnemonics(const QStringList& plainTexts) {
    QSet<QString> taken;
    QStringList marked;
    for (const QString& plain : plainTexts) {
        QString text;
        bool chosen = false;
        for (const QChar c : plain) {
            if (c == u'&') {
                text += QStringLiteral("&&");
                continue;
            }
            const QString key = QString(c).toCaseFolded();
            if (!chosen && c.isLetterOrNumber() && !taken.contains(key)) {
                taken.insert(key);
                text += u'&';
                chosen = true;
            }
            text += c;
        }
        marked << text;
    }
    return marked;
}
