#pragma once
// The main window's status line as the parts of the window share it: each says what it did, and
// some read what was said last (why a save did not happen). The window shows it in its label.

#include <QObject>
#include <QString>

namespace app {

class StatusLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString text() const { return text_; }
    void say(const QString &text);
    // Adds `text` to what the line says already, after a dash.
    void sayAlso(const QString &text);
    // Says something about the record shown (its cost), which no longer fits once another record
    // is shown: shownRecordChanged() then clears it.
    void sayAboutShown(const QString &text);
    void shownRecordChanged();

Q_SIGNALS:
    void changed(const QString &text);

private:
    QString text_;
    bool aboutShown_ = false;
};

} // namespace app
