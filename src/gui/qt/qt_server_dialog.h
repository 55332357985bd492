// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/submission_settings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace pellwick {

// The "Server..." dialog of the Email tab as a modal Qt dialog.
class QtServerDialog
    : public QDialog
    , public ServerDialog
{
    Q_OBJECT

public:
    explicit QtServerDialog(QWidget *parent = nullptr);

    std::optional<Result> Edit(const SubmissionSettings &current,
                               const std::string &presentedFingerprint) override;

    QSpinBox *portField;
    QComboBox *securityField;
    QLineEdit *userField;
    QLineEdit *passwordField;
    QLineEdit *pinField;
    QLabel *presentedLabel;
    QPushButton *trustButton;

private:
    QString m_presented;
};

} // namespace pellwick
