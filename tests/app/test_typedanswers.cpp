// Questions with buttons of their own answer with the caller's own values: the button the host
// takes, Enter's and Esc's buttons, and a dialog closed without a button.

#include "support/ScriptedDialogs.h"

#include <QTest>

namespace {
enum class Answer { Kopie, Neu, Abbrechen };
} // namespace

class TestTypedAnswers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerIsTheButtonTaken_data();
    void answerIsTheButtonTaken();
};

void TestTypedAnswers::answerIsTheButtonTaken_data()
{
    QTest::addColumn<QString>("button");    // what the host takes; empty: Esc
    QTest::addColumn<int>("defaultAnswer"); // Answer
    QTest::addColumn<int>("expected");      // Answer
    QTest::addColumn<QString>("keys");      // the buttons of Enter and Esc
    QTest::newRow("Kopie") << "Rechnungskopie" << int(Answer::Abbrechen) << int(Answer::Kopie) << "Abbrechen|Abbrechen";
    QTest::newRow("Neu") << "Stornieren und neu berechnen" << int(Answer::Abbrechen) << int(Answer::Neu)
                         << "Abbrechen|Abbrechen";
    QTest::newRow("Esc") << "" << int(Answer::Kopie) << int(Answer::Abbrechen) << "Rechnungskopie|Abbrechen";
    QTest::newRow("no such button") << "Drucken" << int(Answer::Neu) << int(Answer::Abbrechen)
                                    << "Stornieren und neu berechnen|Abbrechen";
}

void TestTypedAnswers::answerIsTheButtonTaken()
{
    QFETCH(QString, button);
    QFETCH(int, defaultAnswer);
    QFETCH(int, expected);
    QFETCH(QString, keys);
    ScriptedDialogs::Script script;
    if (!button.isEmpty())
        script.choose = [button](const QString &, const QStringList &) { return button; };
    ScriptedDialogs dialogs(script);
    app::Dialogs &asked = dialogs;

    const Answer answer = asked.choose(nullptr, QStringLiteral("Schon berechnet"),
                                       {{Answer::Kopie, QStringLiteral("Rechnungskopie")},
                                        {Answer::Neu, QStringLiteral("Stornieren und neu berechnen")},
                                        {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
                                       static_cast<Answer>(defaultAnswer), Answer::Abbrechen);

    QCOMPARE(int(answer), expected);
    QCOMPARE(script.choicesAsked,
             QStringList{QStringLiteral("Schon berechnet|Rechnungskopie|Stornieren und neu berechnen|Abbrechen")});
    QCOMPARE(script.choiceKeys, QStringList{keys});
}

QTEST_GUILESS_MAIN(TestTypedAnswers)
#include "test_typedanswers.moc"
