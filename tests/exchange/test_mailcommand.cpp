// Handing the confirmation to the mail program: the exact xdg-email call, the fallback when it
// cannot start, and addresses that must start nothing.

#include "exchange/MailCommand.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using exchange::MailRequest;
using exchange::ProgramCall;

namespace {

MailRequest request(const QString &address = QStringLiteral("anna.mueller+urlaub@example.de"))
{
    return {address, QStringLiteral("Buchungsbestätigung Linde: 01.03.2025 bis 04.03.2025"),
            QStringLiteral("Liebe Frau Müller,\nwir freuen uns & grüßen? 100%"),
            QStringLiteral("/home/gh/Daten/Bestätigungen/Bestätigung 12 Anna Müller 01.03.2025.pdf")};
}

// Records every call and answers from a list: true = started.
struct Recorder
{
    QList<bool> answers;
    std::vector<ProgramCall> calls;
    exchange::ProgramRunner runner()
    {
        return [this](const ProgramCall &call) {
            calls.push_back(call);
            return answers.isEmpty() ? true : answers.takeFirst();
        };
    }
};

} // namespace

class TestMailCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void xdgEmailWithAttachment();
    void fallbackOpensMailAndFolder_data();
    void fallbackOpensMailAndFolder();
    void badAddressesStartNothing_data();
    void badAddressesStartNothing();
};

void TestMailCommand::xdgEmailWithAttachment()
{
    Recorder recorder;
    const exchange::MailOutcome outcome = exchange::openMail(request(), recorder.runner());
    QVERIFY(outcome.ok);
    QVERIFY(outcome.attached);
    QVERIFY(!outcome.folderOpened);
    QCOMPARE(recorder.calls.size(), std::size_t(1));
    const ProgramCall expected{QStringLiteral("xdg-email"),
                               {QStringLiteral("--subject"), request().subject, QStringLiteral("--body"),
                                request().body, QStringLiteral("--attach"), request().attachment,
                                QStringLiteral("mailto:anna.mueller+urlaub@example.de")}};
    QCOMPARE(recorder.calls[0].program, expected.program);
    QCOMPARE(recorder.calls[0].arguments, expected.arguments);
}

void TestMailCommand::fallbackOpensMailAndFolder_data()
{
    QTest::addColumn<QList<bool>>("answers"); // xdg-email, xdg-open mailto, xdg-open folder
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("folderOpened");
    QTest::addColumn<QString>("message");
    QTest::newRow("mail and folder") << QList<bool>{false, true, true} << true << true << "aus dem geöffneten Ordner";
    QTest::newRow("mail only") << QList<bool>{false, true, false} << true << false
                               << "Bitte die Bestätigung anhängen: /home";
    QTest::newRow("nothing starts") << QList<bool>{false, false, false} << false << false << "Kein E-Mail-Programm";
}

void TestMailCommand::fallbackOpensMailAndFolder()
{
    QFETCH(QList<bool>, answers);
    QFETCH(bool, ok);
    QFETCH(bool, folderOpened);
    QFETCH(QString, message);
    Recorder recorder{answers, {}};
    const exchange::MailOutcome outcome = exchange::openMail(request(), recorder.runner());
    QCOMPARE(outcome.ok, ok);
    QCOMPARE(outcome.folderOpened, folderOpened);
    // Without xdg-email nothing carries the file: the host has to attach it.
    QVERIFY(!outcome.attached);
    QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
    QCOMPARE(recorder.calls.size(), std::size_t(3));
    QCOMPARE(recorder.calls[1].program, QStringLiteral("xdg-open"));
    QCOMPARE(recorder.calls[2],
             (ProgramCall{QStringLiteral("xdg-open"), {QStringLiteral("/home/gh/Daten/Bestätigungen")}}));
    // The mailto address carries subject and text, read back unchanged.
    const QUrl url(recorder.calls[1].arguments.value(0));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), QStringLiteral("anna.mueller+urlaub@example.de"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), request().subject);
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), request().body);
    QCOMPARE(query.queryItems().size(), 2);
}

void TestMailCommand::badAddressesStartNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("none") << QString() << "Der Gast hat keine E-Mail-Adresse.";
    QTest::newRow("blanks only") << "  "
                                 << "Der Gast hat keine E-Mail-Adresse.";
    QTest::newRow("no @") << "anna.example.de" << QStringLiteral("Die E-Mail-Adresse „anna.example.de“ ist ungültig.");
    QTest::newRow("two @") << "a@b@c.de" << QStringLiteral("Die E-Mail-Adresse „a@b@c.de“ ist ungültig.");
    QTest::newRow("nothing before @") << "@c.de" << QStringLiteral("Die E-Mail-Adresse „@c.de“ ist ungültig.");
    QTest::newRow("extra field") << "a@b.de?bcc=x@y.de"
                                 << "ist ungültig";
    QTest::newRow("second recipient") << "a@b.de,x@y.de"
                                      << "ist ungültig";
    QTest::newRow("blank inside") << "a b@c.de"
                                  << "ist ungültig";
    QTest::newRow("an option") << "--help@x.de"
                               << "ist ungültig";
    QTest::newRow("line break") << "a@b.de\nBcc: x@y.de"
                                << "ist ungültig";
}

void TestMailCommand::badAddressesStartNothing()
{
    QFETCH(QString, address);
    QFETCH(QString, message);
    Recorder recorder;
    const exchange::MailOutcome outcome = exchange::openMail(request(address), recorder.runner());
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
    QVERIFY(recorder.calls.empty());
}

QTEST_GUILESS_MAIN(TestMailCommand)
#include "test_mailcommand.moc"
