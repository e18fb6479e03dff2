#pragma once
// The guest file: the whole guest list, one record per line, record 0 first.

#include "platform/DataFolderLayout.h"
#include "guestfile/GuestRecord.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

namespace guestfile {

inline constexpr const auto &kGuestFileName = platform::layout::kGuestFile;

// The records of the file's lines. Blank lines are skipped; without any record the result is a
// single empty record 0, never an empty list. A line that cannot be read throws EConvertError
// with the reason and, on a second line, "<fileName>, Zeile <n>" (n counted from 1).
std::vector<guests::TGast> DecodeGuestLines(const QStringList &lines, const QString &fileName);

// The records of a whole file's bytes (Windows-1252, lines ending in CR LF, LF or a lone CR),
// exactly as DecodeGuestLines reads the lines of those bytes, errors included.
std::vector<guests::TGast> DecodeGuestFile(QByteArrayView bytes, const QString &fileName);
// The same for bytes the caller is done with: their memory is handed back to the system as they
// are read, so that a file of many years is not held beside its whole list.
std::vector<guests::TGast> DecodeGuestFile(QByteArray &&bytes, const QString &fileName);

// A field of the guest file that could not be read, and where it stands.
struct DamagedField
{
    qsizetype line = 0;     // counted from 1
    std::size_t record = 0; // the index of the record the line became
    UnreadableField field;

    bool operator==(const DamagedField &) const = default;
};

// The same, noting the fields that could not be read (numbers read as 0, text after the 18th
// field) in `damaged`.
std::vector<guests::TGast> DecodeGuestFile(QByteArrayView bytes, const QString &fileName,
                                           std::vector<DamagedField> *damaged);
std::vector<guests::TGast> DecodeGuestFile(QByteArray &&bytes, const QString &fileName,
                                           std::vector<DamagedField> *damaged);

// What the host is told after reading a file with such fields: each with its line, its field and
// its text. Empty when there are none.
QString DamagedFieldsMessage(const std::vector<DamagedField> &damaged, const QString &fileName);
// The Ja/Nein question before the save that would write them as 0 (or leave the text after the
// 18th field out), naming them; only fields that still hold 0 in `records` count, since the host
// may have mended them in the form. Empty when nothing would be lost.
QString DamagedFieldsQuestion(const std::vector<DamagedField> &damaged, const std::vector<guests::TGast> &records,
                              const QString &fileName);

// Reads the whole file or nothing: on any error it throws (EInOutError, EConvertError) and the
// caller keeps the list it has.
std::vector<guests::TGast> ReadGuestFile(const QString &path);

// The whole file's bytes for the records: each record's line (EncodeSatz) in Windows-1252
// followed by CR LF.
QByteArray GuestFileBytes(const std::vector<guests::TGast> &records);

// Replaces the file only once everything has been written, so a failure keeps the old file.
// A new file is readable by its owner only; an existing one keeps its permissions.
// Throws EInOutError.
void WriteGuestFile(const QString &path, const std::vector<guests::TGast> &records);

// Writes the records to an open device; false when a write fails. A buffered device may still
// fail when it is flushed, so the caller checks that as well.
bool WriteGuestFile(QIODevice &device, const std::vector<guests::TGast> &records);

} // namespace guestfile
