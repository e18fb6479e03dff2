#include "platform/AnsiText.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/Error.h"
#include "platform/FolderLock.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <stdexcept>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace platform;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QDateTime kFixedMoment(QDate(2025, 6, 15), QTime(10, 0));

// The text of the exception `f` throws, or a null string when it throws none.
template <class E, class F> QString errorText(F f)
{
    try {
        f();
    } catch (const E &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

constexpr QFileDevice::Permissions kModeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                               QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        SetRegional(kGerman);
        Clock::fix(kFixedMoment);
    }
    void cleanup()
    {
        SetRegional(kGerman);
        Clock::fix(kFixedMoment);
    }

    // Day numbers
    void dayNumbers_data();
    void dayNumbers();
    void dayOfWeek_data();
    void dayOfWeek();
    void timeFractions_data();
    void timeFractions();
    void fractionToTimeRounding_data();
    void fractionToTimeRounding();
    void sameDayAndYear_data();
    void sameDayAndYear();
    void encodeDateInvalid_data();
    void encodeDateInvalid();

    // Regional settings
    void settingsFromLocale();
    void regionalRoundTrip_data();
    void regionalRoundTrip();

    // Conversions
    void strToDate_data();
    void strToDate();
    void twoDigitYearsFollowToday();
    void dateToStr_data();
    void dateToStr();
    void strToTime_data();
    void strToTime();
    void timeToStr_data();
    void timeToStr();
    void datesAndTimesAsQtWritesThem_data();
    void datesAndTimesAsQtWritesThem();
    void strToInt_data();
    void strToInt();
    void strToFloat_data();
    void strToFloat();
    void strToBool_data();
    void strToBool();
    void formatFixed_data();
    void formatFixed();

    // ANSI text and files
    void ansiRoundTripAllBytes();
    void toAnsi_data();
    void toAnsi();
    void splitAnsiLines_data();
    void splitAnsiLines();
    void readTextFile();
    void readMissing_data();
    void readMissing();
    void saveWritesCrLf_data();
    void saveWritesCrLf();
    void saveNewFileOwnerOnly();
    void saveKeepsPermissions();
    void saveIntoMissingFolder();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();
    void charactersAnsiLacks_data();
    void charactersAnsiLacks();
    void readRefusesWhatIsNoFile_data();
    void readRefusesWhatIsNoFile();
    void readFileStartStopsEarly();
    void firstLineThatNeverEndsIsRefused();
    void saveReplacesTheFileALinkNames();
    void saveRefusesWhatIsNoFile();
    void folderLockOfMissingFolder();
    void writeTextLinesReportsFailure_data();
    void writeTextLinesReportsFailure();
    void ioErrorText_data();
    void ioErrorText();
    void lastIoErrorCode_data();
    void lastIoErrorCode();

    // Clock
    void clockFixAndRelease();
};

// ---------------------------------------------------------------------------------------------
// Day numbers

void TestPlatform::dayNumbers_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("number");
    QTest::newRow("epoch") << QDate(1899, 12, 30) << 0.0;
    QTest::newRow("2025") << QDate(2025, 1, 1) << 45658.0;
    QTest::newRow("2026") << QDate(2026, 1, 1) << 46023.0;
}

void TestPlatform::dayNumbers()
{
    QFETCH(QDate, date);
    QFETCH(double, number);
    QCOMPARE(DateToDay(date), number);
    QCOMPARE(EncodeDate(date.year(), date.month(), date.day()), number);
    QCOMPARE(DayToDate(number), date);
    // The time of day does not move the date.
    QCOMPARE(DayToDate(number + 0.75), date);
    QCOMPARE(DateOf(number + 0.75), number);
}

void TestPlatform::dayOfWeek_data()
{
    QTest::addColumn<double>("day");
    QTest::addColumn<int>("weekday");
    QTest::newRow("Sunday") << EncodeDate(2025, 1, 12) << 1;
    QTest::newRow("Sunday evening") << EncodeDate(2025, 1, 12) + 0.99 << 1;
    QTest::newRow("Monday") << EncodeDate(2025, 1, 13) << 2;
    QTest::newRow("Wednesday") << EncodeDate(2025, 1, 1) << 4;
    QTest::newRow("Saturday") << EncodeDate(2025, 1, 4) << 7;
}

void TestPlatform::dayOfWeek()
{
    QFETCH(double, day);
    QFETCH(int, weekday);
    QCOMPARE(DayOfWeek(day), weekday);
}

void TestPlatform::timeFractions_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<double>("fraction");
    QTest::newRow("midnight") << QTime(0, 0) << 0.0;
    QTest::newRow("6:00") << QTime(6, 0) << 0.25;
    QTest::newRow("12:00") << QTime(12, 0) << 0.5;
    QTest::newRow("18:00") << QTime(18, 0) << 0.75;
}

void TestPlatform::timeFractions()
{
    QFETCH(QTime, time);
    QFETCH(double, fraction);
    QCOMPARE(TimeToFraction(time), fraction);
    QCOMPARE(FractionToTime(45658 + fraction), time);
}

void TestPlatform::fractionToTimeRounding_data()
{
    QTest::addColumn<double>("day");
    QTest::addColumn<QTime>("time");
    constexpr double ms = 1.0 / 86400000;
    QTest::newRow("just below midnight stays on the day") << 45658 + 0.9999999999 << QTime(23, 59, 59, 999);
    QTest::newRow("last millisecond") << 45658 + 86399999 * ms << QTime(23, 59, 59, 999);
    QTest::newRow("rounds down") << 0.5 + 0.4 * ms << QTime(12, 0, 0, 0);
    QTest::newRow("rounds up") << 0.5 + 0.6 * ms << QTime(12, 0, 0, 1);
    QTest::newRow("one third of a day") << 45658 + 1.0 / 3 << QTime(8, 0);
}

void TestPlatform::fractionToTimeRounding()
{
    QFETCH(double, day);
    QFETCH(QTime, time);
    const QTime result = FractionToTime(day);
    QVERIFY(result.isValid());
    QCOMPARE(result, time);
}

void TestPlatform::sameDayAndYear_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("same");
    QTest::addColumn<int>("yearOfA");
    QTest::newRow("evening and morning") << 45658.75 << 45658.0 << true << 2025;
    QTest::newRow("last moment") << 45658.999 << 45658.0 << true << 2025;
    QTest::newRow("next day") << 45658.999 << 45659.0 << false << 2025;
    QTest::newRow("new year's eve") << 45657.9 << 45658.0 << false << 2024;
    QTest::newRow("2026") << 46023.0 << 46023.5 << true << 2026;
    QTest::newRow("epoch") << 0.0 << 0.5 << true << 1899;
}

void TestPlatform::sameDayAndYear()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(bool, same);
    QFETCH(int, yearOfA);
    QCOMPARE(IsSameDay(a, b), same);
    QCOMPARE(IsSameDay(b, a), same);
    QCOMPARE(YearOf(a), yearOfA);
}

void TestPlatform::encodeDateInvalid_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("29 Feb of a common year") << 2025 << 2 << 29;
    QTest::newRow("31 Feb") << 2025 << 2 << 31;
    QTest::newRow("month 13") << 2025 << 13 << 1;
    QTest::newRow("month 0") << 2025 << 0 << 1;
    QTest::newRow("day 0") << 2025 << 1 << 0;
    QTest::newRow("year 0") << 0 << 1 << 1;
    QTest::newRow("year 10000") << 10000 << 1 << 1;
}

void TestPlatform::encodeDateInvalid()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QVERIFY_THROWS_EXCEPTION(platform::EDateRangeError, EncodeDate(year, month, day));
}

// ---------------------------------------------------------------------------------------------
// Regional settings

void TestPlatform::settingsFromLocale()
{
    const RegionalSettings de = SettingsFromLocale(kGerman);
    QCOMPARE(de.shortDateFormat, QStringLiteral("dd.MM.yyyy"));
    QCOMPARE(de.dateSeparator, QChar(u'.'));
    QCOMPARE(de.longTimeFormat, QStringLiteral("HH:mm:ss"));
    QCOMPARE(de.timeSeparator, QChar(u':'));
    QCOMPARE(de.decimalSeparator, QChar(u','));

    const RegionalSettings us = SettingsFromLocale(kUs);
    QCOMPARE(us.shortDateFormat.count(u'y'), 4);
    QVERIFY(us.shortDateFormat.contains(QStringLiteral("yyyy")));
    QCOMPARE(us.dateSeparator, QChar(u'/'));
    QVERIFY2(!us.longTimeFormat.contains(u't'), qPrintable(us.longTimeFormat));
    QCOMPARE(us.longTimeFormat, us.longTimeFormat.trimmed());
    QCOMPARE(us.timeSeparator, QChar(u':'));
    QCOMPARE(us.decimalSeparator, QChar(u'.'));

    SetRegional(kUs);
    QCOMPARE(Regional().dateSeparator, QChar(u'/'));
    SetRegional(kGerman);
    QCOMPARE(Regional().dateSeparator, QChar(u'.'));
}

void TestPlatform::regionalRoundTrip_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("de_DE") << kGerman;
    QTest::newRow("de_CH") << QLocale(QLocale::German, QLocale::Switzerland);
    QTest::newRow("en_US") << kUs;
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France);
    QTest::newRow("nl_NL") << QLocale(QLocale::Dutch, QLocale::Netherlands);
}

// Whatever the locale, what is written must read back as the same date and time, with all
// four year digits (a day far from today would be misread through a two-digit year).
void TestPlatform::regionalRoundTrip()
{
    QFETCH(QLocale, locale);
    SetRegional(locale);
    for (const double day : {EncodeDate(1931, 12, 24), EncodeDate(2025, 1, 2), EncodeDate(2099, 11, 30)}) {
        const QString text = DateToStr(day);
        QVERIFY2(text.contains(QString::number(YearOf(day))), qPrintable(text));
        QCOMPARE(StrToDate(text), day);
    }
    const double time = TimeToFraction(QTime(14, 5, 9));
    QCOMPARE(StrToTime(TimeToStr(time)), time);
    QCOMPARE(StrToTime(TimeToStr(TimeToFraction(QTime(0, 30)))), TimeToFraction(QTime(0, 30)));
}

// ---------------------------------------------------------------------------------------------
// Conversions

void TestPlatform::strToDate_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("day");
    const double newYear = 45658;
    QTest::newRow("de short") << kGerman << "1.1.2025" << true << newYear;
    QTest::newRow("de leading zeros") << kGerman << "01.01.2025" << true << newYear;
    QTest::newRow("de blanks around") << kGerman << " 1.1.2025 " << true << newYear;
    QTest::newRow("de end of year") << kGerman << "31.12.2025" << true << 46022.0;
    QTest::newRow("de leap day") << kGerman << "29.02.2024" << true << EncodeDate(2024, 2, 29);
    QTest::newRow("de two-digit year") << kGerman << "1.1.25" << true << newYear;
    QTest::newRow("de 31 Feb") << kGerman << "31.02.2025" << false << 0.0;
    QTest::newRow("de 29 Feb common year") << kGerman << "29.02.2025" << false << 0.0;
    QTest::newRow("de month 13") << kGerman << "1.13.2025" << false << 0.0;
    QTest::newRow("de day 0") << kGerman << "0.1.2025" << false << 0.0;
    QTest::newRow("de empty") << kGerman << "" << false << 0.0;
    QTest::newRow("de blanks") << kGerman << "   " << false << 0.0;
    QTest::newRow("de letters") << kGerman << "abc" << false << 0.0;
    QTest::newRow("de no year") << kGerman << "1.1" << false << 0.0;
    QTest::newRow("de four parts") << kGerman << "1.1.2025.1" << false << 0.0;
    QTest::newRow("de empty part") << kGerman << "1..2025" << false << 0.0;
    QTest::newRow("de five-digit year") << kGerman << "1.1.20250" << false << 0.0;
    QTest::newRow("de sign") << kGerman << "-1.1.2025" << false << 0.0;
    QTest::newRow("de trailing letter") << kGerman << "1.1.2025x" << false << 0.0;
    QTest::newRow("de US separator") << kGerman << "1/1/2025" << false << 0.0;
    QTest::newRow("us month first") << kUs << "12/31/2025" << true << 46022.0;
    QTest::newRow("us short") << kUs << "1/1/2025" << true << newYear;
    QTest::newRow("us day first") << kUs << "31/12/2025" << false << 0.0;
    QTest::newRow("us German separator") << kUs << "1.1.2025" << false << 0.0;
}

void TestPlatform::strToDate()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, day);
    SetRegional(locale);
    double result = -12345;
    QCOMPARE(TryStrToDate(text, result), valid);
    if (valid) {
        QCOMPARE(result, day);
        QCOMPARE(StrToDate(text), day);
    } else {
        QCOMPARE(result, -12345.0); // a failed try leaves the target alone
        QCOMPARE(errorText<EConvertError>([&] { StrToDate(text); }),
                 QStringLiteral("'%1' ist kein gültiges Datum").arg(text));
    }
    // Read as a part of a longer line, the text means the same.
    const QString line = QStringLiteral("7;") + text + QStringLiteral(";8");
    double fromPart = -12345;
    QCOMPARE(TryStrToDate(QStringView(line).sliced(2, text.size()), fromPart), valid);
    QCOMPARE(fromPart, valid ? day : -12345.0);
}

void TestPlatform::twoDigitYearsFollowToday()
{
    // Two-digit years are read into the century around today, so the same text means
    // different years as time goes on.
    Clock::fix(QDateTime(QDate(2025, 6, 15), QTime(10, 0)));
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.25"))), 2025);
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.30"))), 2030);
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.99"))), 1999);
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.0"))), 2000);
    Clock::fix(QDateTime(QDate(2090, 6, 15), QTime(10, 0)));
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.99"))), 2099);
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.05"))), 2105);
    QCOMPARE(YearOf(StrToDate(QStringLiteral("1.1.60"))), 2060);
}

void TestPlatform::dateToStr_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("de") << kGerman << 45658.0 << "01.01.2025";
    QTest::newRow("de time dropped") << kGerman << 46022.99 << "31.12.2025";
    QTest::newRow("de early year") << kGerman << EncodeDate(1905, 3, 7) << "07.03.1905";
    QTest::newRow("us") << kUs << 45658.0 << "1/1/2025";
    QTest::newRow("us month first") << kUs << 46022.5 << "12/31/2025";
}

void TestPlatform::dateToStr()
{
    QFETCH(QLocale, locale);
    QFETCH(double, day);
    QFETCH(QString, text);
    SetRegional(locale);
    QCOMPARE(DateToStr(day), text);
}

void TestPlatform::strToTime_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QTime>("time");
    QTest::newRow("de noon") << kGerman << "12:00:00" << true << QTime(12, 0);
    QTest::newRow("de no seconds, one-digit hour") << kGerman << "7:05" << true << QTime(7, 5);
    QTest::newRow("de evening") << kGerman << "18:00" << true << QTime(18, 0);
    QTest::newRow("de blanks around") << kGerman << " 9:30 " << true << QTime(9, 30);
    QTest::newRow("de last second") << kGerman << "23:59:59" << true << QTime(23, 59, 59);
    QTest::newRow("de midnight") << kGerman << "0:00" << true << QTime(0, 0);
    QTest::newRow("de 24 o'clock") << kGerman << "24:00:00" << false << QTime();
    QTest::newRow("de minute 60") << kGerman << "12:60" << false << QTime();
    QTest::newRow("de hour only") << kGerman << "12" << false << QTime();
    QTest::newRow("de four parts") << kGerman << "12:00:00:00" << false << QTime();
    QTest::newRow("de empty part") << kGerman << "12::00" << false << QTime();
    QTest::newRow("de three digits") << kGerman << "012:00" << false << QTime();
    QTest::newRow("de letters") << kGerman << "ab:cd" << false << QTime();
    QTest::newRow("de empty") << kGerman << "" << false << QTime();
    QTest::newRow("us afternoon") << kUs << "2:30:00 PM" << true << QTime(14, 30);
    QTest::newRow("us lower case") << kUs << "2:30 pm" << true << QTime(14, 30);
    QTest::newRow("us midnight") << kUs << "12:00 AM" << true << QTime(0, 0);
    QTest::newRow("us noon") << kUs << "12:00:00 PM" << true << QTime(12, 0);
    QTest::newRow("us morning") << kUs << "9:15:00 AM" << true << QTime(9, 15);
    QTest::newRow("us hour 13 PM") << kUs << "13:00 PM" << false << QTime();
    QTest::newRow("us hour 0 AM") << kUs << "0:30 AM" << false << QTime();
    QTest::newRow("us marker only") << kUs << "PM" << false << QTime();
}

void TestPlatform::strToTime()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QTime, time);
    SetRegional(locale);
    // Read as a part of a longer line, the text means the same.
    const QString line = QStringLiteral("7;") + text + QStringLiteral(";8");
    double fromPart = -1;
    QCOMPARE(TryStrToTime(QStringView(line).sliced(2, text.size()), fromPart), valid);
    QCOMPARE(fromPart, valid ? TimeToFraction(time) : -1.0);
    if (valid) {
        QCOMPARE(StrToTime(text), TimeToFraction(time));
    } else {
        double result = -1;
        QVERIFY(!TryStrToTime(text, result));
        QCOMPARE(result, -1.0);
        QCOMPARE(errorText<EConvertError>([&] { StrToTime(text); }),
                 QStringLiteral("'%1' ist keine gültige Uhrzeit").arg(text));
    }
}

void TestPlatform::timeToStr_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("de evening") << kGerman << 0.75 << "18:00:00";
    QTest::newRow("de with date") << kGerman << 45658.5 << "12:00:00";
    QTest::newRow("de early") << kGerman << TimeToFraction(QTime(7, 5, 3)) << "07:05:03";
    QTest::newRow("de just before midnight") << kGerman << 45658.9999999999 << "23:59:59";
    QTest::newRow("us afternoon") << kUs << TimeToFraction(QTime(14, 30)) << "2:30:00 PM";
    QTest::newRow("us morning") << kUs << 0.25 << "6:00:00 AM";
}

void TestPlatform::timeToStr()
{
    QFETCH(QLocale, locale);
    QFETCH(double, day);
    QFETCH(QString, text);
    SetRegional(locale);
    QCOMPARE(TimeToStr(day), text);
}

void TestPlatform::datesAndTimesAsQtWritesThem_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("de_DE") << kGerman;
    QTest::newRow("en_US, AM/PM") << kUs;
    QTest::newRow("sv_SE, year first") << QLocale(QLocale::Swedish, QLocale::Sweden);
    QTest::newRow("zh_CN, one-digit month") << QLocale(QLocale::Chinese, QLocale::China);
    QTest::newRow("ko_KR, blanks and marker first") << QLocale(QLocale::Korean, QLocale::SouthKorea);
    QTest::newRow("fi_FI, point in the time") << QLocale(QLocale::Finnish, QLocale::Finland);
    QTest::newRow("bg_BG, quoted text") << QLocale(QLocale::Bulgarian, QLocale::Bulgaria);
    QTest::newRow("ar_EG, direction marks") << QLocale(QLocale::Arabic, QLocale::Egypt);
    QTest::newRow("ja_JP, letters in the time") << QLocale(QLocale::Japanese, QLocale::Japan);
}

// Whatever the regional format holds (field widths and order, literal text, quotes, AM/PM),
// dates and times are written just as Qt's own formatter writes them with that format.
void TestPlatform::datesAndTimesAsQtWritesThem()
{
    QFETCH(QLocale, locale);
    SetRegional(locale);
    const RegionalSettings &r = Regional();
    for (const QDate date : {QDate(1, 1, 1), QDate(999, 12, 31), QDate(1000, 1, 1), QDate(1899, 12, 30),
                             QDate(2025, 1, 2), QDate(2026, 11, 30), QDate(9999, 12, 31)}) {
        for (const double day : {DateToDay(date), DateToDay(date) + 0.75})
            QCOMPARE(DateToStr(day), DayToDate(day).toString(r.shortDateFormat));
    }
    for (const QTime time :
         {QTime(0, 0), QTime(0, 5, 9), QTime(9, 30), QTime(12, 0), QTime(13, 45, 59), QTime(23, 59, 59)})
        QCOMPARE(TimeToStr(45658 + TimeToFraction(time)), time.toString(r.longTimeFormat));
}

void TestPlatform::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("plain") << "123" << true << 123;
    QTest::newRow("minus") << "-45" << true << -45;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("0x hex") << "0x1f" << true << 31;
    QTest::newRow("0X hex") << "0X1F" << true << 31;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("leading blanks") << "  42" << true << 42;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("hex max") << "$7FFFFFFF" << true << 2147483647;
    QTest::newRow("trailing blank") << "42 " << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("dollar only") << "$" << false << 0;
    QTest::newRow("0x only") << "0x" << false << 0;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("underflow") << "-2147483649" << false << 0;
    QTest::newRow("hex overflow") << "$100000000" << false << 0;
    QTest::newRow("far too long") << "99999999999999999999999" << false << 0;
    QTest::newRow("decimal point") << "1,5" << false << 0;
    QTest::newRow("hex digit in decimal") << "12a" << false << 0;
    QTest::newRow("bad hex digit") << "$1G" << false << 0;
    QTest::newRow("two signs") << "--1" << false << 0;
    QTest::newRow("blank after sign") << "- 1" << false << 0;
}

void TestPlatform::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    qint32 result = 4711;
    QCOMPARE(TryStrToInt(text, result), valid);
    // Read as a part of a longer line, the text means the same.
    const QString line = QStringLiteral("7;") + text + QStringLiteral(";8");
    qint32 fromPart = 4711;
    QCOMPARE(TryStrToInt(QStringView(line).sliced(2, text.size()), fromPart), valid);
    QCOMPARE(fromPart, valid ? value : 4711);
    if (valid) {
        QCOMPARE(result, value);
        QCOMPARE(StrToInt(text), value);
    } else {
        QCOMPARE(result, 4711);
        QCOMPARE(errorText<EConvertError>([&] { StrToInt(text); }),
                 QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    }
}

void TestPlatform::strToFloat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("de comma") << kGerman << "12,50" << true << 12.5;
    QTest::newRow("de blanks and sign") << kGerman << " -3 " << true << -3.0;
    QTest::newRow("de point") << kGerman << "12.50" << false << 0.0;
    QTest::newRow("de thousands") << kGerman << "1.234,5" << false << 0.0;
    QTest::newRow("de two commas") << kGerman << "1,2,3" << false << 0.0;
    QTest::newRow("de empty") << kGerman << "" << false << 0.0;
    QTest::newRow("de infinity") << kGerman << "inf" << false << 0.0;
    QTest::newRow("de too big") << kGerman << "1e999" << false << 0.0;
    QTest::newRow("us point") << kUs << "12.50" << true << 12.5;
    QTest::newRow("us comma") << kUs << "12,50" << false << 0.0;
}

void TestPlatform::strToFloat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    SetRegional(locale);
    double result = 99;
    QCOMPARE(TryStrToFloat(text, result), valid);
    QCOMPARE(result, valid ? value : 99.0);
}

void TestPlatform::strToBool_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("value");
    QTest::newRow("True") << "True" << true << true;
    QTest::newRow("TRUE") << "TRUE" << true << true;
    QTest::newRow("false") << "false" << true << false;
    QTest::newRow("FaLsE") << "FaLsE" << true << false;
    QTest::newRow("1") << "1" << true << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("-1") << "-1" << true << true;
    QTest::newRow("2,5") << "2,5" << true << true;
    QTest::newRow("0,0") << "0,0" << true << false;
    QTest::newRow("ja") << "ja" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("point under German") << "2.5" << false << false;
    QTest::newRow("Truex") << "Truex" << false << false;
}

void TestPlatform::strToBool()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, value);
    if (valid) {
        QCOMPARE(StrToBool(text), value);
        QCOMPARE(StrToBool(BoolToStr(value)), value);
    } else {
        QCOMPARE(errorText<EConvertError>([&] { StrToBool(text); }),
                 QStringLiteral("'%1' ist kein gültiger boolescher Wert").arg(text));
    }
}

void TestPlatform::formatFixed_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("de zero padded") << kGerman << 0.0 << 5 << 2 << " 0,00";
    QTest::newRow("de exact width") << kGerman << 12.5 << 5 << 2 << "12,50";
    QTest::newRow("de wider than width") << kGerman << 234.5 << 5 << 2 << "234,50";
    QTest::newRow("de no thousands separator") << kGerman << 1234567.5 << 7 << 2 << "1234567,50";
    QTest::newRow("de negative rounded") << kGerman << -3.456 << 8 << 1 << "    -3,5";
    QTest::newRow("de no decimals") << kGerman << 42.0 << 4 << 0 << "  42";
    QTest::newRow("us point") << kUs << 1234.5 << 8 << 2 << " 1234.50";
}

void TestPlatform::formatFixed()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    SetRegional(locale);
    QCOMPARE(FormatFixed(value, width, decimals), text);
}

// ---------------------------------------------------------------------------------------------
// ANSI text and files

void TestPlatform::ansiRoundTripAllBytes()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = FromAnsi(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(ToAnsi(text), all);
    // Every byte is its own character, so no two bytes may read as the same one.
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0xE4), QChar(u'ä'));
}

void TestPlatform::toAnsi_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << "Zimmer 1" << QByteArray("Zimmer 1");
    QTest::newRow("umlauts and euro") << QStringLiteral("äöüßÄÖÜ€") << QByteArray("\xE4\xF6\xFC\xDF\xC4\xD6\xDC\x80");
    QTest::newRow("typographic quotes") << QStringLiteral("„Gast“ – ok") << QByteArray("\x84Gast\x93 \x96 ok");
    QTest::newRow("outside the code page") << QStringLiteral("Łódź")
                                           << QByteArray("?\xF3"
                                                         "d?");
    QTest::newRow("surrogate pair") << QStringLiteral("a😀b") << QByteArray("a?b");
    QTest::newRow("two surrogate pairs") << QStringLiteral("😀😀") << QByteArray("??");
    QTest::newRow("lone high surrogate") << QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b")
                                         << QByteArray("a?b");
    QTest::newRow("lone low surrogate") << QStringLiteral("a") + QChar(0xDE00) + QStringLiteral("b")
                                        << QByteArray("a?b");
    QTest::newRow("high surrogate at the end") << QStringLiteral("a") + QChar(0xD83D) << QByteArray("a?");
    QTest::newRow("reversed pair") << QString(QChar(0xDE00)) + QChar(0xD83D) << QByteArray("??");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestPlatform::toAnsi()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ToAnsi(text), bytes);
    if (!bytes.contains('?'))
        QCOMPARE(FromAnsi(bytes), text);
}

void TestPlatform::splitAnsiLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF alone") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("last line without LF") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty line in the middle") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("only an empty line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("CR alone ends a line") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\n") << QStringList{"a", ""};
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\rc\nd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("ANSI bytes") << QByteArray("Gr\xFC\xDF"
                                              "e\r\n\x80")
                                << QStringList{QStringLiteral("Grüße"), "€"};
    QTest::newRow("nothing") << QByteArray() << QStringList{};
}

void TestPlatform::splitAnsiLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitAnsiLines(bytes), lines);
}

void TestPlatform::readTextFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gaeste.txt"));
    QVERIFY(writeBytes(path, QByteArray("M\xFCller\r\nZimmer 2\r\n\r\n\x80 12,50")));
    const QStringList expected{QStringLiteral("Müller"), "Zimmer 2", "", QStringLiteral("€ 12,50")};
    QCOMPARE(ReadTextFile(path), expected);
    QCOMPARE(ReadFirstLine(path), QStringLiteral("Müller"));

    QVERIFY(writeBytes(path, QByteArray()));
    QCOMPARE(ReadTextFile(path), QStringList());
    QCOMPARE(ReadFirstLine(path), QString());
}

void TestPlatform::readMissing_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << "fehlt.txt" << int(kFileNotFound) << "Datei nicht gefunden";
    QTest::newRow("missing folder") << "fehlt/gaeste.txt" << int(kPathNotFound)
                                    << QStringLiteral("Ungültiger Dateiname");
}

void TestPlatform::readMissing()
{
    QFETCH(QString, relative);
    QFETCH(int, code);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(relative);
    for (const bool firstLineOnly : {false, true}) {
        try {
            if (firstLineOnly)
                ReadFirstLine(path);
            else
                ReadTextFile(path);
            QFAIL("no error for a missing file");
        } catch (const EInOutError &e) {
            QCOMPARE(e.code(), code);
            QCOMPARE(e.path(), path);
            QCOMPARE(e.message(), text + u'\n' + QDir::toNativeSeparators(path));
        }
    }
}

void TestPlatform::saveWritesCrLf_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lines") << QStringList{"1", "Zimmer 2"} << QByteArray("1\r\nZimmer 2\r\n");
    QTest::newRow("ANSI") << QStringList{QStringLiteral("Grüße"), QStringLiteral("€")}
                          << QByteArray("Gr\xFC\xDF"
                                        "e\r\n\x80\r\n");
    QTest::newRow("empty line") << QStringList{"a", "", "b"} << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("no lines") << QStringList{} << QByteArray();
}

void TestPlatform::saveWritesCrLf()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gaeste.txt"));
    // Replacing a longer file must not leave its tail behind.
    QVERIFY(writeBytes(path, QByteArray(500, 'x')));
    SaveTextFileAtomic(path, lines);
    QCOMPARE(readBytes(path), bytes);
    QCOMPARE(ReadTextFile(path), lines);
    QCOMPARE(filesIn(dir.path()), QStringList{"gaeste.txt"});
}

void TestPlatform::saveNewFileOwnerOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("neu.txt"));
    SaveTextFileAtomic(path, {QStringLiteral("Gast")});
    QCOMPARE(readBytes(path), QByteArray("Gast\r\n"));
    QCOMPARE(QFile::permissions(path) & kModeBits, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestPlatform::saveKeepsPermissions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gaeste.txt"));
    QVERIFY(writeBytes(path, "alt\r\n"));
    const auto mode0640 = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path, mode0640));
    SaveTextFileAtomic(path, {QStringLiteral("neu")});
    QCOMPARE(readBytes(path), QByteArray("neu\r\n"));
    QCOMPARE(QFile::permissions(path) & kModeBits, mode0640);
}

void TestPlatform::saveIntoMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fehlt/gaeste.txt"));
    try {
        SaveTextFileAtomic(path, {QStringLiteral("Gast")});
        QFAIL("saving into a missing folder reported success");
    } catch (const EInOutError &e) {
        QCOMPARE(e.code(), int(kPathNotFound));
        QCOMPARE(e.message(), QStringLiteral("Ungültiger Dateiname\n") + QDir::toNativeSeparators(path));
    }
    QCOMPARE(filesIn(dir.path()), QStringList());
    QVERIFY(!QFile::exists(path));
}

// A save that fails halfway (here a file size limit stands in for a full disk, since the
// tests may run as root where permissions do not stop writing) must leave the old file as it
// was and no temporary file behind.
void TestPlatform::saveFailureKeepsOldFile_data()
{
    QTest::addColumn<int>("lineCount");
    // Much text fails while it is written; a little fails only when the buffer is flushed
    // on commit.
    QTest::newRow("fails while writing") << 2000;
    QTest::newRow("fails on commit") << 3;
}

void TestPlatform::saveFailureKeepsOldFile()
{
#ifdef Q_OS_UNIX
    QFETCH(int, lineCount);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gaeste.txt"));
    const QByteArray old("alt\r\n");
    QVERIFY(writeBytes(path, old));
    const QStringList lines(lineCount, QStringLiteral("eine Zeile, die länger ist als die erlaubte Dateigröße"));

    QString error;
    {
        const testsupport::DiskFull full(64);
        QVERIFY(full.ok());
        error = errorText<EInOutError>([&] { SaveTextFileAtomic(path, lines); });
    }

    QCOMPARE(error, QStringLiteral("Zu wenig Speicherplatz\n") + QDir::toNativeSeparators(path));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(filesIn(dir.path()), QStringList{"gaeste.txt"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestPlatform::charactersAnsiLacks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lacking");
    QTest::newRow("German") << QStringLiteral("Jürgen Weiß, Köln – 12,50 €") << QString();
    QTest::newRow("Polish and Czech") << QStringLiteral("Łukasz Dvořák") << QStringLiteral("Łř");
    QTest::newRow("each once, in order") << QStringLiteral("ŁŁ řŁ č") << QStringLiteral("Łřč");
    QTest::newRow("a question mark is fine") << QStringLiteral("Wann?") << QString();
    QTest::newRow("character beyond 16 bits") << QStringLiteral("Gruß 😀 😀") << QStringLiteral("😀");
    QTest::newRow("combining accent") << QStringLiteral("Dvor\u030Cák") << QStringLiteral("\u030C");
    QTest::newRow("Cyrillic") << QStringLiteral("Москва, Мо") << QStringLiteral("Москва");
    QTest::newRow("empty") << QString() << QString();
}

void TestPlatform::charactersAnsiLacks()
{
    QFETCH(QString, text);
    QFETCH(QString, lacking);
    QCOMPARE(CharactersAnsiLacks(text), lacking);
    // Exactly these become '?' when saved.
    QString kept = text;
    for (const QChar c : lacking)
        kept.remove(c);
    QCOMPARE(FromAnsi(ToAnsi(kept)), kept);
}

#ifdef Q_OS_UNIX
namespace {

// A pipe, a device that never ends, or a folder where a file belongs.
bool makeOdd(const QString &kind, const QString &path)
{
    if (kind == u"pipe")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == u"device")
        return QFile::link(QStringLiteral("/dev/zero"), path);
    return QDir().mkdir(path);
}

} // namespace
#endif

void TestPlatform::readRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::newRow("pipe") << "pipe" << int(kNotAFile);
    QTest::newRow("device") << "device" << int(kNotAFile);
    QTest::newRow("folder") << "folder" << int(kPathNotFound);
}

void TestPlatform::readRefusesWhatIsNoFile()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(int, code);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    QVERIFY(makeOdd(kind, path));
    // Each read returns at once with the reason: a pipe would wait for a writer forever, the
    // device would fill the memory.
    const QString expected = IoErrorText(code) + u'\n' + QDir::toNativeSeparators(path);
    QCOMPARE(errorText<EInOutError>([&] { ReadFileBytes(path); }), expected);
    QCOMPARE(errorText<EInOutError>([&] { ReadFileStart(path, 100); }), expected);
    QCOMPARE(errorText<EInOutError>([&] { ReadTextFile(path); }), expected);
    QCOMPARE(errorText<EInOutError>([&] { ReadFirstLine(path); }), expected);
#else
    QSKIP("pipes and devices");
#endif
}

void TestPlatform::readFileStartStopsEarly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("preise.dat"));
    QVERIFY(writeBytes(path, "1;2;3\r\n4;5;6\r\n"));
    QCOMPARE(ReadFileStart(path, 7), QByteArray("1;2;3\r\n"));
    QCOMPARE(ReadFileStart(path, 100), QByteArray("1;2;3\r\n4;5;6\r\n"));
    QCOMPARE(ReadFileStart(path, 0), QByteArray());
    QCOMPARE(ReadFileBytes(path), QByteArray("1;2;3\r\n4;5;6\r\n"));
}

void TestPlatform::firstLineThatNeverEndsIsRefused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    // Blanks before a number are allowed; cut off at some length they could end in the wrong number.
    QVERIFY(writeBytes(path, QByteArray(70000, ' ') + "12345\r\n"));
    QCOMPARE(errorText<EConvertError>([&] { ReadFirstLine(path); }),
             QStringLiteral("Die erste Zeile ist länger als 65536 Zeichen.\n") + QDir::toNativeSeparators(path));
    // A short first line is found however long the rest of the file is.
    QVERIFY(writeBytes(path, "41\r\n" + QByteArray(200000, 'x')));
    QCOMPARE(ReadFirstLine(path), QStringLiteral("41"));
}

void TestPlatform::saveReplacesTheFileALinkNames()
{
#ifdef Q_OS_UNIX
    // GIVEN the guest file kept elsewhere, with a link to it in the data folder
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString real = dir.filePath(QStringLiteral("woanders.csv"));
    const QString link = dir.filePath(QStringLiteral("Gaeste.csv"));
    QVERIFY(writeBytes(real, "alt\r\n"));
    QVERIFY(QFile::link(real, link));
    // WHEN it is saved through the link THEN the file it names changes and the link stays
    SaveTextFileAtomic(link, {QStringLiteral("neu")});
    QCOMPARE(readBytes(real), QByteArray("neu\r\n"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(filesIn(dir.path()), (QStringList{"Gaeste.csv", "woanders.csv"}));
#else
    QSKIP("links");
#endif
}

void TestPlatform::saveRefusesWhatIsNoFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    QVERIFY(makeOdd(QStringLiteral("pipe"), path));
    QCOMPARE(errorText<EInOutError>([&] { SaveTextFileAtomic(path, {QStringLiteral("neu")}); }),
             IoErrorText(kNotAFile) + u'\n' + QDir::toNativeSeparators(path));
    QVERIFY(!QFileInfo(path).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"Gaeste.csv"});
#else
    QSKIP("pipes");
#endif
}

void TestPlatform::folderLockOfMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fehlt/ReNummer.DAT"));
    QCOMPARE(errorText<EInOutError>([&] { FolderLock lock(path); }),
             IoErrorText(kPathNotFound) + u'\n' + QDir::toNativeSeparators(path));
    // The folder that exists is locked and let go again.
    {
        const FolderLock lock(dir.filePath(QStringLiteral("ReNummer.DAT")));
    }
    const FolderLock again(dir.filePath(QStringLiteral("ReNummer.DAT")), std::chrono::milliseconds(0));
}

void TestPlatform::writeTextLinesReportsFailure_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("ok");
    QTest::newRow("room for all") << 100 << true;
    QTest::newRow("exactly enough") << 10 << true;
    QTest::newRow("full in the second line") << 7 << false;
    QTest::newRow("full after the first line") << 5 << false;
    QTest::newRow("CR LF does not fit") << 9 << false;
    QTest::newRow("full from the start") << 0 << false;
}

void TestPlatform::writeTextLinesReportsFailure()
{
    QFETCH(int, limit);
    QFETCH(bool, ok);
    testsupport::FailingDevice device(limit);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QCOMPARE(WriteTextLines(device, {QStringLiteral("Bär"), QStringLiteral("def")}), ok);
    if (ok)
        QCOMPARE(device.written, QByteArray("B\xE4r\r\ndef\r\n"));
}

void TestPlatform::ioErrorText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("2") << 2 << "Datei nicht gefunden";
    QTest::newRow("3") << 3 << QStringLiteral("Ungültiger Dateiname");
    QTest::newRow("4") << 4 << QStringLiteral("Zu viele geöffnete Dateien");
    QTest::newRow("5") << 5 << "Dateizugriff verweigert";
    QTest::newRow("112") << 112 << "Zu wenig Speicherplatz";
    QTest::newRow("30") << 30 << QStringLiteral("Die Datei konnte nicht vollständig gelesen werden");
    QTest::newRow("32") << 32 << "Die Datei wird gerade von einem anderen Programm benutzt";
    QTest::newRow("1117") << 1117 << QStringLiteral("E/A-Fehler 1117: Das Speichergerät meldet einen Fehler");
    QTest::newRow("1920") << 1920 << QStringLiteral("Keine gewöhnliche Datei, sondern ein Gerät oder eine Pipe");
    QTest::newRow("99") << 99 << "E/A-Fehler 99";
}

void TestPlatform::ioErrorText()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(IoErrorText(code), text);
    const QString path = QStringLiteral("/daten/gäste.txt");
    const EInOutError error(code, path);
    QCOMPARE(error.code(), code);
    QCOMPARE(error.message(), text + u'\n' + QDir::toNativeSeparators(path));
    QCOMPARE(QString::fromUtf8(error.what()), error.message());
}

void TestPlatform::lastIoErrorCode_data()
{
#ifdef Q_OS_UNIX
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << ENOENT << true << "Datei nicht gefunden";
    QTest::newRow("missing folder") << ENOENT << false << QStringLiteral("Ungültiger Dateiname");
    QTest::newRow("not a folder") << ENOTDIR << true << QStringLiteral("Ungültiger Dateiname");
    QTest::newRow("too many files") << EMFILE << true << QStringLiteral("Zu viele geöffnete Dateien");
    QTest::newRow("no access") << EACCES << true << "Dateizugriff verweigert";
    QTest::newRow("read-only") << EROFS << true << "Dateizugriff verweigert";
    QTest::newRow("disk full") << ENOSPC << true << "Zu wenig Speicherplatz";
    QTest::newRow("too big") << EFBIG << true << "Zu wenig Speicherplatz";
    // A device fault must not pass for a denied access, whose number it shares.
    QTest::newRow("device fault") << EIO << true << "E/A-Fehler";
#endif
}

void TestPlatform::lastIoErrorCode()
{
#ifdef Q_OS_UNIX
    QFETCH(int, error);
    QFETCH(bool, folderExists);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(folderExists ? QStringLiteral("gaeste.txt") : QStringLiteral("fehlt/gaeste.txt"));
    errno = error;
    const int code = LastIoErrorCode(path);
    QVERIFY2(IoErrorText(code).startsWith(text), qPrintable(IoErrorText(code)));
#else
    QSKIP("errno codes");
#endif
}

// ---------------------------------------------------------------------------------------------
// Clock

void TestPlatform::clockFixAndRelease()
{
    const QDateTime evening(QDate(2025, 3, 4), QTime(18, 0));
    Clock::fix(evening);
    QCOMPARE(Clock::now(), evening);
    QCOMPARE(Today(), EncodeDate(2025, 3, 4));
    QCOMPARE(Now(), EncodeDate(2025, 3, 4) + 0.75);

    Clock::fix(QDateTime(QDate(2026, 1, 1), QTime(6, 0)));
    QCOMPARE(Today(), 46023.0);
    QCOMPARE(Now(), 46023.25);

    Clock::release();
    const QDate before = QDate::currentDate();
    const double today = Today();
    const double now = Now();
    const QDate after = QDate::currentDate();
    QVERIFY(today == DateToDay(before) || today == DateToDay(after));
    QVERIFY(now >= DateToDay(before) && now < DateToDay(after) + 1);
    QVERIFY(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())) < 60);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
