#pragma once
// Amounts of money as a host types them into a field: "85,50", "1.500", "1.500,50", "85,5 €"; and
// "85.50", where the point before one or two last digits can only be meant as the decimal mark.

#include <QStringView>
#include <optional>

namespace platform {

// The amount a typed text stands for, read with the regional decimal separator (its thousands
// separator is the other of point and comma); nothing when the text is no amount: letters, a
// thousands separator out of place, more than two decimals. Nothing is guessed, so "1O0,00" is
// no amount rather than 10,00.
std::optional<double> TypedAmount(QStringView text);

} // namespace platform
