#pragma once
// One guest record straight from and to the bytes of the guest file, without a detour through a
// Unicode line per record. Only the shapes the program writes itself take this quick way (plain
// numbers, dates and times in the regional order, a cost like "128,50", "True"/"False"); whatever
// else a line holds is left to DecodeSatz and EncodeSatz, so both ways give the same records, the
// same bytes and the same error messages.

#include "register/TGast.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>

namespace guestfile {

struct Field; // a field's bytes within a line

// One line of the file's bytes: it ends at CR LF, LF or a lone CR (as SplitAnsiLines cuts lines),
// and its first field separators are noted on the way.
struct Line
{
    static constexpr int kSeparators = 18; // the 18th ends the last field early

    const char *begin = nullptr;
    const char *end = nullptr;  // the line end or the end of the bytes
    const char *next = nullptr; // the start of the next line
    // The separators are noted sixteen bytes at a time while fewer than kSeparators are known, so
    // one block may add up to sixteen beyond them: room for those, which are not used.
    std::array<const char *, kSeparators - 1 + 16> separators{};
    int separatorCount = 0; // of the line, up to kSeparators

    // Cuts the line that starts at `begin`, within bytes that end at `bytesEnd`.
    void cut(const char *begin, const char *bytesEnd);
    // Whether the line holds only blanks and control characters (or nothing).
    bool blank() const;
};

// Reads lines under the regional settings in force when it was made.
class RecordReader
{
public:
    RecordReader();

    // Reads a line that is not blank into `gast`; false, with `gast` in an unspecified state,
    // when a field has a shape that only DecodeSatz reads.
    bool read(const Line &line, guests::TGast &gast);

private:
    template <typename FieldAt> bool readFields(FieldAt fieldAt, guests::TGast &gast);
    QString text(Field field) const;
    QString rooms(Field field);
    bool date(Field field, platform::TDateTime &day);
    bool parseDate(Field field, platform::TDateTime &day);
    bool time(Field field, platform::TDateTime &time);

    bool usable_ = false;    // the code page maps bytes one to one, ASCII to itself
    bool latin1_ = true;     // ... and every byte but 0x80 to 0x9F to itself
    char dateSeparator_ = 0; // 0: dates only the general way
    char timeSeparator_ = 0; // 0: times only the general way
    std::array<char, 3> dateOrder_{'d', 'M', 'y'};
    std::array<char16_t, 256> characters_{};

    // The few room fields of a guest house ("1", "12", "123") recur on every line: each is made
    // once and shared.
    struct Rooms
    {
        quint64 bytes = 0;
        qsizetype size = -1;
        QString text;
    };
    std::array<Rooms, 8> rooms_;
    std::size_t nextRooms_ = 0;

    // The day number of the first of recent months, and their length: the dates of a guest file
    // come a month after another.
    struct Month
    {
        int key = -1; // year * 12 + month - 1
        int days = 0;
        qint64 first = 0;
    };
    std::array<Month, 64> months_;

    // Dates and times of the usual length already read, by their bytes: a file has few distinct
    // times, and the dates of a stretch of bookings recur.
    struct Known
    {
        quint64 bytes = 0;
        quint32 more = 0; // the bytes after the first eight, and 0x10000 once the entry is filled
        platform::TDateTime value = 0;
    };
    std::array<Known, 256> dates_;
    std::array<Known, 16> times_;
};

// Writes records as the lines of the guest file, under the regional settings in force when it
// was made.
class RecordWriter
{
public:
    // `expected`: about the bytes all records will take, so the buffer is made once.
    explicit RecordWriter(qsizetype expected);
    ~RecordWriter();
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    // Appends the record's line, CR LF included.
    void append(const guests::TGast &gast);
    // All lines appended so far; the writer is empty afterwards.
    QByteArray take();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace guestfile
