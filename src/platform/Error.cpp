#include "platform/Error.h"

#include <QDebug>
#include <new>

namespace platform {

Error::Error(const QString &message) : message_(message), utf8_(message.toStdString()) {}

const char *Error::what() const noexcept
{
    return utf8_.c_str();
}

QString ErrorText(const std::exception &error)
{
    if (const auto *ours = dynamic_cast<const Error *>(&error))
        return ours->message();
    qWarning("Unerwarteter Fehler: %s", error.what());
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("Der Arbeitsspeicher reicht für diesen Schritt nicht aus. Es wurde nichts "
                              "verändert; bitte andere Programme schließen und es noch einmal versuchen.");
    return QStringLiteral("Ein unerwarteter Fehler ist aufgetreten; der Schritt wurde abgebrochen.");
}

QString printerNotStartedText()
{
    return QStringLiteral("Der Drucker konnte nicht gestartet werden.");
}

QString printNotFinishedText()
{
    return QStringLiteral("Der Druck konnte nicht abgeschlossen werden.");
}

} // namespace platform
