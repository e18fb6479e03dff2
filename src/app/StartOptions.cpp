#include "app/StartOptions.h"

#include "app/Version.h"
#include "app/ZimbranaApplication.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace app {

namespace {

const QString kSelfTest = QStringLiteral("self-test");
const QString kDataFolder = QStringLiteral("datenordner");

// The options of the program; the help and version options are Qt's own, in the language of the
// translation installed when they are added.
void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Buchungen, Zimmerkalender und Rechnungen eines kleinen Gästehauses"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        QCommandLineOption(kSelfTest, QStringLiteral("Startet ohne Zutun, prüft, dass das Hauptfenster erscheint, "
                                                     "und beendet sich wieder (Rückgabewert 0: erschienen).")));
    parser.addOption(
        QCommandLineOption(kDataFolder,
                           QStringLiteral("Arbeitet in diesem Datenordner, nur für diesen Start; der in den "
                                          "Einstellungen gewählte Datenordner bleibt."),
                           QStringLiteral("Ordner")));
}

} // namespace

std::optional<int> AnswerWithoutDisplay(int argc, char **argv, QTextStream &out)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    {
        QCommandLineParser parser;
        describeOptions(parser);
        // A command line the parser refuses is left to the whole start, which knows Qt's own options.
        if (!parser.parse(arguments) ||
            (!parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("version"))))
            return std::nullopt;
    }
    // An application without a window system, for the program's name and Qt's German texts.
    QCoreApplication app(argc, argv);
    app.setApplicationVersion(QString::fromLatin1(version::kText));
    InstallGermanQtTexts(app);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.parse(arguments);
    if (parser.isSet(QStringLiteral("version")))
        out << QCoreApplication::applicationName() << u' ' << QCoreApplication::applicationVersion() << Qt::endl;
    else
        out << parser.helpText() << Qt::flush;
    return 0;
}

StartOptions ParseStartOptions(QApplication &app)
{
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    StartOptions options;
    options.selfTest = parser.isSet(kSelfTest);
    if (parser.isSet(kDataFolder))
        options.dataFolder = QDir(parser.value(kDataFolder)).absolutePath() + u'/';
    return options;
}

StartCheck::StartCheck(QApplication &app) : QObject(&app)
{
    app.installEventFilter(this);
}

bool StartCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isModal()) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            dialogs_.append(box ? box->text() : dialog->windowTitle());
            // Closed once its own event loop runs; closing it here would end that loop before it starts.
            QTimer::singleShot(0, dialog, &QDialog::reject);
        }
    }
    return QObject::eventFilter(watched, event);
}

int StartCheck::report(QWidget &window, std::chrono::milliseconds limit, QTextStream &out)
{
    const QDeadlineTimer deadline(limit);
    auto shown = [&window] {
        return window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed();
    };
    while (!shown() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    // Let the first paint through, so a failure there surfaces here and not after the report.
    QCoreApplication::processEvents();

    int result = 0;
    for (const QString &text : std::as_const(dialogs_)) {
        out << QStringLiteral("Beim Start erschien die Meldung „%1“.").arg(text) << Qt::endl;
        result = 1;
    }
    if (shown()) {
        out << QStringLiteral("%1: Hauptfenster angezeigt (%2 × %3).")
                   .arg(window.windowTitle())
                   .arg(window.width())
                   .arg(window.height())
            << Qt::endl;
    } else {
        out << QStringLiteral("Das Hauptfenster wurde nicht angezeigt.") << Qt::endl;
        result = 1;
    }
    return result;
}

} // namespace app
