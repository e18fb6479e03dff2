#include "app/settings/SettingsDialog.h"

#include "app/Dialogs.h"
#include "app/settings/ConfirmationSettingsPage.h"
#include "billing/Invoice.h"
#include "billing/InvoiceFormFile.h"
#include "billing/InvoiceNumber.h"
#include "guestfile/Settings.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/IoError.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace app {

using billing::kHoechsterPreis;
using billing::kPreisMatrixDatei;
using billing::kRechnungsvorlageDatei;
using billing::kReNummerDatei;
using billing::LiesPreisMatrix;
using billing::LiesReNrStand;
using billing::PreisFehler;
using billing::PreisMatrixMaengel;
using billing::PreisStelle;
using billing::PreisZustand;
using billing::PruefeRechnungsvorlage;
using billing::ReNrBeginnen;
using billing::ReNrStand;
using billing::SchreibePreisMatrix;
using billing::TPreisMatrix;
using billing::UebernimmRechnungsvorlage;
using billing::VorlagenPruefung;
using guestfile::HouseDetails;
using guestfile::houseDetails;
using guestfile::housePostalCode;
using guestfile::housePostalCodeError;
using guestfile::parseHousePostalCode;
using guestfile::printWithoutForm;
using guestfile::setHouseDetails;
using guestfile::setHousePostalCode;
using guestfile::setPrintWithoutForm;
using guestfile::SetupStep;

namespace {

const QStringList kRows = {QStringLiteral("1 Person"), QStringLiteral("2 Personen"), QStringLiteral("3 Personen"),
                           QStringLiteral("4 Personen"), QStringLiteral("Gruppe (ab 5)")};
const QStringList kColumns = {QStringLiteral("1 Nacht"), QStringLiteral("2 Nächte"), QStringLiteral("ab 3 Nächte")};

// Typing a price offers only what the price file may hold.
class PriceDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QSpinBox(parent);
        box->setRange(0, kHoechsterPreis);
        box->setSuffix(QStringLiteral(" €"));
        box->setFrame(false);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QSpinBox *>(editor)->setValue(index.data(Qt::EditRole).toString().toInt());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *box = static_cast<QSpinBox *>(editor);
        box->interpretText();
        model->setData(index, box->value(), Qt::EditRole);
    }
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString withSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

} // namespace

SettingsDialog::SettingsDialog(Dialogs &dialogs, const QString &dataFolder, QWidget *parent)
    : QDialog(parent), dialogs_(dialogs), dataFolder_(withSlash(dataFolder))
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("Einstellungen"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TabsEinstellungen"));
    tabs_->addTab(makeGeneralPage(), QStringLiteral("&Allgemein"));
    tabs_->addTab(makePricePage(), QStringLiteral("&Preisliste"));
    tabs_->addTab(makeFormPage(), QStringLiteral("Rechnungs&vorlage"));
    tabs_->addTab(makeCounterPage(), QStringLiteral("Rechnungs&nummern"));
    confirmationPage_ = new app::ConfirmationSettingsPage;
    tabs_->addTab(confirmationPage_, QStringLiteral("Bestäti&gung"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(QStringLiteral("&Speichern"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("ButtonEinstellungenSpeichern"));
    save->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonEinstellungenAbbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    setDataFolder(dataFolder);
    const HouseDetails house = houseDetails();
    houseName_->setText(house.name);
    houseAddress_->setPlainText(house.address);
    houseTelephone_->setText(house.telephone);
    houseEmail_->setText(house.email);
    houseFreeLine_->setText(house.freeLine);
    withoutForm_->setChecked(printWithoutForm());
    postalCode_->setText(QStringLiteral("%1").arg(housePostalCode(), 5, 10, QLatin1Char('0')));
    resize(680, 520);
}

QWidget *SettingsDialog::makeGeneralPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *folderBox = new QGroupBox(QStringLiteral("Datenordner"), page);
    auto *folderLayout = new QVBoxLayout(folderBox);
    auto *folderText = new QLabel(QStringLiteral("Der Ordner mit der Gästedatei „Gaeste.csv“. Dort liegen auch die "
                                                 "Preisliste, die Rechnungsvorlage, der Rechnungszähler, die "
                                                 "Sicherungen und die abgelegten Rechnungen."),
                                  folderBox);
    folderText->setWordWrap(true);
    folderEdit_ = new QLineEdit(folderBox);
    folderEdit_->setObjectName(QStringLiteral("EditDatenordner"));
    folderEdit_->setReadOnly(true);
    auto *chooseFolder = new QPushButton(QStringLiteral("Ordner &wählen…"), folderBox);
    chooseFolder->setObjectName(QStringLiteral("ButtonDatenordner"));
    connect(chooseFolder, &QPushButton::clicked, this, [this] { chooseDataFolder(); });
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit_, 1);
    folderRow->addWidget(chooseFolder);
    folderLayout->addWidget(folderText);
    folderLayout->addLayout(folderRow);

    auto *placeBox = new QGroupBox(QStringLiteral("Ort des Hauses"), page);
    auto *placeLayout = new QFormLayout(placeBox);
    postalCode_ = new QLineEdit(placeBox);
    postalCode_->setObjectName(QStringLiteral("EditHausPLZ"));
    postalCode_->setMaxLength(5);
    postalCode_->setMaximumWidth(postalCode_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 24);
    auto *postalLabel = new QLabel(QStringLiteral("Post&leitzahl des Hauses:"), placeBox);
    postalLabel->setBuddy(postalCode_);
    placeLayout->addRow(postalLabel, postalCode_);
    auto *postalText = new QLabel(QStringLiteral("Die Feiertage dieses Ortes werden im Zimmerkalender, im "
                                                 "Belegungsplan, in der Tagesliste und in der Auswertung markiert."),
                                  placeBox);
    postalText->setWordWrap(true);
    placeLayout->addRow(postalText);

    layout->addWidget(folderBox);
    layout->addWidget(placeBox);
    layout->addStretch(1);
    return page;
}

QWidget *SettingsDialog::makePricePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *text = new QLabel(QStringLiteral("Preis pro Zimmer und Nacht in ganzen Euro, nach Zahl der Personen und "
                                           "Länge des Aufenthalts (0 bis 99.999)."),
                            page);
    text->setWordWrap(true);
    prices_ = new QStandardItemModel(static_cast<int>(kRows.size()), static_cast<int>(kColumns.size()), page);
    prices_->setVerticalHeaderLabels(kRows);
    prices_->setHorizontalHeaderLabels(kColumns);
    connect(prices_, &QStandardItemModel::dataChanged, this, [this] {
        if (!showingPrices_)
            pricesEdited_ = true;
    });
    priceTable_ = new QTableView(page);
    priceTable_->setObjectName(QStringLiteral("TablePreise"));
    priceTable_->setModel(prices_);
    priceTable_->setItemDelegate(new PriceDelegate(priceTable_));
    // Tab leaves the table; the arrow keys move within it, typing or F2 edits a price.
    priceTable_->setTabKeyNavigation(false);
    // Moving through the cells edits nothing: an empty price must not become 0 unseen.
    priceTable_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    priceTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    priceTable_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    priceTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *tableLabel = new QLabel(QStringLiteral("P&reise:"), page);
    tableLabel->setBuddy(priceTable_);
    priceSource_ = new QLabel(page);
    priceSource_->setObjectName(QStringLiteral("LabelPreislisteDatei"));
    priceSource_->setWordWrap(true);
    priceSource_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    layout->addWidget(tableLabel);
    // As high as its five rows, so the note below stays beside them.
    priceTable_->setFixedHeight(priceTable_->horizontalHeader()->sizeHint().height() +
                                5 * priceTable_->verticalHeader()->defaultSectionSize() +
                                2 * priceTable_->frameWidth() + 2);
    layout->addWidget(priceTable_);
    layout->addWidget(priceSource_);
    layout->addStretch(1);
    return page;
}

QWidget *SettingsDialog::makeFormPage()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);

    auto *left = new QVBoxLayout;
    preview_ = new QLabel(page);
    preview_->setObjectName(QStringLiteral("LabelVorlagenbild"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFixedSize(180, 255);
    preview_->setFrameShape(QFrame::StyledPanel);
    formInfo_ = new QLabel(page);
    formInfo_->setObjectName(QStringLiteral("LabelVorlage"));
    formInfo_->setWordWrap(true);
    formInfo_->setMaximumWidth(200);
    formInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chooseForm_ = new QPushButton(QStringLiteral("&Bild wählen…"), page);
    chooseForm_->setObjectName(QStringLiteral("ButtonVorlageWaehlen"));
    connect(chooseForm_, &QPushButton::clicked, this, [this] { chooseForm(); });
    left->addWidget(preview_);
    left->addWidget(formInfo_);
    left->addWidget(chooseForm_);
    left->addStretch(1);

    auto *plainBox = new QGroupBox(QStringLiteral("Ohne Vorlage"), page);
    auto *plainLayout = new QFormLayout(plainBox);
    withoutForm_ =
        new QCheckBox(QStringLiteral("O&hne Vorlage drucken: schlichte Seite mit diesem Briefkopf"), plainBox);
    withoutForm_->setObjectName(QStringLiteral("CheckBoxOhneVorlage"));
    plainLayout->addRow(withoutForm_);
    const auto field = [&](QWidget *edit, const char *name, const QString &label) {
        edit->setObjectName(QString::fromLatin1(name));
        auto *caption = new QLabel(label, plainBox);
        caption->setBuddy(edit);
        plainLayout->addRow(caption, edit);
    };
    houseName_ = new QLineEdit(plainBox);
    field(houseName_, "EditHausName", QStringLiteral("Na&me des Hauses:"));
    houseAddress_ = new QPlainTextEdit(plainBox);
    houseAddress_->setTabChangesFocus(true);
    houseAddress_->setFixedHeight(houseAddress_->fontMetrics().lineSpacing() * 3 + 12);
    field(houseAddress_, "EditHausAnschrift", QStringLiteral("Ans&chrift:"));
    houseTelephone_ = new QLineEdit(plainBox);
    field(houseTelephone_, "EditHausTelefon", QStringLiteral("&Telefon:"));
    houseEmail_ = new QLineEdit(plainBox);
    field(houseEmail_, "EditHausEMail", QStringLiteral("&E-Mail:"));
    houseFreeLine_ = new QLineEdit(plainBox);
    houseFreeLine_->setPlaceholderText(QStringLiteral("z. B. Steuernummer"));
    field(houseFreeLine_, "EditHausZeile", QStringLiteral("&Freie Zeile:"));

    auto *right = new QVBoxLayout;
    right->addWidget(plainBox);
    right->addStretch(1);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    return page;
}

QWidget *SettingsDialog::makeCounterPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    counterInfo_ = new QLabel(page);
    counterInfo_->setObjectName(QStringLiteral("LabelReNr"));
    counterInfo_->setWordWrap(true);
    counterInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    counterButton_ = new QPushButton(page);
    counterButton_->setObjectName(QStringLiteral("ButtonReNr"));
    connect(counterButton_, &QPushButton::clicked, this, [this] { setUpCounter(); });
    auto *note = new QLabel(QStringLiteral("Rechnungsnummern dürfen sich nicht wiederholen: der Zähler kann nur "
                                           "erhöht werden, nie zurückgesetzt."),
                            page);
    note->setWordWrap(true);
    auto *row = new QHBoxLayout;
    row->addWidget(counterButton_);
    row->addStretch(1);
    layout->addWidget(counterInfo_);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addStretch(1);
    return page;
}

QString SettingsDialog::pathOf(const char *name) const
{
    return dataFolder_ + QString::fromUtf8(name);
}

void SettingsDialog::setDataFolder(const QString &folder)
{
    dataFolder_ = withSlash(folder);
    folderEdit_->setText(dataFolder_.isEmpty() ? QStringLiteral("(noch keiner gewählt)") : native(dataFolder_));
    loadPrices();
    showForm();
    showCounter();
}

void SettingsDialog::setPricesInUse(const TPreisMatrix &matrix)
{
    // The data folder's own list counts; these only stand in for a missing one.
    if (!dataFolder_.isEmpty() && QFileInfo::exists(pathOf(kPreisMatrixDatei)))
        return;
    showPrices(matrix);
    priceSource_->setText(QStringLiteral("Diese Preise gelten zur Zeit. „Speichern“ legt sie als %1 im Datenordner "
                                         "an, sobald sie geändert sind.")
                              .arg(QString::fromUtf8(kPreisMatrixDatei)));
}

void SettingsDialog::setLowestFreeInvoiceNumber(qint32 lowest)
{
    lowestFree_ = std::max(lowest, 1);
}

void SettingsDialog::showStep(SetupStep step)
{
    switch (step) {
    case SetupStep::DataFolder:
        tabs_->setCurrentIndex(0);
        findChild<QPushButton *>(QStringLiteral("ButtonDatenordner"))->setFocus(Qt::OtherFocusReason);
        break;
    case SetupStep::PriceList:
        tabs_->setCurrentIndex(1);
        priceTable_->setFocus(Qt::OtherFocusReason);
        break;
    case SetupStep::InvoiceForm:
        tabs_->setCurrentIndex(2);
        chooseForm_->setFocus(Qt::OtherFocusReason);
        break;
    case SetupStep::InvoiceCounter:
        tabs_->setCurrentIndex(3);
        counterButton_->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void SettingsDialog::loadPrices()
{
    TPreisMatrix matrix;
    for (auto &row : matrix.Zustand)
        row.fill(PreisZustand::Fehlt);
    const QString path = pathOf(kPreisMatrixDatei);
    if (dataFolder_.isEmpty()) {
        priceSource_->setText(QStringLiteral("Noch kein Datenordner gewählt: die Preisliste wird dort gespeichert."));
    } else if (!QFileInfo::exists(path)) {
        priceSource_->setText(QStringLiteral("%1 fehlt noch; „Speichern“ legt sie an.").arg(native(path)));
    } else if (!LiesPreisMatrix(path, matrix)) {
        priceSource_->setText(QStringLiteral("%1 kann nicht gelesen werden.").arg(native(path)));
    } else {
        const QStringList faults = PreisMatrixMaengel(matrix);
        priceSource_->setText(
            faults.isEmpty()
                ? QStringLiteral("Gespeichert in %1").arg(native(path))
                : QStringLiteral("In %1 fehlen Preise: %2").arg(native(path), faults.join(QStringLiteral("; "))));
    }
    showPrices(matrix);
}

void SettingsDialog::showPrices(const TPreisMatrix &matrix)
{
    showingPrices_ = true;
    for (std::size_t r = 0; r < matrix.Preis.size(); ++r)
        for (std::size_t c = 0; c < matrix.Preis[r].size(); ++c) {
            auto *item = new QStandardItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // An unknown price stays empty, so it is not saved as 0 unseen.
            if (matrix.bekannt(r, c))
                item->setData(matrix.Preis[r][c], Qt::EditRole);
            prices_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    showingPrices_ = false;
    pricesEdited_ = false;
}

std::optional<TPreisMatrix> SettingsDialog::tablePrices(QStringList &faults) const
{
    TPreisMatrix matrix;
    for (std::size_t r = 0; r < matrix.Preis.size(); ++r)
        for (std::size_t c = 0; c < matrix.Preis[r].size(); ++c) {
            const QString text =
                prices_->index(static_cast<int>(r), static_cast<int>(c)).data(Qt::EditRole).toString().trimmed();
            bool ok = false;
            const qint64 value = text.toLongLong(&ok);
            if (text.isEmpty())
                faults << PreisStelle(r, c) + QStringLiteral(": kein Preis eingetragen");
            else if (!ok)
                faults << PreisStelle(r, c) + QStringLiteral(": „%1“ ist kein Preis in ganzen Euro").arg(text);
            else if (const QString fault =
                         PreisFehler(r, c, static_cast<qint32>(std::clamp<qint64>(value, -1, kHoechsterPreis + 1)));
                     !fault.isEmpty())
                faults << fault;
            else
                matrix.Preis[r][c] = static_cast<qint32>(value);
        }
    if (!faults.isEmpty())
        return std::nullopt;
    return matrix;
}

void SettingsDialog::showForm()
{
    const QString path = pathOf(kRechnungsvorlageDatei);
    preview_->clear();
    if (dataFolder_.isEmpty()) {
        preview_->setText(QStringLiteral("keine Vorlage"));
        formInfo_->setText(QStringLiteral("Bitte zuerst den Datenordner wählen."));
        chooseForm_->setEnabled(false);
        return;
    }
    chooseForm_->setEnabled(true);
    if (!QFileInfo::exists(path)) {
        preview_->setText(QStringLiteral("keine Vorlage"));
        formInfo_->setText(QStringLiteral("%1 fehlt noch.").arg(native(path)));
        return;
    }
    const VorlagenPruefung check = PruefeRechnungsvorlage(path);
    if (!check.fehler.isEmpty()) {
        preview_->setText(QStringLiteral("nicht lesbar"));
        formInfo_->setText(check.fehler);
        return;
    }
    // A small picture for the preview, without loading the whole scan a second time.
    QImageReader reader(path);
    reader.setScaledSize(check.groesse.scaled(preview_->size() - QSize(4, 4), Qt::KeepAspectRatio));
    preview_->setPixmap(QPixmap::fromImage(reader.read()));
    formInfo_->setText(QStringLiteral("%1\n%2 × %3 Bildpunkte, etwa %4 dpi")
                           .arg(native(path))
                           .arg(check.groesse.width())
                           .arg(check.groesse.height())
                           .arg(check.dpi));
}

void SettingsDialog::showCounter()
{
    if (dataFolder_.isEmpty()) {
        counterInfo_->setText(
            QStringLiteral("Noch kein Datenordner gewählt: der Rechnungszähler %1 wird dort angelegt.")
                .arg(QString::fromUtf8(kReNummerDatei)));
        counterButton_->setText(QStringLiteral("Zähler an&legen…"));
        counterButton_->setEnabled(false);
        return;
    }
    counterButton_->setEnabled(true);
    const ReNrStand stand = LiesReNrStand(pathOf(kReNummerDatei));
    if (stand.fehlt) {
        counterInfo_->setText(QStringLiteral("Der Rechnungszähler %1 fehlt noch: es wurde hier noch keine Rechnung "
                                             "gedruckt.")
                                  .arg(native(pathOf(kReNummerDatei))));
        counterButton_->setText(QStringLiteral("Zähler an&legen…"));
    } else if (stand.naechste) {
        counterInfo_->setText(QStringLiteral("Die nächste Rechnung bekommt die Nummer %1.\n(%2)")
                                  .arg(*stand.naechste)
                                  .arg(native(pathOf(kReNummerDatei))));
        counterButton_->setText(QStringLiteral("Nummer e&rhöhen…"));
    } else {
        counterInfo_->setText(stand.meldung);
        counterButton_->setText(QStringLiteral("Nummer e&rhöhen…"));
        counterButton_->setEnabled(false);
    }
}

void SettingsDialog::chooseDataFolder()
{
    const QString folder = dialogs_.askFolder(this, QStringLiteral("Datenordner wählen"));
    if (!folder.isEmpty())
        Q_EMIT dataFolderChosen(withSlash(QDir(folder).absolutePath()));
}

void SettingsDialog::chooseForm()
{
    if (ChooseInvoiceForm(this, dialogs_, dataFolder_).isEmpty())
        return;
    // A form was chosen: it is what invoices are printed on from now on.
    withoutForm_->setChecked(false);
    showForm();
    Q_EMIT invoiceSetupChanged();
}

QString ChooseInvoiceForm(QWidget *parent, Dialogs &dialogs, const QString &folder)
{
    const QString picture = dialogs.askPicture(parent, QStringLiteral("Rechnungsvorlage wählen"));
    if (picture.isEmpty())
        return {};
    const VorlagenPruefung check = PruefeRechnungsvorlage(picture);
    if (!check.fehler.isEmpty()) {
        dialogs.showError(parent, check.fehler + QStringLiteral("\nDie bisherige Vorlage bleibt."));
        return {};
    }
    if (!check.hinweis.isEmpty() &&
        !dialogs.confirmDefaultNo(parent, check.hinweis + QStringLiteral("\n\nDieses Bild trotzdem verwenden?")))
        return {};
    try {
        const QString kept = UebernimmRechnungsvorlage(picture, folder);
        setPrintWithoutForm(false);
        return kept;
    } catch (const std::exception &error) {
        dialogs.showError(parent, platform::ErrorText(error) + QStringLiteral("\nDie bisherige Vorlage bleibt."));
        return {};
    }
}

void SettingsDialog::setUpCounter()
{
    const QString path = pathOf(kReNummerDatei);
    const ReNrStand stand = LiesReNrStand(path);
    const qint32 offered = stand.fehlt ? lowestFree_ : std::max(stand.naechste.value_or(1), lowestFree_);
    const QString question =
        stand.fehlt ? QStringLiteral("Mit welcher Nummer soll die nächste Rechnung beginnen?")
                    : QStringLiteral("Mit welcher Nummer soll die nächste Rechnung weiterzählen? (bisher %1)")
                          .arg(stand.naechste.value_or(1));
    const std::optional<int> chosen = dialogs_.askNumber(this, question, offered, 1);
    if (!chosen)
        return;
    try {
        // A number issued already is refused, the journal's and the kept copies' included.
        ReNrBeginnen(path, *chosen, lowestFree_ - 1);
    } catch (const std::exception &error) {
        dialogs_.showError(this, platform::ErrorText(error));
    }
    showCounter();
    Q_EMIT invoiceSetupChanged();
}

void SettingsDialog::addPage(QWidget *page, const QString &title, std::function<bool()> save)
{
    tabs_->addTab(page, title);
    extraPages_.push_back({page, std::move(save)});
}

void SettingsDialog::accept()
{
    for (const ExtraPage &extra : extraPages_)
        if (!extra.save()) {
            tabs_->setCurrentWidget(extra.page);
            return;
        }
    const QString postalError = housePostalCodeError(postalCode_->text());
    if (!postalError.isEmpty()) {
        showStep(SetupStep::DataFolder);
        postalCode_->setFocus(Qt::OtherFocusReason);
        dialogs_.showError(this, postalError);
        return;
    }
    std::optional<TPreisMatrix> matrix;
    if (pricesEdited_) {
        QStringList faults;
        matrix = tablePrices(faults);
        if (!matrix || dataFolder_.isEmpty()) {
            showStep(SetupStep::PriceList);
            dialogs_.showError(this, !matrix ? QStringLiteral("Die Preisliste wird so nicht gespeichert:\n") +
                                                   faults.join(u'\n')
                                             : QStringLiteral("Die Preisliste kann erst gespeichert werden, wenn ein "
                                                              "Datenordner gewählt ist."));
            return;
        }
    }
    if (matrix) {
        try {
            SchreibePreisMatrix(pathOf(kPreisMatrixDatei), *matrix);
        } catch (const std::exception &error) {
            showStep(SetupStep::PriceList);
            dialogs_.showError(this, platform::ErrorText(error));
            return;
        }
        pricesEdited_ = false;
        Q_EMIT priceListSaved();
    }
    try {
        confirmationPage_->save();
    } catch (const std::exception &error) {
        tabs_->setCurrentWidget(confirmationPage_);
        dialogs_.showError(this, platform::ErrorText(error));
        return;
    }
    const qint32 code = *parseHousePostalCode(postalCode_->text());
    const bool newCode = code != housePostalCode();
    setHousePostalCode(code);
    setHouseDetails({houseName_->text().trimmed(), houseAddress_->toPlainText().trimmed(),
                     houseTelephone_->text().trimmed(), houseEmail_->text().trimmed(),
                     houseFreeLine_->text().trimmed()});
    const bool formChoiceChanged = withoutForm_->isChecked() != printWithoutForm();
    setPrintWithoutForm(withoutForm_->isChecked());
    if (newCode)
        Q_EMIT postalCodeChanged(code);
    if (formChoiceChanged)
        Q_EMIT invoiceSetupChanged();
    QDialog::accept();
}

} // namespace app
