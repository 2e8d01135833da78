#include "plugin/AlertPanel.h"

#include <QMessageBox>
#include <QPushButton>

namespace pelorin {

void runAlertPanel(QWidget *parent, const QString &title, const QString &message) {
    QMessageBox alert(parent);
    alert.setWindowModality(Qt::ApplicationModal);
    alert.setIcon(QMessageBox::Warning);
    alert.setWindowTitle(title);
    alert.setText(title);
    alert.setInformativeText(message);
    alert.setDefaultButton(alert.addButton(QStringLiteral("Ok"), QMessageBox::AcceptRole));
    alert.exec();
}

QMessageBox *alertSheet(QWidget *window, const QString &text, const QString &informativeText,
                        const QString &button) {
    auto *alert = new QMessageBox(window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    alert->setIcon(QMessageBox::Critical);
    alert->setText(text);
    alert->setInformativeText(informativeText);
    alert->setDefaultButton(alert->addButton(button, QMessageBox::AcceptRole));
    return alert;
}

} // namespace pelorin
