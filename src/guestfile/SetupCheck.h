#pragma once
// Whether the house is set up: a data folder, and in it (or in the folder the program was started
// in, where hosts kept them before) the price list, the invoice form and the invoice counter.

#include <QString>
#include <QStringList>
#include <vector>

namespace guestfile {

// The parts of the set-up, in the order the settings dialog shows them.
enum class SetupStep { DataFolder, PriceList, InvoiceForm, InvoiceCounter };

struct SetupGap
{
    SetupStep step;
    QString what; // in the host's words: "die Preisliste (Preismatrix.dat)"
};

// What the house still lacks. `dataFolder` empty: none chosen yet (then nothing else is looked
// at). The form counts as there when invoices are printed without one. The counter is looked for
// in the data folder only, since invoices take their numbers there.
std::vector<SetupGap> missingSetup(const QString &dataFolder, const QString &startFolder, bool withoutForm);

// The status line's hint about the gaps ("Noch nicht eingerichtet: …"); empty when there are none.
QString setupHint(const std::vector<SetupGap> &gaps, const QString &dataFolder);

} // namespace guestfile
