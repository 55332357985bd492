// SPDX-License-Identifier: MIT
#include "gui/qt/qt_server_dialog.h"

#include "core/settings/settings.h"
#include "core/window/window_description.h"
#include "gui/qt/qt_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>

namespace pellwick {

QtServerDialog::QtServerDialog(QWidget *parent)
    : QDialog(parent)
    , portField(new QSpinBox(this))
    , securityField(new QComboBox(this))
    , userField(new QLineEdit(this))
    , passwordField(new QLineEdit(this))
    , pinField(new QLineEdit(this))
    , presentedLabel(new QLabel(this))
    , trustButton(new QPushButton(toQ(kTrustCertificate), this))
{
    setWindowTitle(toQ(kServerDialogTitle));
    portField->setRange(1, 65535);
    for (const std::string_view entry : kSecurityEntries)
        securityField->addItem(toQ(entry));
    passwordField->setEchoMode(QLineEdit::Password);
    passwordField->setPlaceholderText(toQ(kPasswordCue));
    pinField->setPlaceholderText(toQ(kPinCue));
    userField->setMaxLength(SettingRowNamed("SMTPUser").max);
    pinField->setMaxLength(SettingRowNamed("SMTPPin").max);
    presentedLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    presentedLabel->setWordWrap(true);
    trustButton->setObjectName(QStringLiteral("btnTrustCertificate"));

    auto *form = new QFormLayout;
    const std::array<QWidget *, kServerFields.size()> fields {portField, securityField, userField,
                                                              passwordField, pinField};
    for (const ServerFieldDescription &row : kServerFields) {
        QWidget *field = fields[Index(row.field)];
        field->setObjectName(toQ(row.name));
        form->addRow(toQ(row.caption), field);
    }
    form->addRow(presentedLabel);
    form->addRow(trustButton);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(trustButton, &QPushButton::clicked, this, [this] { pinField->setText(m_presented); });
}

std::optional<ServerDialog::Result> QtServerDialog::Edit(const SubmissionSettings &current,
                                                         const std::string &presentedFingerprint)
{
    m_presented = toQ(presentedFingerprint);
    const SubmissionSettings shown = ShownServerSettings(current);
    portField->setValue(shown.port);
    securityField->setCurrentIndex(shown.security);
    userField->setText(toQ(shown.user));
    passwordField->clear();
    pinField->setText(toQ(shown.pin));
    presentedLabel->setText(toQ(PresentedCertificateText(presentedFingerprint)));
    trustButton->setEnabled(!m_presented.isEmpty());
    const bool accepted = exec() == QDialog::Accepted;
    // The typed password does not stay in the widget, whatever the user chose.
    const QString typed = passwordField->text();
    passwordField->clear();
    if (!accepted)
        return std::nullopt;

    Result result;
    result.settings.port = portField->value();
    result.settings.security = securityField->currentIndex();
    result.settings.user = fromQ(userField->text().trimmed());
    result.settings.pin = fromQ(pinField->text().trimmed());
    if (!typed.isEmpty())
        result.password = fromQ(typed);
    return result;
}

} // namespace pellwick
