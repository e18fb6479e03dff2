#include "billing/LineReader.h"

#include "platform/IoError.h"

#include <QIODevice>
#include <cerrno>

namespace billing {

namespace {
constexpr qsizetype kPiece = 256 * 1024;
} // namespace

LineReader::LineReader(QIODevice &device, const QString &path) : device_(device), path_(path) {}

bool LineReader::fill()
{
    buffer_.remove(0, start_);
    start_ = 0;
    if (atEnd_)
        return false;
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + kPiece);
    errno = 0;
    const qint64 got = device_.read(buffer_.data() + kept, kPiece);
    if (got < 0) {
        buffer_.resize(kept);
        platform::ThrowLastIoError(path_);
    }
    buffer_.resize(kept + got);
    atEnd_ = got == 0;
    return got > 0;
}

bool LineReader::next(QByteArrayView &line, bool &ended)
{
    qsizetype scanned = start_; // up to here the buffer holds no line end
    for (;;) {
        const char *data = buffer_.constData();
        const qsizetype size = buffer_.size();
        qsizetype i = scanned;
        while (i < size && data[i] != '\n' && data[i] != '\r')
            ++i;
        // A CR at the end of what is read may be the first half of a CR LF: read on to know.
        const bool mayBeHalf = i + 1 == size && data[i] == '\r' && !atEnd_;
        if (i < size && !mayBeHalf) {
            line = QByteArrayView(data + start_, i - start_);
            start_ = i + 1 < size && data[i] == '\r' && data[i + 1] == '\n' ? i + 2 : i + 1;
            ended = true;
            return true;
        }
        const qsizetype offset = i - start_;
        const bool more = fill();
        scanned = offset;
        if (!more && scanned >= buffer_.size()) {
            if (buffer_.isEmpty())
                return false;
            // The last line of the file, without a line end.
            line = QByteArrayView(buffer_.constData(), buffer_.size());
            start_ = buffer_.size();
            ended = false;
            return true;
        }
    }
}

} // namespace billing
