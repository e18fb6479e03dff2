// The other program in the fault and crash tests. It reports each step on standard output, one
// line at a time and unbuffered, so that a test that kills it knows exactly how far it got.
//   hold-open <file>               reads the file, says "open", waits for a line, reads it again
//                                  through the same descriptor and prints it as hex
//   save-guests <file> <n> <stand> saves versions stand+1, stand+2, ... of a list of n guests,
//                                  saying "begin <s>" before and "done <s>" after each save
//   next-renr <file>               takes invoice numbers one after the other, printing each one
//                                  once NextReNr has returned it
// The last two first say "ready", once they are about to begin.
//   take-renr <file> <n>           takes n invoice numbers, printing each, then says "done"
//   read-guests <file>             reads the guest file and says "read <guests>"
//   save-guests-once <file> <n>    saves a list of n guests (stand 1) once and says "saved"
//   read-prices <file>             reads the price matrix: "prices <15 values>" or "missing"
//   append-journal <file> <nr>    appends invoice-journal lines nr, nr+1, ... until killed, saying
//                                  "ready" first, then "begin <nr>" before and "done <nr>" after each
//   hold-instance <folder>         claims the folder for this copy ("locked", or "held <message>",
//                                  or "impossible"), then waits for a line and ends
//   hold-folder-lock <file> [ms]   locks the file's folder and says "locked"; releases it after ms
//                                  milliseconds, or else when a line arrives, and says "released"
//   save-as-copy <file> <name> <n> saves n times as a copy of the program does: reads the file,
//                                  adds a guest "<name>-<i>", asks as the window would and says
//                                  "saved <name>-<i>" after a save, or "asked <name>-<i>" when a
//                                  question came (answered "Nein"; the next round reads afresh)
//   issue-invoice <folder> <guest> <step>
//                                  invoices guest <guest> (1..3, none holding a number, as after a
//                                  kill before the guest file was saved) with the counter and the
//                                  journal in <folder>, printing to "<folder>/druck.pdf"; at
//                                  <step> (reserved, taken, kept, printed, journaled; "none" for
//                                  no stop) it says "at <step> <nr>" and kills itself (SIGKILL).
//                                  Without a stop it says "issued <nr>"
// A failure ends each with "error <message>", its lines joined by " | ".

#include "HardeningSupport.h"
#include "billing/CreateBill.h"
#include "billing/InvoiceNumber.h"
#include "billing/PriceMatrix.h"
#include "guestfile/GuestFileSession.h"
#include "platform/FolderLock.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QThread>

#include <QByteArray>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using billing::LiesPreisMatrix;
using billing::NextReNr;
using billing::TPreisMatrix;
using guestfile::EGuestFileChanged;
using guestfile::GuestFileSession;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

void say(const QByteArray &line)
{
    const QByteArray text = line + '\n';
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.constData() + done, static_cast<size_t>(text.size() - done));
        if (n <= 0)
            std::_Exit(4);
        done += n;
    }
}

QByteArray readAllFrom(int fd)
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0)
            std::_Exit(5);
        if (n == 0)
            return bytes;
        bytes.append(buffer, n);
    }
}

int holdOpen(const char *path)
{
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return 2;
    readAllFrom(fd);
    say("open");
    std::string line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        line += static_cast<char>(c);
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return 3;
    say(readAllFrom(fd).toHex());
    ::close(fd);
    return 0;
}

int saveGuests(const QString &path, int guests, int stand)
{
    const std::vector<TGast> even = hardening::Guests(guests);
    const std::vector<TGast> odd = hardening::Guests(guests + 1);
    say("ready");
    for (;;) {
        ++stand;
        const std::vector<TGast> list = hardening::Version(even, odd, stand);
        say("begin " + QByteArray::number(stand));
        WriteGuestFile(path, list);
        say("done " + QByteArray::number(stand));
    }
}

int nextReNr(const QString &path)
{
    say("ready");
    for (;;)
        say(QByteArray::number(NextReNr(path)));
}

void waitForLine()
{
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
}

int takeReNr(const QString &path, int count)
{
    for (int i = 0; i < count; ++i)
        say(QByteArray::number(NextReNr(path)));
    say("done");
    return 0;
}

// Appends journal lines from `first` on until killed: "begin <nr>" before, "done <nr>" after each.
int appendJournal(const QString &path, int first)
{
    say("ready");
    for (qint32 nr = first;; ++nr) {
        say("begin " + QByteArray::number(nr));
        billing::appendJournalLine(path, hardening::JournalLineNr(nr));
        say("done " + QByteArray::number(nr));
    }
}

QByteArray stepName(billing::NumberStep step)
{
    switch (step) {
    case billing::NumberStep::Reserved: return "reserved";
    case billing::NumberStep::Taken: return "taken";
    case billing::NumberStep::Kept: return "kept";
    case billing::NumberStep::Printed: return "printed";
    case billing::NumberStep::Journaled: return "journaled";
    }
    return "?";
}

int issueInvoice(int argc, char **argv, const QString &folder, int guest, const QByteArray &stop)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    hardening::UseGermanSettings();
    std::vector<TGast> records = hardening::Guests(3);
    for (TGast &g : records)
        g.ReNr = 0;
    guests::GuestList list;
    list.replace(records);

    billing::RechnungsDateien files;
    files.nummer = [folder] { return QDir(folder).filePath(QString::fromLatin1(billing::kReNummerDatei)); };
    files.ohneVorlage = billing::Briefkopf{QStringLiteral("Pension Zimbrana"), QStringLiteral("Am Hang 1"), {}, {}, {}};
    files.afterStep = [&stop](billing::NumberStep step, qint32 nr) {
        if (stepName(step) != stop)
            return;
        say("at " + stop + ' ' + QByteArray::number(nr));
        std::raise(SIGKILL);
    };
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir(folder).filePath(QStringLiteral("druck.pdf")));
    const billing::RechnungsErgebnis result =
        billing::RechnungErstellen(list, guest, files, nullptr, printer, platform::Today());
    say("issued " + QByteArray::number(result.ReNr));
    return 0;
}

int readGuests(const QString &path)
{
    const std::vector<TGast> list = ReadGuestFile(path);
    say("read " + QByteArray::number(qsizetype(list.size()) - 1));
    return 0;
}

int saveGuestsOnce(const QString &path, int guests)
{
    WriteGuestFile(path, hardening::Guests(guests, 1));
    say("saved");
    return 0;
}

int readPrices(const QString &path)
{
    TPreisMatrix matrix;
    if (!LiesPreisMatrix(path, matrix)) {
        say("missing");
        return 0;
    }
    QByteArray line = "prices";
    for (const auto &row : matrix.Preis)
        for (const qint32 price : row)
            line += ' ' + QByteArray::number(price);
    say(line);
    return 0;
}

int saveAsCopy(const QString &path, const QString &name, int count)
{
    for (int i = 1; i <= count; ++i) {
        GuestFileSession session;
        std::vector<TGast> list = QFileInfo::exists(path) ? session.read(path) : std::vector<TGast>(1);
        TGast guest = hardening::Guest(static_cast<int>(list.size()));
        const QString mark = QStringLiteral("%1-%2").arg(name).arg(i);
        guest.Bemerkung = mark;
        list.push_back(guest);
        if (!session.questionBeforeSave(path, static_cast<int>(list.size()) - 1).isEmpty()) {
            say("asked " + mark.toUtf8());
            continue;
        }
        try {
            session.write(path, list);
        } catch (const EGuestFileChanged &) {
            // The window asks about the other copy's version then; here the answer is "Nein".
            say("asked " + mark.toUtf8());
            continue;
        }
        say("saved " + mark.toUtf8());
    }
    say("done");
    return 0;
}

int holdInstance(const QString &folder)
{
    platform::InstanceLock lock;
    switch (lock.lock(folder)) {
    case platform::InstanceLock::State::Locked: say("locked"); break;
    case platform::InstanceLock::State::HeldByAnother:
        say("held " + lock.message().toUtf8().replace('\n', " | "));
        break;
    default: say("impossible"); break;
    }
    waitForLine();
    return 0;
}

int holdFolderLock(const QString &file, int milliseconds)
{
    {
        const platform::FolderLock lock(file, std::chrono::milliseconds(0));
        say("locked");
        if (milliseconds > 0)
            QThread::msleep(static_cast<unsigned long>(milliseconds));
        else
            waitForLine();
    }
    say("released");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    hardening::UseGermanSettings();
    const QByteArray mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "hold-open" && argc == 3)
            return holdOpen(argv[2]);
        if (mode == "save-guests" && argc == 5)
            return saveGuests(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
        if (mode == "next-renr" && argc == 3)
            return nextReNr(QString::fromLocal8Bit(argv[2]));
        if (mode == "take-renr" && argc == 4)
            return takeReNr(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        if (mode == "append-journal" && argc == 4)
            return appendJournal(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        if (mode == "read-guests" && argc == 3)
            return readGuests(QString::fromLocal8Bit(argv[2]));
        if (mode == "save-guests-once" && argc == 4)
            return saveGuestsOnce(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        if (mode == "read-prices" && argc == 3)
            return readPrices(QString::fromLocal8Bit(argv[2]));
        if (mode == "save-as-copy" && argc == 5)
            return saveAsCopy(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
        if (mode == "issue-invoice" && argc == 5)
            return issueInvoice(argc, argv, QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), argv[4]);
        if (mode == "hold-instance" && argc == 3)
            return holdInstance(QString::fromLocal8Bit(argv[2]));
        if (mode == "hold-folder-lock" && (argc == 3 || argc == 4))
            return holdFolderLock(QString::fromLocal8Bit(argv[2]), argc == 4 ? std::atoi(argv[3]) : 0);
    } catch (const std::exception &error) {
        say(QByteArray("error ") + QByteArray(error.what()).replace('\n', " | "));
        return 3;
    }
    std::fprintf(stderr, "usage: %s <mode> <file> ... (see the top of hardening_child.cpp)\n", argv[0]);
    return 1;
}
