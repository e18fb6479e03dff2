#pragma once
// The folder the guest file and its companions are read from and written to. Until the user
// picks a file in the open/save dialog it is the current directory.

#include "guestfile/GuestFile.h"

#include <QString>

namespace guestfile {

// The settings of the dialog in which the user picks the data file (UTF-8).
inline constexpr char kDataFileDefaultSuffix[] = "csv";
inline constexpr const char *kDataFileDialogName = kGuestFileName;
inline constexpr char kDataFileFilter[] = "Gästedaten (*.csv);;Daten (*.DAT)";

class DataFolder
{
public:
    // True once a folder has been taken from a chosen file.
    bool chosen() const { return chosen_; }
    // The folder with its trailing separator, or empty for the current directory.
    QString folder() const { return folder_; }

    // Takes the folder of the chosen file; its name does not matter, since the program's own
    // files always keep their fixed names.
    void chooseFromFile(const QString &chosenFileName);
    // Takes a folder remembered from an earlier run.
    void chooseFolder(const QString &folder);

    // The full name of one of the program's files in the data folder.
    QString pathOf(const QString &fileName) const { return folder_ + fileName; }

private:
    QString folder_;
    bool chosen_ = false;
};

} // namespace guestfile
