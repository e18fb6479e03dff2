#pragma once
// A main window in a working folder of its own, with a fixed clock, German settings and
// scripted dialogs; plus the few moves a user makes on the form.

#include "app/TMainForm.h"
// What the tests use of the guest file, the invoices and the set-up beside the window.
#include "billing/CreateBill.h"
#include "billing/StayCost.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/Recovery.h"
#include "guestfile/Settings.h"
#include "guestfile/SetupCheck.h"
#include "platform/Clock.h"
#include "platform/Regional.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

// The control called `name` below `parent`; a test cannot go on without it.
template <typename T = QWidget> T *control(const QObject *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

class AppFixture
{
public:
    // Starts the window in a fresh working folder; `preismatrix` becomes its price file unless null.
    explicit AppFixture(const char *preismatrix = "50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n")
    {
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 0)));
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(work_.path());
        if (preismatrix)
            writeFile(QStringLiteral("Preismatrix.dat"), preismatrix);
        // Each window starts as on a first run, without a data folder from an earlier test.
        restartWith(QString());
    }

    ~AppFixture()
    {
        window.reset();
        QDir::setCurrent(oldDir_);
        platform::Clock::release();
    }

    QString path(const QString &name) const { return work_.filePath(name); }
    // The test's data folder "daten" (made by the test that uses it), and a file in it.
    QString daten(const QString &name) const { return path(QStringLiteral("daten/") + name); }

    // A new window, started as the host starts the program, with `dataFolder` remembered.
    void restartWith(const QString &dataFolder)
    {
        window.reset();
        guestfile::RememberDataFolder(dataFolder);
        window = std::make_unique<app::TMainForm>(std::make_unique<ScriptedDialogs>(dialogs));
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY2(QTest::qWaitForWindowActive(window.get()), "window not active");
    }

    // A house ready to invoice: a white A4 form at 300 dpi (every line of an invoice falls on it),
    // the data folder "daten" with `guests` as its guest file and the counter at 41, read in.
    void readInvoicingHouse(const QByteArray &guests)
    {
        QImage form(2480, 3508, QImage::Format_RGB32);
        form.fill(Qt::white);
        QVERIFY(form.save(path(QStringLiteral("REVORL.JPG")), "JPG"));
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), guests);
        writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\n");
        dialogs.openFile = daten(QStringLiteral("Gaeste.csv"));
        click("ButtonRead");
    }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readFile(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A plain white invoice form in the working folder, so tests do not depend on the bundled one.
    void writeInvoiceForm() const
    {
        QImage form(620, 877, QImage::Format_RGB32);
        form.fill(Qt::white);
        QVERIFY(form.save(path(QStringLiteral("REVORL.JPG")), "JPG"));
    }

    // The printer dialog is confirmed with an A4 PDF file as the printer.
    void printToPdf(const QString &pdf)
    {
        dialogs.printer = [pdf](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::A4));
            return true;
        };
    }

    template <typename T = QWidget> T *w(const char *name) const { return control<T>(window.get(), name); }

    // Moves the focus into a control as a click does (its Enter runs) ...
    void enter(const char *name) const
    {
        QWidget *widget = w(name);
        widget->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    // ... and out of it to a control without handlers (its Exit runs).
    void leave() const
    {
        w("ButtonSave")->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }
    // Key presses for each character, umlauts included.
    static void keyClicks(QWidget *widget, const QString &text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(widget, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void keyClicks(const char *name, const QString &text) const { keyClicks(w(name), text); }
    // Types into an edit as a user does, then leaves it.
    void type(const char *name, const QString &text) const
    {
        enter(name);
        keyClicks(name, text);
        leave();
    }
    void click(const char *button) const { QTest::mouseClick(w<QAbstractButton>(button), Qt::LeftButton); }
    // Chooses a menu entry ("ActionGaesteliste") as the host does.
    void trigger(const char *action) const { w<QAction>(action)->trigger(); }
    // The desktop session ends, as Qt's session manager tells the window; true when the window lets
    // it end. `mayAsk`: the session lets the program ask the host.
    bool sessionEnds(bool mayAsk) const
    {
        bool ends = false;
        if (!QMetaObject::invokeMethod(window.get(), "SessionEnds", Qt::DirectConnection, Q_RETURN_ARG(bool, ends),
                                       Q_ARG(bool, mayAsk)))
            qFatal("the window has no slot SessionEnds");
        return ends;
    }
    // The window of type `T` the main window opened, null when none is open.
    template <typename T> T *opened() const { return window->findChild<T *>(QString(), Qt::FindDirectChildrenOnly); }

    const guests::GuestList &list() const { return window->context().guests(); }
    QString status() const { return w<QLabel>("LabelStatus")->text(); }

    ScriptedDialogs::Script dialogs;
    std::unique_ptr<app::TMainForm> window;

private:
    QTemporaryDir work_;
    QString oldDir_;
};

// What a table shows, a line per row with its cells joined by "|".
inline QStringList tableLines(const QAbstractItemModel *model)
{
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        lines << cells.join(u'|');
    }
    return lines;
}
