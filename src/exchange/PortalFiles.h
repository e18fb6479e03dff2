#pragma once
// The files of the portal subscriptions in the data folder's "Portale" folder: which calendars
// the house follows ("Abonnements.csv", which a host may also write by hand), the rooms they
// block ("Blockierungen.csv"), the blocks the host took over as guests ("Übernommen.csv") and how each subscription's last fetch went ("Abgleich.csv").
// None of them is ever part of the guest file. The fetch results have a file of their own, so a
// failed fetch, which changes no block, does not rewrite the blocks either.

#include "register/BlockTakeover.h"
#include "register/PortalBlock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <vector>

namespace exchange {

struct Subscription
{
    int room = 0;    // 1..3
    QString name;    // "Portal A"; one room's subscriptions have different names
    QString address; // https://…, http://…, file://… or a path of a local .ics file

    bool operator==(const Subscription &) const = default;
};

// What a subscription's address is fetched from: an http(s) or file URL; an empty URL for an
// address the program does not fetch (another scheme, no host, empty).
QUrl subscriptionUrl(const QString &address);

// "<data folder>/Portale" and its files.
QString portalFolder(const QString &dataFolder);
QString subscriptionsPath(const QString &dataFolder);
QString blocksPath(const QString &dataFolder);
QString syncStatesPath(const QString &dataFolder);
QString takeoversPath(const QString &dataFolder);

struct SubscriptionList
{
    std::vector<Subscription> subscriptions;
    QStringList notes; // one German note per line that was left out, with its line number
};

// Reads the subscriptions as a host may have written them: UTF-8 (else Windows-1252), with or
// without a byte-order mark or header line, ";" (or a TAB, or "," when neither occurs) between
// fields, fields in quotes, blank fields around, "Zimmer 2" for "2", empty lines and lines
// starting with "#". A line that names no room of the house, no name or no address the program
// can fetch is left out with a note, as is a second subscription of the same name in a room.
SubscriptionList parseSubscriptions(const QByteArray &bytes);
// The file's bytes: a header line, then one line per subscription, UTF-8, CR LF.
QByteArray subscriptionsBytes(const std::vector<Subscription> &subscriptions);
// A missing file is no subscription. Throws platform::EInOutError.
SubscriptionList readSubscriptions(const QString &dataFolder);
// Saves whole or not at all (the folder is made when missing). Throws platform::EInOutError.
void saveSubscriptions(const QString &dataFolder, const std::vector<Subscription> &subscriptions);

struct BlockList
{
    std::vector<guests::PortalBlock> blocks;
    QStringList notes;
};

// Blocks as the program writes them: room;from;to;subscription;UID;summary;last seen.
BlockList parseBlocks(const QByteArray &bytes);
QByteArray blocksBytes(const std::vector<guests::PortalBlock> &blocks);
BlockList readBlocks(const QString &dataFolder);
void saveBlocks(const QString &dataFolder, const std::vector<guests::PortalBlock> &blocks);

struct TakeoverList
{
    std::vector<guests::BlockTakeover> takeovers;
    QStringList notes;
};

// The blocks taken over as guests, one line each: UID;subscription;guest number, after a header
// line. Read as a host may have touched it (UTF-8 or Windows-1252, with or without a byte-order
// mark or header, empty lines); a line without UID, subscription or a guest number above 0 is
// left out with a note, and of two lines for one block the later one counts.
TakeoverList parseTakeovers(const QByteArray &bytes);
QByteArray takeoversBytes(const std::vector<guests::BlockTakeover> &takeovers);
// A missing file is no takeover. Throws platform::EInOutError.
TakeoverList readTakeovers(const QString &dataFolder);
// Saves whole or not at all. Throws platform::EInOutError.
void saveTakeovers(const QString &dataFolder, const std::vector<guests::BlockTakeover> &takeovers);
// Notes in the file that `takeover` was made, keeping every other line. Throws platform::EInOutError.
void addTakeover(const QString &dataFolder, const guests::BlockTakeover &takeover);

// How a subscription's last fetch went.
struct SyncState
{
    int room = 0;
    QString subscription;
    QDateTime time;
    bool ok = false;
    QString message; // "3 Blockierungen (1 neu, …)" or the reason it failed

    bool operator==(const SyncState &) const = default;
};

std::vector<SyncState> parseSyncStates(const QByteArray &bytes);
QByteArray syncStatesBytes(const std::vector<SyncState> &states);
std::vector<SyncState> readSyncStates(const QString &dataFolder);
void saveSyncStates(const QString &dataFolder, const std::vector<SyncState> &states);

// The state of one subscription, or nullptr when it was never fetched.
const SyncState *syncStateOf(const std::vector<SyncState> &states, const Subscription &subscription);
// "Zuletzt abgeglichen am 20.02.2025 um 10:00: 3 Blockierungen" / "… fehlgeschlagen: <reason>" /
// "Noch nie abgeglichen".
QString syncStateText(const SyncState *state);

} // namespace exchange
