#pragma once
// "Gast" → "Auskunft…" (everything stored about the shown guest's person, as PDF and CSV) and
// "Datei" → "Alte Aufenthalte anonymisieren…" (the dialog; its confirmation erases the stays,
// after the guest file as it was is kept among the backups).

#include <QObject>
#include <vector>

class QAction;
class QWidget;

namespace app {

class AppContext;
class BookingEditor;
class GuestFileController;
class StatusLine;

class PrivacyActions : public QObject
{
    Q_OBJECT

public:
    PrivacyActions(AppContext &context, BookingEditor &editor, GuestFileController &files, StatusLine &status,
                   QWidget *window);

    QAction *actionAuskunft() const { return auskunft_; }
    QAction *actionAnonymisieren() const { return anonymisieren_; }

    void AuskunftClick();
    void AnonymisierenClick();

private:
    void anonymizeConfirmed(const std::vector<int> &indexes);

    AppContext &context_;
    BookingEditor &editor_;
    GuestFileController &files_;
    StatusLine &status_;
    QWidget *window_;
    QAction *auskunft_ = nullptr;
    QAction *anonymisieren_ = nullptr;
};

} // namespace app
