// Under any regional setting the guest file the program writes reads back exactly: each locale in
// a process of its own, as the program starts under it; and the figures over every locale name
// Debian ships.

#include "guestfile/FileFormats.h"
#include "platform/Regional.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using guestfile::FileFormatsReadBack;
using guestfile::UseReadableFileFormats;

namespace {

struct ChildResult
{
    int exitCode = -1;
    QString output;
};

ChildResult runChild(const QString &locale, bool check)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LANG", "LC_NUMERIC", "LC_TIME", "LC_MONETARY", "LC_MESSAGES"})
        env.insert(QString::fromLatin1(name), locale);
    env.remove(QStringLiteral("LANGUAGE"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(ZIMBRANA_REGIONAL_CHILD), check ? QStringList() : QStringList{"--ohne-pruefung"});
    if (!child.waitForFinished(60000))
        return {};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardOutput())};
}

// The locale names Debian ships ("de_DE.UTF-8 UTF-8" a line), or those the machine has.
QStringList shippedLocales()
{
    QStringList names;
    QFile supported(QStringLiteral("/usr/share/i18n/SUPPORTED"));
    if (supported.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : supported.readAll().split('\n'))
            if (!line.trimmed().isEmpty() && !line.startsWith('#'))
                names << QString::fromLatin1(line.split(' ').first());
    } else {
        QProcess list;
        list.start(QStringLiteral("locale"), {QStringLiteral("-a")});
        list.waitForFinished();
        names = QString::fromLocal8Bit(list.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
    return names + QStringList{QStringLiteral("C"), QStringLiteral("C.UTF-8"), QStringLiteral("POSIX")};
}

} // namespace

class TestRegionalFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachLocaleReadsBack_data();
    void eachLocaleReadsBack();
    void figuresOverEveryShippedLocale();
};

void TestRegionalFiles::eachLocaleReadsBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("kept"); // 1: the regional formats are kept, 0: some become German, -1: either

    QTest::newRow("C.UTF-8") << "C.UTF-8" << 0; // English month names
    QTest::newRow("POSIX") << "POSIX" << 0;
    QTest::newRow("ckb_IQ") << "ckb_IQ.UTF-8" << 0; // a decimal separator the code page lacks
    QTest::newRow("ks_IN") << "ks_IN.UTF-8" << -1;
    QTest::newRow("pa_PK") << "pa_PK.UTF-8" << -1;
    QTest::newRow("ur_IN") << "ur_IN.UTF-8" << -1;
    QTest::newRow("hu_HU") << "hu_HU.UTF-8" << 0; // a dot after the date
    QTest::newRow("ar_SA") << "ar_SA.UTF-8" << 0; // right-to-left marks, Arabic digits
    QTest::newRow("es_ES") << "es_ES.UTF-8" << -1;
    QTest::newRow("ca_ES") << "ca_ES.UTF-8" << -1;
    QTest::newRow("fr_CA") << "fr_CA.UTF-8" << 0; // words in times
    QTest::newRow("ja_JP") << "ja_JP.UTF-8" << 0;
    QTest::newRow("ko_KR") << "ko_KR.UTF-8" << 0;
    QTest::newRow("be_BY") << "be_BY.UTF-8" << -1;
    QTest::newRow("de_CH") << "de_CH.UTF-8" << 1;
    QTest::newRow("de_DE") << "de_DE.UTF-8" << 1;
    QTest::newRow("de_AT") << "de_AT.UTF-8" << 1;
    QTest::newRow("en_US") << "en_US.UTF-8" << 1;
    QTest::newRow("en_GB") << "en_GB.UTF-8" << 1;
}

void TestRegionalFiles::eachLocaleReadsBack()
{
    QFETCH(QString, locale);
    QFETCH(int, kept);

    const ChildResult result = runChild(locale, true);
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));
    QVERIFY2(result.output.startsWith(QStringLiteral("OK\n")), qPrintable(result.output));
    const bool noted = result.output.contains(QStringLiteral("HINWEIS Ländereinstellung"));
    if (kept >= 0)
        QVERIFY2(noted == (kept == 0), qPrintable(result.output));
}

// The figures for the report: how many locale names write a file that reads back, without the
// check at start and with it. With it, all of them.
void TestRegionalFiles::figuresOverEveryShippedLocale()
{
    const QStringList names = shippedLocales();
    int before = 0;
    int after = 0;
    int german = 0;
    QStringList failing;
    for (const QString &name : names) {
        // Qt takes the formats of a locale by its name, as QLocale::system() does from LC_ALL.
        platform::SetRegional(QLocale(name));
        const bool readBack = FileFormatsReadBack();
        before += readBack ? 1 : 0;
        const QString note = UseReadableFileFormats(name);
        german += note.isEmpty() ? 0 : 1;
        if (FileFormatsReadBack())
            ++after;
        else
            failing << name;
    }
    qInfo("%lld locale names: %d read back without the check, %d with it (%d of them partly in German formats)",
          static_cast<long long>(names.size()), before, after, german);
    QVERIFY2(failing.isEmpty(), qPrintable(failing.join(u' ')));
    QVERIFY(before < after); // the check mends something, or the table above would be moot
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
}

QTEST_MAIN(TestRegionalFiles)
#include "test_regional_files.moc"
