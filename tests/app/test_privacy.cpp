// Files that name guests stay their owner's: the folders the program makes for them ("Export",
// "Ausdrucke", "Bestätigungen") can be entered by the owner only, every file is readable by the
// owner only from its first byte, and the "Auskunft" files of guests whose names a file system
// would confuse ("..", "/", "....") stay apart.

#include "app/guestlist/GuestListWindow.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "guestfile/GuestFile.h"
#include "guestfile/SettingsFolder.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"
#include "support/Permissions.h"

#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>

using app::GuestListWindow;
using app::OccupancyPlanWindow;
using fixture::Stay;
using guests::TGast;
using permissions::kOwnerFile;
using permissions::kOwnerFolder;
using permissions::modeOf;

namespace {

platform::TDateTime d(int year, int month, int day)
{
    return platform::DateToDay(QDate(year, month, day));
}

// Guests whose names would make one file of three, and Anna with a complete booking.
std::vector<TGast> guests()
{
    TGast anna = Stay(1, "1", 2, d(2025, 2, 19), d(2025, 2, 22), QStringLiteral("Anna Müller"))
                     .address(QStringLiteral("Hauptstraße 5"), 1067, QStringLiteral("Dresden"))
                     .kosten(300);
    anna.Anreise = platform::TimeToFraction(QTime(15, 0));
    anna.Abreise = platform::TimeToFraction(QTime(10, 0));
    anna.EMail = QStringLiteral("anna@example.de");
    return {TGast{}, anna,
            Stay(2, "2", 1, d(2025, 2, 20), d(2025, 2, 21), QStringLiteral("..")).address("Weg 1", 34519, "Ort"),
            Stay(3, "3", 1, d(2025, 2, 20), d(2025, 2, 21), QStringLiteral("/")).address("Weg 2", 34519, "Ort"),
            Stay(4, "3", 1, d(2025, 2, 22), d(2025, 2, 23), QStringLiteral("....")).address("Weg 3", 34519, "Ort")};
}

// The house with its data folder "daten" chosen and read.
class PrivateHouse : public AppFixture
{
public:
    PrivateHouse()
    {
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        guestfile::WriteGuestFile(daten(QStringLiteral("Gaeste.csv")), guests());
        restartWith(daten(QString()));
    }
    void showGuest(int index) const { w<QSpinBox>("SpinBox1")->setValue(index); }
    QStringList filesIn(const QString &folder) const { return QDir(daten(folder)).entryList(QDir::Files, QDir::Name); }
    void checkErrors() const { QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join(u'\n'))); }
};

} // namespace

class TestPrivacy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void informationFilesStayApartAndPrivate()
    {
        // GIVEN guests named "..", "/" and "...."
        PrivateHouse app;
        QVERIFY(!QFileInfo::exists(app.daten(QStringLiteral("Export"))));

        // WHEN "Auskunft…" is chosen for each of them
        for (int index : {2, 3, 4}) {
            app.showGuest(index);
            app.trigger("ActionAuskunft");
            app.checkErrors();
        }

        // THEN each has files of their own, named with the guest number, the owner's only
        QCOMPARE(
            app.filesIn(QStringLiteral("Export")),
            (QStringList{QStringLiteral("Auskunft 2 __ 2025-02-20.csv"), QStringLiteral("Auskunft 2 __ 2025-02-20.pdf"),
                         QStringLiteral("Auskunft 3 _ 2025-02-20.csv"), QStringLiteral("Auskunft 3 _ 2025-02-20.pdf"),
                         QStringLiteral("Auskunft 4 ____ 2025-02-20.csv"),
                         QStringLiteral("Auskunft 4 ____ 2025-02-20.pdf")}));
        QCOMPARE(modeOf(app.daten(QStringLiteral("Export"))), kOwnerFolder);
        for (const QString &file : app.filesIn(QStringLiteral("Export")))
            QCOMPARE(modeOf(app.daten(QStringLiteral("Export/") + file)), kOwnerFile);
        // Nothing was written outside the folder.
        QCOMPARE(app.filesIn(QString()), QStringList{QStringLiteral("Gaeste.csv")});
    }

    void printsAndExportsAreTheOwnersOnly()
    {
        PrivateHouse app;
        // GIVEN the day list printed to a file in the folder "Ausdrucke" offered for it
        app.printToPdf(app.daten(QStringLiteral("Ausdrucke/Tagesliste.pdf")));
        QApplication::setActiveWindow(app.window.get());
        QTest::keyClick(app.window.get(), Qt::Key_F, Qt::ControlModifier);
        auto *list = app.window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
        QVERIFY(list);
        QTest::mouseClick(control<QPushButton>(list, "ButtonTagesliste"), Qt::LeftButton);
        app.checkErrors();
        // the guest list and the room calendars exported
        app.dialogs.exportFile = app.daten(QStringLiteral("Export/Gäste.csv"));
        QTest::mouseClick(control<QPushButton>(list, "ButtonExport"), Qt::LeftButton);
        app.dialogs.folder = app.daten(QStringLiteral("Export"));
        QTest::mouseClick(control<QPushButton>(list, "ButtonKalenderExport"), Qt::LeftButton);
        app.checkErrors();
        // the plan printed
        app.printToPdf(app.daten(QStringLiteral("Ausdrucke/Belegungsplan.pdf")));
        app.trigger("ActionBelegungsplan");
        auto *plan = app.window->findChild<OccupancyPlanWindow *>(QStringLiteral("OccupancyPlan"));
        QVERIFY(plan);
        plan->findChild<QPushButton *>(QStringLiteral("ButtonDrucken"))->click();
        app.checkErrors();
        // and Anna's booking confirmed
        app.showGuest(1);
        app.trigger("ActionBuchungsbestaetigung");
        app.checkErrors();

        // THEN every folder made for them is the owner's only, and so is every file in it
        const QStringList folders{QStringLiteral("Ausdrucke"), QStringLiteral("Export"),
                                  QStringLiteral("Bestätigungen")};
        int files = 0;
        for (const QString &folder : folders) {
            QCOMPARE(modeOf(app.daten(folder)), kOwnerFolder);
            for (const QString &file : app.filesIn(folder)) {
                QVERIFY2(modeOf(app.daten(folder + u'/' + file)) == kOwnerFile, qPrintable(folder + u'/' + file));
                ++files;
            }
        }
        QCOMPARE(app.filesIn(QStringLiteral("Ausdrucke")),
                 (QStringList{QStringLiteral("Belegungsplan.pdf"), QStringLiteral("Tagesliste.pdf")}));
        QVERIFY(files >= 2 + 1 + 3 + 1); // two prints, the list, three calendars, the letter
        // The settings folder the program made is the owner's only too.
        QCOMPARE(modeOf(guestfile::MakeSettingsFolder()), kOwnerFolder);
    }
};

QTEST_MAIN(TestPrivacy)
#include "test_privacy.moc"
