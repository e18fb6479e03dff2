#pragma once
// Day numbers: days since 30 December 1899 (day 0) as a double; the fraction is the time of day.
// The guest file, the calendar and the holidays all count days this way.

#include <QDate>
#include <QTime>

namespace platform {

using TDateTime = double;

// The day number of a calendar date (a whole number).
TDateTime DateToDay(const QDate &date);
// Whether a day number is a date of the years 1 to 9999: the dates the program reads, writes and
// shows (NaN, infinite and larger numbers are not).
bool IsCalendarDay(TDateTime day);
// The calendar date of a day number; the time of day is dropped (truncated toward zero). A day
// number that is no calendar day is refused with EConvertError.
QDate DayToDate(TDateTime day);
// The fraction of a day for a time of day (12:00 is 0.5).
TDateTime TimeToFraction(const QTime &time);
// The time of day held in the fraction of a day number, rounded to the millisecond.
QTime FractionToTime(TDateTime day);
// Day number of year, month and day; throws EDateRangeError when the date does not
// exist or lies outside the years 1 to 9999.
TDateTime EncodeDate(int year, int month, int day);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime day);
int YearOf(TDateTime day);
// Two day numbers fall on the same calendar day when their whole-day parts are equal.
bool IsSameDay(TDateTime a, TDateTime b);
// The whole-day part of a day number (truncated toward zero).
TDateTime DateOf(TDateTime day);

} // namespace platform
