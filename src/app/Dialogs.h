#pragma once
// Everything the window asks the user goes through this interface, so tests can answer in
// place of the user. The shipped implementation shows the real modal Qt dialogs.

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <vector>

class QPrinter;
class QWidget;

namespace guestfile {
struct BackupInfo;
}

namespace app {

// One button of a question with buttons of its own: the answer it stands for and its caption.
template <typename Answer> struct Choice
{
    Answer answer;
    QString button;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The open and save dialogs for the data folder; the chosen file name, empty when cancelled.
    virtual QString askOpenFile(QWidget *parent) = 0;
    virtual QString askSaveFile(QWidget *parent) = 0;
    // The printer set-up; true when the user confirms it, the chosen printer is then set up.
    virtual bool askPrinter(QWidget *parent, QPrinter &printer) = 0;
    // The same for what is not an invoice, under its own title ("Belegungsplan drucken").
    virtual bool askPrinterFor(QWidget *parent, QPrinter &printer, const QString &title) = 0;
    // Where to write an export: `suggested` is the proposed file (with or without a folder),
    // `filter` the file types ("CSV-Dateien (*.csv)"). The chosen path, empty when cancelled.
    virtual QString askExportFile(QWidget *parent, const QString &title, const QString &suggested,
                                  const QString &filter) = 0;
    // A folder to write files into; empty when cancelled.
    virtual QString askFolder(QWidget *parent, const QString &title) = 0;
    // A JPEG or PNG picture to open (the invoice form); empty when cancelled.
    virtual QString askPicture(QWidget *parent, const QString &title) = 0;
    // A question with Ja and Nein; true for Ja.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // The same for a step that is hard to undo: Nein is the default answer.
    virtual bool confirmDefaultNo(QWidget *parent, const QString &text) = 0;
    // A question with buttons of its own ("Ja", "Nein", "Abbrechen"; "Preisliste", ...): the index
    // of the button chosen. `defaultButton` is the one Enter takes; Esc and the window's × answer
    // `escapeButton`, so a question that may be cancelled passes its "Abbrechen" there.
    virtual int choose(QWidget *parent, const QString &text, const QStringList &buttons, int defaultButton,
                       int escapeButton) = 0;
    // The same with answers of the caller's own type, so no caller counts buttons:
    //   choose(parent, text, {{Answer::Kopie, "Rechnungskopie"}, {Answer::Abbrechen, "Abbrechen"}},
    //          Answer::Abbrechen, Answer::Abbrechen)
    // `defaultAnswer` and `escapeAnswer` must be among the choices.
    template <typename Answer>
    Answer choose(QWidget *parent, const QString &text, std::initializer_list<Choice<Answer>> choices,
                  Answer defaultAnswer, std::type_identity_t<Answer> escapeAnswer)
    {
        QStringList buttons;
        int defaultButton = -1;
        int escapeButton = -1;
        for (const Choice<Answer> &choice : choices) {
            if (choice.answer == defaultAnswer)
                defaultButton = static_cast<int>(buttons.size());
            if (choice.answer == escapeAnswer)
                escapeButton = static_cast<int>(buttons.size());
            buttons << choice.button;
        }
        Q_ASSERT(defaultButton >= 0 && escapeButton >= 0);
        const int chosen = choose(parent, text, buttons, defaultButton, escapeButton);
        // Anything but a button (a dialog closed some other way) is the escape.
        return chosen >= 0 && chosen < static_cast<int>(choices.size()) ? choices.begin()[chosen].answer : escapeAnswer;
    }
    // A whole number, offered as `defaultValue` and at least `minimum`; nothing when cancelled.
    virtual std::optional<int> askNumber(QWidget *parent, const QString &text, int defaultValue, int minimum) = 0;
    virtual void inform(QWidget *parent, const QString &text) = 0;
    virtual void showError(QWidget *parent, const QString &text) = 0;
    // "Sicherung wiederherstellen": the index of the chosen backup, -1 when cancelled.
    virtual int chooseBackup(QWidget *parent, const std::vector<guestfile::BackupInfo> &backups) = 0;
    // Opens a file in the desktop's program for it (a kept invoice in the PDF viewer); false when
    // the desktop could not.
    virtual bool openDocument(QWidget *parent, const QString &path) = 0;
};

class QtDialogs final : public Dialogs
{
public:
    using Dialogs::choose;
    QString askOpenFile(QWidget *parent) override;
    QString askSaveFile(QWidget *parent) override;
    bool askPrinter(QWidget *parent, QPrinter &printer) override;
    bool askPrinterFor(QWidget *parent, QPrinter &printer, const QString &title) override;
    QString askExportFile(QWidget *parent, const QString &title, const QString &suggested,
                          const QString &filter) override;
    QString askFolder(QWidget *parent, const QString &title) override;
    QString askPicture(QWidget *parent, const QString &title) override;
    bool confirm(QWidget *parent, const QString &text) override;
    bool confirmDefaultNo(QWidget *parent, const QString &text) override;
    int choose(QWidget *parent, const QString &text, const QStringList &buttons, int defaultButton,
               int escapeButton) override;
    std::optional<int> askNumber(QWidget *parent, const QString &text, int defaultValue, int minimum) override;
    void inform(QWidget *parent, const QString &text) override;
    void showError(QWidget *parent, const QString &text) override;
    int chooseBackup(QWidget *parent, const std::vector<guestfile::BackupInfo> &backups) override;
    bool openDocument(QWidget *parent, const QString &path) override;
};

} // namespace app
