#include "gui/qt/qt_server_dialog.h"

#include "core/form/window_description.h"
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
    , txtSmtpPort(new QSpinBox(this))
    , cmbSmtpSecurity(new QComboBox(this))
    , txtSmtpUser(new QLineEdit(this))
    , txtSmtpPassword(new QLineEdit(this))
    , txtSmtpPin(new QLineEdit(this))
    , lblPresented(new QLabel(this))
    , btnTrustCertificate(new QPushButton(toQ(kTrustCertificate), this))
{
    setWindowTitle(toQ(kServerDialogTitle));
    txtSmtpPort->setRange(1, 65535);
    for (const std::string_view entry : kSecurityEntries)
        cmbSmtpSecurity->addItem(toQ(entry));
    txtSmtpPassword->setEchoMode(QLineEdit::Password);
    txtSmtpPassword->setPlaceholderText(toQ(kPasswordCue));
    txtSmtpPin->setPlaceholderText(toQ(kPinCue));
    lblPresented->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblPresented->setWordWrap(true);
    btnTrustCertificate->setObjectName(QStringLiteral("btnTrustCertificate"));

    auto *form = new QFormLayout;
    const std::array<QWidget *, kServerFields.size()> fields {
        txtSmtpPort, cmbSmtpSecurity, txtSmtpUser, txtSmtpPassword, txtSmtpPin};
    for (const ServerFieldDescription &row : kServerFields) {
        QWidget *field = fields[Index(row.field)];
        field->setObjectName(toQ(row.name));
        form->addRow(toQ(row.caption), field);
    }
    form->addRow(lblPresented);
    form->addRow(btnTrustCertificate);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnTrustCertificate, &QPushButton::clicked, this,
            [this] { txtSmtpPin->setText(m_presented); });
}

std::optional<ServerDialog::Result> QtServerDialog::Edit(const SubmissionSettings &current,
                                                         const std::string &presentedFingerprint)
{
    m_presented = toQ(presentedFingerprint);
    const SubmissionSettings shown = ShownServerSettings(current);
    txtSmtpPort->setValue(shown.port);
    cmbSmtpSecurity->setCurrentIndex(shown.security);
    txtSmtpUser->setText(toQ(shown.user));
    txtSmtpPassword->clear();
    txtSmtpPin->setText(toQ(shown.pin));
    lblPresented->setText(toQ(PresentedCertificateText(presentedFingerprint)));
    btnTrustCertificate->setEnabled(!m_presented.isEmpty());
    const bool accepted = exec() == QDialog::Accepted;
    // The typed password does not stay in the widget, whatever the user chose.
    const QString typed = txtSmtpPassword->text();
    txtSmtpPassword->clear();
    if (!accepted)
        return std::nullopt;

    Result result;
    result.settings.port = txtSmtpPort->value();
    result.settings.security = cmbSmtpSecurity->currentIndex();
    result.settings.user = fromQ(txtSmtpUser->text().trimmed());
    result.settings.pin = fromQ(txtSmtpPin->text().trimmed());
    if (!typed.isEmpty())
        result.password = fromQ(typed);
    return result;
}

} // namespace pellwick
