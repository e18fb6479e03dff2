#include "app/privacy/AnonymizeDialog.h"

#include "register/GuestList.h"
#include "register/PersonalData.h"
#include "register/StayText.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace app {

using guests::GuestList;
using guests::StayText;
using guests::TGast;

namespace {
constexpr int kDefaultYears = 3;
}

AnonymizeDialog::AnonymizeDialog(const GuestList &list, platform::TDateTime today, QWidget *parent)
    : QDialog(parent), list_(list), today_(today)
{
    setObjectName(QStringLiteral("AnonymizeDialog"));
    setWindowTitle(QStringLiteral("Alte Aufenthalte anonymisieren"));

    auto *intro = new QLabel(
        QStringLiteral("Name, Straße, Ort, Telefon, E-Mail und Bemerkung der gewählten Aufenthalte werden durch "
                       "„anonymisiert“ ersetzt. Vorher wird eine Sicherung der Gästedatei angelegt. Rechnungen, "
                       "Rechnungsbuch und die Zahlen der Auswertung bleiben erhalten."),
        this);
    intro->setWordWrap(true);

    auto *yearsLabel = new QLabel(QStringLiteral("Abreise liegt mehr als"), this);
    years_ = new QSpinBox(this);
    years_->setObjectName(QStringLiteral("SpinJahre"));
    years_->setRange(1, 99);
    years_->setValue(kDefaultYears);
    years_->setSuffix(QStringLiteral(" Jahre"));
    yearsLabel->setBuddy(years_);
    auto *yearsAfter = new QLabel(QStringLiteral("zurück"), this);

    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("TabelleAufenthalte"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Gast-Nr."), QStringLiteral("Name"), QStringLiteral("Aufenthalt")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("LabelAnzahl"));

    confirm_ = new QPushButton(QStringLiteral("&Anonymisieren"), this);
    confirm_->setObjectName(QStringLiteral("ButtonAnonymisieren"));
    confirm_->setAutoDefault(false);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("ButtonAbbrechen"));
    // Enter alone must not erase anything.
    cancel->setDefault(true);

    auto *yearsRow = new QHBoxLayout;
    yearsRow->addWidget(yearsLabel);
    yearsRow->addWidget(years_);
    yearsRow->addWidget(yearsAfter);
    yearsRow->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm_);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(yearsRow);
    layout->addWidget(table_, 1);
    layout->addWidget(count_);
    layout->addLayout(buttons);

    connect(years_, &QSpinBox::valueChanged, this, [this] { showStays(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QPushButton::clicked, this, [this] {
        const std::vector<int> indexes = chosen();
        accept();
        Q_EMIT confirmed(indexes);
    });

    resize(560, 420);
    showStays();
    years_->setFocus();
}

std::vector<int> AnonymizeDialog::chosen() const
{
    return guests::staysToAnonymize(list_.records(), years_->value(), today_);
}

void AnonymizeDialog::showStays()
{
    const std::vector<int> stays = chosen();
    table_->setRowCount(static_cast<int>(stays.size()));
    int row = 0;
    for (const int index : stays) {
        const TGast &g = list_.at(index);
        const QStringList cells{QString::number(g.GastNr), g.Name, StayText(g)};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column == 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
        ++row;
    }
    count_->setText(stays.empty()       ? QStringLiteral("Keine Aufenthalte liegen so weit zurück.")
                    : stays.size() == 1 ? QStringLiteral("1 Aufenthalt wird anonymisiert.")
                                        : QStringLiteral("%1 Aufenthalte werden anonymisiert.").arg(stays.size()));
    confirm_->setEnabled(!stays.empty());
}

} // namespace app
