// Saving and reading the guest file and taking an invoice number when the folder is read-only,
// the disk is full, the file has vanished or another program holds it open: each failure says
// what went wrong in German with the path on a second line, keeps the old file and the list in
// memory as they were, and the same step succeeds once the cause is gone.

#include "HardeningSupport.h"
#include "billing/InvoiceNumber.h"
#include "register/GuestList.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using billing::kReNummerDatei;
using billing::NextReNr;
using guestfile::kGuestFileName;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::GuestList;
using guests::TGast;

using platform::EInOutError;
using namespace hardening;

namespace {

QFile::Permissions everybodyReadsAndWrites()
{
    return QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
           QFile::WriteOther;
}

enum class Fault {
    ReadOnlyFolder, // the folder may be read but not written (tried as "nobody")
    ReadOnlyFile,   // the folder may be written, the file itself not
    UnreadableFile, // the file may not even be read
    DiskFull,       // no file may grow beyond a few bytes
    FolderGone,     // the folder was taken away (a removed stick), and comes back
    FileGone,       // the file was deleted, and comes back
};

// A data folder holding the guest file and the invoice counter, readable by "nobody".
class TestFolder
{
public:
    TestFolder()
    {
        // Under the system's temporary folder, which every user may pass through.
        QFile::setPermissions(root_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        QDir(root_.path()).mkdir(QStringLiteral("daten"));
        setFolderWritable(true);
    }

    QString folder() const { return root_.filePath(QStringLiteral("daten")); }
    QString path(const QString &name) const { return folder() + u'/' + name; }

    void setFolderWritable(bool writable) const { QFile::setPermissions(folder(), writable ? all() : readOnly()); }
    void setFileMode(const QString &name, QFile::Permissions mode) const { QFile::setPermissions(path(name), mode); }

    // The folder moves aside and back, as a stick that is pulled and put back.
    bool takeFolderAway() const { return QDir().rename(folder(), folder() + QStringLiteral(".weg")); }
    bool bringFolderBack() const { return QDir().rename(folder() + QStringLiteral(".weg"), folder()); }

    static QFile::Permissions all() { return readOnly() | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther; }
    static QFile::Permissions readOnly()
    {
        return QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
               QFile::ExeOther;
    }

private:
    QTemporaryDir root_;
};

// Puts a fault on `name` in the folder and takes it away again; the attempt itself runs in
// `attempt`, as "nobody" for the permission faults.
class FaultOn
{
public:
    FaultOn(const TestFolder &data, const QString &name, Fault fault) : data_(data), name_(name), fault_(fault) {}

    void apply() const
    {
        const QFile::Permissions readOnlyFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        switch (fault_) {
        case Fault::ReadOnlyFolder: data_.setFolderWritable(false); break;
        case Fault::ReadOnlyFile: data_.setFileMode(name_, readOnlyFile); break;
        case Fault::UnreadableFile: data_.setFileMode(name_, QFile::Permissions()); break;
        case Fault::DiskFull: break;
        case Fault::FolderGone: QVERIFY(data_.takeFolderAway()); break;
        case Fault::FileGone:
            QVERIFY(QFile::rename(data_.path(name_), data_.path(name_ + QStringLiteral(".weg"))));
            break;
        }
    }

    void remove() const
    {
        switch (fault_) {
        case Fault::ReadOnlyFolder: data_.setFolderWritable(true); break;
        case Fault::ReadOnlyFile:
        case Fault::UnreadableFile: data_.setFileMode(name_, everybodyReadsAndWrites()); break;
        case Fault::DiskFull: break;
        case Fault::FolderGone: QVERIFY(data_.bringFolderBack()); break;
        case Fault::FileGone:
            QVERIFY(QFile::rename(data_.path(name_ + QStringLiteral(".weg")), data_.path(name_)));
            break;
        }
    }

    // Runs the attempt with the fault in force, as "nobody" so that permissions count.
    void attempt(const std::function<void()> &action) const
    {
        const AsNobody nobody;
        QVERIFY(nobody.ok());
        if (fault_ == Fault::DiskFull) {
            const hardening::DiskFull full(0);
            QVERIFY(full.ok());
            action();
        } else {
            action();
        }
    }

private:
    const TestFolder &data_;
    QString name_;
    Fault fault_;
};

// The same attempt once the fault is gone, still as "nobody", to show that it was the fault;
// the error it throws, or "<none>".
QString attemptAsNobody(const std::function<void()> &action)
{
    const AsNobody nobody;
    if (!nobody.ok())
        return QStringLiteral("cannot act as nobody");
    return ErrorOf<std::exception>(action);
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UseGermanSettings(); }

    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void saveWhileAnotherProgramReadsTheFile();
    void failedReadKeepsTheList_data();
    void failedReadKeepsTheList();
    void invoiceNumberThatCannotBeSavedIsNotHandedOut_data();
    void invoiceNumberThatCannotBeSavedIsNotHandedOut();
};

void TestFaults::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << int(platform::kAccessDenied);
    QTest::newRow("read-only file") << Fault::ReadOnlyFile << int(platform::kAccessDenied);
    QTest::newRow("full disk") << Fault::DiskFull << int(platform::kDiskFull);
    QTest::newRow("folder taken away") << Fault::FolderGone << int(platform::kPathNotFound);
}

void TestFaults::failedSaveKeepsTheOldFile()
{
    QFETCH(Fault, fault);
    QFETCH(int, code);
    // GIVEN a guest file with three guests, readable by everybody
    const TestFolder data;
    const QString name = QString::fromLatin1(kGuestFileName);
    const QString path = data.path(name);
    WriteGuestFile(path, Guests(3));
    data.setFileMode(name, everybodyReadsAndWrites());
    const QByteArray old = FileBytes(path);
    const std::vector<TGast> changed = Guests(200, 1);

    // WHEN the list is saved while the fault holds
    const FaultOn on(data, name, fault);
    on.apply();
    QString message;
    on.attempt([&] { message = ErrorOf<EInOutError>([&] { WriteGuestFile(path, changed); }); });
    on.remove();

    // THEN the user reads why and where, and the old file is there, whole and alone
    QCOMPARE(message, IoMessage(platform::IoErrorCode(code), path));
    QCOMPARE(FileBytes(path), old);
    QCOMPARE(Leftovers(data.folder(), name), QStringList());

    // WHEN the cause is gone THEN the same save succeeds
    QCOMPARE(attemptAsNobody([&] { WriteGuestFile(path, changed); }), QStringLiteral("<none>"));
    QCOMPARE(ReadGuestFile(path), changed);
}

void TestFaults::saveWhileAnotherProgramReadsTheFile()
{
    // GIVEN another program that has the guest file open and has read it
    const TestFolder data;
    const QString path = data.path(QString::fromLatin1(kGuestFileName));
    WriteGuestFile(path, Guests(50));
    const QByteArray old = FileBytes(path);
    QProcess reader;
    reader.start(QStringLiteral(HARDENING_CHILD), {QStringLiteral("hold-open"), path});
    QVERIFY(reader.waitForStarted());
    while (!reader.canReadLine() && reader.waitForReadyRead(20000)) {
    }
    QCOMPARE(reader.readLine(), QByteArray("open\n"));

    // WHEN the list is saved
    const std::vector<TGast> changed = Guests(60, 1);
    WriteGuestFile(path, changed);

    // THEN the save succeeds, and the other program still reads the whole old content
    QCOMPARE(ReadGuestFile(path), changed);
    reader.write("again\n");
    QVERIFY(reader.waitForFinished(20000));
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(QByteArray::fromHex(reader.readAllStandardOutput().trimmed()), old);
}

void TestFaults::failedReadKeepsTheList_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("file deleted") << Fault::FileGone << int(platform::kFileNotFound);
    QTest::newRow("folder taken away") << Fault::FolderGone << int(platform::kPathNotFound);
    QTest::newRow("file not readable") << Fault::UnreadableFile << int(platform::kAccessDenied);
}

void TestFaults::failedReadKeepsTheList()
{
    QFETCH(Fault, fault);
    QFETCH(int, code);
    // GIVEN a list in memory with unsaved changes and a guest file with another list
    const TestFolder data;
    const QString name = QString::fromLatin1(kGuestFileName);
    const QString path = data.path(name);
    WriteGuestFile(path, Guests(5, 2));
    data.setFileMode(name, everybodyReadsAndWrites());
    const QByteArray old = FileBytes(path);
    GuestList list;
    list.replace(Guests(3, 1));
    list.select(2);
    list.markChanged();

    // WHEN the file is read into the list while the fault holds
    const FaultOn on(data, name, fault);
    on.apply();
    QString message;
    on.attempt([&] { message = ErrorOf<EInOutError>([&] { list.replace(ReadGuestFile(path)); }); });
    on.remove();

    // THEN the user reads why and where, and the list and the file are as they were
    QCOMPARE(message, IoMessage(platform::IoErrorCode(code), path));
    QCOMPARE(list.records(), Guests(3, 1));
    QCOMPARE(list.currentIndex(), 2);
    QVERIFY(list.changed());
    QCOMPARE(FileBytes(path), old);

    // WHEN the cause is gone THEN the same read succeeds
    QCOMPARE(attemptAsNobody([&] { list.replace(ReadGuestFile(path)); }), QStringLiteral("<none>"));
    QCOMPARE(list.records(), Guests(5, 2));
}

void TestFaults::invoiceNumberThatCannotBeSavedIsNotHandedOut_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << int(platform::kAccessDenied);
    QTest::newRow("read-only file") << Fault::ReadOnlyFile << int(platform::kAccessDenied);
    QTest::newRow("full disk") << Fault::DiskFull << int(platform::kDiskFull);
    QTest::newRow("file deleted") << Fault::FileGone << int(platform::kFileNotFound);
    QTest::newRow("folder taken away") << Fault::FolderGone << int(platform::kPathNotFound);
}

void TestFaults::invoiceNumberThatCannotBeSavedIsNotHandedOut()
{
    QFETCH(Fault, fault);
    QFETCH(int, code);
    // GIVEN the counter at 1041
    const TestFolder data;
    const QString name = QString::fromLatin1(kReNummerDatei);
    const QString path = data.path(name);
    QVERIFY(WriteBytes(path, "1041\r\n"));
    data.setFileMode(name, everybodyReadsAndWrites());

    // WHEN a number is taken while the fault holds
    const FaultOn on(data, name, fault);
    on.apply();
    QString message;
    qint32 handedOut = 0;
    on.attempt([&] { message = ErrorOf<EInOutError>([&] { handedOut = NextReNr(path); }); });
    on.remove();

    // THEN no number is handed out and the counter still says 1041
    QCOMPARE(message, IoMessage(platform::IoErrorCode(code), path));
    QCOMPARE(handedOut, 0);
    QCOMPARE(FileBytes(path), QByteArray("1041\r\n"));
    QCOMPARE(Leftovers(data.folder(), name), QStringList());

    // WHEN the cause is gone THEN the next number is 1042, as if nothing had happened
    QCOMPARE(attemptAsNobody([&] { handedOut = NextReNr(path); }), QStringLiteral("<none>"));
    QCOMPARE(handedOut, 1042);
    QCOMPARE(FileBytes(path), QByteArray("1042\r\n"));
}

QTEST_GUILESS_MAIN(TestFaults)
#include "test_faults.moc"
