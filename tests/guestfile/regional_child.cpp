// Started by test_regional_files once per regional setting (LC_ALL): checks the formats as the
// program does at start (unless "--ohne-pruefung"), writes a guest file, reads it back and
// compares every field. Prints "OK" or what differs, and the note the status line would show.

#include "guestfile/FileFormats.h"
#include "guestfile/GuestFile.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/IoError.h"
#include "support/GastText.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <vector>

using guestfile::ReadGuestFile;
using guestfile::UseReadableFileFormats;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

std::vector<TGast> records()
{
    std::vector<TGast> list(1);
    const double costs[] = {0, 0.01, 45.5, 128, 1234567.89, 99999999.99, -45.1, 167772.17};
    const QTime times[] = {QTime(0, 0, 0),  QTime(12, 0, 0), QTime(12, 30, 15), QTime(23, 59, 59),
                           QTime(0, 59, 1), QTime(13, 5, 9), QTime(9, 15, 0),   QTime(18, 45, 30)};
    const QDate days[] = {QDate(2025, 2, 20),  QDate(2024, 2, 29),  QDate(1999, 12, 31), QDate(2030, 1, 1),
                          QDate(2026, 10, 13), QDate(2001, 11, 12), QDate(2099, 7, 4),   QDate(1950, 3, 25)};
    for (int i = 0; i < 8; ++i) {
        TGast g;
        g.GastNr = i + 1;
        g.Zimmer = QString::number(i % 3 + 1);
        g.Personen = i % 5 + 1;
        g.Von = platform::DateToDay(days[i]);
        g.Bis = platform::DateToDay(days[i].addDays(i + 1));
        g.Anreise = platform::TimeToFraction(times[i]);
        g.Abreise = platform::TimeToFraction(times[7 - i]);
        g.Name = QStringLiteral("Gast %1 Müller").arg(i + 1);
        g.Strasse = QStringLiteral("Königstraße %1").arg(i);
        g.PLZ = 1067 + i * 1000;
        g.Ort = QStringLiteral("Köln");
        g.Telefon = QStringLiteral("0221 12345%1").arg(i);
        g.EMail = QStringLiteral("gast%1@example.de").arg(i);
        g.ReNr = i % 2 == 0 ? 1040 + i : 0;
        g.Kosten = costs[i];
        g.Bezahlt = i % 2 == 0;
        g.Schluessel = i % 3 == 0;
        g.Bemerkung = QStringLiteral("Frühstück um %1 Uhr").arg(7 + i);
        list.push_back(g);
    }
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QString note;
    if (!app.arguments().contains(QStringLiteral("--ohne-pruefung")))
        note = UseReadableFileFormats(QLocale::system().name());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    const std::vector<TGast> written = records();
    std::vector<TGast> read;
    try {
        WriteGuestFile(path, written);
        read = ReadGuestFile(path);
    } catch (const std::exception &error) {
        out << "FEHLER " << QString::fromUtf8(error.what()).replace(u'\n', u' ') << '\n';
        return 2;
    }
    int differences = 0;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (i >= read.size() || !(read[i] == written[i])) {
            out << "ABWEICHUNG " << Describe(written[i]) << " -> " << (i < read.size() ? Describe(read[i]) : QString())
                << '\n';
            ++differences;
        }
    if (read.size() != written.size())
        ++differences;
    if (differences == 0)
        out << "OK\n";
    if (!note.isEmpty())
        out << "HINWEIS " << note << '\n';
    return differences == 0 ? 0 : 1;
}
