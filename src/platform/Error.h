#pragma once
// The one base of every error this program throws. It carries the German text the host reads,
// as given; what() holds the same text in UTF-8 for code that only knows std::exception. The
// one place that shows errors (app/ErrorSink) shows message(), so no text of a library or of
// the standard library ("out_of_range", "bad_alloc") reaches the host.

#include <QString>
#include <exception>
#include <string>

namespace platform {

class Error : public std::exception
{
public:
    explicit Error(const QString &message);
    const char *what() const noexcept override;
    QString message() const { return message_; }

private:
    QString message_;
    std::string utf8_;
};

// A date that does not exist or lies outside the years 1 to 9999.
class EDateRangeError : public Error
{
public:
    using Error::Error;
};

// The German text for the host of any error that reached a handler: message() of ours; for
// anything else (the standard library's, Qt's) a plain German sentence, since their own text is
// English and means nothing to the host. That text goes to the log instead.
QString ErrorText(const std::exception &error);

// What every printout says when the printer (or the PDF file) does not start, and when it could
// not finish the pages: one text for all of them.
QString printerNotStartedText();
QString printNotFinishedText();

} // namespace platform
