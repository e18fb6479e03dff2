#pragma once
// "Gast" → "Buchungsbestätigung…" and "Per E-Mail senden…": the letter for the shown booking.

#include <QObject>

class QAction;
class QWidget;

namespace app {

class AppContext;
class BookingEditor;
class StatusLine;

class LetterActions : public QObject
{
    Q_OBJECT

public:
    LetterActions(AppContext &context, BookingEditor &editor, StatusLine &status, QWidget *window);

    QAction *actionBuchungsbestaetigung() const { return bestaetigung_; }
    QAction *actionPerEmail() const { return perEmail_; }

    void BuchungsbestaetigungClick();
    void PerEmailClick();

private:
    // The form's edits are taken over first; false (and said) when no guest is shown.
    bool guestShown();

    AppContext &context_;
    BookingEditor &editor_;
    StatusLine &status_;
    QWidget *window_;
    QAction *bestaetigung_ = nullptr;
    QAction *perEmail_ = nullptr;
};

} // namespace app
