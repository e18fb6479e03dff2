#pragma once
// "Datei" → "Einstellungen…", and "Einrichten…" while the house still lacks something: the
// settings window with what it needs from the rest of the program, and the hint in the status
// line of what is missing.

#include "guestfile/SetupCheck.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QAction;
class QWidget;

namespace app {

class AppContext;
class BookingEditor;
class GuestFileController;
class SettingsDialog;
class StatusLine;

class SetupFlow : public QObject
{
    Q_OBJECT

public:
    SetupFlow(AppContext &context, BookingEditor &editor, GuestFileController &files, StatusLine &status,
              QWidget *window);

    QAction *actionEinstellungen() const { return einstellungen_; }
    // Shown while the house is not set up.
    QAction *actionEinrichten() const { return einrichten_; }

    // Opens the settings window, or brings it to the front, at `step` when given.
    SettingsDialog *showSettings(std::optional<guestfile::SetupStep> step = std::nullopt);
    // What the house still lacks; "Einrichten…" is offered while anything does. The hint for the
    // status line, empty when all is there.
    QString followSetup();

private:
    AppContext &context_;
    BookingEditor &editor_;
    GuestFileController &files_;
    StatusLine &status_;
    QWidget *window_;
    QPointer<SettingsDialog> settings_;
    QAction *einstellungen_ = nullptr;
    QAction *einrichten_ = nullptr;
};

} // namespace app
