#pragma once
// The page "Bestätigung" of the settings: the host's own text for booking confirmations, with the
// placeholders it may use. The text is kept in the settings file, never in the guest file.

#include <QWidget>

class QListWidget;
class QPlainTextEdit;

namespace app {

class ConfirmationSettingsPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConfirmationSettingsPage(QWidget *parent = nullptr);

    // Keeps the text when the host changed it. Throws platform::Error when it cannot be kept.
    void save();
    // The text edit, for showing the page with the cursor in it.
    QPlainTextEdit *textEdit() const { return text_; }

private:
    void insertChosenPlaceholder();

    QPlainTextEdit *text_ = nullptr;
    QListWidget *placeholders_ = nullptr;
    QString shown_; // the text as it came from the settings
};

} // namespace app
