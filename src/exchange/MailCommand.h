#pragma once
// Handing a letter to the host's mail program: the program never sends mail itself. On Linux
// "xdg-email" opens a new mail with the address, subject, text and attachment filled in; where it
// is missing or cannot start, a plain "mailto:" address is opened (it cannot carry a file) and the
// folder of the file beside it, so the host attaches it by hand.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace exchange {

// One program to start, with its arguments each as given (no shell reads them).
struct ProgramCall
{
    QString program;
    QStringList arguments;

    bool operator==(const ProgramCall &) const = default;
};

// Starts a program without waiting for it; true when it started. Tests pass one that records.
using ProgramRunner = std::function<bool(const ProgramCall &)>;

// The runner the program uses: QProcess::startDetached.
ProgramRunner detachedRunner();

struct MailRequest
{
    QString address; // the guest's e-mail address
    QString subject;
    QString body;
    QString attachment; // the absolute path of the file to attach
};

// Why the address cannot be written to ("Der Gast hat keine E-Mail-Adresse.", "Die E-Mail-Adresse
// „x“ ist ungültig."); empty when it can. One "@" with text on both sides, no blanks, no control
// characters, no "?" or "&" that would add fields of their own to the mail.
QString mailAddressError(const QString &address);

// xdg-email --subject S --body B --attach F mailto:address
ProgramCall xdgEmailCall(const MailRequest &request);

// The fallback: xdg-open with "mailto:address?subject=…&body=…" (each part encoded), then
// xdg-open with the attachment's folder.
std::vector<ProgramCall> fallbackCalls(const MailRequest &request);

struct MailOutcome
{
    bool ok = false;
    bool attached = false;     // the mail program was handed the file
    bool folderOpened = false; // the host must attach the file by hand
    QString message;           // German, for the status line or an error box
};

// Opens the mail: xdg-email first; when it does not start, the fallback. A bad address starts
// nothing. `runner` starts the programs.
MailOutcome openMail(const MailRequest &request, const ProgramRunner &runner);

} // namespace exchange
