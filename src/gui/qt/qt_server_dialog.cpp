#include "gui/qt/qt_server_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pellwick {

QtServerDialog::QtServerDialog(QWidget *parent)
    : QDialog(parent)
    , txtSmtpPort(new QSpinBox(this))
    , cmbSmtpSecurity(new QComboBox(this))
    , txtSmtpUser(new QLineEdit(this))
    , txtSmtpPassword(new QLineEdit(this))
    , txtSmtpPin(new QLineEdit(this))
    , lblPresented(new QLabel(this))
    , btnTrustCertificate(new QPushButton(QStringLiteral("Trust this certificate"), this))
{
    setWindowTitle(QStringLiteral("Mail Server"));
    txtSmtpPort->setRange(1, 65535);
    // In the order of the stored "SMTPSecurity" values.
    cmbSmtpSecurity->addItems({QStringLiteral("None (port 25)"),
                               QStringLiteral("STARTTLS (port 587)"),
                               QStringLiteral("TLS (port 465)")});
    txtSmtpPassword->setEchoMode(QLineEdit::Password);
    txtSmtpPassword->setPlaceholderText(QStringLiteral("unchanged"));
    txtSmtpPin->setPlaceholderText(QStringLiteral("none: the system's authorities decide"));
    lblPresented->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblPresented->setWordWrap(true);
    txtSmtpPort->setObjectName(QStringLiteral("txtSmtpPort"));
    cmbSmtpSecurity->setObjectName(QStringLiteral("cmbSmtpSecurity"));
    txtSmtpUser->setObjectName(QStringLiteral("txtSmtpUser"));
    txtSmtpPassword->setObjectName(QStringLiteral("txtSmtpPassword"));
    txtSmtpPin->setObjectName(QStringLiteral("txtSmtpPin"));
    btnTrustCertificate->setObjectName(QStringLiteral("btnTrustCertificate"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Port:"), txtSmtpPort);
    form->addRow(QStringLiteral("Security:"), cmbSmtpSecurity);
    form->addRow(QStringLiteral("User name:"), txtSmtpUser);
    form->addRow(QStringLiteral("Password:"), txtSmtpPassword);
    form->addRow(QStringLiteral("Trusted certificate:"), txtSmtpPin);
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
    m_presented = QString::fromStdString(presentedFingerprint);
    txtSmtpPort->setValue(current.port >= 1 && current.port <= 65535 ? current.port : 25);
    cmbSmtpSecurity->setCurrentIndex(
        current.security >= 0 && current.security <= 2 ? current.security : 1);
    txtSmtpUser->setText(QString::fromStdString(current.user));
    txtSmtpPassword->clear();
    txtSmtpPin->setText(QString::fromStdString(current.pin));
    lblPresented->setText(m_presented.isEmpty()
                              ? QStringLiteral("No server certificate seen yet: send a mail first.")
                              : QStringLiteral("The server showed: ") + m_presented);
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
    result.settings.user = txtSmtpUser->text().trimmed().toStdString();
    result.settings.pin = txtSmtpPin->text().trimmed().toStdString();
    if (!typed.isEmpty())
        result.password = typed.toStdString();
    return result;
}

} // namespace pellwick
