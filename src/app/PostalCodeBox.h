#pragma once
// The postal-code box: German postal codes have five digits, so 6108 shows as "06108". A code of
// 0 (none entered) shows as an empty box, and an emptied box means 0.

#include <QSpinBox>

namespace app {

class PostalCodeBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit PostalCodeBox(QWidget *parent = nullptr);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString &text) const override;
    QValidator::State validate(QString &input, int &pos) const override;
};

} // namespace app
