#include "platform/FileNames.h"

#include <QStringView>

namespace platform {

namespace {

bool special(QChar c)
{
    if (QStringView(u"[]*?/\\:\"'`<>|").contains(c))
        return true;
    const QChar::Category category = c.category();
    // Control characters, and invisible ones such as a right-to-left override that would make a
    // name read differently from what it is.
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

} // namespace

QString fileNamePart(const QString &text, int maxLength)
{
    // Line breaks and TABs are blanks first, so a name typed over two lines stays readable.
    QString part = text.simplified();
    for (QChar &c : part)
        if (special(c))
            c = u'_';
    for (qsizetype i = 0; i < part.size() && part[i] == u'.'; ++i)
        part[i] = u'_';
    if (part.size() > maxLength) {
        part.truncate(maxLength);
        if (!part.isEmpty() && part.back().isHighSurrogate())
            part.chop(1); // half a character is none
        part = part.trimmed();
    }
    return part;
}

QString guestFileName(const QString &kind, qint32 gastNr, const QString &name)
{
    QString file = kind + u' ' + QString::number(gastNr);
    if (const QString part = fileNamePart(name); !part.isEmpty())
        file += u' ' + part;
    return file;
}

} // namespace platform
