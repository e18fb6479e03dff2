#pragma once
// Dialogs for a benchmarked window: the open and save dialogs answer with the guest file in a
// given folder, and anything else the window would ask or say is written down, so a benchmark
// can refuse figures taken while a dialog would have been open.

#include "app/Dialogs.h"
#include "guestfile/GuestFile.h"

#include <QDir>
#include <QStringList>

namespace bench {

class BenchDialogs final : public app::Dialogs
{
public:
    BenchDialogs(const QString &folder, QStringList &said)
        : file_(QDir(folder).filePath(QString::fromUtf8(guestfile::kGuestFileName))), said_(said)
    {}

    QString askOpenFile(QWidget *) override { return file_; }
    QString askSaveFile(QWidget *) override { return file_; }
    bool askPrinter(QWidget *, QPrinter &) override
    {
        said_ << QStringLiteral("printer dialog");
        return false;
    }
    bool askPrinterFor(QWidget *, QPrinter &, const QString &title) override
    {
        said_ << title;
        return false;
    }
    QString askExportFile(QWidget *, const QString &title, const QString &, const QString &) override
    {
        said_ << title;
        return {};
    }
    QString askFolder(QWidget *, const QString &title) override
    {
        said_ << title;
        return {};
    }
    QString askPicture(QWidget *, const QString &title) override
    {
        said_ << title;
        return {};
    }
    bool confirm(QWidget *, const QString &text) override
    {
        said_ << text;
        return false;
    }
    bool confirmDefaultNo(QWidget *, const QString &text) override
    {
        said_ << text;
        return false;
    }
    int choose(QWidget *, const QString &text, const QStringList &, int, int escapeButton) override
    {
        said_ << text;
        return escapeButton;
    }
    std::optional<int> askNumber(QWidget *, const QString &text, int, int) override
    {
        said_ << text;
        return std::nullopt;
    }
    void inform(QWidget *, const QString &text) override { said_ << text; }
    void showError(QWidget *, const QString &text) override { said_ << text; }
    bool openDocument(QWidget *, const QString &path) override
    {
        said_ << path;
        return false;
    }
    int chooseBackup(QWidget *, const std::vector<guestfile::BackupInfo> &) override
    {
        said_ << QStringLiteral("backup dialog");
        return -1;
    }

private:
    QString file_;
    QStringList &said_;
};

} // namespace bench
