#pragma once
// Taking a new invoice form: a scanned page the host chooses is checked as printing loads it and
// then becomes the data folder's "REVORL.JPG".

#include <QSize>
#include <QString>

namespace billing {

// Below this many dots per inch on an A4 page the form prints visibly blurred.
inline constexpr int kVorlageMindestDpi = 150;

struct VorlagenPruefung
{
    QString fehler;  // why printing could not use the picture (naming the file); empty when it can
    QString hinweis; // what the host should know before taking it (a low resolution); may be empty
    QSize groesse;   // in pixels, once read
    int dpi = 0;     // the resolution it gives on an A4 page, once read
};

// Loads the picture as printing does (readable, a whole image, within the memory allowed) and
// works out its resolution on an A4 page.
VorlagenPruefung PruefeRechnungsvorlage(const QString &path);

// The picture's resolution in dots per inch when it fills an A4 page (210 mm wide, upright or not).
int VorlagenDpi(const QSize &size);

// Makes `source` the invoice form of `dataFolder`: its bytes, unchanged, become REVORL.JPG (a PNG
// stays a PNG inside; printing recognises a picture by its content). A form already there is
// kept as "REVORL.JPG.bak" first; both files are written whole or not at all. Throws
// EInvoiceError when the picture fails PruefeRechnungsvorlage, EInOutError when a file cannot
// be read or written. Returns the new form's path.
QString UebernimmRechnungsvorlage(const QString &source, const QString &dataFolder);

} // namespace billing
