#include "app/StatusLine.h"

namespace app {

void StatusLine::say(const QString &text)
{
    text_ = text;
    Q_EMIT changed(text_);
}

void StatusLine::sayAlso(const QString &text)
{
    say(text_.isEmpty() ? text : text_ + QStringLiteral(" – ") + text);
}

} // namespace app
