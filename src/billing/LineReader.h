#pragma once
// Reads a text file line by line in pieces, so that a long file never lies in memory whole. A line
// ends at CR LF, at LF, or at a CR alone (files from an old Mac).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace billing {

class LineReader
{
public:
    // Reads from `device`, which is open for reading; `path` names it in errors.
    LineReader(QIODevice &device, const QString &path);

    // The next line without its end, valid until the next call; false after the last line.
    // `ended` says whether a line end followed it (the last line of a file may lack one). Throws
    // platform::EInOutError when the device fails.
    bool next(QByteArrayView &line, bool &ended);

private:
    // Reads more into the buffer, keeping what is not yet handed out; false at the end.
    bool fill();

    QIODevice &device_;
    QString path_;
    QByteArray buffer_;
    qsizetype start_ = 0; // where the next line begins in buffer_
    bool atEnd_ = false;
};

} // namespace billing
