#include "app/StatusLine.h"

namespace app {

void StatusLine::say(const QString &text)
{
    text_ = text;
    aboutShown_ = false;
    Q_EMIT changed(text_);
}

void StatusLine::sayAboutShown(const QString &text)
{
    say(text);
    aboutShown_ = true;
}

void StatusLine::shownRecordChanged()
{
    if (aboutShown_)
        say(QString());
}

void StatusLine::sayAlso(const QString &text)
{
    say(text_.isEmpty() ? text : text_ + QStringLiteral(" – ") + text);
}

} // namespace app
