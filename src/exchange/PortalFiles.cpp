#include "exchange/PortalFiles.h"

#include "platform/DataFolderLayout.h"

#include "platform/AnsiText.h"
#include "platform/CsvField.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"
#include "platform/PrivateFiles.h"
#include "register/Rooms.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace exchange {

using guests::kRaeume;

namespace {

const QString kFolder = QString::fromUtf8(platform::layout::kPortalFolder);
const QString kDayFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");

// One field as these files write it: by the rule of every CSV of the program (a formula start is
// guarded with "'", see platform::csvField); line breaks become blanks, since a field never spans
// lines here.
QString field(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return platform::csvField(text);
}

QByteArray fileBytes(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &f : row)
            fields << field(f);
        text += fields.join(u';') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// Cuts a line into fields at `separator` outside quotes; quotes around a field are removed and
// doubled quotes inside are one. Blanks around each field are dropped, and so is the "'" that
// guards a formula start.
QStringList fields(const QString &line, QChar separator)
{
    QStringList result;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                current += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == u'"' && current.trimmed().isEmpty()) {
            current.clear();
            quoted = true;
        } else if (c == separator) {
            result << platform::csvUnguarded(current.trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    result << platform::csvUnguarded(current.trimmed());
    return result;
}

QString decoded(QByteArray bytes, bool *wasUtf8 = nullptr)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (wasUtf8)
        *wasUtf8 = !utf8.hasError();
    return utf8.hasError() ? platform::FromAnsi(bytes) : text;
}

QStringList lines(const QString &text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    return normal.split(u'\n');
}

// "2", "Zimmer 2", "Zi. 2" name room 2; 0 for anything else.
int roomOf(const QString &text)
{
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits += c;
    QString rest = text;
    rest.remove(digits);
    rest = rest.trimmed().remove(u'.').toLower();
    if (!rest.isEmpty() && rest != u"zimmer" && rest != u"zi")
        return 0;
    bool ok = false;
    const int room = digits.toInt(&ok);
    return ok && room >= 1 && room <= kRaeume ? room : 0;
}

QByteArray readIfThere(const QString &path)
{
    if (!QFileInfo::exists(path))
        return {};
    return platform::ReadFileBytes(path);
}

void saveInFolder(const QString &dataFolder, const QString &path, const QByteArray &bytes)
{
    const QString folder = portalFolder(dataFolder);
    if (!platform::makePrivateFolder(folder))
        platform::ThrowLastIoError(folder);
    platform::SaveFileAtomic(path, bytes);
}

bool isHeader(const QStringList &row)
{
    return !row.isEmpty() && row.front().compare(u"Zimmer", Qt::CaseInsensitive) == 0;
}

} // namespace

QUrl subscriptionUrl(const QString &address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    if (text.startsWith(u'/'))
        return QUrl::fromLocalFile(QDir::cleanPath(text));
    if (text.startsWith(QStringLiteral("~/")))
        return QUrl::fromLocalFile(QDir::home().filePath(text.mid(2)));
    // Tolerant: a host writes "file:///home/gh/Zimmer 1.ics" with its blank.
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    if ((scheme == u"http" || scheme == u"https") && !url.host().isEmpty())
        return url;
    if (scheme == u"file" && !url.toLocalFile().isEmpty())
        return url;
    return {};
}

QString portalFolder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(kFolder);
}

QString subscriptionsPath(const QString &dataFolder)
{
    return QDir(portalFolder(dataFolder)).filePath(QStringLiteral("Abonnements.csv"));
}

QString blocksPath(const QString &dataFolder)
{
    return QDir(portalFolder(dataFolder)).filePath(QString::fromUtf8(platform::layout::kPortalBlocksFile));
}

QString syncStatesPath(const QString &dataFolder)
{
    return QDir(portalFolder(dataFolder)).filePath(QString::fromUtf8(platform::layout::kPortalSyncFile));
}

QString takeoversPath(const QString &dataFolder)
{
    return QDir(portalFolder(dataFolder)).filePath(QString::fromUtf8(platform::layout::kPortalTakeoversFile));
}

SubscriptionList parseSubscriptions(const QByteArray &bytes)
{
    SubscriptionList result;
    bool utf8 = true;
    const QStringList all = lines(decoded(bytes, &utf8));
    if (!utf8)
        result.notes << QStringLiteral(
            "Abonnements.csv ist nicht in UTF-8 geschrieben; sie ist als Windows-1252 gelesen.");
    QSet<QString> seen;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString line = all[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("Abonnements.csv, Zeile %1: ").arg(i + 1);
        const QChar separator = line.contains(u';') ? u';' : line.contains(u'\t') ? u'\t' : u',';
        QStringList row = fields(line, separator);
        if (isHeader(row))
            continue;
        if (row.size() < 3) {
            result.notes << where + QStringLiteral("Es fehlen Felder (erwartet: Zimmer;Name;Adresse).");
            continue;
        }
        Subscription s;
        s.room = roomOf(row[0]);
        s.name = row[1];
        // An address may itself hold the separator (a query in a link): it is the rest of the line.
        s.address = row.mid(2).join(separator).trimmed();
        if (s.room == 0) {
            result.notes << where +
                                QStringLiteral("Ein Zimmer „%1“ gibt es nicht (1 bis %2).").arg(row[0]).arg(kRaeume);
            continue;
        }
        if (s.name.isEmpty()) {
            result.notes << where + QStringLiteral("Der Name fehlt.");
            continue;
        }
        if (subscriptionUrl(s.address).isEmpty()) {
            result.notes << where + QStringLiteral("„%1“ ist keine Adresse, die das Programm abrufen kann "
                                                   "(https://…, http://… oder eine .ics-Datei).")
                                        .arg(s.address);
            continue;
        }
        const QString key = QString::number(s.room) + u'\n' + s.name.toLower();
        if (seen.contains(key)) {
            result.notes << where + QStringLiteral("Zimmer %1 hat schon ein Abonnement „%2“.").arg(s.room).arg(s.name);
            continue;
        }
        seen.insert(key);
        result.subscriptions.push_back(s);
    }
    return result;
}

QByteArray subscriptionsBytes(const std::vector<Subscription> &subscriptions)
{
    QList<QStringList> rows{{QStringLiteral("Zimmer"), QStringLiteral("Name"), QStringLiteral("Adresse")}};
    for (const Subscription &s : subscriptions)
        rows << QStringList{QString::number(s.room), s.name, s.address};
    return fileBytes(rows);
}

SubscriptionList readSubscriptions(const QString &dataFolder)
{
    return parseSubscriptions(readIfThere(subscriptionsPath(dataFolder)));
}

void saveSubscriptions(const QString &dataFolder, const std::vector<Subscription> &subscriptions)
{
    saveInFolder(dataFolder, subscriptionsPath(dataFolder), subscriptionsBytes(subscriptions));
}

BlockList parseBlocks(const QByteArray &bytes)
{
    BlockList result;
    const QStringList all = lines(decoded(bytes));
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i].trimmed().isEmpty())
            continue;
        const QStringList row = fields(all[i], u';');
        if (isHeader(row))
            continue;
        guests::PortalBlock b;
        bool ok = row.size() >= 7;
        if (ok) {
            b.room = roomOf(row[0]);
            const QDate from = QDate::fromString(row[1], kDayFormat);
            const QDate to = QDate::fromString(row[2], kDayFormat);
            b.subscription = row[3];
            b.uid = row[4];
            b.summary = row[5];
            b.lastSeen = QDateTime::fromString(row[6], kTimeFormat);
            ok = b.room != 0 && from.isValid() && to.isValid() && from < to && !b.subscription.isEmpty();
            if (ok) {
                b.from = platform::DateToDay(from);
                b.to = platform::DateToDay(to);
            }
        }
        if (!ok) {
            result.notes << QStringLiteral("Blockierungen.csv, Zeile %1 ist unlesbar und ausgelassen.").arg(i + 1);
            continue;
        }
        result.blocks.push_back(b);
    }
    return result;
}

QByteArray blocksBytes(const std::vector<guests::PortalBlock> &blocks)
{
    QList<QStringList> rows{{QStringLiteral("Zimmer"), QStringLiteral("Von"), QStringLiteral("Bis"),
                             QStringLiteral("Abonnement"), QStringLiteral("UID"), QStringLiteral("Bezeichnung"),
                             QStringLiteral("Zuletzt gesehen")}};
    for (const guests::PortalBlock &b : blocks)
        rows << QStringList{QString::number(b.room),
                            platform::DayToDate(b.from).toString(kDayFormat),
                            platform::DayToDate(b.to).toString(kDayFormat),
                            b.subscription,
                            b.uid,
                            b.summary,
                            b.lastSeen.toString(kTimeFormat)};
    return fileBytes(rows);
}

BlockList readBlocks(const QString &dataFolder)
{
    return parseBlocks(readIfThere(blocksPath(dataFolder)));
}

void saveBlocks(const QString &dataFolder, const std::vector<guests::PortalBlock> &blocks)
{
    saveInFolder(dataFolder, blocksPath(dataFolder), blocksBytes(blocks));
}

TakeoverList parseTakeovers(const QByteArray &bytes)
{
    TakeoverList result;
    const QStringList all = lines(decoded(bytes));
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i].trimmed().isEmpty())
            continue;
        const QStringList row = fields(all[i], u';');
        if (row.front().compare(u"UID", Qt::CaseInsensitive) == 0)
            continue;
        bool ok = row.size() >= 3;
        guests::BlockTakeover t;
        if (ok) {
            t.uid = row[0];
            t.subscription = row[1];
            t.gastNr = row[2].toInt(&ok);
            ok = ok && t.gastNr > 0 && !t.uid.isEmpty() && !t.subscription.isEmpty();
        }
        if (!ok) {
            result.notes << QStringLiteral("Übernommen.csv, Zeile %1 ist unlesbar und ausgelassen.").arg(i + 1);
            continue;
        }
        result.takeovers = guests::withTakeover(std::move(result.takeovers), t);
    }
    return result;
}

QByteArray takeoversBytes(const std::vector<guests::BlockTakeover> &takeovers)
{
    QList<QStringList> rows{{QStringLiteral("UID"), QStringLiteral("Abonnement"), QStringLiteral("Gast-Nr")}};
    for (const guests::BlockTakeover &t : takeovers)
        rows << QStringList{t.uid, t.subscription, QString::number(t.gastNr)};
    return fileBytes(rows);
}

TakeoverList readTakeovers(const QString &dataFolder)
{
    return parseTakeovers(readIfThere(takeoversPath(dataFolder)));
}

void saveTakeovers(const QString &dataFolder, const std::vector<guests::BlockTakeover> &takeovers)
{
    saveInFolder(dataFolder, takeoversPath(dataFolder), takeoversBytes(takeovers));
}

void addTakeover(const QString &dataFolder, const guests::BlockTakeover &takeover)
{
    // Read afresh: lines the program could not read stay out, the rest is kept as it was.
    saveTakeovers(dataFolder, guests::withTakeover(readTakeovers(dataFolder).takeovers, takeover));
}

std::vector<SyncState> parseSyncStates(const QByteArray &bytes)
{
    std::vector<SyncState> states;
    for (const QString &line : lines(decoded(bytes))) {
        const QStringList row = fields(line, u';');
        if (row.size() < 5 || isHeader(row))
            continue;
        SyncState s;
        s.room = roomOf(row[0]);
        s.subscription = row[1];
        s.time = QDateTime::fromString(row[2], kTimeFormat);
        s.ok = row[3] == u"ok";
        s.message = row[4];
        if (s.room != 0 && !s.subscription.isEmpty() && s.time.isValid())
            states.push_back(s);
    }
    return states;
}

QByteArray syncStatesBytes(const std::vector<SyncState> &states)
{
    QList<QStringList> rows{{QStringLiteral("Zimmer"), QStringLiteral("Abonnement"), QStringLiteral("Zeitpunkt"),
                             QStringLiteral("Ergebnis"), QStringLiteral("Meldung")}};
    for (const SyncState &s : states)
        rows << QStringList{QString::number(s.room), s.subscription, s.time.toString(kTimeFormat),
                            s.ok ? QStringLiteral("ok") : QStringLiteral("fehlgeschlagen"), s.message};
    return fileBytes(rows);
}

std::vector<SyncState> readSyncStates(const QString &dataFolder)
{
    return parseSyncStates(readIfThere(syncStatesPath(dataFolder)));
}

void saveSyncStates(const QString &dataFolder, const std::vector<SyncState> &states)
{
    saveInFolder(dataFolder, syncStatesPath(dataFolder), syncStatesBytes(states));
}

const SyncState *syncStateOf(const std::vector<SyncState> &states, const Subscription &subscription)
{
    for (const SyncState &s : states)
        if (s.room == subscription.room && s.subscription == subscription.name)
            return &s;
    return nullptr;
}

QString syncStateText(const SyncState *state)
{
    if (!state)
        return QStringLiteral("Noch nie abgeglichen");
    const QString when =
        QStringLiteral("%1 um %2").arg(state->time.toString(kDayFormat), state->time.toString(QStringLiteral("HH:mm")));
    return state->ok ? QStringLiteral("Zuletzt abgeglichen am %1: %2").arg(when, state->message)
                     : QStringLiteral("Abgleich am %1 fehlgeschlagen: %2").arg(when, state->message);
}

} // namespace exchange
