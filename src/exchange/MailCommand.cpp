#include "exchange/MailCommand.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace exchange {

namespace {

QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString mailto(const QString &address)
{
    // The address keeps its "@"; anything else a URL would read as a separator is encoded.
    return QStringLiteral("mailto:") + QString::fromLatin1(QUrl::toPercentEncoding(address.trimmed(), "@+"));
}

} // namespace

ProgramRunner detachedRunner()
{
    return [](const ProgramCall &call) { return QProcess::startDetached(call.program, call.arguments); };
}

QString mailAddressError(const QString &address)
{
    const QString a = address.trimmed();
    if (a.isEmpty())
        return QStringLiteral("Der Gast hat keine E-Mail-Adresse.");
    const qsizetype at = a.indexOf(u'@');
    bool bad = at <= 0 || at == a.size() - 1 || a.indexOf(u'@', at + 1) >= 0 || a.startsWith(u'-');
    for (const QChar c : a)
        if (c.isSpace() || c.unicode() < 32 || c == u'?' || c == u'&' || c == u'<' || c == u'>' || c == u'"' ||
            c == u',' || c == u';')
            bad = true;
    return bad ? QStringLiteral("Die E-Mail-Adresse „%1“ ist ungültig.").arg(a) : QString();
}

ProgramCall xdgEmailCall(const MailRequest &request)
{
    return {QStringLiteral("xdg-email"),
            {QStringLiteral("--subject"), request.subject, QStringLiteral("--body"), request.body,
             QStringLiteral("--attach"), request.attachment, mailto(request.address)}};
}

std::vector<ProgramCall> fallbackCalls(const MailRequest &request)
{
    const QString url = mailto(request.address) + QStringLiteral("?subject=") + encoded(request.subject) +
                        QStringLiteral("&body=") + encoded(request.body);
    return {{QStringLiteral("xdg-open"), {url}},
            {QStringLiteral("xdg-open"), {QFileInfo(request.attachment).absolutePath()}}};
}

MailOutcome openMail(const MailRequest &request, const ProgramRunner &runner)
{
    MailOutcome outcome;
    outcome.message = mailAddressError(request.address);
    if (!outcome.message.isEmpty())
        return outcome;
    if (runner(xdgEmailCall(request))) {
        outcome.ok = true;
        outcome.attached = true;
        outcome.message = QStringLiteral("Das E-Mail-Programm ist geöffnet; die Bestätigung ist angehängt.");
        return outcome;
    }
    const std::vector<ProgramCall> calls = fallbackCalls(request);
    const bool mailOpened = runner(calls[0]);
    outcome.folderOpened = runner(calls[1]);
    outcome.ok = mailOpened;
    if (mailOpened && outcome.folderOpened)
        outcome.message = QStringLiteral("Das E-Mail-Programm ist geöffnet. Bitte die Bestätigung aus dem geöffneten "
                                         "Ordner an die E-Mail anhängen.");
    else if (mailOpened)
        outcome.message = QStringLiteral("Das E-Mail-Programm ist geöffnet. Bitte die Bestätigung anhängen: %1")
                              .arg(request.attachment);
    else
        outcome.message =
            QStringLiteral("Kein E-Mail-Programm gefunden. Die Bestätigung liegt in: %1").arg(request.attachment);
    return outcome;
}

} // namespace exchange
