// Draws the blank invoice form of the example guest house: A4 at 300 dpi with letterhead,
// address window, the space where the program writes the invoice lines, and bank details.
//
//   MakeInvoiceForm [output.jpg]     (default: REVORL.JPG in the current folder)
//
// The program places its lines in units of its 50-pixel Arial: about 29 px per column and
// 56-58 px per row. The form leaves room at rows 13-16 (address), row 20 from column 70 (date)
// and rows 24-30 (invoice text), i.e. y 740-1760 from x 290.

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

constexpr int kWidth = 2480;  // 210 mm at 300 dpi
constexpr int kHeight = 3508; // 297 mm
constexpr double kMm = 300 / 25.4;
constexpr int kLeft = 290;           // where the program's lines start (column 10)
constexpr int kRight = kWidth - 140; // 12 mm: the cost line of the program ends near 2330

const QColor kInk(40, 40, 40);
const QColor kAccent(110, 30, 40); // the abbey's dark red
const QColor kRule(170, 150, 120);

QFont font(const QString &family, int pixels, int weight = QFont::Normal, bool italic = false)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(QFont::Weight(weight));
    f.setItalic(italic);
    return f;
}

const QString kSerif = QStringLiteral("Times New Roman");
const QString kSans = QStringLiteral("Arial");

// Draws text with its line box's top-left corner at (x, y), or right-aligned to x.
void text(QPainter &p, const QFont &f, const QColor &c, qreal x, qreal y, const QString &s, bool alignRight = false)
{
    p.setFont(f);
    p.setPen(c);
    const int flags =
        Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip | (alignRight ? Qt::AlignRight : Qt::AlignLeft);
    p.drawText(QRectF(x, y, 0, 0), flags, s);
}

// The guest house's sign: a round-arched window with a cross, as on the abbey's gate.
void emblem(QPainter &p, const QRectF &box)
{
    QPainterPath arch;
    const qreal r = box.width() / 2;
    arch.moveTo(box.left(), box.bottom());
    arch.lineTo(box.left(), box.top() + r);
    arch.arcTo(QRectF(box.left(), box.top(), box.width(), box.width()), 180, -180);
    arch.lineTo(box.right(), box.bottom());
    arch.closeSubpath();
    p.setPen(QPen(kAccent, 10, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arch);
    const qreal cx = box.center().x();
    const qreal top = box.top() + r * 0.55;
    const qreal bottom = box.bottom() - r * 0.35;
    p.setPen(QPen(kAccent, 14, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(cx, top), QPointF(cx, bottom));
    const qreal beam = top + (bottom - top) * 0.3;
    p.drawLine(QPointF(cx - r * 0.45, beam), QPointF(cx + r * 0.45, beam));
    p.setPen(QPen(kAccent, 6));
    p.drawLine(QPointF(box.left() - 20, box.bottom() + 12), QPointF(box.right() + 20, box.bottom() + 12));
}

void letterhead(QPainter &p)
{
    emblem(p, QRectF(kLeft - 20, 130, 170, 250));
    const qreal x = kLeft + 200;
    text(p, font(kSerif, 96, QFont::Bold), kAccent, x, 140, QStringLiteral("Klosterherberge St. Benedikt"));
    text(p, font(kSerif, 46, QFont::Normal, true), kInk, x, 270,
         QStringLiteral("Gästehaus der Benediktinerabtei am Diemelsee"));
    text(p, font(kSans, 34), kInk, x, 345, QStringLiteral("Klosterweg 3  ·  34519 Diemelsee"));

    const QFont small = font(kSans, 30);
    text(p, small, kInk, kRight, 150, QStringLiteral("Telefon 05633 99 12 40"), true);
    text(p, small, kInk, kRight, 195, QStringLiteral("Telefax 05633 99 12 49"), true);
    text(p, small, kInk, kRight, 240, QStringLiteral("herberge@st-benedikt-diemelsee.de"), true);
    text(p, small, kInk, kRight, 285, QStringLiteral("www.st-benedikt-diemelsee.de"), true);

    p.setPen(QPen(kRule, 5));
    p.drawLine(QPointF(kLeft - 50, 470), QPointF(kRight, 470));
}

// DIN 5008 window envelope: the window lies 20 mm from the left, 45 mm from the top, 85 × 45 mm.
void addressWindow(QPainter &p)
{
    const QRectF window(20 * kMm, 45 * kMm, 85 * kMm, 45 * kMm);
    const QFont sender = font(kSans, 26);
    text(p, sender, kInk, kLeft, window.top() + 40,
         QStringLiteral("Klosterherberge St. Benedikt · Klosterweg 3 · 34519 Diemelsee"));
    p.setPen(QPen(kInk, 2));
    const QFontMetricsF fm(sender);
    const qreal underline = window.top() + 40 + fm.height() + 6;
    p.drawLine(QPointF(kLeft, underline),
               QPointF(kLeft + fm.horizontalAdvance(
                                   QStringLiteral("Klosterherberge St. Benedikt · Klosterweg 3 · 34519 Diemelsee")),
                       underline));

    // Corner marks only, so the address itself stays free.
    p.setPen(QPen(kRule, 4));
    const qreal arm = 50;
    const QPointF corners[4] = {window.topLeft(), window.topRight(), window.bottomLeft(), window.bottomRight()};
    for (const QPointF &c : corners) {
        const qreal dx = c.x() < window.center().x() ? arm : -arm;
        const qreal dy = c.y() < window.center().y() ? arm : -arm;
        p.drawLine(c, c + QPointF(dx, 0));
        p.drawLine(c, c + QPointF(0, dy));
    }

    // Information block on the right, level with the date the program writes at row 20.
    const QFont label = font(kSans, 30);
    text(p, label, kInk, 1740, 1000, QStringLiteral("Ihr Aufenthalt bei uns"));
    p.setPen(QPen(kRule, 3));
    p.drawLine(QPointF(1740, 1055), QPointF(kRight, 1055));
    text(p, font(kSans, 40), kInk, 1740, 1126, QStringLiteral("Datum:"));
}

// The invoice body: the program writes the number at row 24, the stay at rows 26-27 and the
// closing sentence at row 30.
void body(QPainter &p)
{
    p.setPen(QPen(kRule, 3));
    p.drawLine(QPointF(kLeft, 1300), QPointF(kRight, 1300));
    p.drawLine(QPointF(kLeft, 1610), QPointF(kRight, 1610));
    p.drawLine(QPointF(kLeft, 1775), QPointF(kRight, 1775));

    const QFont f = font(kSans, 38);
    const qreal x = kLeft;
    qreal y = 1850;
    const QStringList notes = {
        QStringLiteral("Der Rechnungsbetrag enthält Frühstück, Bettwäsche und Handtücher sowie die Kurtaxe."),
        QStringLiteral("Bitte überweisen Sie ihn innerhalb von 14 Tagen unter Angabe der Rechnungsnummer"),
        QStringLiteral("auf unser unten genanntes Konto, sofern Sie nicht bereits bei der Abreise bezahlt haben."),
        QString(),
        QStringLiteral("Gemäß § 19 UStG wird keine Umsatzsteuer berechnet."),
    };
    for (const QString &line : notes) {
        text(p, f, kInk, x, y, line);
        y += 58;
    }
    y += 110;
    text(p, f, kInk, x, y, QStringLiteral("Mit freundlichen Grüßen und Gottes Segen"));
    text(p, font(kSerif, 52, QFont::Normal, true), kAccent, x, y + 140,
         QStringLiteral("Ihre Gastgeber der Klosterherberge St. Benedikt"));
}

void footer(QPainter &p)
{
    const qreal top = 3150;
    p.setPen(QPen(kRule, 4));
    p.drawLine(QPointF(kLeft - 50, top), QPointF(kRight, top));

    const QFont head = font(kSans, 28, QFont::Bold);
    const QFont f = font(kSans, 28);
    struct Column
    {
        qreal x;
        QString title;
        QStringList lines;
    };
    const Column columns[3] = {
        {qreal(kLeft - 50),
         QStringLiteral("Klosterherberge St. Benedikt"),
         {QStringLiteral("Benediktinerabtei am Diemelsee e. V."), QStringLiteral("Klosterweg 3, 34519 Diemelsee"),
          QStringLiteral("Vereinsregister Korbach VR 4471")}},
        {1010,
         QStringLiteral("Bankverbindung"),
         {QStringLiteral("Sparkasse Waldeck-Frankenberg"), QStringLiteral("IBAN DE47 5235 0005 0012 3456 78"),
          QStringLiteral("BIC HELADEF1KOR")}},
        {1750,
         QStringLiteral("Rezeption"),
         {QStringLiteral("täglich 8:00 bis 12:00 Uhr"), QStringLiteral("und 15:00 bis 19:00 Uhr"),
          QStringLiteral("Steuernummer 027 250 51884")}},
    };
    for (const Column &c : columns) {
        qreal y = top + 40;
        text(p, head, kAccent, c.x, y, c.title);
        for (const QString &line : c.lines) {
            y += 46;
            text(p, f, kInk, c.x, y, line);
        }
    }
}

// Fold marks at 105 and 210 mm and the punch mark at 148.5 mm, as on German business paper.
void marks(QPainter &p)
{
    p.setPen(QPen(kRule, 3));
    for (const double mm : {105.0, 210.0})
        p.drawLine(QPointF(40, mm * kMm), QPointF(100, mm * kMm));
    p.drawLine(QPointF(40, 148.5 * kMm), QPointF(130, 148.5 * kMm));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv); // fonts need it
    const QStringList args = QCoreApplication::arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral("REVORL.JPG");

    QImage form(kWidth, kHeight, QImage::Format_RGB32);
    form.setDotsPerMeterX(qRound(300 / 0.0254));
    form.setDotsPerMeterY(qRound(300 / 0.0254));
    form.fill(Qt::white);
    {
        QPainter p(&form);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        letterhead(p);
        addressWindow(p);
        body(p);
        footer(p);
        marks(p);
    }
    if (!form.save(out, "JPG", 90)) {
        QTextStream(stderr) << "Cannot write " << out << '\n';
        return 1;
    }
    return 0;
}
