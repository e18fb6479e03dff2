#pragma once
// Dialogs that answer as a test tells them and remember what they were asked.

#include "app/Dialogs.h"
#include "guestfile/Backups.h"

#include <QPrinter>
#include <QStringList>
#include <functional>
#include <optional>

class ScriptedDialogs final : public app::Dialogs
{
public:
    struct Script
    {
        QString openFile; // the answer of the open dialog; empty = cancelled
        QString saveFile; // the answer of the save dialog; empty = cancelled
        bool confirmAnswer = false;
        std::function<bool(QPrinter &)> printer; // sets the printer up; false = cancelled
        QStringList printerTitles;               // titles of the printer dialogs other than the invoice's
        QString exportFile;                      // the answer of the export dialog; empty = cancelled
        QStringList exportsAsked;                // "title|suggested|filter" of each export dialog
        QString folder;                          // the answer of a folder dialog; empty = cancelled
        QStringList foldersAsked;                // the titles of the folder dialogs
        QString picture;                         // the answer of a picture dialog; empty = cancelled
        QStringList picturesAsked;               // the titles of the picture dialogs
        int openAsked = 0;
        int saveAsked = 0;
        QStringList confirmations;
        QStringList informations;
        QStringList errors;
        int backupAnswer = -1; // the backup chosen; -1 = cancelled
        int backupsOffered = -1;
        QStringList noByDefault; // the questions whose default was Nein (also in confirmations)
        // Questions with buttons of their own: answered by a button's text; without an answer
        // (or with a text that is no button) the question is escaped, as with Esc.
        std::function<QString(const QString &text, const QStringList &buttons)> choose;
        QStringList choicesAsked; // "text|button|button…" of each such question
        QStringList choiceKeys;   // "default|escape", the buttons Enter and Esc take, of each such question
        // The number typed into a number question; nothing = cancelled.
        std::optional<int> number;
        QStringList numbersAsked;    // "text|default|minimum" of each number question
        QStringList documentsOpened; // the files handed to the desktop to open
        bool documentOpens = true;   // false: the desktop has no program for them
    };

    explicit ScriptedDialogs(Script &script) : s_(script) {}

    using app::Dialogs::choose; // the typed form asks through the one below

    QString askOpenFile(QWidget *) override
    {
        ++s_.openAsked;
        return s_.openFile;
    }
    QString askSaveFile(QWidget *) override
    {
        ++s_.saveAsked;
        return s_.saveFile;
    }
    bool askPrinter(QWidget *, QPrinter &printer) override { return s_.printer && s_.printer(printer); }
    bool askPrinterFor(QWidget *, QPrinter &printer, const QString &title) override
    {
        s_.printerTitles << title;
        return s_.printer && s_.printer(printer);
    }
    QString askExportFile(QWidget *, const QString &title, const QString &suggested, const QString &filter) override
    {
        s_.exportsAsked << title + u'|' + suggested + u'|' + filter;
        return s_.exportFile;
    }
    QString askFolder(QWidget *, const QString &title) override
    {
        s_.foldersAsked << title;
        return s_.folder;
    }
    QString askPicture(QWidget *, const QString &title) override
    {
        s_.picturesAsked << title;
        return s_.picture;
    }
    bool confirm(QWidget *, const QString &text) override
    {
        s_.confirmations << text;
        return s_.confirmAnswer;
    }
    bool confirmDefaultNo(QWidget *parent, const QString &text) override
    {
        s_.noByDefault << text;
        return confirm(parent, text);
    }
    int choose(QWidget *, const QString &text, const QStringList &buttons, int defaultButton, int escapeButton) override
    {
        s_.choicesAsked << (QStringList{text} + buttons).join(u'|');
        s_.choiceKeys << buttons.value(defaultButton) + u'|' + buttons.value(escapeButton);
        const int chosen = s_.choose ? static_cast<int>(buttons.indexOf(s_.choose(text, buttons))) : -1;
        return chosen >= 0 ? chosen : escapeButton;
    }
    std::optional<int> askNumber(QWidget *, const QString &text, int defaultValue, int minimum) override
    {
        s_.numbersAsked << QStringLiteral("%1|%2|%3").arg(text).arg(defaultValue).arg(minimum);
        return s_.number;
    }
    void inform(QWidget *, const QString &text) override { s_.informations << text; }
    void showError(QWidget *, const QString &text) override { s_.errors << text; }
    int chooseBackup(QWidget *, const std::vector<guestfile::BackupInfo> &backups) override
    {
        s_.backupsOffered = static_cast<int>(backups.size());
        return s_.backupAnswer;
    }
    bool openDocument(QWidget *, const QString &path) override
    {
        s_.documentsOpened << path;
        return s_.documentOpens;
    }

private:
    Script &s_;
};
