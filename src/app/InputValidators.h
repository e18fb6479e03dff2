#pragma once
// What the form's text fields accept. The guest file has no quoting, so a ";" typed into a field
// would split its line; and a room field names rooms 1 to 3, each once.

#include <QValidator>

namespace app {

// Drops every ";" from the input, typed or pasted.
class NoSemicolonValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// Keeps the digits 1, 2 and 3, each once, and drops everything else.
class RoomDigitsValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// The text with only the characters that `keep` accepts; `pos` moves with the dropped ones.
QString FilterText(const QString &input, int &pos, bool (*keep)(QChar c, const QString &keptSoFar));

} // namespace app
