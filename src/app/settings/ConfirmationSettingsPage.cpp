#include "app/settings/ConfirmationSettingsPage.h"

#include "app/letters/ConfirmationLetter.h"
#include "billing/BookingConfirmation.h"
#include "guestfile/Settings.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

using guestfile::setConfirmationText;

namespace {

// Enter on a placeholder puts it into the text, as a double click does, instead of pressing the
// dialog's "Speichern".
class PlaceholderList : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            Q_EMIT itemActivated(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

ConfirmationSettingsPage::ConfirmationSettingsPage(QWidget *parent) : QWidget(parent)
{
    auto *intro = new QLabel(QStringLiteral("Dieser Text steht in jeder Buchungsbestätigung unter den Angaben zur "
                                            "Buchung und im Text der E-Mail. Name und Anschrift des Hauses kommen "
                                            "aus dem Briefkopf (Seite „Rechnungsvorlage“)."),
                             this);
    intro->setWordWrap(true);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("EditBestaetigungText"));
    // Tab moves on: the text is written in paragraphs, not in columns.
    text_->setTabChangesFocus(true);
    auto *textLabel = new QLabel(QStringLiteral("Te&xt der Bestätigung:"), this);
    textLabel->setBuddy(text_);

    placeholders_ = new PlaceholderList(this);
    placeholders_->setObjectName(QStringLiteral("ListPlatzhalter"));
    for (const auto &[placeholder, meaning] : billing::confirmationPlaceholders()) {
        auto *item = new QListWidgetItem(QStringLiteral("%1 – %2").arg(placeholder, meaning), placeholders_);
        item->setData(Qt::UserRole, placeholder);
    }
    placeholders_->setCurrentRow(0);
    placeholders_->setMinimumWidth(placeholders_->sizeHintForColumn(0) + 2 * placeholders_->frameWidth() + 24);
    connect(placeholders_, &QListWidget::itemActivated, this, [this] { insertChosenPlaceholder(); });
    auto *listLabel = new QLabel(QStringLiteral("Pla&tzhalter (Doppelklick oder Eingabetaste fügt ein):"), this);
    listLabel->setBuddy(placeholders_);
    listLabel->setWordWrap(true);

    auto *restore = new QPushButton(QStringLiteral("Vorgabetext &wiederherstellen"), this);
    restore->setObjectName(QStringLiteral("ButtonBestaetigungVorgabe"));
    connect(restore, &QPushButton::clicked, this, [this] {
        text_->setPlainText(billing::defaultConfirmationText());
        text_->setFocus(Qt::OtherFocusReason);
    });

    auto *left = new QVBoxLayout;
    left->addWidget(textLabel);
    left->addWidget(text_, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(listLabel);
    right->addWidget(placeholders_, 1);
    right->addWidget(restore);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(columns, 1);

    shown_ = hostConfirmationText();
    text_->setPlainText(shown_);
}

void ConfirmationSettingsPage::insertChosenPlaceholder()
{
    const QListWidgetItem *item = placeholders_->currentItem();
    if (!item)
        return;
    text_->insertPlainText(item->data(Qt::UserRole).toString());
    text_->setFocus(Qt::OtherFocusReason);
}

void ConfirmationSettingsPage::save()
{
    const QString text = text_->toPlainText();
    // An unchanged default is not written, so a house that never edited it keeps following it.
    if (text == shown_)
        return;
    setConfirmationText(text);
    shown_ = text;
}

} // namespace app
