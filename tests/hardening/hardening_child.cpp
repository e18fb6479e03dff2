// The other program in the fault and crash tests. It reports each step on standard output, one
// line at a time and unbuffered, so that a test that kills it knows exactly how far it got.
//   hold-open <file>               reads the file, says "open", waits for a line, reads it again
//                                  through the same descriptor and prints it as hex
//   save-guests <file> <n> <stand> saves versions stand+1, stand+2, ... of a list of n guests,
//                                  saying "begin <s>" before and "done <s>" after each save
//   next-renr <file>               takes invoice numbers one after the other, printing each one
//                                  once NextReNr has returned it
// The last two first say "ready", once they are about to begin.

#include "HardeningSupport.h"
#include "billing/InvoiceNumber.h"

#include <QByteArray>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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
    } catch (const std::exception &error) {
        say(QByteArray("error ") + error.what());
        return 3;
    }
    std::fprintf(stderr, "usage: %s hold-open|save-guests|next-renr <file> ...\n", argv[0]);
    return 1;
}
