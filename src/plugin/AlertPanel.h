#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace pelorin {

// An application-modal alert with a title, a message and the single button
// "Ok"; returns when it is dismissed. Which button was pressed is not asked.
void runAlertPanel(QWidget *parent, const QString &title, const QString &message);

// A document-modal alert on window with one button, not yet shown: the caller
// connects to finished() and calls open(). It deletes itself when closed.
QMessageBox *alertSheet(QWidget *window, const QString &text, const QString &informativeText,
                        const QString &button);

} // namespace pelorin
